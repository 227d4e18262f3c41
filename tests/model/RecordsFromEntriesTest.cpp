#include "RecordFixtures.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/ContactAdapter.h"
#include "model/ContactList.h"
#include "model/File.h"
#include "model/FileList.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryFolderDoc.h"
#include "platform/gdata/GDataEntrySpreadsheetDoc.h"
#include "platform/gdata/GDataEntryStandardDoc.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLogger.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tavrel;
using namespace tavrel::test;

namespace {

qint64 countOf(ManagedObjectContext* context, const QString& entity)
{
    return context->countForFetchRequest(FetchRequest(entity));
}

QStringList addresses(const QList<std::shared_ptr<Mail>>& mails)
{
    QStringList list;
    for (const auto& mail : mails)
        list.append(mail->address().toLower());
    list.sort();
    return list;
}

class RecordsFromEntries : public StoreFixture
{
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        m_documents = loadRecordsFeed("documents-feed.xml", GDataObjectFactory::FeedHint::Documents);
        m_contacts = loadRecordsFeed("contacts-feed.xml", GDataObjectFactory::FeedHint::Contacts);
    }

    template <class T> std::shared_ptr<T> fillNew(const char* entity, const QString& resourceId)
    {
        auto record = moc()->insertNewObject<T>(entity);
        fill(*record, resourceId);
        return record;
    }
    void fill(FileEntryAbstract& record, const QString& resourceId)
    {
        const auto entry = entryOf(m_documents, resourceId);
        record.fillAttributeFromGDataEntry(entry);
        record.fillRelationshipFromGdataEntry(entry, moc());
    }
    void fill(Contact& record, const GDataEntryPtr& entry)
    {
        record.fillAttributeFromGDataEntry(entry);
        record.fillRelationshipFromGdataEntry(entry, moc());
    }
    // The whole feed the way a full refresh stores it: collections first.
    void fillFeed()
    {
        m_folder = fillNew<Category>("Category", "folder:fold1");
        m_doc1 = fillNew<File>("File", "document:doc1");
        m_sheet = fillNew<File>("File", "spreadsheet:sheet1");
        m_doc2 = fillNew<File>("File", "document:doc2");
        save();
    }

    GDataFeedPtr m_documents;
    GDataFeedPtr m_contacts;
    std::shared_ptr<Category> m_folder;
    std::shared_ptr<File> m_doc1, m_sheet, m_doc2;
};

TEST_F(RecordsFromEntries, DocumentAttributes)
{
    fillFeed();
    EXPECT_EQ(m_doc1->identifier(), "doc1");
    EXPECT_EQ(m_doc1->resourceId(), "document:doc1");
    EXPECT_EQ(m_doc1->kind(), "document");
    EXPECT_EQ(m_doc1->title(), "Quarterly Report");
    EXPECT_EQ(m_doc1->eTag(), "\"DOC1eyt7ImBk\"");
    EXPECT_EQ(m_doc1->alternateLink(), "http://127.0.0.1/document/d/doc1/edit");
    EXPECT_EQ(m_doc1->editedDate(), QDateTime::fromString("2013-07-30T14:51:56.318Z", Qt::ISODateWithMs));
    EXPECT_EQ(m_doc1->publishedDate(), QDateTime::fromString("2013-07-30T14:51:55.336Z", Qt::ISODateWithMs));
    EXPECT_EQ(m_doc1->lastViewed(), QDateTime::fromString("2013-07-30T14:51:55.766Z", Qt::ISODateWithMs));
    EXPECT_EQ(m_doc1->quotaBytesUsed().toLongLong(), 1234);
    EXPECT_TRUE(m_doc1->isStarred());
    EXPECT_TRUE(m_doc1->isViewed());
    EXPECT_FALSE(m_doc1->isTrashed());
    EXPECT_TRUE(m_doc1->writersCanInvite());
    EXPECT_TRUE(m_doc1->hasCommenterSupport());

    EXPECT_EQ(m_sheet->kind(), "spreadsheet");
    EXPECT_TRUE(m_sheet->isTrashed());
    EXPECT_FALSE(m_sheet->isViewed());
    EXPECT_FALSE(m_sheet->hasCommenterSupport());
    EXPECT_EQ(m_folder->kind(), "folder");

    // A value the entry lacks leaves what the record holds; the label flags are always written.
    m_doc2->setFilename("kept.odt");
    m_doc2->setIsStarred(true);
    fill(*m_doc2, "document:doc2");
    EXPECT_EQ(m_doc2->filename(), "kept.odt");
    EXPECT_FALSE(m_doc2->isStarred());
}

