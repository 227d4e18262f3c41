#include "actions/gddmhStarredDocuments.h"

#include "platform/gdata/GDataConstants.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhStarredDocuments)

void gddmhStarredDocuments::executeActionAndCall(const InvocationPtr& invocation,
                                                 const QVariantMap& parameters)
{
    const bool starred = parameters.value(QStringLiteral("isStarred")).toBool();
    const QVariant documents = parameters.value(QStringLiteral("documentEntities"));
    const auto batch =
        batchOfStoredEntries(documents.toList(), kGDataBatchOperationUpdate,
                             [starred](GDataEntryDocBase& entry) { entry.setIsStarred(starred); });
    if (const auto ticket =
            sendBatch(invocation, parameters, batch, parameters.value(QStringLiteral("batchURL")).toUrl()))
        ticket->setProperty(QStringLiteral("documentEntities"), documents);
}

QVariantMap gddmhStarredDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
