#pragma once

#include "actions/GDataDocumentHandler.h"
#include "model/IGeneralACLPermission.h"

namespace tavrel {

// "SetGeneralACLPermission", service side: one batch to the access list's batch address that deletes
// every "default" and "domain" entry of "feedACL" and then inserts the entry of "generalACLPermission"
// (none: the document becomes private). People and groups keep their entries. Entries that fail
// inside the accepted batch come back as 603.
class gddmhSetGeneralACLPermission : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;

    // The general permission inside a parameter: a GeneralACLPermission record or a detached value.
    static std::shared_ptr<IGeneralACLPermission> generalPermissionFrom(const QVariant& value);
};

} // namespace tavrel
