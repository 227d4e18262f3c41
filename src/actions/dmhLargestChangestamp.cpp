#include "actions/dmhLargestChangestamp.h"

#include "actions/GDataResultValues.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataFeedDocList.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhLargestChangestamp)

void dmhLargestChangestamp::executeActionAndCall(const InvocationPtr& invocation,
                                                 const QVariantMap& parameters)
{
    GDManagerManager* service = gdataManager();
    if (!service) {
        callExternalInvocation(invocation, QVariant(),
                               VUvodozuManager::unexpectedErrorWithReason(
                                   QStringLiteral("The session has no documents service")));
        return;
    }
    service->executeAction(QStringLiteral("LargestChangestamp"), invocation, parameters);
}

QVariantMap dmhLargestChangestamp::defaultCallbackForParams(const QVariantMap& result)
{
    QVariant stamp;
    if (const auto feed = GDataResultValues::objectFromValue<GDataFeedDocList>(result.value(kFeedKey)))
        if (const std::optional<qint64> largest = feed->largestChangestamp())
            stamp = QVariant::fromValue<qint64>(*largest);
    return {{kFeedKey, stamp}, {kErrorKey, result.value(kErrorKey)}};
}

} // namespace tavrel
