#include "window/TQMainWindowModes.h"

#include "model/Mail.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CurrentEvent.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/IViewFactory.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebarController.h"
#include "window/TQStandInViewController.h"
#include "window/TQViewController.h"

namespace tavrel {

TQMainWindowModes::TQMainWindowModes(TQSidebarController* sidebar, TQNavigationController* navigation,
                                     IViewFactory* views, TQSessionManager* sessionManager, QObject* parent)
    : QObject(parent), m_sidebar(sidebar), m_navigation(navigation), m_views(views),
      m_sessionManager(sessionManager)
{
    auto& center = NotificationCenter::defaultCenter();
    center.addObserver(this, TQSidebarController::kModeDidChangeNotification, m_sidebar,
                       [this](const Notification& notification) { onSidebarModeChange(notification); });
    center.addObserver(
        this, TQSidebarController::kModeDidReactivateNotification, m_sidebar,
        [this](const Notification& notification) { onSidebarModeDidReactivate(notification); });
}

TQMainWindowModes::~TQMainWindowModes()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    // The controllers own their views, which the window holds while they are shown.
    qDeleteAll(m_controllers);
}

TQViewController* TQMainWindowModes::existingControllerForMode(SidebarMode mode) const
{
    return m_controllers.value(mode);
}

TQViewController* TQMainWindowModes::controllerForMode(SidebarMode mode)
{
    if (!isShownMode(mode))
        return nullptr;
    if (TQViewController* made = m_controllers.value(mode))
        return made;
    TQViewController* made = makeController(mode);
    if (made)
        m_controllers.insert(mode, made);
    return made;
}

namespace {

// The list each document place shows, by its design name.
QString placeListClass(SidebarMode mode)
{
    switch (mode) {
    case SidebarMode::AllItems:
        return QStringLiteral("TQAllItemsController");
    case SidebarMode::Starred:
        return TQMainWindowController::kFavoritesListClass;
    case SidebarMode::Collections:
        return TQMainWindowController::kCollectionsListClass;
    case SidebarMode::Trash:
        return QStringLiteral("TQTrashItemsController");
    default:
        return {};
    }
}

bool isExactly(const QObject* object, const QString& className)
{
    if (!object)
        return false;
    const QString name = QString::fromLatin1(object->metaObject()->className());
    return name == className || name.endsWith(QStringLiteral("::") + className);
}

} // namespace

bool TQMainWindowModes::showsItsOwnList(SidebarMode mode, const TQViewController* content)
{
    const TQViewController* list = content ? content->shownList() : nullptr;
    if (!list)
        return true;
    const QString listClass = placeListClass(mode);
    return !listClass.isEmpty() && isExactly(list, listClass);
}

TQViewController* TQMainWindowModes::makeController(SidebarMode mode)
{
    ManagedObjectPtr me;
    if (mode == SidebarMode::PersonalProfile) {
        TQSession* session = m_sessionManager ? m_sessionManager->currentSession() : nullptr;
        TQLog("Creating my info for: %@", session ? session->username() : QString());
        if (!session || !m_sidebar->managedObjectContext())
            return nullptr;
        me = Mail::mailEntityWithAddress(session->username(), false, m_sidebar->managedObjectContext());
        if (!me)
            return nullptr;
    }
    TQViewController* made = m_views ? m_views->makeModeController(mode, me) : nullptr;
    // A place shows its own list or the placeholder, never another place's list.
    if (made && !showsItsOwnList(mode, made)) {
        TQLog("E: No list of its own for mode: %d", qint64(int(mode)));
        delete made;
        made = nullptr;
    }
    return made ? made : makeStandIn(mode);
}

TQViewController* TQMainWindowModes::makeStandIn(SidebarMode mode)
{
    using Kind = TQStandInViewController::Kind;
    switch (mode) {
    case SidebarMode::PersonalProfile:
        return new TQStandInViewController(QStringLiteral("MyInfoBack"), Kind::Content,
                                           TQViewController::ContactsContent);
    case SidebarMode::AllItems:
        return new TQStandInViewController(QStringLiteral("AllItemsBack"), Kind::Content,
                                           TQViewController::DocumentsContent);
    case SidebarMode::Starred:
        return new TQStandInViewController(QStringLiteral("AllFavoritesBack"), Kind::Content,
                                           TQViewController::DocumentsContent);
    case SidebarMode::Contacts:
        return new TQStandInViewController(QStringLiteral("AllContactsBack"), Kind::Content,
                                           TQViewController::ContactsContent);
    case SidebarMode::Collections:
        return new TQStandInViewController(QStringLiteral("AllCollectionsBack"), Kind::Content,
                                           TQViewController::DocumentsContent);
    case SidebarMode::Trash:
        return new TQStandInViewController(QStringLiteral("TrashBack"), Kind::Content,
                                           TQViewController::DocumentsContent);
    case SidebarMode::NoMode:
        break;
    }
    return nullptr;
}

void TQMainWindowModes::onSidebarModeChange(const Notification& notification)
{
    const int oldMode = notification.userInfo().value(TQSidebarController::kOldModeKey).toInt();
    const SidebarMode mode = m_sidebar->mode();
    if (!isShownMode(mode)) {
        TQLog("E: Unsupported sidebar mode selected");
        return;
    }
    TQViewController* controller = controllerForMode(mode);
    if (!controller) {
        TQLog("E: Could not create controller for mode: %d", qint64(int(mode)));
        return;
    }
    // A mode switch that a drag caused is undone when the drag is cancelled with Escape.
    if (CurrentEvent::isCancel() && m_navigation->hasStoredState()) {
        m_navigation->restoreNavigationHistory();
        return;
    }
    if (int(mode) <= oldMode)
        m_navigation->installControllerFromTop(controller);
    else
        m_navigation->installControllerFromBottom(controller);
}

void TQMainWindowModes::onSidebarModeDidReactivate(const Notification& notification)
{
    TQViewController* top = m_navigation->topController();
    if (top && top == existingControllerForMode(SidebarMode::PersonalProfile)) {
        m_sidebar->setMode(
            SidebarMode(notification.userInfo().value(TQSidebarController::kActivatedModeKey).toInt()));
        onSidebarModeChange(notification);
        return;
    }
    if (top)
        top->reactivate();
}

} // namespace tavrel