TEST_F(RecordsFromEntries, AccessListGivesPeopleAndGeneralAccess)
{
    fillFeed();
    ASSERT_TRUE(m_doc1->owner());
    EXPECT_EQ(m_doc1->owner()->address(), "me@example.com");
    // The group and the scope that is no mail address are passed over; the others are still set.
    EXPECT_EQ(addresses(m_doc1->editors()), QStringList{"ann@example.com"});
    EXPECT_EQ(addresses(m_doc1->viewers()), QStringList{"carol@example.com"});
    EXPECT_EQ(addresses(m_doc1->commenters()), QStringList{"bob@example.com"});
    // The access-list address and the last modifier's differ in letter case only: one record.
    ASSERT_TRUE(m_doc1->lastModifiedBy());
    EXPECT_EQ(m_doc1->lastModifiedBy(), m_doc1->editors().first());
    EXPECT_EQ(m_doc1->lastModifiedBy()->visible(), QVariant(true));
    // "default" then "domain": the later one is the general access.
    auto general = m_doc1->generalACL();
    ASSERT_TRUE(general);
    EXPECT_EQ(general->type(), "domain");
    EXPECT_EQ(general->role(), "commenter");
    EXPECT_EQ(general->hasLink(), QVariant(true));
    // Only collections the store holds are linked.
    ASSERT_EQ(m_doc1->categories().size(), 1);
    EXPECT_EQ(m_doc1->categories().first(), m_folder);

    // Spreadsheets have no commenters: a reader with the additional role is a viewer.
    EXPECT_EQ(m_sheet->owner(), m_doc1->lastModifiedBy());
    EXPECT_EQ(addresses(m_sheet->viewers()), QStringList{"dave@example.com"});
    EXPECT_EQ(addresses(m_sheet->editors()), QStringList{"me@example.com"});
    EXPECT_TRUE(m_sheet->commenters().isEmpty());
    ASSERT_TRUE(m_sheet->generalACL());
    EXPECT_EQ(m_sheet->generalACL()->type(), "default");
    EXPECT_EQ(m_sheet->generalACL()->role(), "reader");
    EXPECT_EQ(m_sheet->generalACL()->hasLink(), QVariant(true));
    EXPECT_TRUE(m_sheet->categories().isEmpty());

    EXPECT_FALSE(m_doc2->generalACL());
    EXPECT_EQ(countOf(moc(), "Mail"), 5);
    EXPECT_EQ(countOf(moc(), "GeneralACLPermission"), 2);
}

TEST_F(RecordsFromEntries, RefreshingKeepsOneGeneralAccessAndNoDuplicateMail)
{
    fillFeed();
    auto first = m_doc1->generalACL();
    fill(*m_doc1, "document:doc1");
    save();
    fill(*m_doc1, "document:doc1");
    fill(*m_sheet, "spreadsheet:sheet1");
    save();
    EXPECT_EQ(countOf(moc(), "GeneralACLPermission"), 2);
    EXPECT_NE(m_doc1->generalACL(), first);
    EXPECT_TRUE(first->isDeleted() || !first->managedObjectContext());
    EXPECT_EQ(m_doc1->generalACL()->type(), "domain");
    EXPECT_EQ(countOf(moc(), "Mail"), 5);
    // Every XmlInfo still belongs to a record: 4 entries and 2 general accesses.
    EXPECT_EQ(countOf(moc(), "XmlInfo"), 6);
    EXPECT_EQ(m_doc1->editors().size(), 1);
}

TEST_F(RecordsFromEntries, EntryWithoutInlineAccessListClearsPeopleButKeepsOwnerAndModifier)
{
    fillFeed();
    auto owner = m_doc1->owner();
    auto modifier = m_doc1->lastModifiedBy();
    // doc1 as the plain projection answers it: the access-list link without the list.
    QString text = entryOf(m_documents, "document:doc2")->XMLString();
    text.replace("document:doc2", "document:doc1");
    const auto plain = entryFromText(text);
    m_doc1->fillAttributeFromGDataEntry(plain);
    m_doc1->fillRelationshipFromGdataEntry(plain, moc());
    save();
    EXPECT_FALSE(m_doc1->generalACL());
    EXPECT_TRUE(m_doc1->editors().isEmpty());
    EXPECT_TRUE(m_doc1->viewers().isEmpty());
    EXPECT_TRUE(m_doc1->commenters().isEmpty());
    EXPECT_EQ(m_doc1->owner(), owner);
    EXPECT_EQ(m_doc1->lastModifiedBy(), modifier);
    // The general access it had is gone from the store, not left behind unlinked.
    EXPECT_EQ(countOf(moc(), "GeneralACLPermission"), 1);
}

