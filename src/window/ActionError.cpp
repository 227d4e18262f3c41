#include "window/ActionError.h"

#include "platform/system/TQLog.h"
#include "platform/ui/ResponderChain.h"

namespace tavrel {

Error ActionError::errorFromValue(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<Error>() ? value.value<Error>() : Error();
}

Error ActionError::error(const QObject* sender)
{
    return sender ? errorFromValue(sender->property("error")) : Error();
}

bool ActionError::processActionError(const Error& error)
{
    if (error.isNull())
        return false;
    TQLog("E: Got error on requested operation: %@", error.description());
    ActionError sender(error);
    return ResponderChain::send(kProcessActionErrorCommand, &sender) != nullptr;
}

} // namespace tavrel
