#pragma once

#include "window/IFirstSynchronisationView.h"
#include "window/TQViewController.h"

#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tavrel {

class TQSession;

// What the main window's content area shows while a newly signed-in account's store is filled for
// the first time: the syncing presentation (message, status line and progress bar fed by the full
// synchronisation's reports), the error presentation (the synchronisation failed) or the offline one
// (the connection went during it), both with a button that starts the session again.
//
// The reports (progressStatus) arrive on the synchronisation's worker thread; the screen computes the
// new texts there and sets its properties on the main thread, where the views follow them.
class TQInitializeViewController : public TQViewController, public IFirstSynchronisationView
{
    Q_OBJECT
    Q_PROPERTY(bool syncing READ isSynching WRITE setSyncing NOTIFY syncingChanged)
    Q_PROPERTY(QString syncStatus READ syncStatus WRITE setSyncStatus NOTIFY syncStatusChanged)
    Q_PROPERTY(double syncProgress READ syncProgress WRITE setSyncProgress NOTIFY syncProgressChanged)
    Q_PROPERTY(QString syncMessage READ syncMessage WRITE setSyncMessage NOTIFY syncMessageChanged)
public:
    // The reports' codes.
    enum ProgressCode {
        FetchingContacts = 666,
        FetchingFiles = 777,
        ProcessingContacts = 888,
        ProcessingFiles = 999
    };

    explicit TQInitializeViewController(QObject* parent = nullptr);
    // Stops receiving the synchronisation's reports.
    ~TQInitializeViewController() override;

    // The session whose first synchronisation the screen follows; the current session unless set.
    TQSession* session() const;
    void setSession(TQSession* session);

    QWidget* syncingView() const { return m_syncingView; }
    QWidget* errorView() const { return m_errorView; }
    QWidget* offlineView() const { return m_offlineView; }
    QProgressBar* progressControl() const { return m_progressControl; }
    // The presentation on show, none before the first.
    QWidget* presentedView() const;

    bool isSynching() const { return m_syncing; }
    void setSyncing(bool syncing);
    QString syncStatus() const { return m_syncStatus; }
    void setSyncStatus(const QString& status);
    double syncProgress() const { return m_syncProgress; }
    void setSyncProgress(double progress);
    QString syncMessage() const { return m_syncMessage; }
    void setSyncMessage(const QString& message);

    void awakeFromNib() override;

    // Registers for the reports, then shows the syncing presentation with an indeterminate bar.
    Q_INVOKABLE void presentSyncing() override;
    Q_INVOKABLE void presentError() override;
    Q_INVOKABLE void presentOffline() override;
    // Starts the session again.
    Q_INVOKABLE void retry(QObject* sender);

    // A report of the full synchronisation, on its worker thread (or any thread).
    Q_INVOKABLE void progressStatus(int status, float elProcessed, quint64 elTotal, float percentage);

signals:
    void syncingChanged(bool syncing);
    void syncStatusChanged(const QString& status);
    void syncProgressChanged(double progress);
    void syncMessageChanged(const QString& message);

protected:
    QWidget* loadView() override;

private:
    void present(QWidget* presentation);
    QWidget* makeProblemView(const QString& titleKey, const QString& messageKey, const QString& name);
    void updateProgressControl();

    QPointer<TQSession> m_session;
    QWidget* m_syncingView = nullptr;
    QWidget* m_errorView = nullptr;
    QWidget* m_offlineView = nullptr;
    QProgressBar* m_progressControl = nullptr;
    QLabel* m_messageField = nullptr;
    QLabel* m_statusField = nullptr;
    bool m_syncing = false;
    QString m_syncStatus;
    double m_syncProgress = 0;
    QString m_syncMessage;
};

} // namespace tavrel
