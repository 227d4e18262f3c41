#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "TrashDocument", service side: the document's entry with the trashed label and the entity tag "*",
// sent as an update to its access-list expanding edit address.
class gddmhTrashDocument : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;

protected:
    virtual bool trashes() const { return true; }
};

} // namespace tavrel
