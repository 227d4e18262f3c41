#pragma once

#include "app/IMainWindowController.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace tavrel {

class TQMainWindowController;
class TQSession;
class TQSessionManager;

// The shell's view of the main window (TQMainWindowController): shows and hides it, hands the file
// managers' verbs to its services, takes files dropped on it, carries the application's and the status
// menu in its main menu and shows action errors in its banner. It also logs how many documents the
// window has to show once the session's store holds them, which the demo run and its tests read.
class RealMainWindowController : public QObject, public IMainWindowController
{
    Q_OBJECT
public:
    explicit RealMainWindowController(TQSessionManager* sessionManager = nullptr);
    ~RealMainWindowController() override;

    static MainWindowFactory factory();
    // Registers the program's own classes the window makes by name (first-synchronisation screen,
    // banner actions, first-run tour). Once per process; later calls do nothing.
    static void registerViewClasses();

    QObject* controllerObject() override;
    QWidget* window() const override;
    void toggleWindowVisibility(QObject* sender) override;
    void showWindow(QObject* sender) override;
    void performService(LaunchCommand::Verb verb, const QStringList& files) override;
    void hostApplicationMenu(QMenu* menu) override;
    void hostStatusMenu(QMenu* menu) override;
    void registerBannerAction(const std::shared_ptr<TQShowMoreDetailAction>& action) override;
    void showBanner(const QString& message, const QString& actionName, const QString& actionTitle) override;

    TQMainWindowController* windowController() const { return m_controller; }
    // Files dragged onto the window go to its acceptor methods while someone is signed in.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void followSession(TQSession* session);
    void logDocuments();

    TQMainWindowController* m_controller = nullptr;
    QPointer<TQSession> m_session;
    QList<QMetaObject::Connection> m_connections;
    QTimer m_count;
    qint64 m_loggedCount = -1;
};

} // namespace tavrel
