#include "model/TQMOCMasterUpdater.h"

#include "model/Category.h"
#include "model/Contact.h"
#include "model/ContactCachedAvatar.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/FileCachedIcon.h"
#include "model/Mail.h"
#include "model/MailAdapter.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataEntryFolderDoc.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/runtime/ThreadDispatch.h"

namespace tavrel {

namespace {

// An entry carried in a QVariant under any of the pointer types the client hands out.
GDataEntryPtr entryFrom(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<GDataEntryPtr>())
        return value.value<GDataEntryPtr>();
    if (value.metaType() == QMetaType::fromType<GDataObjectPtr>())
        return std::dynamic_pointer_cast<GDataEntryBase>(value.value<GDataObjectPtr>());
    if (value.metaType() == QMetaType::fromType<GDataEntryDocPtr>())
        return value.value<GDataEntryDocPtr>();
    if (value.metaType() == QMetaType::fromType<GDataEntryContactPtr>())
        return value.value<GDataEntryContactPtr>();
    return nullptr;
}

QList<GDataEntryPtr> entriesFrom(const QVariantList& values)
{
    QList<GDataEntryPtr> entries;
    for (const QVariant& value : values)
        if (auto entry = entryFrom(value))
            entries.append(entry);
    return entries;
}

QList<ManagedObjectPtr> recordsFrom(const QVariantList& values)
{
    QList<ManagedObjectPtr> records;
    for (const QVariant& value : values)
        if (value.metaType() == QMetaType::fromType<ManagedObjectPtr>())
            if (auto record = value.value<ManagedObjectPtr>())
                records.append(record);
    return records;
}

std::shared_ptr<IMail> mailFrom(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<std::shared_ptr<MailAdapter>>())
        return value.value<std::shared_ptr<MailAdapter>>();
    if (value.metaType() == QMetaType::fromType<std::shared_ptr<IMail>>())
        return value.value<std::shared_ptr<IMail>>();
    return nullptr;
}

// Object ids are read on the calling thread, where the records live; the master context finds its own
// twins by them.
QList<ManagedObjectID> idsOf(const QList<ManagedObjectPtr>& records)
{
    QList<ManagedObjectID> ids;
    for (const auto& record : records)
        if (record && !record->objectID().isNull())
            ids.append(record->objectID());
    return ids;
}

template <class T> std::shared_ptr<T> twin(ManagedObjectContext* context, const ManagedObjectID& id)
{
    if (id.isNull())
        return nullptr;
    Error ignored;
    return std::dynamic_pointer_cast<T>(context->existingObjectWithID(id, &ignored));
}

std::shared_ptr<FileEntryAbstract> recordForResourceId(const GDataEntryDocBase& entry,
                                                       ManagedObjectContext* context)
{
    const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry.resourceID());
    return FileEntryAbstract::fileEntryAbstractWithIdentifier(identifier, context);
}

void fill(FileEntryAbstract& record, const GDataEntryPtr& entry, ManagedObjectContext* context)
{
    record.fillAttributeFromGDataEntry(entry);
    record.fillRelationshipFromGdataEntry(entry, context);
}

void fill(Contact& record, const GDataEntryPtr& entry, ManagedObjectContext* context)
{
    record.fillAttributeFromGDataEntry(entry);
    record.fillRelationshipFromGdataEntry(entry, context);
}

} // namespace

TQMOCMasterUpdater::TQMOCMasterUpdater(TQMOCMaster* masterMOC) : m_masterMOC(masterMOC) {}

std::unique_ptr<TQMOCMasterUpdater> TQMOCMasterUpdater::mocMasterUpdaterWithMasterMOC(TQMOCMaster* masterMOC)
{
    if (!masterMOC)
        return nullptr;
    return std::make_unique<TQMOCMasterUpdater>(masterMOC);
}

void TQMOCMasterUpdater::perform(const std::function<void(TQMOCMaster*)>& change) const
{
    ThreadDispatch::performOnMainThread(
        [this, &change] {
            TQMOCMaster* master = m_masterMOC.data();
            if (!master)
                return;
            change(master);
            master->save();
        },
        true);
}

