#pragma once

#include <QString>
#include <Qt>

class QDropEvent;
class QMimeData;
class QObject;

namespace tavrel {

// How the drop targets of the interface (list tables, the drop matrix, the drop button, the status
// item's drop view) let a controller decide on a drag and carry the drop out. The delegate is any
// QObject; each of the three methods is optional, and one it does not have counts as the answer false:
//
//     Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* info);
//         a drag enters or moves over the target; false refuses it (no operation, no highlight)
//     Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info);
//         the user releases the drag over the target; false refuses the drop
//     Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* info);
//         the drop is performed: the delegate does all the work; false reports failure
//
// The acceptor is the widget that received the drag, so one controller can serve several targets. The
// dragging info is the drag event itself (data, position in the acceptor, source, actions; the drag's
// number is DragBus::sequence(info->mimeData())).
//
// The notifications that let views follow a list's drop highlight and a cancelled drag are DragBus's
// kDragAreaCleanNotification, kDragAreaHighlightNotification and kDragDidCancelNotification (a
// target whose drag leaves while CurrentEvent::isCancel() posts the last, without object).
class TQDestinationDropDelegate
{
public:
    enum class Method { CanAccept, Validate, Process };

    // Whether the delegate has the method.
    static bool respondsTo(const QObject* delegate, Method method);

    // Asks the delegate; false when there is none or it lacks the method.
    static bool canAcceptDraggingInfo(QObject* delegate, QObject* acceptor, QDropEvent* info);
    static bool validateDraggingInfo(QObject* delegate, QObject* acceptor, QDropEvent* info);
    static bool processDraggingInfo(QObject* delegate, QObject* acceptor, QDropEvent* info);

    // The operation a target answers for an accepted drag: copy for a non-empty list of files from the
    // file manager, otherwise the generic operation (a move of our own items).
    static Qt::DropAction dragOperation(const QMimeData* data);

private:
    static bool ask(QObject* delegate, Method method, QObject* acceptor, QDropEvent* info);
};

} // namespace tavrel
