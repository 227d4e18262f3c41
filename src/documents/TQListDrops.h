#pragma once

#include "platform/store/ManagedObject.h"

#include <QObject>
#include <QVariantMap>

class QDropEvent;
class QMimeData;

namespace tavrel {

class TQAllItemsController;

// What the starred and collections lists share of their drops: where the drag's pointer is, whether
// the drag started in the list's own table, the records it carries, and the accepting rule with the
// table's drop highlight. Main thread only.
//
// A drag carries records as their identifiers with the id of the process that started it
// (DragBus::fileItems); they are looked up again in the list's context, so a drag from another process
// or of records deleted meanwhile carries nothing.
class TQListDrops : public QObject
{
    Q_OBJECT
public:
    // Follows the list's own drags from now on.
    explicit TQListDrops(TQAllItemsController* list);
    ~TQListDrops() override;

    // The row under the drag's pointer; -1 below the last row or outside the table.
    int rowUnderPointer(const QDropEvent* info) const;
    // The record of that row; none for a group row and where there is no row.
    ManagedObjectPtr recordUnderPointer(const QDropEvent* info) const;
    // The collection of that row; none when the row holds something else.
    ManagedObjectPtr collectionUnderPointer(const QDropEvent* info) const;
    // Whether the drag started in the list's own table.
    bool isOwnDrag(const QDropEvent* info) const;
    // The records the drag carries, in its order; records no longer stored are left out.
    QList<ManagedObjectPtr> draggedRecords(const QMimeData* data) const;

    // The accepting rule of both lists:
    // 1. a group row under the pointer refuses;
    // 2. the list's own rows go only onto a collection row that is not selected (highlighting that
    //    row); files from the file manager and the trash's documents go anywhere (highlighting the
    //    whole table);
    // 3. records dragged from elsewhere go anywhere;
    // 4. once accepted over a row, the highlight is that row when it is a collection, else the table.
    // With needsCollection, a drag not over a collection row is refused: the drop would have no
    // collection to put things into.
    bool canAccept(const QDropEvent* info, bool needsCollection);

    // Sends a drop's action for the list, with the list as its progress consumer and its
    // operationDidFinishWithResult:error: as callback; identifierKey ("statusID", "progressID") gets
    // the verb with a number of its own ("starred_12").
    void send(const QString& action, QVariantMap parameters, const QString& identifierKey,
              const QString& verb) const;
    // Uploads the files of a file manager's drag with the parameters; false when it carries none.
    bool uploadFiles(const QMimeData* data, QVariantMap parameters) const;

private:
    TQAllItemsController* m_list;
    // The number of the last drag the list's table started (DragBus's sequence), 0 for none.
    quint64 m_ownDrag = 0;
};

} // namespace tavrel
