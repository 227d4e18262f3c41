#include "documents/TQTrashItemsController.h"

#include "controls/TQTableView.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQAllItemsRowMenus.h"
#include "lists/TQNoSearchProvider.h"
#include "model/TQUtility.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Invocation.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/ActionRequests.h"

#include <QAction>
#include <QLabel>
#include <QMenu>

namespace tavrel {

namespace {

void trackUsage(const QString& category, const QString& name, const QString& value)
{
    DMTracker::defaultTracker()->trackEventInCategory(category, name, value);
}

// A command sent by a menu item reports itself first.
void trackMenuEvent(QObject* sender, QLatin1String selector)
{
    if (qobject_cast<QAction*>(sender))
        trackUsage(QStringLiteral("Action"), QStringLiteral("ContextualMenu"), selector);
}

QVariantList recordValues(const QList<ManagedObjectPtr>& records)
{
    QVariantList values;
    for (const ManagedObjectPtr& record : records)
        values.append(QVariant::fromValue(record));
    return values;
}

QString identifier(const char* verb)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(verb)).arg(ActionRequests::uniqueNumber());
}

} // namespace

TQTrashItemsController::TQTrashItemsController(QObject* parent)
    : TQAllItemsController(QStringLiteral("TrashItemsView"), parent)
{}

TQTrashItemsController::~TQTrashItemsController() = default;

void TQTrashItemsController::awakeFromNib()
{
    TQAllItemsController::awakeFromNib();
    QMenu* menu = rowMenu();
    QAction* first = menu->actions().value(0);
    QAction* restoreItem = UserInterfaceItem::makeAction(StringTable::text(QStringLiteral("Restore")),
                                                         QString(Commands::restore), menu);
    menu->insertAction(first, restoreItem);
    menu->insertSeparator(first);
    tableView()->setDropDelegate(this);
}

QString TQTrashItemsController::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchTrash"));
}

QWidget* TQTrashItemsController::makeNoItemsView(QWidget* parent)
{
    return TQNoSearchProvider::makeMessageView(parent, StringTable::text(QStringLiteral("TrashIsEmpty")));
}

Predicate TQTrashItemsController::placePredicate() const
{
    return TQAllItemsFilteringViewController::trashPredicate(*this);
}

void TQTrashItemsController::restore(QObject* sender)
{
    trackMenuEvent(sender, Commands::restore);
    QList<ManagedObjectPtr> items = selectedRecords();
    if (items.isEmpty())
        if (ManagedObjectPtr pressed = recordAtRow(clickedRow()))
            items.append(pressed);
    TQLog("UnTrashing: %u documents", items.size());
    if (items.isEmpty())
        return;
    ActionRequests::executeDocumentAction(
        QStringLiteral("UntrashDocuments"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("documentEntities"), recordValues(items)},
         {QStringLiteral("statusID"), identifier("untrashing")},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
}

void TQTrashItemsController::deleteEntity(QObject* sender)
{
    trackMenuEvent(sender, Commands::deleteEntity);
    QList<ManagedObjectPtr> items = selectedRecords();
    if (items.isEmpty())
        if (ManagedObjectPtr pressed = recordAtRow(clickedRow()))
            items.append(pressed);
    deleteItems(items);
    trackUsage(QStringLiteral("Toolbar"), QStringLiteral("Delete"), QStringLiteral("Document"));
}

void TQTrashItemsController::deleteEntity(TQTableView*)
{
    deleteEntity(static_cast<QObject*>(nullptr));
}

void TQTrashItemsController::remove(QObject* sender)
{
    deleteEntity(sender);
}

QList<ManagedObjectPtr> TQTrashItemsController::trashedRecords() const
{
    ManagedObjectContext* context = managedObjectContext();
    if (!context)
        return {};
    FetchRequest request(QStringLiteral("FileEntryAbstract"));
    request.setPredicate(Predicate::format(QStringLiteral("isTrashed == %@"), true));
    Error error;
    const QList<ManagedObjectPtr> records = context->executeFetchRequest(request, &error);
    if (!error.isNull())
        TQLog("E: Cannot read the trash: %@", error.description());
    return records;
}

bool TQTrashItemsController::deleteAllEntities(QObject*)
{
    return deleteItems(trashedRecords());
}

bool TQTrashItemsController::deleteItems(const QList<ManagedObjectPtr>& records)
{
    if (records.isEmpty())
        return false;
    TQLog("Deleting: %u documents", records.size());
    ActionRequests::executeDocumentAction(
        QStringLiteral("DeleteDocuments"),
        Invocation::invocationForSelector(Selectors::documentsDidDelete, this),
        {{QStringLiteral("documentEntities"), recordValues(records)},
         {QStringLiteral("statusID"), identifier("deleting")},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
    return true;
}

void TQTrashItemsController::documentsDidDeleteWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
    emit deletionDidFinish(error.isValid() && !error.value<Error>().isNull());
}

bool TQTrashItemsController::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::remove || command == Commands::deleteEntity)
        UserInterfaceItem::setTitle(item, StringTable::text(QStringLiteral("DeleteForever")));
    if (command == Commands::restore)
        return !selectedRecords().isEmpty() || recordAtRow(clickedRow());
    return TQAllItemsController::validateUserInterfaceItem(item) && TQUtility::actionAllowedOffline(command);
}

bool TQTrashItemsController::acceptorCanAcceptDraggingInfo(QObject*, QDropEvent*)
{
    return false;
}

QMimeData* TQTrashItemsController::tableViewMimeDataForRows(TQTableView* table, const QList<int>& rows)
{
    QMimeData* data = TQAllItemsController::tableViewMimeDataForRows(table, rows);
    if (data)
        DragBus::setTrashedItems(data);
    return data;
}

} // namespace tavrel
