#include "progress/TQProgressAction.h"

#include "platform/system/TQLog.h"

namespace tavrel {

TQProgressActionPtr TQProgressAction::actionWithName(const QString& name, const QVariantMap& arguments)
{
    const QString identifier = arguments.value(kActionIDKey).toString();
    if (identifier.isEmpty()) {
        TQLog("E: Skip action (no ID) => name:%@", name);
        return nullptr;
    }
    return std::make_shared<TQProgressAction>(name, arguments, identifier);
}

} // namespace tavrel
