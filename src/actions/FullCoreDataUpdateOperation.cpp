#include "actions/FullCoreDataUpdateOperation.h"

#include "actions/CoreDataUpdateSupport.h"
#include "actions/GDataResultValues.h"
#include "actions/gddmhFileList.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/ContactList.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/FileList.h"
#include "model/RecordLookupCache.h"
#include "model/TQMOCManager.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataEntryFolderDoc.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/Settings.h"

#include <QDataStream>
#include <QDir>
#include <QTemporaryFile>
#include <algorithm>

namespace tavrel {

TAVREL_REGISTER_CLASS(FullCoreDataUpdateOperation)

namespace {

const QString kListContacts = QStringLiteral("ListContacts");
const QString kFileList = QStringLiteral("FileList");
const QString kLargestChangestamp = QStringLiteral("LargestChangestamp");
// Records looked up with one fetch; so many are set aside or linked late at a time.
constexpr qsizetype kBatch = 500;

// The records of the entity among the identifiers, by identifier, with one indexed fetch.
template <class T>
QHash<QString, std::shared_ptr<T>>
recordsWithIdentifiers(ManagedObjectContext* context, const QString& entity, const QStringList& identifiers)
{
    QHash<QString, std::shared_ptr<T>> map;
    if (identifiers.isEmpty())
        return map;
    FetchRequest request(entity);
    request.setPredicate(Predicate::format("identifier IN %@", identifiers));
    const auto records = ContextFetch::executeFetchRequestSafely<T>(context, request);
    map.reserve(records.size());
    for (const auto& record : records) {
        const QString identifier = record->identifier();
        if (!identifier.isNull() && !map.contains(identifier))
            map.insert(identifier, record);
    }
    return map;
}

QString documentIdentifier(const GDataEntryPtr& entry)
{
    const auto document = std::dynamic_pointer_cast<GDataEntryDocBase>(entry);
    return document ? FileEntryAbstract::identifierFromGDataResourceId(document->resourceID()) : QString();
}

bool isCollection(const GDataEntryPtr& entry)
{
    return entry->kindCategory().term() == kGDataCategoryFolderDoc;
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
    const std::weak_ptr<Operation> weak = weak_from_this();
    const auto pagesGoTo = [weak](Error (FullCoreDataUpdateOperation::*apply)(const GDataFeedPtr&)) {
        return Invocation::invocationWithFunction(
            QStringLiteral("feedPageDidArrive:"), [weak, apply](Invocation& call) -> QVariant {
                const auto self = std::dynamic_pointer_cast<FullCoreDataUpdateOperation>(weak.lock());
                if (!self)
                    return {};
                const Error error =
                    ((*self).*apply)(GDataResultValues::objectFromValue<GDataFeedBase>(call.argument(2)));
                return error.isNull() ? QVariant() : QVariant::fromValue(error);
            });
    };
    // The stamp first: changes made while the lists are fetched come again in the next incremental run.
    m_stampStep = addStep(kLargestChangestamp, {});
    if (VUvodozuManager* contacts = session() ? session()->contactManager() : nullptr)
        m_contactStep =
            addStep(kListContacts,
                    {{gddmhFileList::kFeedPageHandlerKey,
                      QVariant::fromValue(pagesGoTo(&FullCoreDataUpdateOperation::applyContactPage))}},
                    contacts);
    m_fileStep = addStep(kFileList,
                         {{QStringLiteral("showFolders"), true},
                          {QStringLiteral("showTrashed"), true},
                          {gddmhFileList::kFeedPageHandlerKey,
                           QVariant::fromValue(pagesGoTo(&FullCoreDataUpdateOperation::applyDocumentPage))}});
    // The lists take as long as the account is large; a list that stops moving fails in the transfer.
    for (const TQOperationPtr& list : {m_contactStep, m_fileStep})
        if (list)
            list->setIsHeavy(true);
}

void FullCoreDataUpdateOperation::performOperation()
{
    notifyOperationStarted();
    TQAggregateOperation::performOperation();
}

void FullCoreDataUpdateOperation::willStartOperation(const TQOperationPtr& operation)
{
    if (operation == m_contactStep)
        sendProgress(kFetchingContacts, m_progressPartFile, m_progressTotalFiles, 2);
    else if (operation == m_fileStep)
        sendProgress(kFetchingFiles, m_progressPartFile, m_progressTotalFiles, 7);
}

void FullCoreDataUpdateOperation::didFinishOperation(const TQOperationPtr& operation)
{
    if (operation == m_contactStep)
        sendProgress(kFetchingContacts, m_progressPartFile, m_progressTotalFiles, 5);
    else if (operation == m_fileStep)
        sendProgress(kFetchingFiles, m_progressPartFile, m_progressTotalFiles, 10);
}

void FullCoreDataUpdateOperation::allSuboperationsDidFinish()
{
    if (isCancelled()) {
        endRebuild();
        return;
    }
    Error error = firstError();
    if (error.isNull())
        error = m_rebuildError;
    const auto contactFeed = GDataResultValues::objectFromValue<GDataFeedBase>(stepResult(m_contactStep));
    const auto fileFeed = GDataResultValues::objectFromValue<GDataFeedBase>(stepResult(m_fileStep));
    if (error.isNull() && (!contactFeed || !fileFeed))
        error = VUvodozuManager::unexpectedErrorWithReason(
            QStringLiteral("The account's feeds were not fetched"));
    if (error.isNull())
        error = finishRebuild(contactFeed, fileFeed);
    endRebuild();
    bool isStamp = false;
    const QVariant changestamp = stepResult(m_stampStep);
    const qint64 stamp = changestamp.toLongLong(&isStamp);
    if (error.isNull() && changestamp.isValid() && isStamp)
        Settings::setValue(CoreDataUpdateSupport::largestChangestampKey(session()), stamp);
    const QVariant answer = error.isNull() ? QVariant() : QVariant::fromValue(error);
    performCallbackWithResult(answer, answer);
}

void FullCoreDataUpdateOperation::setFeeds(const GDataFeedPtr& contactFeed, const GDataFeedPtr& fileFeed)
{
    m_testContactFeed = contactFeed;
    m_testFileFeed = fileFeed;
}

Error FullCoreDataUpdateOperation::rebuildInContext(ManagedObjectContext* context)
{
    if (!beginRebuild(context))
        return m_rebuildError;
    if (m_testContactFeed)
        applyContactPage(m_testContactFeed);
    if (m_testFileFeed)
        applyDocumentPage(m_testFileFeed);
    const Error error = finishRebuild(m_testContactFeed, m_testFileFeed);
    endRebuild();
    return error;
}

Error FullCoreDataUpdateOperation::lateOrFailed() const
{
    // A page that comes after the operation ended must change nothing.
    if (isCancelled() || isFinished())
        return VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("The synchronisation has ended"));
    return m_rebuildError;
}

bool FullCoreDataUpdateOperation::beginRebuild(ManagedObjectContext* context)
{
    if (m_localContext)
        return true;
    if (!context) {
        TQSessionProtocol* owner = session();
        TQMOCManager* store = owner ? owner->mocManager() : nullptr;
        context = store ? store->managedObjectContextForCurrentThread() : nullptr;
    }
    if (!context) {
        m_rebuildError =
            VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("The session has no store"));
        return false;
    }
    m_localContext = context;
    m_rebuildError = Error();
    m_unsavedEntries = 0;
    // Thousands of entries name the same people and collections: found once, then remembered.
    m_lookups = std::make_unique<RecordLookupCache>(context);
    return true;
}

