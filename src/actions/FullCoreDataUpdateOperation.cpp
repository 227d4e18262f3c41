#include "actions/FullCoreDataUpdateOperation.h"

#include "actions/CoreDataUpdateSupport.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "actions/GDataResultValues.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/ContactList.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/FileList.h"
#include "model/RecordLookupCache.h"
#include "model/TQMOCManager.h"
#include "pipeline/TQActionRequester.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataEntryFolderDoc.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/Settings.h"
#include "platform/system/TQLog.h"

#include <QHash>
#include <QSet>

namespace tavrel {

TAVREL_REGISTER_CLASS(FullCoreDataUpdateOperation)

namespace {

const QString kListContacts = QStringLiteral("ListContacts");
const QString kFileList = QStringLiteral("FileList");
const QString kLargestChangestamp = QStringLiteral("LargestChangestamp");

// Every record of the entity by identifier, fetched once (records without one are kept apart).
template <class T> QList<std::shared_ptr<T>> allRecords(ManagedObjectContext* context, const QString& entity)
{
    FetchRequest request(entity);
    return ContextFetch::executeFetchRequestSafely<T>(context, request);
}

template <class T> QHash<QString, std::shared_ptr<T>> byIdentifier(const QList<std::shared_ptr<T>>& records)
{
    QHash<QString, std::shared_ptr<T>> map;
    map.reserve(records.size());
    for (const auto& record : records) {
        const QString identifier = record->identifier();
        if (!identifier.isNull() && !map.contains(identifier))
            map.insert(identifier, record);
    }
    return map;
}

// What the feeds no longer hold goes: every record whose identifier was not kept.
template <class T>
void deleteNotKept(ManagedObjectContext* context, const QList<std::shared_ptr<T>>& records,
                   const QSet<QString>& kept)
{
    for (const auto& record : records)
        if (!kept.contains(record->identifier()))
            context->deleteObject(record);
}

} // namespace

std::shared_ptr<FullCoreDataUpdateOperation>
FullCoreDataUpdateOperation::operationWithSession(TQSessionProtocol* session)
{
    if (!session)
        return nullptr;
    return std::make_shared<FullCoreDataUpdateOperation>(session);
}

FullCoreDataUpdateOperation::FullCoreDataUpdateOperation() : FullCoreDataUpdateOperation(nullptr) {}

FullCoreDataUpdateOperation::FullCoreDataUpdateOperation(TQSessionProtocol* session)
{
    CoreDataUpdateSupport::configureOperation(*this, kOperationName, session);
}

FullCoreDataUpdateOperation::~FullCoreDataUpdateOperation()
{
    notifyOperationFinished();
}

QStringList FullCoreDataUpdateOperation::keyArguments() const
{
    // One null key: any two full synchronisations are the same request.
    return {QString()};
}

void FullCoreDataUpdateOperation::setup()
{
    if (!operations().isEmpty())
        return;
    TQSessionProtocol* owner = session();
    QList<TQOperationPtr> steps;
    // The stamp first: changes made while the lists are fetched come again in the next incremental run.
    if (VUvodozuManager* documents = owner ? owner->documentManager() : nullptr) {
        auto callback = Invocation::invocationForSelector(
            QStringLiteral("largestChangestampDidFinishWithResult:error:"), this);
        if (TQOperationPtr step = documents->operationByActionName(kLargestChangestamp, callback, {}))
            steps.append(step);
    }
    if (VUvodozuManager* contacts = owner ? owner->contactManager() : nullptr) {
        auto callback =
            Invocation::invocationForSelector(QStringLiteral("listContactsDidFinishWithResult:error:"), this);
        if (TQOperationPtr step = contacts->operationByActionName(kListContacts, callback, {}))
            steps.append(step);
    }
    if (VUvodozuManager* documents = owner ? owner->documentManager() : nullptr) {
        auto callback =
            Invocation::invocationForSelector(QStringLiteral("fileListDidFinishWithResults:error:"), this);
        const QVariantMap arguments{{QStringLiteral("showFolders"), true},
                                    {QStringLiteral("showTrashed"), true}};
        if (TQOperationPtr step = documents->operationByActionName(kFileList, callback, arguments))
            steps.append(step);
    }
    for (const TQOperationPtr& step : steps)
        step->setProgressConsumer(nullptr);
    setOperations(steps);
}

void FullCoreDataUpdateOperation::performOperation()
{
    notifyOperationStarted();
    TQAggregateOperation::performOperation();
}

void FullCoreDataUpdateOperation::willStartOperation(const TQOperationPtr& operation)
{
    if (operation->name() == kListContacts)
        sendProgress(kFetchingContacts, m_progressPartFile, m_progressTotalFiles, 2);
    else if (operation->name() == kFileList)
        sendProgress(kFetchingFiles, m_progressPartFile, m_progressTotalFiles, 7);
    // The step answers on this worker thread, where didFinishOperation() waits for it.
    operation->setOriginThread(QThread::currentThread());
}

void FullCoreDataUpdateOperation::didFinishOperation(const TQOperationPtr& operation)
{
    waitUntil([this] { return m_receivedCallback.load(); }, -1, 50);
    if (operation->name() == kListContacts)
        sendProgress(kFetchingContacts, m_progressPartFile, m_progressTotalFiles, 5);
    else if (operation->name() == kFileList)
        sendProgress(kFetchingFiles, m_progressPartFile, m_progressTotalFiles, 10);
    if (!m_error.isNull()) {
        for (const TQOperationPtr& remaining : operations())
            if (remaining != operation)
                remaining->cancel();
        setOperations({});
    }
    m_receivedCallback = false;
}

void FullCoreDataUpdateOperation::largestChangestampDidFinishWithResult(const QVariant& result,
                                                                        const QVariant& error)
{
    m_error = TQActionRequester::errorFromVariant(error);
    if (m_error.isNull())
        m_changestamp = result;
    m_receivedCallback = true;
    wakeUp();
}

void FullCoreDataUpdateOperation::listContactsDidFinishWithResult(const QVariant& result,
                                                                  const QVariant& error)
{
    m_error = TQActionRequester::errorFromVariant(error);
    if (m_error.isNull()) {
        m_contactFeed = GDataResultValues::objectFromValue<GDataFeedBase>(result);
        m_contactFromFeed = m_contactFeed ? m_contactFeed->entries() : QList<GDataEntryPtr>();
        m_progressTotalContacts = quint64(m_contactFromFeed.size());
    }
    m_receivedCallback = true;
    wakeUp();
}

void FullCoreDataUpdateOperation::fileListDidFinishWithResults(const QVariant& result, const QVariant& error)
{
    m_error = TQActionRequester::errorFromVariant(error);
    if (m_error.isNull()) {
        m_fileFeed = GDataResultValues::objectFromValue<GDataFeedBase>(result);
        const QList<GDataEntryPtr> entries = m_fileFeed ? m_fileFeed->entries() : QList<GDataEntryPtr>();
        m_progressTotalFiles = quint64(entries.size());
        m_categoriesFromFeed.clear();
        m_filesFromFeed.clear();
        for (const GDataEntryPtr& entry : entries) {
            if (entry->kindCategory().term() == kGDataCategoryFolderDoc)
                m_categoriesFromFeed.append(entry);
            if (!std::dynamic_pointer_cast<GDataEntryFolderDoc>(entry))
                m_filesFromFeed.append(entry);
        }
    }
    m_receivedCallback = true;
    wakeUp();
}

void FullCoreDataUpdateOperation::setFeeds(const GDataFeedPtr& contactFeed, const GDataFeedPtr& fileFeed)
{
    m_error = Error();
    listContactsDidFinishWithResult(GDataResultValues::valueForObject(contactFeed), QVariant());
    fileListDidFinishWithResults(GDataResultValues::valueForObject(fileFeed), QVariant());
    m_receivedCallback = false;
}

void FullCoreDataUpdateOperation::allSuboperationsDidFinish()
{
    if (isCancelled()) {
        releaseFeeds();
        return;
    }
    Error error = m_error;
    if (error.isNull() && (!m_contactFeed || !m_fileFeed))
        error = VUvodozuManager::unexpectedErrorWithReason(
            QStringLiteral("The account's feeds were not fetched"));
    if (error.isNull()) {
        TQSessionProtocol* owner = session();
        TQMOCManager* store = owner ? owner->mocManager() : nullptr;
        ManagedObjectContext* context = store ? store->managedObjectContextForCurrentThread() : nullptr;
        error = context
                    ? rebuildInContext(context)
                    : VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("The session has no store"));
    }
    releaseFeeds();
    bool isStamp = false;
    const qint64 stamp = m_changestamp.toLongLong(&isStamp);
    if (error.isNull() && m_changestamp.isValid() && isStamp)
        Settings::setValue(CoreDataUpdateSupport::largestChangestampKey(session()), stamp);
    const QVariant answer = error.isNull() ? QVariant() : QVariant::fromValue(error);
    performCallbackWithResult(answer, answer);
}

