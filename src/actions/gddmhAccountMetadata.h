#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "AccountMetadata", service side: the metadata entry under "feed" and its largest changestamp under
// "largestChangestamp" (the null object after an error).
class gddmhAccountMetadata : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