void FullCoreDataUpdateOperation::endRebuild()
{
    m_lookups.reset();
    m_setAside.reset();
    m_pendingLinks.clear();
    m_keptContacts.clear();
    m_keptCategories.clear();
    m_keptFiles.clear();
    m_contactList.reset();
    m_fileList.reset();
    m_testContactFeed.reset();
    m_testFileFeed.reset();
    m_localContext = nullptr;
}

Error FullCoreDataUpdateOperation::applyContactPage(const GDataFeedPtr& page)
{
    if (const Error late = lateOrFailed(); !late.isNull())
        return late;
    if (!page || !beginRebuild())
        return m_rebuildError;
    if (!m_contactsSeen) {
        m_contactsSeen = true;
        // The feed's tag says whether any contact changed since the last synchronisation.
        m_contactList = ContactList::contactListFromContext(m_localContext);
        m_contactsUnchanged =
            m_contactList && !page->ETag().isNull() && m_contactList->eTag() == page->ETag();
    }
    if (m_contactsUnchanged || !m_contactList)
        return m_rebuildError;
    const QList<GDataEntryPtr> entries = page->entries();
    m_seenContacts += quint64(entries.size());
    m_progressTotalContacts = std::max<quint64>(m_seenContacts, quint64(page->totalResults().value_or(0)));
    applyContacts(entries, false);
    return m_rebuildError;
}

