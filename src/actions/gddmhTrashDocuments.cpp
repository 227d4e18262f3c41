#include "actions/gddmhTrashDocuments.h"

#include "platform/gdata/GDataConstants.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/UrlQuery.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhTrashDocuments)

void gddmhTrashDocuments::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const QVariant documents = parameters.value(QStringLiteral("documentEntities"));
    const auto batch = batchOfStoredEntries(documents.toList(), kGDataBatchOperationDelete);
    QUrl url = parameters.value(QStringLiteral("batchURL")).toUrl();
    if (deletesForGood())
        url = UrlQuery::URLByAppendingQueryString(url, QStringLiteral("delete=true"));
    if (const auto ticket = sendBatch(invocation, parameters, batch, url))
        ticket->setProperty(QStringLiteral("documentEntities"), documents);
}

QVariantMap gddmhTrashDocuments::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
