#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "AccountMetadata", store side: passed on unchanged.
class dmhAccountMetadata : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
