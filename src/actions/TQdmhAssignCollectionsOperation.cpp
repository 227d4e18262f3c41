#include "actions/TQdmhAssignCollectionsOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhAssignCollectionsOperation)

void TQdmhAssignCollectionsOperation::assignCollectionDidFinishWithResult(const QVariant& result,
                                                                          const QVariant& error)
{
    collectResult(result, error);
}

QVariantMap TQdmhAssignCollectionsOperation::extraArguments(const QVariantMap& arguments) const
{
    return {{QStringLiteral("collectionEntity"), arguments.value(QStringLiteral("collectionEntity"))}};
}

} // namespace tavrel
