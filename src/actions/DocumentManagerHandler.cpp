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

void DocumentManagerHandler::forwardAction(const QString& action, const InvocationPtr& invocation,
                                           const QVariantMap& parameters) const
{
    forwardActionToService(action, invocation, parameters,
                           QStringLiteral("The session has no documents service"));
}

} // namespace tavrel