Error FullCoreDataUpdateOperation::applyDocumentPage(const GDataFeedPtr& page)
{
    if (const Error late = lateOrFailed(); !late.isNull())
        return late;
    if (!page || !beginRebuild())
        return m_rebuildError;
    if (!m_documentsSeen) {
        m_documentsSeen = true;
        m_fileList = FileList::fileListFromContext(m_localContext);
    }
    if (!m_fileList)
        return m_rebuildError;
    const QList<GDataEntryPtr> entries = page->entries();
    m_seenFiles += quint64(entries.size());
    m_progressTotalFiles = std::max<quint64>(m_seenFiles, quint64(page->totalResults().value_or(0)));
    applyDocuments(entries, false);
    return m_rebuildError;
}

void FullCoreDataUpdateOperation::applyContacts(const QList<GDataEntryPtr>& entries, bool replaying)
{
    ManagedObjectContext* context = m_localContext;
    QStringList identifiers;
    identifiers.reserve(entries.size());
    for (const GDataEntryPtr& item : entries)
        if (const auto entry = std::dynamic_pointer_cast<GDataEntryContact>(item))
            identifiers.append(Contact::identifierFromGDataIdentifier(entry->identifier()));
    QHash<QString, std::shared_ptr<Contact>> contacts =
        recordsWithIdentifiers<Contact>(context, QStringLiteral("Contact"), identifiers);
    for (const GDataEntryPtr& item : entries) {
        if (!m_rebuildError.isNull())
            return;
        // An entry that is not a contact is passed over; the walk goes on, so the contacts after it
        // are neither lost nor deleted.
        if (const auto entry = std::dynamic_pointer_cast<GDataEntryContact>(item)) {
            const QString identifier = Contact::identifierFromGDataIdentifier(entry->identifier());
            std::shared_ptr<Contact> contact = contacts.value(identifier);
            const bool stored = bool(contact);
            if (!contact && !entry->emailAddresses().isEmpty() && !entry->ETag().isNull() &&
                !entry->identifier().isNull() && entry->XMLElement()) {
                contact = context->insertNewObject<Contact>(QStringLiteral("Contact"));
                contacts.insert(identifier, contact);
            }
            if (contact) {
                if (contact->hasChangedAccordingToGDataContact(entry)) {
                    if (stored && !replaying) {
                        setAside(Kind::Contact, entry);
                    } else {
                        contact->fillAttributeFromGDataEntry(entry);
                        contact->fillRelationshipFromGdataEntry(entry, context);
                    }
                }
                if (contact->contactList() != m_contactList)
                    contact->setContactList(m_contactList);
            }
            m_keptContacts.insert(identifier);
        }
        if (!replaying)
            countContact();
        saveIfDue();
    }
}

void FullCoreDataUpdateOperation::applyDocuments(const QList<GDataEntryPtr>& entries, bool replaying)
{
    QStringList identifiers;
    identifiers.reserve(entries.size());
    for (const GDataEntryPtr& item : entries)
        if (const QString identifier = documentIdentifier(item); !identifier.isNull())
            identifiers.append(identifier);
    QHash<QString, std::shared_ptr<Category>> categories;
    QHash<QString, std::shared_ptr<File>> files;
    const auto records = recordsWithIdentifiers<FileEntryAbstract>(
        m_localContext, QStringLiteral("FileEntryAbstract"), identifiers);
    for (auto it = records.cbegin(); it != records.cend(); ++it) {
        if (auto category = std::dynamic_pointer_cast<Category>(it.value()))
            categories.insert(it.key(), category);
        else if (auto file = std::dynamic_pointer_cast<File>(it.value()))
            files.insert(it.key(), file);
    }
    for (const GDataEntryPtr& item : entries) {
        if (!m_rebuildError.isNull())
            return;
        if (isCollection(item)) {
            if (std::dynamic_pointer_cast<GDataEntryDocBase>(item))
                applyCategory(item, categories.value(documentIdentifier(item)), replaying);
        } else if (!std::dynamic_pointer_cast<GDataEntryFolderDoc>(item)) {
            if (std::dynamic_pointer_cast<GDataEntryDocBase>(item))
                applyFile(item, files.value(documentIdentifier(item)), replaying);
            if (!replaying)
                countDocuments(1);
        }
        saveIfDue();
    }
}

void FullCoreDataUpdateOperation::applyCategory(const GDataEntryPtr& entry,
                                                std::shared_ptr<Category> category, bool replaying)
{
    ManagedObjectContext* context = m_localContext;
    const QString identifier = documentIdentifier(entry);
    const bool stored = bool(category);
    if (!category)
        category = context->insertNewObject<Category>(QStringLiteral("Category"));
    const bool changed = entry->ETag() != category->eTag() || entry->ETag().isNull();
    const bool fill = changed && (!stored || replaying);
    if (changed && !fill)
        setAside(Kind::Category, entry);
    if (fill)
        category->fillAttributeFromGDataEntry(entry);
    if (m_lookups)
        m_lookups->rememberCategory(category);
    if (!replaying)
        countDocuments(0.5f);
    if (fill)
        linkParents(category, entry, identifier, Kind::Category);
    if (category->listOfFiles() != m_fileList)
        category->setListOfFiles(m_fileList);
    m_keptCategories.insert(identifier);
    if (!replaying)
        countDocuments(0.5f);
}

