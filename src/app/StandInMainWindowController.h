#pragma once

#include "app/IMainWindowController.h"

#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QTimer>

namespace tavrel {

class TQSession;

// The main window until the real one is plugged in: the signed-in account, the state of its session,
// its documents by title, the banner and the application's menus. It takes files dropped on it and
// shows the first-run tour while the first synchronisation runs.
class StandInMainWindowController : public QObject, public IMainWindowController
{
    Q_OBJECT
public:
    StandInMainWindowController();
    ~StandInMainWindowController() override;

    static MainWindowFactory factory();

    QObject* controllerObject() override { return this; }
    QWidget* window() const override { return m_window; }
    void toggleWindowVisibility(QObject* sender) override;
    void showWindow(QObject* sender) override;
    void performService(LaunchCommand::Verb verb, const QStringList& files) override;
    void hostApplicationMenu(QMenu* menu) override;
    void hostStatusMenu(QMenu* menu) override;
    void registerBannerAction(const std::shared_ptr<TQShowMoreDetailAction>& action) override;
    void showBanner(const QString& message, const QString& actionName, const QString& actionTitle) override;

    // The callback of uploads started outside the lists.
    Q_INVOKABLE void uploadDidFinishWithResult(const QVariant& result, const QVariant& error);
    // The banner's link.
    void performBannerAction(const QString& name);

    QLabel* banner() const { return m_banner; }
    QListWidget* documentList() const { return m_list; }
    QLabel* accountLabel() const { return m_account; }

private:
    void followSession(TQSession* session);
    void refresh();
    void showSplashIfNeeded();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<QMainWindow> m_window;
    QLabel* m_account = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_banner = nullptr;
    QListWidget* m_list = nullptr;
    QPointer<TQSession> m_session;
    QList<QMetaObject::Connection> m_connections;
    QTimer m_refresh;
    QHash<QString, std::shared_ptr<TQShowMoreDetailAction>> m_bannerActions;
    bool m_splashShown = false;
    int m_loggedCount = -1;
};

} // namespace tavrel