TEST_F(RecordsFromEntries, CollectionParentStaysUntilAKnownCollectionIsNamed)
{
    TQLogger::resetForTesting();
    auto top = moc()->insertNewObject<Category>("Category");
    top->setIdentifier("top");
    auto folder = fillNew<Category>("Category", "folder:fold1");
    EXPECT_FALSE(folder->parent());
    folder->setParent(top);
    fill(*folder, "folder:fold1");
    EXPECT_EQ(folder->parent(), top);

    QFile log(Paths::logFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("E: Category founded in XML but not on CoreData"));

    QString text = entryOf(m_documents, "folder:fold1")->XMLString();
    text.replace("folder%3Agone", "folder%3Aother");
    auto other = moc()->insertNewObject<Category>("Category");
    other->setIdentifier("other");
    const auto moved = entryFromText(text);
    folder->fillRelationshipFromGdataEntry(moved, moc());
    EXPECT_EQ(folder->parent(), other);
}

TEST_F(RecordsFromEntries, WrongEntryClassLeavesTheRecordUntouched)
{
    auto file = moc()->insertNewObject<File>("File");
    file->setTitle("mine");
    const auto contactEntry = entryOf(m_contacts, "465577d88b0afee8");
    file->fillAttributeFromGDataEntry(contactEntry);
    file->fillRelationshipFromGdataEntry(contactEntry, moc());
    EXPECT_EQ(file->title(), "mine");
    EXPECT_TRUE(file->xml().isNull());

    auto contact = moc()->insertNewObject<Contact>("Contact");
    contact->setName("kept");
    const auto docEntry = entryOf(m_documents, "document:doc1");
    contact->fillAttributeFromGDataEntry(docEntry);
    contact->fillRelationshipFromGdataEntry(docEntry, moc());
    EXPECT_EQ(contact->name(), "kept");
    EXPECT_EQ(countOf(moc(), "Mail"), 0);
}

TEST_F(RecordsFromEntries, ContactWithMailsFilledAndRefreshed)
{
    // An address met before in an access list, spelled differently, is the same mail.
    auto known = Mail::mailEntityWithAddress("JOHN@WORK.example.com", true, moc());
    known->setVisible(true);
    auto john = moc()->insertNewObject<Contact>("Contact");
    const auto entry = entryOf(m_contacts, "465577d88b0afee8");
    fill(*john, entry);
    save();
    EXPECT_EQ(john->name(), "John Wilson");
    EXPECT_EQ(john->identifier(), "465577d88b0afee8");
    EXPECT_EQ(john->eTag(), "\"QXw_eDVSLit7I2A9WhFWEkgJQAU.\"");
    EXPECT_EQ(john->avatarETag(), "\"PHOTO1\"");
    EXPECT_EQ(addresses(john->mails()), (QStringList{"john@home.example.com", "john@work.example.com"}));
    ASSERT_TRUE(john->primaryMail());
    EXPECT_EQ(john->primaryMail()->address(), "John@Home.Example.com");
    EXPECT_EQ(known->contact(), john);
    EXPECT_EQ(known->displayName(), "John Wilson");
    // Mails met in the address book are not made visible.
    EXPECT_FALSE(john->primaryMail()->visible().isValid());
    EXPECT_FALSE(john->hasChangedAccordingToGDataContact(entry));

    // The same entry again, then one without the work address.
    fill(*john, entryOf(m_contacts, "465577d88b0afee8"));
    const auto changed = std::dynamic_pointer_cast<GDataEntryContact>(entry->copyObject());
    changed->removeEmailAddress("john@work.example.com");
    changed->setETag("\"NEWTAG\"");
    ASSERT_EQ(changed->emailAddresses().size(), 2);
    EXPECT_TRUE(john->hasChangedAccordingToGDataContact(changed));
    fill(*john, changed);
    save();
    EXPECT_EQ(countOf(moc(), "Mail"), 2);
    EXPECT_EQ(addresses(john->mails()), QStringList{"john@home.example.com"});
    EXPECT_FALSE(known->contact());

    // Another contact listing John's home address takes that mail over.
    auto other = moc()->insertNewObject<Contact>("Contact");
    QString otherText = entry->XMLString();
    otherText.replace("465577d88b0afee8", "other01");
    fill(*other, entryFromText(otherText));
    EXPECT_TRUE(john->mails().isEmpty());
    EXPECT_EQ(other->mails().size(), 2);
    EXPECT_EQ(countOf(moc(), "Mail"), 2);
}

TEST_F(RecordsFromEntries, ContactNameAndPrimaryMailFallBacks)
{
    // Empty title: the primary address names the contact; that address is invalid, so another one is
    // the primary mail.
    auto liz = moc()->insertNewObject<Contact>("Contact");
    fill(*liz, entryOf(m_contacts, "669aee080ec47f33"));
    EXPECT_EQ(liz->name(), "liz at home");
    ASSERT_TRUE(liz->primaryMail());
    EXPECT_EQ(liz->primaryMail()->address(), "liz@example.org");
    EXPECT_EQ(liz->mails().size(), 1);
    EXPECT_TRUE(liz->avatarETag().isNull());

    auto nobody = moc()->insertNewObject<Contact>("Contact");
    fill(*nobody, entryOf(m_contacts, "0000nobody"));
    EXPECT_TRUE(nobody->name().isNull());
    EXPECT_FALSE(nobody->primaryMail());
    EXPECT_TRUE(nobody->mails().isEmpty());
}

