#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "GetFileHandler", store side of one document's download (service side: gddmhGetFile). Parameters:
// "documentEntity" (a File), "exportFormat" (filled in from the kind when absent), "progressID",
// "progressConsumer". A copy already cached answers at once without the service; a new download is
// moved into the document cache, replacing older versions. Every outcome is told to the store updater.
// The requester receives the whole parameter dictionary with "fileURL" = the cached copy (the null
// object on failure) as result, and the error unmapped. Runs as a background (heavy) operation.
class dmhGetFileHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
    void _encapsulateInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                const QVariant& parameter) override;
    QString handlerOperationClass() const override;
};

} // namespace tavrel
