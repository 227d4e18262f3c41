#include "actions/gddmhSetGeneralACLPermission.h"

#include "actions/GDataResultValues.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataFeedACL.h"
#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhSetGeneralACLPermission)

std::shared_ptr<IGeneralACLPermission>
gddmhSetGeneralACLPermission::generalPermissionFrom(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<ManagedObjectPtr>())
        return std::dynamic_pointer_cast<GeneralACLPermission>(value.value<ManagedObjectPtr>());
    if (value.metaType() == QMetaType::fromType<std::shared_ptr<GeneralACLPermissionAdapter>>())
        return value.value<std::shared_ptr<GeneralACLPermissionAdapter>>();
    if (value.metaType() == QMetaType::fromType<std::shared_ptr<IGeneralACLPermission>>())
        return value.value<std::shared_ptr<IGeneralACLPermission>>();
    return nullptr;
}

void gddmhSetGeneralACLPermission::executeActionAndCall(const InvocationPtr& invocation,
                                                        const QVariantMap& parameters)
{
    const auto feed =
        GDataResultValues::objectFromValue<GDataFeedBase>(parameters.value(QStringLiteral("feedACL")));
    GDataFeedPtr batch;
    if (feed) {
        batch = GDataFeedACL::ACLFeed();
        const auto copy = feed->copyAs<GDataFeedACL>();
        for (const GDataEntryPtr& item : copy ? copy->entries() : QList<GDataEntryPtr>()) {
            const auto entry = std::dynamic_pointer_cast<GDataEntryACL>(item);
            const auto scope = entry ? entry->scope() : std::nullopt;
            if (!scope ||
                (scope->type() != QLatin1String("default") && scope->type() != QLatin1String("domain")))
                continue;
            entry->setBatchOperation(kGDataBatchOperationDelete);
            entry->setBatchIDWithString(entry->identifier());
            entry->setNamespaces(entry->completeNamespaces());
            batch->addEntry(*entry);
        }
        const auto permission =
            generalPermissionFrom(parameters.value(QStringLiteral("generalACLPermission")));
        if (const GDataEntryACLPtr entry = permission ? permission->gdataEntry() : nullptr) {
            entry->setBatchOperation(kGDataBatchOperationInsert);
            // A new entry has no identifier yet; its answer still has to be told apart.
            entry->setBatchIDWithString(entry->identifier().isEmpty() ? QStringLiteral("batch_1")
                                                                      : entry->identifier());
            batch->addEntry(*entry);
        }
    }
    sendBatch(invocation, parameters, batch, feed ? QUrl(feed->batchLink().href()) : QUrl());
}

QVariantMap gddmhSetGeneralACLPermission::defaultCallbackForParams(const QVariantMap& result)
{
    return result;
}

} // namespace tavrel
