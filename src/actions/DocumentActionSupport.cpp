#include "actions/DocumentActionSupport.h"

#include "actions/GDataResultValues.h"
#include "model/ContextFetch.h"
#include "model/FileList.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQMOCMasterUpdater.h"
#include "pipeline/ActionResultKeys.h"
#include "pipeline/TQActionRequester.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuHandler.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataAuthorizer.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

bool DocumentActionSupport::isError(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<Error>() && !value.value<Error>().isNull();
}

Error DocumentActionSupport::errorFrom(const QVariant& value)
{
    return TQActionRequester::errorFromVariant(value);
}

QVariant DocumentActionSupport::errorValue(const Error& error)
{
    return error.isNull() ? QVariant() : QVariant::fromValue(error);
}

QVariantMap DocumentActionSupport::answer(const QVariant& feed, const Error& error)
{
    return {{kFeedKey, feed}, {kErrorKey, errorValue(error)}};
}

QVariantMap DocumentActionSupport::answer(const QVariant& feed, const QVariant& error)
{
    return answer(feed, errorFrom(error));
}

bool DocumentActionSupport::isNumber(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

std::shared_ptr<FileEntryAbstract> DocumentActionSupport::documentFrom(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<ManagedObjectPtr>())
        return nullptr;
    return std::dynamic_pointer_cast<FileEntryAbstract>(value.value<ManagedObjectPtr>());
}

GDataEntryDocPtr DocumentActionSupport::documentEntryFrom(const QVariant& value)
{
    return GDataResultValues::objectFromValue<GDataEntryDocBase>(value);
}

QList<TQACLEntry> DocumentActionSupport::aclEntriesFrom(const QVariant& value, bool* ok)
{
    QList<TQACLEntry> entries;
    bool isList = true;
    if (value.metaType() == QMetaType::fromType<QList<TQACLEntry>>()) {
        entries = value.value<QList<TQACLEntry>>();
    } else if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        for (const QVariant& item : value.toList()) {
            if (item.metaType() == QMetaType::fromType<TQACLEntry>())
                entries.append(item.value<TQACLEntry>());
            else if (item.metaType() == QMetaType::fromType<std::shared_ptr<TQACLEntry>>())
                if (const auto entry = item.value<std::shared_ptr<TQACLEntry>>())
                    entries.append(*entry);
        }
    } else {
        isList = false;
    }
    if (ok)
        *ok = isList;
    return entries;
}

ManagedObjectPtr DocumentActionSupport::masterRecordForEntry(TQMOCMaster* master,
                                                             const GDataEntryDocPtr& entry)
{
    if (!master || !entry)
        return nullptr;
    const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID());
    return ThreadDispatch::callOnMainThread([master, identifier]() -> ManagedObjectPtr {
        return FileEntryAbstract::fileEntryAbstractWithIdentifier(identifier, master);
    });
}

QVariantMap DocumentActionSupport::answerWithStoredEntry(const VUvodozuHandler& handler,
                                                         const QVariantMap& result, bool created)
{
    if (isError(result.value(kErrorKey)))
        return result;
    const GDataEntryDocPtr entry = documentEntryFrom(result.value(kFeedKey));
    TQMOCMaster* master = handler.masterMOC();
    TQMOCMasterUpdater* updater = handler.masterMOCUpdater();
    ManagedObjectPtr stored;
    if (entry && master && updater) {
        if (created)
            updater->documentCreated(GDataEntryPtr(entry));
        else
            updater->documentsUpdated(QList<GDataEntryPtr>{entry});
        stored = masterRecordForEntry(master, entry);
    }
    if (stored)
        return answer(QVariant::fromValue(stored), Error());
    return answer(QVariant(), VUvodozuManager::unexpectedErrorWithReason(
                                  QStringLiteral("The changed document is not in the store")));
}

QString DocumentActionSupport::batchQueryAddress(const GDataEntryBase& entry, const QUrl& batchURL)
{
    if (const QString self = entry.linkWithRelAttributeValue(QStringLiteral("self")).href(); !self.isEmpty())
        return self;
    const QString identifier = entry.identifier();
    const QString feed = batchURL.toString(QUrl::RemoveQuery | QUrl::RemoveFragment);
    const QString item = identifier.section(QLatin1Char('/'), -1);
    if (!feed.endsWith(QLatin1String("/batch")) || item.isEmpty())
        return identifier;
    return feed.chopped(int(qstrlen("batch"))) + item;
}

QUrl DocumentActionSupport::batchURL(TQSessionProtocol* session)
{
    TQMOCManager* store = session ? session->mocManager() : nullptr;
    ManagedObjectContext* context = store ? store->managedObjectContextForCurrentThread() : nullptr;
    if (!context)
        return {};
    // Only read: a document list made up here would be saved by whatever saves this context next.
    FetchRequest request(QStringLiteral("FileList"));
    request.setFetchLimit(1);
    const auto list = ContextFetch::firstRecord<FileList>(context, request);
    const QString address = list ? list->batchLinkAddress() : QString();
    return address.isEmpty() ? QUrl() : QUrl(address);
}

QString DocumentActionSupport::userName(TQSessionProtocol* session)
{
    const auto authentication = session ? session->authentication() : nullptr;
    return authentication ? authentication->userEmail() : QString();
}

} // namespace tavrel
