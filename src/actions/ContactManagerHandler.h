#pragma once

#include "actions/GDataContactManager.h"
#include "pipeline/VUvodozuHandler.h"

namespace tavrel {

// Base of the store-side "cmh" handlers: their actions go on to the session's contacts service manager.
class ContactManagerHandler : public VUvodozuHandler
{
    Q_OBJECT
public:
    // The session's contactManager's service manager (the manager that made this handler when the session
    // names none); nullptr when there is none, as for a session without an authentication.
    GDataContactManager* gdataManager() const override;

protected:
    // Passes the action on to the contacts service unchanged; without one (a session without an
    // authentication) the requester gets 703 "The session has no contacts service".
    void forwardAction(const QString& action, const InvocationPtr& invocation,
                       const QVariantMap& parameters) const;
};

} // namespace tavrel
