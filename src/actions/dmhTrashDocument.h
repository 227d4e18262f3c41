#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "TrashDocument", store side: moves "documentEntity" to the trash, stores the answered entry and
// answers the master record.
class dmhTrashDocument : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;

protected:
    virtual QString serviceAction() const { return QStringLiteral("TrashDocument"); }
};

} // namespace tavrel
