#include "documents/TQAllCollectionsController.h"

#include "controls/TQTableView.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQListDrops.h"
#include "lists/TQNoSearchProvider.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/StringTable.h"

#include <QDropEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace tavrel {

namespace {
// From a drop of documents to the slide back of the sidebar's drag.
inline const Timing kSlideBackDelay{"collectionsSlideBackDelay", 500};
} // namespace

TQAllCollectionsController::TQAllCollectionsController(QObject* parent)
    : TQAllItemsController(QStringLiteral("AllCollectionsView"), parent), m_drops(new TQListDrops(this))
{}

TQAllCollectionsController::~TQAllCollectionsController() = default;

void TQAllCollectionsController::awakeFromNib()
{
    TQAllItemsController::awakeFromNib();
    tableView()->setDropTarget(TQTableView::DropOnRow);
    tableView()->setDropDelegate(this);
}

QString TQAllCollectionsController::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchCollections"));
}

QWidget* TQAllCollectionsController::makeNoItemsView(QWidget* parent)
{
    return TQNoSearchProvider::makeMessageView(parent, StringTable::text(QStringLiteral("NoCollections")));
}

Predicate TQAllCollectionsController::placePredicate() const
{
    return TQAllItemsFilteringViewController::collectionsPredicate(*this);
}

bool TQAllCollectionsController::acceptorCanAcceptDraggingInfo(QObject*, QDropEvent* info)
{
    return m_drops->canAccept(info, true);
}

bool TQAllCollectionsController::acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info)
{
    return acceptorCanAcceptDraggingInfo(acceptor, info);
}

bool TQAllCollectionsController::acceptorProcessDraggingInfo(QObject*, QDropEvent* info)
{
    const ManagedObjectPtr collection = info ? m_drops->collectionUnderPointer(info) : nullptr;
    if (!collection)
        return false;
    const QVariant target = QVariant::fromValue(collection);
    const QList<ManagedObjectPtr> records = m_drops->draggedRecords(info->mimeData());
    if (!records.isEmpty()) {
        QVariantList entities;
        for (const ManagedObjectPtr& record : records)
            entities.append(QVariant::fromValue(record));
        m_drops->send(
            QStringLiteral("AssignCollections"),
            {{QStringLiteral("documentEntities"), entities}, {QStringLiteral("collectionEntity"), target}},
            QStringLiteral("statusID"), QStringLiteral("tocollection"));
        QPointer<TQAllCollectionsController> self(this);
        QTimer::singleShot(kSlideBackDelay.duration(), this, [self] {
            if (self)
                self->performSlideBackIfNeeded();
        });
        return true;
    }
    m_drops->uploadFiles(info->mimeData(), {{QStringLiteral("collectionEntity"), target}});
    return true;
}

void TQAllCollectionsController::performSlideBackIfNeeded()
{
    NotificationCenter::defaultCenter().post(DragBus::kDragDidCancelNotification);
}

} // namespace tavrel
