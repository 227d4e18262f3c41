#pragma once

#include "actions/GDataDocumentManager.h"
#include "pipeline/VUvodozuHandler.h"

namespace tavrel {

// Base of the store-side "dmh" handlers: their actions go on to the session's documents service manager.
class DocumentManagerHandler : public VUvodozuHandler
{
    Q_OBJECT
public:
    // The session's documentManager's service manager (the manager that made this handler when the session
    // names none); nullptr when there is none, as for a session without an authentication.
    GDataDocumentManager* gdataManager() const override;

protected:
    // Passes the action on to the documents service unchanged; without one (a session without an
    // authentication) the requester gets 703 "The session has no documents service".
    void forwardAction(const QString& action, const InvocationPtr& invocation,
                       const QVariantMap& parameters) const;
};

} // namespace tavrel
