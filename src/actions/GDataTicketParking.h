#pragma once

#include "platform/gdata/GDataServiceTicket.h"
#include "platform/runtime/Invocation.h"

namespace tavrel {

// The service-side handlers' hold on a call in flight: the invocation waits on the ticket as its
// property "invocation" until the call answers. A call answers only on the thread that started it, so
// when that thread ends before the answer (its operation timed out or was cancelled) the call is
// cancelled and the invocation, with the whole chain behind it, is let go.
class GDataTicketParking
{
public:
    static void parkInvocation(const GDataServiceTicketPtr& ticket, const InvocationPtr& invocation);
    // Hands each page of the call's feed, as it arrives, to `pages` (argument 2, a GDataFeedPtr value)
    // instead of joining them; an Error that it answers ends the call with that error. Nothing for a
    // null invocation.
    static void handPagesTo(const GDataServiceTicketPtr& ticket, const InvocationPtr& pages);
};

} // namespace tavrel