void TQMOCMasterUpdater::documentCreated(const GDataEntryPtr& gdataEntry)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(gdataEntry);
    if (!entry)
        return;
    perform([&](TQMOCMaster* master) {
        // The incremental synchronisation may have brought the document in already: fill that record.
        auto record = recordForResourceId(*entry, master);
        if (!record) {
            const bool collection = bool(std::dynamic_pointer_cast<GDataEntryFolderDoc>(entry)) ||
                                    entry->kind() == QLatin1String("folder");
            record = std::dynamic_pointer_cast<FileEntryAbstract>(
                master->insertNewObject(collection ? QStringLiteral("Category") : QStringLiteral("File")));
        }
        if (record)
            fill(*record, entry, master);
    });
}

void TQMOCMasterUpdater::documentCreated(const QVariant& entry)
{
    documentCreated(entryFrom(entry));
}

void TQMOCMasterUpdater::documentsUpdated(const QList<GDataEntryPtr>& entries)
{
    perform([&](TQMOCMaster* master) {
        for (const GDataEntryPtr& item : entries) {
            const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(item);
            if (!entry)
                continue;
            if (auto record = recordForResourceId(*entry, master))
                fill(*record, entry, master);
        }
    });
}

void TQMOCMasterUpdater::documentsUpdated(const QVariantList& entries)
{
    documentsUpdated(entriesFrom(entries));
}

void TQMOCMasterUpdater::documentsDeleted(const QList<GDataEntryPtr>& entries)
{
    perform([&](TQMOCMaster* master) {
        for (const GDataEntryPtr& item : entries) {
            const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(item);
            if (!entry)
                continue;
            const QString identifier = FileEntryAbstract::identifierFromGDataIdentifier(entry->identifier());
            if (auto record = FileEntryAbstract::fileEntryAbstractWithIdentifier(identifier, master))
                master->deleteObject(record);
        }
    });
}

void TQMOCMasterUpdater::documentsDeleted(const QVariantList& entries)
{
    documentsDeleted(entriesFrom(entries));
}

void TQMOCMasterUpdater::documents(const QList<ManagedObjectPtr>& records, bool isViewed)
{
    QList<ManagedObjectPtr> documents;
    for (const auto& record : records)
        if (std::dynamic_pointer_cast<FileEntryAbstract>(record))
            documents.append(record);
    const QList<ManagedObjectID> ids = idsOf(documents);
    perform([&](TQMOCMaster* master) {
        for (const ManagedObjectID& id : ids) {
            if (auto record = twin<FileEntryAbstract>(master, id)) {
                record->setIsViewed(isViewed);
                record->setIsNew(!isViewed);
            }
        }
    });
}

void TQMOCMasterUpdater::documents(const QVariantList& records, bool isViewed)
{
    documents(recordsFrom(records), isViewed);
}

void TQMOCMasterUpdater::documentDownloadedFileAtURL(const ManagedObjectPtr& record, const QUrl& url,
                                                     const Error& error)
{
    if (!std::dynamic_pointer_cast<File>(record))
        return;
    const ManagedObjectID id = record->objectID();
    perform([&](TQMOCMaster* master) {
        if (auto file = twin<File>(master, id))
            if (auto cached = file->fileCachedFile())
                cached->getFileDidFinishWithURL(url, error);
    });
}

void TQMOCMasterUpdater::documentPreviewGeneratedAtURL(const ManagedObjectPtr& record, const QUrl& url,
                                                       const QVariant& error)
{
    if (!std::dynamic_pointer_cast<File>(record))
        return;
    const ManagedObjectID id = record->objectID();
    // Nothing and the null object both mean success.
    const Error failure = error.metaType() == QMetaType::fromType<Error>() ? error.value<Error>() : Error();
    perform([&](TQMOCMaster* master) {
        if (auto file = twin<File>(master, id))
            if (auto cached = file->fileCachedIcon())
                cached->generatePreviewDidFinishWithURL(url, failure);
    });
}