Error FullCoreDataUpdateOperation::rebuildInContext(ManagedObjectContext* context)
{
    m_localContext = context;
    m_rebuildError = Error();
    m_unsavedEntries = 0;
    // Thousands of entries name the same people and collections: found once, then remembered.
    const RecordLookupCache lookups(context);
    if (auto contactList = ContactList::contactListFromContext(context)) {
        if (contactList->eTag() != m_contactFeed->ETag() || m_contactFeed->ETag().isNull()) {
            updateContactsInContextUsingContactList(context, contactList);
            // The feed's tag says every contact of it is stored, so it goes in no save before the last
            // contact's: a run that ends in the middle of the contacts makes the next one do them again.
            if (m_rebuildError.isNull())
                contactList->fillWithGDataEntry(m_contactFeed);
        }
    }
    if (auto fileList = FileList::fileListFromContext(context); fileList && m_rebuildError.isNull()) {
        if (fileList->eTag() != m_fileFeed->ETag() || m_fileFeed->ETag().isNull())
            fileList->fillWithGDataEntry(m_fileFeed);
        updateCategoriesInContextUsingFileList(context, fileList);
        updateFilesInContextUsingFileList(context, fileList);
    }
    // The parsed feeds are no longer needed; the last save may need the memory.
    releaseFeeds();
    if (m_rebuildError.isNull())
        saveIfDue(context, true);
    sendProgress(kProcessingFiles, m_progressPartFile, m_progressTotalFiles, 100);
    return m_rebuildError;
}

