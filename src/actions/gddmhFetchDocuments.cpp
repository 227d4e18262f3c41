#include "actions/gddmhFetchDocuments.h"

#include "platform/gdata/GDataConstants.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhFetchDocuments)

void gddmhFetchDocuments::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    sendBatch(invocation, parameters,
              batchOfIdentifiers(parameters.value(QStringLiteral("documentIdentifiers")).toStringList(),
                                 kGDataBatchOperationQuery),
              parameters.value(QStringLiteral("batchURL")).toUrl());
}

QVariantMap gddmhFetchDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
