#include "documents/TQAllFavoritesController.h"

#include "controls/TQTableView.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQListDrops.h"
#include "lists/TQNoSearchProvider.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/TQLog.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/StringTable.h"

#include <QDropEvent>
#include <QLabel>

namespace tavrel {

TQAllFavoritesController::TQAllFavoritesController(QObject* parent)
    : TQAllItemsController(QStringLiteral("FavoriteItemsView"), parent), m_drops(new TQListDrops(this))
{}

TQAllFavoritesController::~TQAllFavoritesController() = default;

void TQAllFavoritesController::awakeFromNib()
{
    TQAllItemsController::awakeFromNib();
    tableView()->setDropDelegate(this);
}

QString TQAllFavoritesController::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchFavoriteItems"));
}

QWidget* TQAllFavoritesController::makeNoItemsView(QWidget* parent)
{
    return TQNoSearchProvider::makeMessageView(parent, StringTable::text(QStringLiteral("NoFavoriteItems")));
}

Predicate TQAllFavoritesController::placePredicate() const
{
    return TQAllItemsFilteringViewController::starredPredicate(*this);
}

bool TQAllFavoritesController::acceptorCanAcceptDraggingInfo(QObject*, QDropEvent* info)
{
    return m_drops->canAccept(info, false);
}

bool TQAllFavoritesController::acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info)
{
    return acceptorCanAcceptDraggingInfo(acceptor, info);
}

bool TQAllFavoritesController::acceptorProcessDraggingInfo(QObject*, QDropEvent* info)
{
    if (!info)
        return true;
    const QMimeData* data = info->mimeData();
    const QList<ManagedObjectPtr> records = m_drops->draggedRecords(data);
    QVariantList entities;
    for (const ManagedObjectPtr& record : records)
        entities.append(QVariant::fromValue(record));
    const QString kEntities = QStringLiteral("documentEntities");
    const QString kStatus = QStringLiteral("statusID");
    if (!records.isEmpty() && DragBus::hasTrashedItems(data)) {
        TQLog("UnTrashing: %u documents", records.size());
        m_drops->send(QStringLiteral("UntrashAndStarDocuments"),
                      {{kEntities, entities}, {QStringLiteral("isStarred"), true}}, kStatus,
                      QStringLiteral("untrashing"));
    } else if (!records.isEmpty() && tableView()->dropTarget() == TQTableView::DropOnRow) {
        // Over a collection's row the documents go into that collection, unstarred.
        const ManagedObjectPtr collection = m_drops->collectionUnderPointer(info);
        if (!collection)
            return false;
        m_drops->send(
            QStringLiteral("AssignCollections"),
            {{kEntities, entities}, {QStringLiteral("collectionEntity"), QVariant::fromValue(collection)}},
            kStatus, QStringLiteral("tocollection"));
    } else if (!records.isEmpty()) {
        m_drops->send(QStringLiteral("StarredDocuments"),
                      {{kEntities, entities}, {QStringLiteral("isStarred"), true}}, kStatus,
                      QStringLiteral("starred"));
    } else {
        // Uploads land at the top level, starred.
        m_drops->uploadFiles(data, {{QStringLiteral("isStarred"), true},
                                    {QStringLiteral("managedObjectContext"),
                                     QVariant::fromValue<QObject*>(managedObjectContext())}});
    }
    return true;
}

} // namespace tavrel
