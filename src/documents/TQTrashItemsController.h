#pragma once

#include "documents/TQAllItemsController.h"

class QDropEvent;

namespace tavrel {

// The trash place's list: the all-items list over the trashed documents and collections, with restore
// and delete-for-good in place of moving to the trash. Deleting from it asks nothing (emptying the
// whole trash asks, in TQTrashFilteringViewController). Nothing can be dropped on it.
class TQTrashItemsController : public TQAllItemsController
{
    Q_OBJECT
public:
    explicit TQTrashItemsController(QObject* parent = nullptr);
    ~TQTrashItemsController() override;

    void awakeFromNib() override;
    QString noSearchString() const override;
    Predicate placePredicate() const override;
    // Rows dragged out of the trash say so, so that a drop elsewhere restores them.
    QMimeData* tableViewMimeDataForRows(TQTableView* table, const QList<int>& rows) override;

    // Restores the selected records from the trash.
    Q_INVOKABLE void restore(QObject* sender);
    // Deletes the selected records for good, without asking (the key, the menus, remove:).
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    void deleteEntity(TQTableView* table) override;
    Q_INVOKABLE void remove(QObject* sender);
    // Deletes every trashed record of the account for good, also those a search or the hidden-files
    // choice keeps out of the list: emptying the trash leaves nothing in it. Answers whether anything
    // was sent.
    Q_INVOKABLE bool deleteAllEntities(QObject* sender);
    // Sends the delete-for-good action for the records unless there are none; answers whether it did.
    bool deleteItems(const QList<ManagedObjectPtr>& records);
    // Every trashed record of the account's store.
    QList<ManagedObjectPtr> trashedRecords() const;

    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* info);

    // Callback of the delete-for-good action.
    Q_INVOKABLE void documentsDidDeleteWithResult(const QVariant& result, const QVariant& error);

signals:
    // A delete-for-good this list asked for has been answered, failed or not.
    void deletionDidFinish(bool failed);

protected:
    QWidget* makeNoItemsView(QWidget* parent) override;
};

} // namespace tavrel
