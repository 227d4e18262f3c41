#include "actions/FastCoreDataUpdateOperation.h"

#include "actions/CoreDataUpdateSupport.h"
#include "actions/GDataResultValues.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/RecordLookupCache.h"
#include "model/TQLocalizedStrings.h"
#include "model/TQMOCManager.h"
#include "notifications/TQExternalNotificationCenter.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedDocList.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/Settings.h"
#include "platform/system/TQLog.h"

#include <QHash>
#include <atomic>

namespace tavrel {

TAVREL_REGISTER_CLASS(FastCoreDataUpdateOperation)

namespace {

const QString kLargestChangestamp = QStringLiteral("LargestChangestamp");
const QString kChangesFeed = QStringLiteral("ChangesFeed");
const QString kStampKey = QStringLiteral("largestChangestamp");

QString nextNotificationIdentifier()
{
    static std::atomic<quint64> counter{0};
    return QString::number(++counter);
}

bool sameAddress(const std::shared_ptr<Mail>& mail, const QString& username)
{
    return mail && !username.isEmpty() && mail->address().compare(username, Qt::CaseInsensitive) == 0;
}

TQExternalNotification notification(const QString& title, const QString& message)
{
    return TQExternalNotification::notificationWithName(
        TQExternalNotification::kTQActionDidFinishNotification, title, message, nextNotificationIdentifier());
}

} // namespace

std::shared_ptr<FastCoreDataUpdateOperation>
FastCoreDataUpdateOperation::operationWithSession(TQSessionProtocol* session)
{
    if (!session)
        return nullptr;
    return std::make_shared<FastCoreDataUpdateOperation>(session);
}

FastCoreDataUpdateOperation::FastCoreDataUpdateOperation() : FastCoreDataUpdateOperation(nullptr) {}

FastCoreDataUpdateOperation::FastCoreDataUpdateOperation(TQSessionProtocol* session)
{
    CoreDataUpdateSupport::configureOperation(*this, kOperationName, session);
}

FastCoreDataUpdateOperation::~FastCoreDataUpdateOperation()
{
    notifyOperationFinished();
}

QString FastCoreDataUpdateOperation::username() const
{
    return CoreDataUpdateSupport::accountAddress(session());
}

QString FastCoreDataUpdateOperation::largestChangestampKey() const
{
    return CoreDataUpdateSupport::largestChangestampKey(session());
}

QVariant FastCoreDataUpdateOperation::largestChangestamp()
{
    if (!m_largestChangestamp.isValid()) {
        const QVariant stored = Settings::value(largestChangestampKey());
        bool ok = false;
        const qint64 number = stored.toLongLong(&ok);
        if (stored.isValid() && ok)
            m_largestChangestamp = QVariant::fromValue<qint64>(number);
    }
    return m_largestChangestamp;
}

void FastCoreDataUpdateOperation::setLargestChangestamp(const QVariant& stamp)
{
    bool ok = false;
    const qint64 number = stamp.toLongLong(&ok);
    if (!stamp.isValid() || !ok)
        return;
    // A run that brought nothing leaves the stored stamp as it is, and the settings file unwritten.
    if (largestChangestamp().isValid() && largestChangestamp().toLongLong() == number)
        return;
    m_largestChangestamp = QVariant::fromValue<qint64>(number);
    Settings::setValue(largestChangestampKey(), number);
}

QStringList FastCoreDataUpdateOperation::keyArguments() const
{
    // One null key: any two incremental synchronisations are the same request.
    return {QString()};
}

void FastCoreDataUpdateOperation::setup()
{
    if (!operations().isEmpty())
        return;
    if (!largestChangestamp().isValid())
        m_stampStep = addStep(kLargestChangestamp, {});
    m_changesStep = addStep(kChangesFeed, {});
}

void FastCoreDataUpdateOperation::performOperation()
{
    notifyOperationStarted();
    TQAggregateOperation::performOperation();
}

void FastCoreDataUpdateOperation::willStartOperation(const TQOperationPtr& operation)
{
    if (operation != m_changesStep)
        return;
    const QVariant stamp = largestChangestamp();
    if (stamp.isValid())
        operation->setArguments({{kStampKey, stamp}});
    else
        operation->cancel();
}

void FastCoreDataUpdateOperation::didFinishOperation(const TQOperationPtr& operation)
{
    if (!firstError().isNull())
        return;
    const QVariant result = stepResult(operation);
    if (operation == m_stampStep) {
        // Nothing to apply comes with it: the stamp is where the next changes start.
        if (result.isValid())
            setLargestChangestamp(result);
    } else if (operation == m_changesStep) {
        applyChanges(GDataResultValues::objectFromValue<GDataFeedDocList>(result));
    }
}

void FastCoreDataUpdateOperation::applyChanges(const std::shared_ptr<GDataFeedDocList>& feed)
{
    const std::optional<qint64> newStamp = feed ? feed->largestChangestamp() : std::nullopt;
    QVariantList removed;
    QVariantList updated;
    if (feed) {
        for (const GDataEntryPtr& entry : feed->entries()) {
            const auto document = std::dynamic_pointer_cast<GDataEntryDocBase>(entry);
            if (!document)
                continue;
            (document->isRemoved() ? removed : updated).append(QVariant::fromValue(entry));
        }
    }
    if (!removed.isEmpty() || !updated.isEmpty()) {
        updateLocalContextWithParameter({{kDocumentsRemovedKey, removed}, {kDocumentsUpdatedKey, updated}});
        m_error = CoreDataUpdateSupport::saveLocalContext(m_localContext, m_delegate, name());
        if (!m_error.isNull())
            NotificationCenter::defaultCenter().post(kSaveFailedNotification, QVariant(),
                                                     {{kErrorKey, QVariant::fromValue(m_error)}});
    }
    // Only changes that are saved move the stamp on: otherwise the next run asks for them again, and
    // tells of them then.
    if (m_error.isNull() && newStamp)
        setLargestChangestamp(QVariant::fromValue<qint64>(*newStamp));
    const QList<TQExternalNotification> notifications = std::exchange(m_pendingNotifications, {});
    if (m_error.isNull())
        if (TQExternalNotificationCenter* center = TQExternalNotificationCenter::defaultCenter())
            for (const TQExternalNotification& item : notifications)
                center->postExternalNotification(item);
}

void FastCoreDataUpdateOperation::allSuboperationsDidFinish()
{
    if (isCancelled())
        return;
    const Error error = firstError().isNull() ? m_error : firstError();
    const QVariant answer = error.isNull() ? QVariant() : QVariant::fromValue(error);
    performCallbackWithResult(answer, answer);
}

void FastCoreDataUpdateOperation::updateLocalContextWithParameter(const QVariantMap& parameter)
{
    TQSessionProtocol* owner = session();
    TQMOCManager* store = owner ? owner->mocManager() : nullptr;
    ManagedObjectContext* context = store ? store->managedObjectContextForCurrentThread() : nullptr;
    m_localContext = context;
    if (!context)
        return;
    const QString user = username();
    const RecordLookupCache lookups(context);

    const auto entriesOf = [](const QVariant& list) {
        QList<std::shared_ptr<GDataEntryDocBase>> entries;
        for (const QVariant& item : list.toList())
            if (auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(item.value<GDataEntryPtr>()))
                entries.append(entry);
        return entries;
    };
    const auto removed = entriesOf(parameter.value(kDocumentsRemovedKey));
    const auto updated = entriesOf(parameter.value(kDocumentsUpdatedKey));

    // One indexed fetch for every record the changes name.
    QStringList identifiers;
    for (const auto& entry : removed)
        identifiers.append(FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID()));
    for (const auto& entry : updated)
        identifiers.append(FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID()));
    QHash<QString, std::shared_ptr<FileEntryAbstract>> records;
    if (!identifiers.isEmpty()) {
        FetchRequest request(QStringLiteral("FileEntryAbstract"));
        request.setPredicate(Predicate::format("identifier IN %@", identifiers));
        for (const auto& record :
             ContextFetch::executeFetchRequestSafely<FileEntryAbstract>(context, request))
            if (!records.contains(record->identifier()))
                records.insert(record->identifier(), record);
    }

    for (const auto& entry : removed) {
        const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID());
        if (const auto record = records.take(identifier))
            context->deleteObject(record);
    }

    QList<std::shared_ptr<FileEntryAbstract>> newlyShared;
    QList<std::shared_ptr<FileEntryAbstract>> updatedByOthers;
    for (const auto& entry : updated) {
        const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID());
        std::shared_ptr<FileEntryAbstract> record = records.value(identifier);
        const bool inserted = !record;
        if (inserted) {
            const bool collection = entry->kindCategory().term() == kGDataCategoryFolderDoc;
            record = context->insertNewObject<FileEntryAbstract>(collection ? QStringLiteral("Category")
                                                                            : QStringLiteral("File"));
            records.insert(identifier, record);
        }
        record->fillAttributeFromGDataEntry(entry);
        record->fillRelationshipFromGdataEntry(entry, context);
        if (inserted) {
            if (!sameAddress(record->owner(), user)) {
                record->setIsNew(true);
                newlyShared.append(record);
            }
        } else if (std::dynamic_pointer_cast<File>(record) && !sameAddress(record->lastModifiedBy(), user)) {
            const QDateTime viewed = record->lastViewed();
            if (!viewed.isValid() || viewed < record->updatedDate())
                updatedByOthers.append(record);
        }
    }

    const auto manyItems = [](qsizetype count) {
        return TQLocalizedStrings::localizedStringForKey(QStringLiteral("ManyItems")).arg(count);
    };
    if (!newlyShared.isEmpty()) {
        const QString title =
            newlyShared.size() == 1 ? newlyShared.first()->title() : manyItems(newlyShared.size());
        m_pendingNotifications.append(notification(
            title, TQLocalizedStrings::localizedStringForKey(QStringLiteral("NewSharedFileNotification"))));
    }
    if (!updatedByOthers.isEmpty()) {
        if (updatedByOthers.size() == 1) {
            const auto modifier = updatedByOthers.first()->lastModifiedBy();
            const QString who = modifier ? modifier->displayName() : QString();
            m_pendingNotifications.append(notification(
                updatedByOthers.first()->title(),
                TQLocalizedStrings::localizedStringForKey(QStringLiteral("UpdatedSingleFileNotification"))
                    .arg(who)));
        } else {
            m_pendingNotifications.append(notification(
                manyItems(updatedByOthers.size()),
                TQLocalizedStrings::localizedStringForKey(QStringLiteral("UpdatedMultiFilesNotification"))));
        }
    }
}

void FastCoreDataUpdateOperation::notifyOperationStarted()
{
    if (m_shouldSendNotification)
        NotificationCenter::defaultCenter().post(Notification(kStartedNotification, QVariant(), {}));
}

void FastCoreDataUpdateOperation::notifyOperationFinished()
{
    if (m_shouldSendNotification)
        NotificationCenter::defaultCenter().post(Notification(kFinishedNotification, QVariant(), {}));
}

} // namespace tavrel
