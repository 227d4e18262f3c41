#include "actions/dmhLargestChangestamp.h"

#include "actions/GDataResultValues.h"
#include "platform/gdata/GDataFeedDocList.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhLargestChangestamp)

void dmhLargestChangestamp::executeActionAndCall(const InvocationPtr& invocation,
                                                 const QVariantMap& parameters)
{
    forwardAction(QStringLiteral("LargestChangestamp"), invocation, parameters);
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
