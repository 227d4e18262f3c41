#include "actions/DocumentManagerHandler.h"

#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"

namespace tavrel {

GDataDocumentManager* DocumentManagerHandler::gdataManager() const
{
    VUvodozuManager* owner = session() ? session()->documentManager() : nullptr;
    if (!owner)
        owner = manager();
    return owner ? qobject_cast<GDataDocumentManager*>(owner->gdataManager()) : nullptr;
}

} // namespace tavrel
