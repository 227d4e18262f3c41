#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "FileList", store side: passed on unchanged; the requester receives the whole document list feed.
class dmhFileList : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
