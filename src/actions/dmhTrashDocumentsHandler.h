#pragma once

#include "actions/DocumentManagerHandler.h"

namespace tavrel {

// "TrashDocumentsHandler", store side: "documentEntities" (a non-empty array) go to the trash in one
// batch ("TrashDocuments" with the document list's "batchURL"). The requester receives the entries
// that were trashed; the store is refreshed by the caller.
class dmhTrashDocumentsHandler : public DocumentManagerHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;

protected:
    virtual QString serviceAction() const { return QStringLiteral("TrashDocuments"); }
    virtual bool refusesEmptyList() const { return true; }
};

} // namespace tavrel