bool FullCoreDataUpdateOperation::saveIfDue(ManagedObjectContext* context, bool force)
{
    if (!m_rebuildError.isNull())
        return false;
    if (!force && ++m_unsavedEntries < kSaveChunk)
        return true;
    m_unsavedEntries = 0;
    m_rebuildError = CoreDataUpdateSupport::saveLocalContext(context, m_delegate, name(), true);
    return m_rebuildError.isNull();
}

void FullCoreDataUpdateOperation::updateContactsInContextUsingContactList(
    ManagedObjectContext* context, const std::shared_ptr<ContactList>& list)
{
    const auto existing = allRecords<Contact>(context, QStringLiteral("Contact"));
    QHash<QString, std::shared_ptr<Contact>> contacts = byIdentifier(existing);
    QSet<QString> kept;
    kept.reserve(m_contactFromFeed.size());
    for (const GDataEntryPtr& item : std::as_const(m_contactFromFeed)) {
        const auto entry = std::dynamic_pointer_cast<GDataEntryContact>(item);
        if (entry) {
            const QString identifier = Contact::identifierFromGDataIdentifier(entry->identifier());
            std::shared_ptr<Contact> contact = contacts.value(identifier);
            if (!contact && !entry->emailAddresses().isEmpty() && !entry->ETag().isNull() &&
                !entry->identifier().isNull() && !entry->XMLString().isNull()) {
                contact = context->insertNewObject<Contact>(QStringLiteral("Contact"));
                contacts.insert(identifier, contact);
            }
            if (contact) {
                if (contact->hasChangedAccordingToGDataContact(entry)) {
                    contact->fillAttributeFromGDataEntry(entry);
                    contact->fillRelationshipFromGdataEntry(entry, context);
                }
                if (contact->contactList() != list)
                    contact->setContactList(list);
            }
            kept.insert(identifier);
        }
        // An entry that is not a contact is passed over; the walk goes on, so the contacts after it
        // are neither lost nor deleted.
        m_progressPartContact += 1;
        sendProgress(kProcessingContacts, m_progressPartContact, m_progressTotalContacts,
                     m_progressTotalContacts ? m_progressPartContact / float(m_progressTotalContacts) * 100.f
                                             : 0.f);
        if (!saveIfDue(context))
            return;
    }
    deleteNotKept(context, existing, kept);
}

