#pragma once

#include "actions/GDataDocumentHandler.h"

namespace tavrel {

// "RemovePermission", service side: deletes (entity tag "*") the first entry of the document's access
// list whose address is "mailAddress" in any letter case. The list is "feedACL" when given (read just
// before), else the one stored with the document; when the stored list does not name the address, the
// user's rule of that address is deleted by its address on the service, which knows better. An address
// on no list answers the not-found error without a request.
class gddmhRemovePermission : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;
};

} // namespace tavrel
