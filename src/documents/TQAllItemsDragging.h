#pragma once

#include "platform/store/ManagedObject.h"

#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <QUrl>

class QDropEvent;
class QMimeData;

namespace tavrel {

class TQAllItemsController;

// Drag and drop of the document list. Rows leave as the current cached copies of their documents
// (text/uri-list) and as our own type carrying the records' identifiers with the process id, never
// object addresses: a drop reads the identifiers back from the store. The list takes: its own rows
// dropped on an unselected collection row (assigned to it); records from the trash anywhere (restored);
// files from the file manager (uploaded into the collection the window shows). Anything else, our own
// records from another list among them, is refused while the drag is over the list.
class TQAllItemsDragging : public QObject
{
    Q_OBJECT
public:
    explicit TQAllItemsDragging(TQAllItemsController* list);
    ~TQAllItemsDragging() override;

    // The drag of the rows (ascending), which become the selection.
    QMimeData* mimeDataForRows(const QList<int>& rows);
    // One row: the record's icon; several: the documents' image with a red count badge.
    QPixmap dragImageForRows(const QList<int>& rows, QPoint* offset) const;
    // The records a drag of this process carries, read back from the store; none from elsewhere.
    QList<ManagedObjectPtr> draggedRecords(const QMimeData* data) const;

    // Promised files: placeholders in the folder for the rows' records and their download scheduled;
    // answers the names written. A title becomes a name as downloads name their files, so no name
    // leaves the folder ("/", ".", "..", hidden names).
    QStringList namesOfPromisedFilesDroppedAtDestination(const QString& folder, const QList<int>& rows);
    void scheduleDownloadWithParameters(const QVariantMap& parameters);

    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* info);
    Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info);
    Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* info);

private:
    int rowUnder(QDropEvent* info) const;
    bool isOwnDrag(QDropEvent* info) const;

    TQAllItemsController* m_list;
    // The number of the last drag the list's table started: a drop carrying it is the list's own.
    quint64 m_ownSequence = 0;
};

} // namespace tavrel
