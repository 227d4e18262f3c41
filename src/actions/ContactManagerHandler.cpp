#include "actions/ContactManagerHandler.h"

#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"

namespace tavrel {

GDataContactManager* ContactManagerHandler::gdataManager() const
{
    VUvodozuManager* owner = session() ? session()->contactManager() : nullptr;
    if (!owner)
        owner = manager();
    return owner ? qobject_cast<GDataContactManager*>(owner->gdataManager()) : nullptr;
}

} // namespace tavrel
