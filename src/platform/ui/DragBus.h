#pragma once

#include "platform/ui/MessageNames.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <Qt>

class QDrag;
class QMimeData;
class QObject;

namespace tavrel {

// What a drag carries and what it tells. Files travel as text/uri-list; records of this program as
// our own MIME type holding their identifiers and the process id (they mean something only to the
// process that started the drag: the design's in-process object references); a drag from the trash
// carries a marker type as well.
//
// Qt tells drop targets nothing about where a drag ends or that it was cancelled, so our drag sources
// start their drags through exec(), which posts on the default NotificationCenter (object: the
// source; user info: "DragSequence", and at the end "DropAction" as an int of Qt::DropAction):
// kDragDidBeginNotification before, kDragDidEndNotification after, and kDragDidCancelNotification
// after a drag that dropped nothing.
class DragBus
{
public:
    // The design's pasteboard types and their MIME types.
    static inline const QString kFileItemsPboardType = QStringLiteral("TQFileItemsPboardType");
    static inline const QString kTrashedItemsPboardType = QStringLiteral("TQTrashedItemsPboardType");
    static QString mimeType(const QString& pboardType);

    static inline const QString kDragDidBeginNotification = Notifications::dragDidBegin;
    static inline const QString kDragDidEndNotification = Notifications::dragDidEnd;
    static inline const QString kDragDidCancelNotification = Notifications::dragDidCancel;
    static inline const QString kDragAreaCleanNotification = Notifications::dragAreaClean;
    static inline const QString kDragAreaHighlightNotification = Notifications::dragAreaHighlight;
    static inline const QString kDropActionKey = QStringLiteral("DropAction");
    static inline const QString kDragSequenceKey = QStringLiteral("DragSequence");

    // Record identifiers of this process.
    static void setFileItems(QMimeData* data, const QStringList& identifiers);
    // The identifiers when the drag comes from this process; empty otherwise.
    static QStringList fileItems(const QMimeData* data);
    static bool hasFileItems(const QMimeData* data);
    // The trash marker.
    static void setTrashedItems(QMimeData* data);
    static bool hasTrashedItems(const QMimeData* data);

    // Local files (text/uri-list), as URLs and as paths.
    static void setFileURLs(QMimeData* data, const QList<QUrl>& urls);
    static QList<QUrl> fileURLs(const QMimeData* data);
    static QStringList fileNames(const QMimeData* data);

    // The number of the drag in progress or last started (0 before any), also carried by the drag's
    // own data (sequence()), so targets can tell one drag session from the next.
    static quint64 currentSequence();
    static quint64 sequence(const QMimeData* data);

    // Runs the drag, posting begin, end and cancel; answers the action of the drop (IgnoreAction when
    // nothing was dropped). The drag's data gets the sequence number.
    static Qt::DropAction exec(QDrag* drag, Qt::DropActions supportedActions, Qt::DropAction defaultAction);
    // What exec() posts around the drag, for sources that run the drag some other way.
    static quint64 postBegin(QObject* source, QMimeData* data);
    static void postEnd(QObject* source, quint64 sequence, Qt::DropAction action);
};

} // namespace tavrel