void FullCoreDataUpdateOperation::updateCategoriesInContextUsingFileList(
    ManagedObjectContext* context, const std::shared_ptr<FileList>& list)
{
    const auto existing = allRecords<Category>(context, QStringLiteral("Category"));
    QHash<QString, std::shared_ptr<Category>> categories = byIdentifier(existing);
    QSet<QString> kept;
    const auto step = [this] {
        m_progressPartFile += 0.5f;
        sendProgress(kProcessingFiles, m_progressPartFile, m_progressTotalFiles,
                     m_progressTotalFiles ? m_progressPartFile / float(m_progressTotalFiles) * 100.f : 0.f);
    };
    for (const GDataEntryPtr& item : std::as_const(m_categoriesFromFeed)) {
        const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(item);
        if (entry) {
            const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID());
            std::shared_ptr<Category> category = categories.value(identifier);
            if (!category) {
                category = context->insertNewObject<Category>(QStringLiteral("Category"));
                categories.insert(identifier, category);
            }
            if (entry->ETag() != category->eTag() || entry->ETag().isNull())
                category->fillAttributeFromGDataEntry(entry);
            if (RecordLookupCache* lookups = RecordLookupCache::current(context))
                lookups->rememberCategory(category);
            kept.insert(identifier);
        }
        step();
        if (!saveIfDue(context))
            return;
    }
    // Parents are linked once every collection of the feed has its record.
    for (const GDataEntryPtr& item : std::as_const(m_categoriesFromFeed)) {
        if (const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(item)) {
            const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID());
            if (const std::shared_ptr<Category> category = categories.value(identifier)) {
                category->fillRelationshipFromGdataEntry(entry, context);
                if (category->listOfFiles() != list)
                    category->setListOfFiles(list);
            }
        }
        step();
        if (!saveIfDue(context))
            return;
    }
    deleteNotKept(context, existing, kept);
}

void FullCoreDataUpdateOperation::updateFilesInContextUsingFileList(ManagedObjectContext* context,
                                                                    const std::shared_ptr<FileList>& list)
{
    const auto existing = allRecords<File>(context, QStringLiteral("File"));
    QHash<QString, std::shared_ptr<File>> files = byIdentifier(existing);
    QSet<QString> kept;
    kept.reserve(m_filesFromFeed.size());
    for (const GDataEntryPtr& item : std::as_const(m_filesFromFeed)) {
        if (const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(item)) {
            const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry->resourceID());
            std::shared_ptr<File> file = files.value(identifier);
            if (!file) {
                file = context->insertNewObject<File>(QStringLiteral("File"));
                files.insert(identifier, file);
                file->fillAttributeFromGDataEntry(entry);
                file->fillRelationshipFromGdataEntry(entry, context);
            } else if (entry->ETag() != file->eTag() || entry->ETag().isNull()) {
                file->fillAttributeFromGDataEntry(entry);
                file->fillRelationshipFromGdataEntry(entry, context);
            }
            if (file->listOfFiles() != list)
                file->setListOfFiles(list);
            kept.insert(identifier);
        }
        m_progressPartFile += 1;
        sendProgress(kProcessingFiles, m_progressPartFile, m_progressTotalFiles,
                     m_progressTotalFiles ? m_progressPartFile / float(m_progressTotalFiles) * 100.f : 0.f);
        if (!saveIfDue(context))
            return;
    }
    deleteNotKept(context, existing, kept);
}

void FullCoreDataUpdateOperation::sendProgress(int status, float processed, quint64 total, float percentage)
{
    QObject* consumer = progressConsumer();
    if (!consumer || !Invocation::respondsToSelector(consumer, kProgressSelector))
        return;
    const InvocationPtr report = Invocation::invocationForSelector(kProgressSelector, consumer);
    report->setArgument(2, status);
    report->setArgument(3, float(qint64(processed)));
    report->setArgument(4, QVariant::fromValue<quint64>(total));
    report->setArgument(5, percentage);
    // Queued to the consumer's own thread, in order; the consumer is usually a view's owner.
    report->performOnThread(consumer->thread(), false);
}

void FullCoreDataUpdateOperation::notifyOperationStarted()
{
    m_started = true;
    if (m_shouldSendNotification)
        NotificationCenter::defaultCenter().post(Notification(kStartedNotification, QVariant(), {}));
}

void FullCoreDataUpdateOperation::notifyOperationFinished()
{
    if (m_shouldSendNotification)
        NotificationCenter::defaultCenter().post(Notification(kFinishedNotification, QVariant(), {}));
}

void FullCoreDataUpdateOperation::releaseFeeds()
{
    m_contactFromFeed.clear();
    m_categoriesFromFeed.clear();
    m_filesFromFeed.clear();
    m_contactFeed.reset();
    m_fileFeed.reset();
}

} // namespace tavrel
