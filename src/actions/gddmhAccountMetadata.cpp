#include "actions/gddmhAccountMetadata.h"

#include "actions/GDataResultValues.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataEntryDocListMetadata.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhAccountMetadata)

void gddmhAccountMetadata::executeActionAndCall(const InvocationPtr& invocation,
                                                const QVariantMap& parameters)
{
    GDataServiceTicketPtr ticket;
    if (GDataServiceGoogleDocs* docs = service())
        ticket = docs->fetchEntryWithURL(GDataEndpoints::docsMetadataEntryURL(), this, kFeedCallback);
    if (ticket)
        parkInvocation(ticket, invocation);
    else
        callHighLevelInvocation(invocation, parameters, QVariant(), noTicketError());
}

QVariantMap gddmhAccountMetadata::defaultCallbackForParams(const QVariantMap& result)
{
    QVariantMap answer = result;
    QVariant stamp;
    const QVariant error = result.value(kErrorKey);
    const bool failed = error.metaType() == QMetaType::fromType<Error>() && !error.value<Error>().isNull();
    if (!failed)
        if (const auto entry =
                GDataResultValues::objectFromValue<GDataEntryDocListMetadata>(result.value(kFeedKey)))
            if (const std::optional<qint64> largest = entry->largestChangestamp())
                stamp = QVariant::fromValue<qint64>(*largest);
    answer.insert(QStringLiteral("largestChangestamp"), stamp);
    return answer;
}

} // namespace tavrel
