#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "WritersCanInvite", store side: sets whether the editors of "documentEntity" may share it further
// ("writersCanInvite", a number), stores the answered entry and answers the master record.
class dmhWritersCanInvite : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
