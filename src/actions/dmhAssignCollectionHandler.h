#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "AssignCollectionHandler", store side: puts "documentEntity" into the collection whose content feed
// is posted to at "feedURL", then stores the answered entry and answers the master record.
class dmhAssignCollectionHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
