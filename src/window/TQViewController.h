#pragma once

#include "platform/store/SortDescriptor.h"
#include "platform/ui/MessageNames.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>
#include <optional>

class QMenu;
class QWidget;

namespace tavrel {

class ManagedObjectContext;
class TQNavigationController;
class TQNotificationController;

// The base of every content view of the main window and of the floating dialogs: it holds the view
// (built on first use by loadView(), then awakeFromNib()), and fixes the contract with whatever shows
// it: the install hooks the navigation stack calls as the view slides in and out, the commands the
// window forwards to the view on top, the validation of menu items and buttons, the forwarding of
// action progress to the progress model, and the error path of action callbacks up the responder
// chain.
//
// The controller owns its view. Once installed it stands right behind the view in the responder
// chain, so commands the view does not answer reach it.
class TQViewController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QString searchString READ searchString WRITE setSearchString NOTIFY searchStringChanged)
    Q_PROPERTY(bool isInstalled READ isInstalled WRITE setIsInstalled NOTIFY isInstalledChanged)
    Q_PROPERTY(bool refreshingContent READ refreshingContent WRITE setRefreshingContent)
    Q_PROPERTY(int contentType READ contentType)
public:
    // Installed lists refresh on it.
    static inline const QString kRefreshIfInstalledNotification = Notifications::refreshIfInstalled;
    // The usage events of installs.
    static inline const QString kNavigationCategory = QStringLiteral("Navigation");

    // What a content view shows: it decides the arrangement of the new-item menu, whether sharing is
    // allowed and which creation commands the window enables.
    enum ContentType { NoContent = 0, DocumentsContent = 1, ContactsContent = 2 };

    // The tags of the new-item menu: documents below the divider's tag, contacts above it, then the tail.
    static constexpr int kNewItemDividerTag = 200;
    static constexpr int kNewItemTailTag = 300;

    // The nib name names the view in usage events. The context is the current session's master
    // context, taken now.
    explicit TQViewController(const QString& nibName = QString(), QObject* parent = nullptr);
    ~TQViewController() override;

    QString nibName() const { return m_nibName; }
    // The view, built on first use.
    QWidget* view();
    bool isViewLoaded() const { return !m_view.isNull(); }

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    // Not owned; null when no session runs.
    ManagedObjectContext* managedObjectContext() const;

    // The stack that installed the controller; null while it is not on one.
    TQNavigationController* navigationController() const;
    Q_INVOKABLE virtual void setNavigationController(tavrel::TQNavigationController* controller);

    // The text filter typed by the user; null when none is set.
    QString searchString() const { return m_searchString; }
    virtual void setSearchString(const QString& searchString);
    // The current sort; none when the view has no sort.
    std::optional<SortDescriptor> sortDescriptor() const { return m_sortDescriptor; }
    virtual void setSortDescriptor(const std::optional<SortDescriptor>& descriptor);

    bool refreshingContent() const { return m_refreshingContent; }
    void setRefreshingContent(bool refreshing) { m_refreshingContent = refreshing; }
    bool isInstalled() const { return m_isInstalled; }
    void setIsInstalled(bool installed);

    // The shared in-window banner.
    TQNotificationController* notificationController() const;
    // A status area the view owns; none in the base.
    virtual QObject* statusController() const { return nullptr; }
    virtual int contentType() const { return NoContent; }
    // The list a wrapping view shows (a filtering view's list); the view itself shows no other one.
    virtual TQViewController* shownList() const { return nullptr; }

    // Localises the view's titles; subclasses extend it.
    virtual void awakeFromNib();
    // The navigation stack calls these as the view slides in and out.
    virtual void viewDidInstall();
    virtual void viewWillUninstall() {}
    virtual void viewDidUninstall();
    // The sidebar button of the mode already shown was clicked again.
    virtual void reactivate() {}
    // After every window update, so that the view can enable its own buttons.
    virtual void validateButtons() {}

    // The progress hooks of the actions the view requests with itself as "progressConsumer": passed
    // on to the progress model unchanged.
    Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidProgress(const QString& action, const QVariantMap& arguments, quint64 part,
                                       quint64 total);

    // The default callback of the view's actions: an error goes up the responder chain as
    // "processActionError:"; the result is not used.
    Q_INVOKABLE virtual void operationDidFinishWithResult(const QVariant& result, const QVariant& error);

    // Commands; nothing in the base. The window forwards its commands of the same names to the view
    // on top.
    Q_INVOKABLE virtual void newFakeAction(QObject* sender);
    Q_INVOKABLE virtual void editEntity(QObject* sender);
    Q_INVOKABLE virtual void share(QObject* sender);
    Q_INVOKABLE virtual void deleteEntity(QObject* sender);
    // The sort descriptor turned ascending or descending; nothing without one.
    Q_INVOKABLE virtual void sortAscending(QObject* sender);
    Q_INVOKABLE virtual void sortDescending(QObject* sender);

    // Contacts views refuse sharing; the new-item menu is arranged for the content; then every
    // command is allowed.
    Q_INVOKABLE virtual bool validateUserInterfaceItem(QObject* item);

    // Arranges the new-item menu of a button: document group, divider, contact group, tail (or the
    // two groups the other way round). Nothing for an item that is not a button with a menu.
    static void rearrangePopupMenuForDocuments(QObject* item);
    static void rearrangePopupMenuForContacts(QObject* item);

signals:
    void searchStringChanged(const QString& searchString);
    void isInstalledChanged(bool installed);

protected:
    // Builds the view; the base makes an empty one.
    virtual QWidget* loadView();

private:
    QString m_nibName;
    QString m_title;
    QPointer<QWidget> m_view;
    QPointer<ManagedObjectContext> m_managedObjectContext;
    QPointer<TQNavigationController> m_navigationController;
    QString m_searchString;
    std::optional<SortDescriptor> m_sortDescriptor;
    bool m_refreshingContent = false;
    bool m_isInstalled = false;
};

} // namespace tavrel