TEST_F(RecordsFromEntries, FeedRecords)
{
    auto files = FileList::fileListFromContext(moc());
    files->fillWithGDataEntry(m_documents);
    EXPECT_EQ(files->eTag(), "W/\"FEED0eyt7ImA9WhFWEUQ.\"");
    EXPECT_EQ(files->batchLinkAddress(), "http://127.0.0.1/feeds/default/private/expandAcl/batch");
    // The text content, not the markup.
    EXPECT_TRUE(files->xml().contains("Quarterly Report"));
    EXPECT_FALSE(files->xml().contains("<entry"));

    auto contacts = ContactList::contactListFromContext(moc());
    contacts->fillWithGDataEntry(m_contacts);
    EXPECT_EQ(contacts->eTag(), "W/\"CONTACTSFEED.\"");
    EXPECT_TRUE(contacts->xml().contains("John Wilson"));
    save();
    EXPECT_EQ(countOf(moc(), "FileList"), 1);
    EXPECT_EQ(countOf(moc(), "ContactList"), 1);
}

TEST_F(RecordsFromEntries, EntriesRebuiltFromStoredText)
{
    fillFeed();
    auto contact = moc()->insertNewObject<Contact>("Contact");
    fill(*contact, entryOf(m_contacts, "465577d88b0afee8"));
    save();
    // Read back through a fresh context, from the stored text alone.
    moc()->reset();
    auto doc1 = File::fileWithIdentifier("doc1", moc());
    auto sheet = File::fileWithIdentifier("sheet1", moc());
    auto folder = Category::categoryWithIdentifier("fold1", moc());
    contact = Contact::contactWithIdentifier("465577d88b0afee8", moc());
    ASSERT_TRUE(doc1 && sheet && folder && contact);

    const auto rebuilt = doc1->gdataEntry();
    ASSERT_TRUE(std::dynamic_pointer_cast<GDataEntryStandardDoc>(rebuilt));
    EXPECT_EQ(rebuilt->resourceID(), "document:doc1");
    EXPECT_EQ(rebuilt->title(), "Quarterly Report");
    EXPECT_EQ(rebuilt->ETag(), "\"DOC1eyt7ImBk\"");
    EXPECT_EQ(rebuilt->parentLinks().size(), 2);
    // What the client does not model travels back unchanged.
    EXPECT_TRUE(rebuilt->XMLString().contains("urn:example:unknown"));
    EXPECT_TRUE(std::dynamic_pointer_cast<GDataEntrySpreadsheetDoc>(sheet->gdataEntry()));
    const auto folderEntry = folder->gdataEntry();
    ASSERT_TRUE(std::dynamic_pointer_cast<GDataEntryFolderDoc>(folderEntry));
    EXPECT_EQ(folderEntry->resourceID(), "folder:fold1");

    const auto acl = doc1->generalACL()->gdataEntry();
    ASSERT_TRUE(acl);
    EXPECT_EQ(acl->scope()->type(), "domain");
    EXPECT_EQ(acl->keyedRole()->key(), "k3y");

    const auto person = contact->gdataEntry();
    ASSERT_TRUE(person);
    EXPECT_EQ(person->fullName(), "John Wilson");
    EXPECT_EQ(person->emailAddresses().size(), 3);
    EXPECT_EQ(person->photoLink().ETag(), "\"PHOTO1\"");
    EXPECT_TRUE(person->XMLString().contains("Test Contact Esq."));

    // Nothing stored, or text that does not parse: nothing rebuilt.
    auto blank = moc()->insertNewObject<File>("File");
    EXPECT_FALSE(blank->gdataEntry());
    blank->setXml("<entry><title>unclosed");
    EXPECT_FALSE(blank->gdataEntry());
    auto blankContact = moc()->insertNewObject<Contact>("Contact");
    blankContact->setXml("not xml at all");
    EXPECT_FALSE(blankContact->gdataEntry());

    // The detached contact answers its stored entry, whatever its name says, and falls back to a new
    // entry named after it.
    auto adapter = contact->adapterObject();
    adapter->setName("Someone Else");
    ASSERT_TRUE(adapter->gdataEntry());
    EXPECT_EQ(adapter->gdataEntry()->fullName(), "John Wilson");
    adapter->setXml("not xml at all");
    ASSERT_TRUE(adapter->gdataEntry());
    EXPECT_EQ(adapter->gdataEntry()->fullName(), "Someone Else");
}

} // namespace
