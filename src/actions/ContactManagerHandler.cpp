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

void ContactManagerHandler::forwardAction(const QString& action, const InvocationPtr& invocation,
                                          const QVariantMap& parameters) const
{
    forwardActionToService(action, invocation, parameters,
                           QStringLiteral("The session has no contacts service"));
}

} // namespace tavrel
