#include "documents/TQListDrops.h"

#include "controls/TQTableView.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "lists/ListModel.h"
#include "model/FileEntryAbstract.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/DMTracker.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/MessageNames.h"
#include "window/ActionRequests.h"

#include <QDropEvent>
#include <QMimeData>

namespace tavrel {

TQListDrops::TQListDrops(TQAllItemsController* list) : QObject(list), m_list(list)
{
    NotificationCenter::defaultCenter().addObserver(
        this, DragBus::kDragDidBeginNotification, QVariant(), [this](const Notification& notification) {
            // The source is the table (or its viewport) the drag started from.
            auto* source = notification.object().value<QObject*>();
            TQTableView* table = m_list->isViewLoaded() ? m_list->tableView() : nullptr;
            if (table && source && (source == table || source == table->viewport()))
                m_ownDrag = notification.userInfo().value(DragBus::kDragSequenceKey).toULongLong();
        });
}

TQListDrops::~TQListDrops()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

int TQListDrops::rowUnderPointer(const QDropEvent* info) const
{
    TQTableView* table = m_list->isViewLoaded() ? m_list->tableView() : nullptr;
    if (!info || !table)
        return -1;
    // Drag events reach the table's viewport, in its coordinates.
    return table->rowAt(info->position().toPoint().y());
}

ManagedObjectPtr TQListDrops::recordUnderPointer(const QDropEvent* info) const
{
    return m_list->recordAtRow(rowUnderPointer(info));
}

ManagedObjectPtr TQListDrops::collectionUnderPointer(const QDropEvent* info) const
{
    const ManagedObjectPtr record = recordUnderPointer(info);
    return TQAllItemsFilteringViewController::isCollection(QVariant::fromValue(record)) ? record : nullptr;
}

bool TQListDrops::isOwnDrag(const QDropEvent* info) const
{
    if (!info)
        return false;
    TQTableView* table = m_list->isViewLoaded() ? m_list->tableView() : nullptr;
    if (table && info->source() && (info->source() == table || info->source() == table->viewport()))
        return true;
    const quint64 sequence = DragBus::sequence(info->mimeData());
    return sequence != 0 && sequence == m_ownDrag;
}

QList<ManagedObjectPtr> TQListDrops::draggedRecords(const QMimeData* data) const
{
    QList<ManagedObjectPtr> records;
    ManagedObjectContext* context = m_list->managedObjectContext();
    if (!context)
        return records;
    for (const QString& identifier : DragBus::fileItems(data))
        if (auto record = FileEntryAbstract::fileEntryAbstractWithIdentifier(identifier, context))
            if (!records.contains(record))
                records.append(record);
    return records;
}

bool TQListDrops::canAccept(const QDropEvent* info, bool needsCollection)
{
    TQTableView* table = m_list->isViewLoaded() ? m_list->tableView() : nullptr;
    if (!info || !table)
        return false;
    const QMimeData* data = info->mimeData();
    const int row = rowUnderPointer(info);
    if (row >= 0 && m_list->isGroupRow(row))
        return false;
    const bool onCollection = bool(collectionUnderPointer(info));
    const bool records = !draggedRecords(data).isEmpty();
    bool accepted = false;
    if (isOwnDrag(info)) {
        accepted = onCollection && !m_list->selectedRows().contains(row);
    } else {
        const bool files = !DragBus::fileURLs(data).isEmpty();
        const bool trashed = records && DragBus::hasTrashedItems(data);
        accepted = files || trashed || records;
    }
    if (accepted && needsCollection && !onCollection)
        accepted = false;
    const int target = !accepted      ? TQTableView::DropNowhere
                       : onCollection ? TQTableView::DropOnRow
                                      : TQTableView::DropOnTable;
    if (table->dropTarget() != target) {
        table->setDropTarget(target);
        table->viewport()->update();
    }
    return accepted;
}

void TQListDrops::send(const QString& action, QVariantMap parameters, const QString& identifierKey,
                       const QString& verb) const
{
    parameters.insert(identifierKey, QStringLiteral("%1_%2").arg(verb).arg(ActionRequests::uniqueNumber()));
    parameters.insert(QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(m_list));
    ActionRequests::executeDocumentAction(
        action, Invocation::invocationForSelector(Selectors::operationDidFinish, m_list), parameters);
}

bool TQListDrops::uploadFiles(const QMimeData* data, QVariantMap parameters) const
{
    const QList<QUrl> files = DragBus::fileURLs(data);
    if (files.isEmpty())
        return false;
    parameters.insert(QStringLiteral("fileURLs"), QVariant::fromValue(files));
    send(QStringLiteral("UploadFiles"), parameters, QStringLiteral("progressID"), QStringLiteral("upload"));
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Share"), QStringLiteral("Drag&Drop"),
                                                      QStringLiteral("Finder"));
    return true;
}

} // namespace tavrel
