#include "actions/TQdmhUnassignCollectionsOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUnassignCollectionsOperation)

void TQdmhUnassignCollectionsOperation::unassignCollectionDidFinishWithResult(const QVariant& result,
                                                                              const QVariant& error)
{
    collectResult(result, error);
}

QVariantMap TQdmhUnassignCollectionsOperation::extraArguments(const QVariantMap& arguments) const
{
    return {{QStringLiteral("collectionEntity"), arguments.value(QStringLiteral("collectionEntity"))}};
}

} // namespace tavrel
