#pragma once

#include "actions/GDataDocumentHandler.h"
#include "platform/gdata/GDataEntryACL.h"
#include "platform/gdata/GDataFeedACL.h"

namespace tavrel {

// "SetPermission", service side: one batch to the access list's batch address that updates the role
// of every person of "ACLEntries" already on "feedACL" and inserts the others, each with its own
// batch identifier ("batch_1", "batch_2" ...). People not named keep their entries. Entries that
// fail inside the accepted batch come back as 603.
class gddmhSetPermission : public GDataDocumentHandler
{
    Q_OBJECT
public:
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override;
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override;

    // The batch entries for the new entries against the list, in their order.
    static QList<GDataEntryACLPtr> gdataACLEntriesWithACLFeed(const GDataFeedACL& feed,
                                                              const QList<GDataEntryACLPtr>& newEntries);
    // The list's first entry of the scope's type whose address is the scope's, in any letter case.
    static GDataEntryACLPtr ACLEntryWithScope(const GDataACLScope& scope, const GDataFeedACL& feed);
};

} // namespace tavrel
