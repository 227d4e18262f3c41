#include "actions/gddmhSetPermission.h"

#include "actions/DocumentActionSupport.h"
#include "actions/GDataResultValues.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhSetPermission)

GDataEntryACLPtr gddmhSetPermission::ACLEntryWithScope(const GDataACLScope& scope, const GDataFeedACL& feed)
{
    for (const GDataEntryPtr& item : feed.entries()) {
        const auto entry = std::dynamic_pointer_cast<GDataEntryACL>(item);
        const auto existing = entry ? entry->scope() : std::nullopt;
        // Mail addresses name one person whatever their letter case: a second entry would be refused.
        if (existing && existing->type() == scope.type() &&
            existing->value().compare(scope.value(), Qt::CaseInsensitive) == 0)
            return entry;
    }
    return nullptr;
}

QList<GDataEntryACLPtr>
gddmhSetPermission::gdataACLEntriesWithACLFeed(const GDataFeedACL& feed,
                                               const QList<GDataEntryACLPtr>& newEntries)
{
    QList<GDataEntryACLPtr> batch;
    int number = 0;
    for (const GDataEntryACLPtr& wanted : newEntries) {
        const auto scope = wanted->scope();
        const GDataEntryACLPtr existing = scope ? ACLEntryWithScope(*scope, feed) : nullptr;
        GDataEntryACLPtr entry;
        if (existing) {
            entry = existing->copyAs<GDataEntryACL>();
            entry->setRole(wanted->role());
            entry->setAdditionalRoles(wanted->additionalRoles());
            entry->setBatchOperation(kGDataBatchOperationUpdate);
            entry->setNamespaces(feed.completeNamespaces());
        } else {
            entry = GDataEntryACL::ACLEntry();
            entry->setNamespaces(GDataEntryACL::ACLNamespaces());
            entry->setRole(wanted->role());
            entry->setAdditionalRoles(wanted->additionalRoles());
            entry->setScope(scope);
            entry->setBatchOperation(kGDataBatchOperationInsert);
        }
        // Each entry its own identifier, so that every answer can be matched to its request.
        entry->setBatchIDWithString(QStringLiteral("batch_%1").arg(++number));
        batch.append(entry);
    }
    return batch;
}

void gddmhSetPermission::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    const auto feed =
        GDataResultValues::objectFromValue<GDataFeedACL>(parameters.value(QStringLiteral("feedACL")));
    GDataFeedPtr batch;
    if (feed) {
        QList<GDataEntryACLPtr> wanted;
        for (const TQACLEntry& person :
             DocumentActionSupport::aclEntriesFrom(parameters.value(QStringLiteral("ACLEntries"))))
            wanted.append(person.gdataEntry());
        batch = GDataFeedACL::ACLFeed();
        for (const GDataEntryACLPtr& entry : gdataACLEntriesWithACLFeed(*feed, wanted))
            batch->addEntry(*entry);
    }
    sendBatch(invocation, parameters, batch, feed ? QUrl(feed->batchLink().href()) : QUrl());
}

QVariantMap gddmhSetPermission::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