void TQMOCMasterUpdater::contactCreated(const GDataEntryPtr& gdataEntry)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryContact>(gdataEntry);
    if (!entry)
        return;
    perform([&](TQMOCMaster* master) {
        std::shared_ptr<Contact> record;
        for (const GDataEmail& email : entry->emailAddresses()) {
            record = Contact::contactWithAddress(email.address(), master);
            if (record)
                break;
        }
        if (!record)
            record = master->insertNewObject<Contact>(QStringLiteral("Contact"));
        if (record)
            fill(*record, entry, master);
    });
}

void TQMOCMasterUpdater::contactCreated(const QVariant& entry)
{
    contactCreated(entryFrom(entry));
}

void TQMOCMasterUpdater::contactUpdated(const GDataEntryPtr& gdataEntry)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryContact>(gdataEntry);
    if (!entry)
        return;
    perform([&](TQMOCMaster* master) {
        const QString identifier = Contact::identifierFromGDataIdentifier(entry->identifier());
        if (auto record = Contact::contactWithIdentifier(identifier, master))
            fill(*record, entry, master);
    });
}

void TQMOCMasterUpdater::contactUpdated(const QVariant& entry)
{
    contactUpdated(entryFrom(entry));
}

void TQMOCMasterUpdater::contactsDeleted(const QList<ManagedObjectPtr>& records)
{
    QList<ManagedObjectPtr> contacts;
    for (const auto& record : records)
        if (std::dynamic_pointer_cast<Contact>(record))
            contacts.append(record);
    const QList<ManagedObjectID> ids = idsOf(contacts);
    perform([&](TQMOCMaster* master) {
        for (const ManagedObjectID& id : ids)
            if (auto record = twin<Contact>(master, id))
                master->deleteObject(record);
    });
}

void TQMOCMasterUpdater::contactsDeleted(const QVariantList& records)
{
    contactsDeleted(recordsFrom(records));
}

void TQMOCMasterUpdater::contact(const ManagedObjectPtr& record, const QUrl& url, const Error& error)
{
    if (!std::dynamic_pointer_cast<Contact>(record))
        return;
    const ManagedObjectID id = record->objectID();
    perform([&](TQMOCMaster* master) {
        if (auto found = twin<Contact>(master, id))
            if (auto cached = found->contactCachedAvatar())
                cached->getAvatarDidFinishWithURL(url, error);
    });
}

void TQMOCMasterUpdater::mailCreated(const std::shared_ptr<IMail>& mail)
{
    if (!mail)
        return;
    // A value copy: the caller's object is not read on the main thread while the caller may change it.
    const auto value = mail->adapterObject();
    perform([&](TQMOCMaster* master) {
        if (auto record = Mail::mailEntityWithAddress(value->address(), true, master))
            record->fillAttributeFromAdapter(*value);
    });
}

void TQMOCMasterUpdater::mailsUpdated(const QVariantList& items)
{
    struct Change
    {
        QString lookup;
        std::shared_ptr<MailAdapter> value;
    };
    QList<Change> changes;
    for (const QVariant& item : items) {
        if (item.metaType() != QMetaType::fromType<QVariantMap>())
            continue;
        const QVariantMap map = item.toMap();
        const auto mail = mailFrom(map.value(QStringLiteral("mailEntity")));
        if (!mail)
            continue;
        const QVariant previous = map.value(QStringLiteral("mailAddress"));
        const QString lookup =
            previous.metaType() == QMetaType::fromType<QString>() ? previous.toString() : mail->address();
        changes.append({lookup, mail->adapterObject()});
    }
    perform([&](TQMOCMaster* master) {
        for (const Change& change : changes)
            if (auto record = Mail::mailEntityWithAddress(change.lookup, master))
                record->fillAttributeFromAdapter(*change.value);
    });
}

void TQMOCMasterUpdater::mailsDeleted(const QStringList& addresses)
{
    perform([&](TQMOCMaster* master) {
        for (const QString& address : addresses)
            if (auto record = Mail::mailEntityWithAddress(address, master))
                record->setVisible(false);
    });
}

} // namespace tavrel
