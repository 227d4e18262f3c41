#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "UploadFileHandler", store side of one file's upload (service side: gddmhUploadFile). Parameters:
// "fileURL" (required, a URL), "collectionEntity", "shouldConvert", "isStarred", "isTrashed" (a number
// when present), "progressID", "progressConsumer". Runs as a background (heavy) operation: it waits as
// long as the transfer takes. The answer is the new record; the uploaded file is also kept as the
// record's downloaded copy.
class dmhUploadFileHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
    QString handlerOperationClass() const override;
};

} // namespace tavrel