void FullCoreDataUpdateOperation::applyFile(const GDataEntryPtr& entry, std::shared_ptr<File> file,
                                            bool replaying)
{
    const QString identifier = documentIdentifier(entry);
    const bool stored = bool(file);
    if (!file)
        file = m_localContext->insertNewObject<File>(QStringLiteral("File"));
    const bool changed = !stored || entry->ETag() != file->eTag() || entry->ETag().isNull();
    if (changed && stored && !replaying) {
        setAside(Kind::File, entry);
    } else if (changed) {
        file->fillAttributeFromGDataEntry(entry);
        linkParents(file, entry, identifier, Kind::File);
    }
    if (file->listOfFiles() != m_fileList)
        file->setListOfFiles(m_fileList);
    m_keptFiles.insert(identifier);
}

void FullCoreDataUpdateOperation::linkParents(const std::shared_ptr<FileEntryAbstract>& record,
                                              const GDataEntryPtr& item, const QString& identifier, Kind kind)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(item);
    ManagedObjectContext* context = m_localContext;
    QStringList parents;
    bool missing = false;
    for (const GDataLink& link : entry->parentLinks()) {
        const QString parent = FileEntryAbstract::identifierFromGDataHref(link.href());
        parents.append(parent);
        missing = missing || !Category::categoryWithIdentifier(parent, context);
    }
    if (missing && kind == Kind::Category)
        // Access lists and the modifier now; the parent once its page is in.
        record->FileEntryAbstract::fillRelationshipFromGdataEntry(entry, context);
    else
        record->fillRelationshipFromGdataEntry(entry, context);
    if (missing)
        m_pendingLinks.append({identifier, kind, parents});
}

void FullCoreDataUpdateOperation::setAside(Kind kind, const GDataEntryPtr& entry)
{
    if (!m_setAside) {
        m_setAside =
            std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/tavrel-sync-XXXXXX"));
        if (!m_setAside->open()) {
            m_rebuildError = VUvodozuManager::unexpectedErrorWithReason(
                QStringLiteral("No room for the changed records: %1").arg(m_setAside->errorString()));
            return;
        }
    }
    QDataStream out(m_setAside.get());
    out << quint8(kind) << entry->XMLData();
    if (out.status() != QDataStream::Ok)
        m_rebuildError = VUvodozuManager::unexpectedErrorWithReason(
            QStringLiteral("No room for the changed records: %1").arg(m_setAside->errorString()));
}

void FullCoreDataUpdateOperation::replaySetAside()
{
    if (!m_setAside || !m_rebuildError.isNull())
        return;
    m_setAside->flush();
    m_setAside->seek(0);
    QDataStream in(m_setAside.get());
    QList<GDataEntryPtr> contacts;
    QList<GDataEntryPtr> documents;
    const auto flush = [&] {
        if (!contacts.isEmpty())
            applyContacts(std::exchange(contacts, {}), true);
        if (!documents.isEmpty())
            applyDocuments(std::exchange(documents, {}), true);
    };
    while (!in.atEnd() && m_rebuildError.isNull()) {
        quint8 kind = 0;
        QByteArray xml;
        in >> kind >> xml;
        Error error;
        const auto entry = std::dynamic_pointer_cast<GDataEntryBase>(GDataObjectFactory::objectWithXMLData(
            xml, &error,
            Kind(kind) == Kind::Contact ? GDataObjectFactory::FeedHint::Contacts
                                        : GDataObjectFactory::FeedHint::Documents));
        if (in.status() != QDataStream::Ok || !entry) {
            m_rebuildError = error.isNull() ? VUvodozuManager::unexpectedErrorWithReason(QStringLiteral(
                                                  "The changed records could not be read back"))
                                            : error;
            return;
        }
        (Kind(kind) == Kind::Contact ? contacts : documents).append(entry);
        if (contacts.size() + documents.size() >= kBatch)
            flush();
    }
    if (m_rebuildError.isNull())
        flush();
}

