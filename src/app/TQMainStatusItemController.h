#pragma once

#include "app/TQSessionMenuItemController.h"
#include "platform/runtime/Timing.h"
#include "platform/store/ObjectsDidChangeNotification.h"
#include "session/ConnectionStatus.h"
#include "session/TQSession.h"

#include <QMap>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

namespace tavrel {

class IMainWindowController;

// The tray item and its status menu, one per process. The icon tells the connection and activity
// (grey offline, animated while actions run, blue while new documents wait); a click brings the main
// window, the context menu is the status menu: the status line with the running actions, the ten most
// recently updated documents, hide, the service's web page, preferences, log out or start, and quit.
// The number of new documents is the tray's tooltip (this desktop's badge). Where the desktop has no
// tray the same menu is hosted by the main window. Main thread only.
class TQMainStatusItemController : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRecentModifiedTag = 701;
    static constexpr int kRecentFilesLimit = 10;
    static constexpr Timing kAnimationInterval{"statusIconAnimationInterval", 400};
    // The animation's frames, in order.
    static constexpr unsigned kFrames[8] = {2, 1, 2, 3, 4, 5, 4, 3};

    static TQMainStatusItemController* sharedStatusItemController();
    // The controller when one was made, else nullptr (nothing is made).
    static TQMainStatusItemController* existingController();
    // Deletes the process's controller (tests).
    static void resetForTesting();

    // Builds the menu and the tray item, once; later calls do nothing.
    void setupMenubarIcon();
    bool isSetUp() const { return m_menu != nullptr; }
    // How many times the tray was set up in this process (tests).
    static int setupCount();

    ConnectionStatus* connectionStatus() const { return m_connectionStatus; }
    void setConnectionStatus(ConnectionStatus* status);
    QObject* menuItemDelegate() const { return m_menuItemDelegate; }
    void setMenuItemDelegate(QObject* delegate) { m_menuItemDelegate = delegate; }
    // Where no tray exists, the main window hosts the status menu (nullptr: none does).
    void hostMenuIn(IMainWindowController* controller);

    QMenu* menu() const { return m_menu; }
    QSystemTrayIcon* trayIcon() const { return m_trayIcon; }
    TQSessionMenuItemController* statusController() const { return m_statusController; }
    QAction* recentModifiedItem() const { return m_recentItem; }

    // The status line's text and icon, the tray icon's image names.
    QString status() const;
    QString statusIcon() const;
    QString statusBarIconImage() const;
    QString selectedStatusBarIconImage() const;
    // The image shown now (a frame while animating).
    QString currentIconImage() const { return m_currentIcon; }
    bool isAnimating() const { return m_animationTimer.isActive(); }
    // The new documents (identifier to "N") and the badge text made of their count.
    const QMap<QString, QString>& addedItems() const { return m_addedItems; }
    QString badgeLabel() const;

    // Menu commands.
    Q_INVOKABLE void openGoogleDocs(QObject* sender);
    Q_INVOKABLE void openRecentModified(QObject* sender);
    Q_INVOKABLE void cancelTopSession(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item);

    void startMenuAnimation();
    void stopMenuAnimation();
    void animateMenuIcon();
    void setupNewItemsMonitoring();
    void onContextDidChange(const ObjectsDidChangeNotification& notification);

signals:
    void statusChanged();
    void iconChanged(const QString& imageName);

private:
    TQMainStatusItemController() = default;
    ~TQMainStatusItemController() override;

    void progressDidChange();
    void currentSessionDidChange(TQSession* session);
    void refreshStatus();
    void setIconImage(const QString& name);
    void trayActivated(QSystemTrayIcon::ActivationReason reason);

    QMenu* m_menu = nullptr;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QPointer<TQSessionMenuItemController> m_statusController;
    QAction* m_statusItem = nullptr;
    QAction* m_recentItem = nullptr;
    QPointer<ConnectionStatus> m_connectionStatus;
    QMetaObject::Connection m_onlineConnection;
    QPointer<QObject> m_menuItemDelegate;
    IMainWindowController* m_menuHost = nullptr;
    QTimer m_animationTimer;
    QMap<QString, QString> m_addedItems;
    QPointer<TQSession> m_session;
    QList<QMetaObject::Connection> m_sessionConnections;
    QString m_currentIcon;
};

} // namespace tavrel
