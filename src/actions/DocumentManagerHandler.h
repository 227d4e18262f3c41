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
};

} // namespace tavrel
