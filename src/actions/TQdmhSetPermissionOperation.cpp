#include "actions/TQdmhSetPermissionOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhSetPermissionOperation)

void TQdmhSetPermissionOperation::setPermissionHandlerDidFinishWithResult(const QVariant& result,
                                                                          const QVariant& error)
{
    Q_UNUSED(result);
    stepDidAnswer(error);
}

} // namespace tavrel
