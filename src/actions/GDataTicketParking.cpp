#include "actions/GDataTicketParking.h"

#include "actions/GDataResultValues.h"
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

void GDataTicketParking::handPagesTo(const GDataServiceTicketPtr& ticket, const InvocationPtr& pages)
{
    if (!ticket || !pages)
        return;
    ticket->setFeedPageHandler([pages](const GDataServiceTicketPtr&, const GDataFeedPtr& page) {
        pages->setArgument(2, GDataResultValues::valueForObject(page));
        pages->invoke();
        // The page goes as soon as the taker is done with it.
        pages->setArgument(2, QVariant());
        const QVariant answer = pages->returnValue();
        return answer.metaType() == QMetaType::fromType<Error>() ? answer.value<Error>() : Error();
    });
}

} // namespace tavrel
