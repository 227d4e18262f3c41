#include "actions/TQdmhSetGeneralACLPermissionOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhSetGeneralACLPermissionOperation)

void TQdmhSetGeneralACLPermissionOperation::setGeneralPermissionDidFinishWithResult(const QVariant& result,
                                                                                    const QVariant& error)
{
    Q_UNUSED(result);
    stepDidAnswer(error);
}

} // namespace tavrel
