#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "UploadRevision", store side (service side: gddmhUploadRevision). Parameters: "documentEntity" (a
// File), "filePath" (a string: the saved copy), "progressConsumer". On success the record takes the
// service's new entry, the saved copy becomes the record's cached copy, and a desktop notification
// tells the user. Runs as a background (heavy) operation: a large revision on a slow link is never
// given up.
class dmhUploadRevision : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
    QString handlerOperationClass() const override;
};

} // namespace tavrel
