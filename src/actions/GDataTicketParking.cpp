#include "actions/GDataTicketParking.h"

#include "pipeline/GDManagerHandler.h"
#include "platform/runtime/ThreadDispatch.h"

#include <QObject>

namespace tavrel {

void GDataTicketParking::parkInvocation(const GDataServiceTicketPtr& ticket, const InvocationPtr& invocation)
{
    if (!ticket)
        return;
    ticket->setProperty(GDManagerHandler::kInvocationKey, QVariant::fromValue(invocation));
    QObject* threadContext = ThreadDispatch::contextForCurrentThread();
    if (!threadContext)
        return;
    const std::weak_ptr<GDataServiceTicket> weak = ticket;
    QObject::connect(threadContext, &QObject::destroyed, [weak] {
        const GDataServiceTicketPtr unanswered = weak.lock();
        if (!unanswered || unanswered->hasCalledCallback())
            return;
        unanswered->cancelTicket();
        unanswered->setProperty(GDManagerHandler::kInvocationKey, QVariant());
    });
}

} // namespace tavrel
