#include "window/TQViewController.h"

#include "controls/TQTriStateButton.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "session/TQSessionManager.h"
#include "window/ActionError.h"
#include "window/ControlServicesFeed.h"
#include "window/TQNavigationController.h"
#include "window/TQNotificationController.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

namespace tavrel {

namespace {

QMenu* popupMenuOf(QObject* item)
{
    if (auto* button = qobject_cast<TQTriStateButton*>(item))
        return button->menu();
    if (auto* button = qobject_cast<QPushButton*>(item))
        return button->menu();
    return nullptr;
}

QAction* actionWithTag(QMenu* menu, int tag)
{
    for (QAction* action : menu->actions())
        if (UserInterfaceItem::tag(action) == tag)
            return action;
    return nullptr;
}

void insertAt(QMenu* menu, int index, QAction* action)
{
    const QList<QAction*> actions = menu->actions();
    menu->insertAction(index >= 0 && index < actions.size() ? actions.at(index) : nullptr, action);
}

} // namespace

TQViewController::TQViewController(const QString& nibName, QObject* parent)
    : QObject(parent), m_nibName(nibName)
{
    // The controls the views host reach the program through it.
    ControlServicesFeed::install();
    if (TQSession* session = TQSessionManager::sharedManager()->currentSession())
        if (session->mocManager())
            m_managedObjectContext = session->mocManager()->masterMOC();
}

TQViewController::~TQViewController()
{
    delete m_view.data();
}

QWidget* TQViewController::view()
{
    if (!m_view) {
        m_view = loadView();
        awakeFromNib();
    }
    return m_view;
}

QWidget* TQViewController::loadView()
{
    return new QWidget;
}

ManagedObjectContext* TQViewController::managedObjectContext() const
{
    return m_managedObjectContext;
}

TQNavigationController* TQViewController::navigationController() const
{
    return m_navigationController;
}

void TQViewController::setNavigationController(TQNavigationController* controller)
{
    m_navigationController = controller;
}

void TQViewController::setSearchString(const QString& searchString)
{
    if (searchString == m_searchString && searchString.isNull() == m_searchString.isNull())
        return;
    m_searchString = searchString;
    emit searchStringChanged(m_searchString);
}

void TQViewController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    m_sortDescriptor = descriptor;
}

void TQViewController::setIsInstalled(bool installed)
{
    if (installed == m_isInstalled)
        return;
    m_isInstalled = installed;
    emit isInstalledChanged(installed);
}

TQNotificationController* TQViewController::notificationController() const
{
    return TQNotificationController::sharedNotificationController();
}

void TQViewController::awakeFromNib()
{
    StringTable::localizeView(m_view);
}

void TQViewController::viewDidInstall()
{
    QWidget* view = this->view();
    view->setFocus(Qt::OtherFocusReason);
    // Commands the view does not answer reach the controller; never twice (no loop of two).
    if (!ResponderChain::respondersBehind(view).contains(this))
        ResponderChain::insertResponder(view, this);
    DMTracker::defaultTracker()->trackEventInCategory(kNavigationCategory, m_nibName, QString());
    setIsInstalled(true);
}

void TQViewController::viewDidUninstall()
{
    setIsInstalled(false);
}

void TQViewController::actionWillStart(const QString& action, const QVariantMap& arguments)
{
    TQProgressManager::progressManager()->actionWillStart(action, arguments);
}

void TQViewController::actionDidFinish(const QString& action, const QVariantMap& arguments)
{
    TQProgressManager::progressManager()->actionDidFinish(action, arguments);
}

void TQViewController::actionDidProgress(const QString& action, const QVariantMap& arguments, quint64 part,
                                         quint64 total)
{
    TQProgressManager::progressManager()->actionDidProgress(action, arguments, part, total);
}

void TQViewController::operationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    Q_UNUSED(result);
    TQLog("Received action callback");
    ActionError::processActionError(ActionError::errorFromValue(error));
}

void TQViewController::newFakeAction(QObject*) {}
void TQViewController::editEntity(QObject*) {}
void TQViewController::share(QObject*) {}
void TQViewController::deleteEntity(QObject*) {}

void TQViewController::sortAscending(QObject*)
{
    if (m_sortDescriptor && !m_sortDescriptor->ascending())
        setSortDescriptor(m_sortDescriptor->reversed());
}

void TQViewController::sortDescending(QObject*)
{
    if (m_sortDescriptor && m_sortDescriptor->ascending())
        setSortDescriptor(m_sortDescriptor->reversed());
}

bool TQViewController::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (contentType() == ContactsContent && command == Commands::share)
        return false;
    if (command == Commands::newFakeAction) {
        if (contentType() == DocumentsContent)
            rearrangePopupMenuForDocuments(item);
        else if (contentType() == ContactsContent)
            rearrangePopupMenuForContacts(item);
    }
    return true; // every action is allowed offline
}

void TQViewController::rearrangePopupMenuForDocuments(QObject* item)
{
    QMenu* menu = popupMenuOf(item);
    if (!menu || menu->actions().isEmpty())
        return;
    QAction* divider = actionWithTag(menu, kNewItemDividerTag);
    QAction* first = menu->actions().constFirst();
    while (!menu->actions().isEmpty()) {
        QAction* head = menu->actions().constFirst();
        if (UserInterfaceItem::tag(head) < kNewItemDividerTag)
            return; // already documents first
        menu->removeAction(head);
        if (head == divider)
            break;
        menu->insertAction(actionWithTag(menu, kNewItemTailTag), head);
    }
    if (divider)
        insertAt(menu, menu->actions().indexOf(first), divider);
}

void TQViewController::rearrangePopupMenuForContacts(QObject* item)
{
    QMenu* menu = popupMenuOf(item);
    if (!menu || menu->actions().isEmpty())
        return;
    QAction* divider = actionWithTag(menu, kNewItemDividerTag);
    QAction* first = menu->actions().constFirst();
    if (UserInterfaceItem::tag(first) > kNewItemDividerTag)
        return; // already contacts first
    while (true) {
        QAction* tail = actionWithTag(menu, kNewItemTailTag);
        const QList<QAction*> actions = menu->actions();
        const int tailIndex = tail ? actions.indexOf(tail) : actions.size();
        if (tailIndex <= 0)
            break;
        QAction* moving = actions.at(tailIndex - 1);
        menu->removeAction(moving);
        if (moving == divider)
            break;
        insertAt(menu, 0, moving);
    }
    if (divider)
        insertAt(menu, menu->actions().indexOf(first), divider);
}

} // namespace tavrel