void FullCoreDataUpdateOperation::resolvePendingLinks()
{
    ManagedObjectContext* context = m_localContext;
    for (qsizetype start = 0; start < m_pendingLinks.size() && m_rebuildError.isNull(); start += kBatch) {
        const QList<PendingLink> batch = m_pendingLinks.mid(start, kBatch);
        QStringList identifiers;
        for (const PendingLink& link : batch)
            identifiers.append(link.identifier);
        const auto records = recordsWithIdentifiers<FileEntryAbstract>(
            context, QStringLiteral("FileEntryAbstract"), identifiers);
        for (const PendingLink& link : batch) {
            const auto record = records.value(link.identifier);
            if (const auto category = std::dynamic_pointer_cast<Category>(record);
                category && link.kind == Kind::Category) {
                // The last parent the store holds, as a collection's own fill takes it.
                std::shared_ptr<Category> found;
                for (const QString& parent : link.parents)
                    if (auto candidate = Category::categoryWithIdentifier(parent, context))
                        found = candidate;
                if (found && category->parent() != found)
                    category->setParent(found);
            } else if (const auto file = std::dynamic_pointer_cast<File>(record);
                       file && link.kind == Kind::File) {
                QList<std::shared_ptr<Category>> categories = file->categories();
                const qsizetype before = categories.size();
                for (const QString& parent : link.parents)
                    if (auto found = Category::categoryWithIdentifier(parent, context);
                        found && !categories.contains(found))
                        categories.append(found);
                if (categories.size() != before)
                    file->setCategories(categories);
            }
            saveIfDue();
        }
    }
    m_pendingLinks.clear();
}

template <class T>
void FullCoreDataUpdateOperation::deleteNotKept(const QString& entity, const QSet<QString>& kept)
{
    FetchRequest request(entity);
    request.setPredicate(Predicate::format("identifier == nil OR NOT (identifier IN %@)",
                                           QStringList(kept.cbegin(), kept.cend())));
    for (const auto& record : ContextFetch::executeFetchRequestSafely<T>(m_localContext, request))
        m_localContext->deleteObject(record);
}

Error FullCoreDataUpdateOperation::finishRebuild(const GDataFeedPtr& contactFeed,
                                                 const GDataFeedPtr& fileFeed)
{
    if (!beginRebuild())
        return m_rebuildError;
    replaySetAside();
    if (m_rebuildError.isNull())
        resolvePendingLinks();
    // What the feeds no longer hold goes in the last save, as do the lists' tags: a run that ends
    // before it makes the next one do everything again.
    if (m_rebuildError.isNull() && m_contactsSeen && !m_contactsUnchanged && m_contactList) {
        deleteNotKept<Contact>(QStringLiteral("Contact"), m_keptContacts);
        m_contactList->fillWithGDataEntry(contactFeed);
    }
    if (m_rebuildError.isNull() && m_documentsSeen && m_fileList && fileFeed) {
        if (m_fileList->eTag() != fileFeed->ETag() || fileFeed->ETag().isNull())
            m_fileList->fillWithGDataEntry(fileFeed);
        deleteNotKept<Category>(QStringLiteral("Category"), m_keptCategories);
        deleteNotKept<File>(QStringLiteral("File"), m_keptFiles);
    }
    if (m_rebuildError.isNull())
        saveIfDue(true);
    sendProgress(kProcessingFiles, m_progressPartFile, m_progressTotalFiles, 100);
    return m_rebuildError;
}

bool FullCoreDataUpdateOperation::saveIfDue(bool force)
{
    if (!m_rebuildError.isNull())
        return false;
    if (!force && ++m_unsavedEntries < kSaveChunk)
        return true;
    m_unsavedEntries = 0;
    m_rebuildError = CoreDataUpdateSupport::saveLocalContext(m_localContext, m_delegate, name());
    return m_rebuildError.isNull();
}

void FullCoreDataUpdateOperation::countContact()
{
    m_progressPartContact += 1;
    sendProgress(kProcessingContacts, m_progressPartContact, m_progressTotalContacts,
                 m_progressTotalContacts ? m_progressPartContact / float(m_progressTotalContacts) * 100.f
                                         : 0.f);
}

void FullCoreDataUpdateOperation::countDocuments(float amount)
{
    m_progressPartFile += amount;
    sendProgress(kProcessingFiles, m_progressPartFile, m_progressTotalFiles,
                 m_progressTotalFiles ? m_progressPartFile / float(m_progressTotalFiles) * 100.f : 0.f);
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
    if (m_shouldSendNotification)
        NotificationCenter::defaultCenter().post(Notification(kStartedNotification, QVariant(), {}));
}

void FullCoreDataUpdateOperation::notifyOperationFinished()
{
    if (m_shouldSendNotification)
        NotificationCenter::defaultCenter().post(Notification(kFinishedNotification, QVariant(), {}));
}

} // namespace tavrel
