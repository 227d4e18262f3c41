#include "actions/TQdmhUntrashDocumentsOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUntrashDocumentsOperation)

void TQdmhUntrashDocumentsOperation::untrashDocumentDidFinishWithResult(const QVariant& result,
                                                                        const QVariant& error)
{
    collectResult(result, error);
}

QVariantMap TQdmhUntrashDocumentsOperation::extraArguments(const QVariantMap& arguments) const
{
    Q_UNUSED(arguments);
    return {};
}

} // namespace tavrel
