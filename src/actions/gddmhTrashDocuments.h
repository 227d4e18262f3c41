#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "TrashDocuments", service side: one batch of "delete" entries, each a document's stored entry with its
// own entity tag (its identifier as batch identifier), posted to "batchURL". The answer is
// the list of entries that were trashed; failed entries come back as 603.
class gddmhTrashDocuments : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;

protected:
    virtual bool deletesForGood() const { return false; }
};

} // namespace tavrel
