#include "controls/TQDestinationDropDelegate.h"

#include "platform/runtime/Invocation.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/MessageNames.h"

#include <QDropEvent>

namespace tavrel {

namespace {
// The design's three methods share their first keyword; the second joins the name, as everywhere
// else where two selectors would clash.
QString selectorFor(TQDestinationDropDelegate::Method method)
{
    switch (method) {
    case TQDestinationDropDelegate::Method::CanAccept:
        return Selectors::acceptorCanAcceptDraggingInfo;
    case TQDestinationDropDelegate::Method::Validate:
        return Selectors::acceptorValidateDraggingInfo;
    case TQDestinationDropDelegate::Method::Process:
        break;
    }
    return Selectors::acceptorProcessDraggingInfo;
}
} // namespace

bool TQDestinationDropDelegate::respondsTo(const QObject* delegate, Method method)
{
    return Invocation::respondsToSelector(delegate, selectorFor(method));
}

bool TQDestinationDropDelegate::canAcceptDraggingInfo(QObject* delegate, QObject* acceptor, QDropEvent* info)
{
    return ask(delegate, Method::CanAccept, acceptor, info);
}

bool TQDestinationDropDelegate::validateDraggingInfo(QObject* delegate, QObject* acceptor, QDropEvent* info)
{
    return ask(delegate, Method::Validate, acceptor, info);
}

bool TQDestinationDropDelegate::processDraggingInfo(QObject* delegate, QObject* acceptor, QDropEvent* info)
{
    return ask(delegate, Method::Process, acceptor, info);
}

Qt::DropAction TQDestinationDropDelegate::dragOperation(const QMimeData* data)
{
    return data && !DragBus::fileNames(data).isEmpty() ? Qt::CopyAction : Qt::MoveAction;
}

bool TQDestinationDropDelegate::ask(QObject* delegate, Method method, QObject* acceptor, QDropEvent* info)
{
    if (!respondsTo(delegate, method))
        return false;
    const InvocationPtr invocation = Invocation::invocationForSelector(selectorFor(method), delegate);
    invocation->setArgument(Invocation::kFirstArgument, QVariant::fromValue(acceptor));
    invocation->setArgument(Invocation::kFirstArgument + 1, QVariant::fromValue(info));
    return invocation->invoke() && invocation->returnValue().toBool();
}

} // namespace tavrel
