#include "StoreFixture.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/ContactAdapter.h"
#include "model/ContactCachedAvatar.h"
#include "model/ContactList.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/FileCachedIcon.h"
#include "model/FileList.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/GoogleObjectAdapter.h"
#include "model/Mail.h"
#include "model/MailAdapter.h"
#include "model/XmlInfo.h"

#include <gtest/gtest.h>

using namespace tavrel;
using tavrel::test::StoreFixture;

namespace {

qint64 countOf(ManagedObjectContext* context, const QString& entity)
{
    return context->countForFetchRequest(FetchRequest(entity));
}

} // namespace

TEST(IdentifierRules, TakeTheLastPart)
{
    const struct
    {
        QString (*rule)(const QString&);
        QString input;
        QString expected;
    } rows[] = {
        {&FileEntryAbstract::identifierFromGDataResourceId, "document:abc", "abc"},
        {&FileEntryAbstract::identifierFromGDataResourceId, "a:b:c", "c"},
        {&FileEntryAbstract::identifierFromGDataResourceId, "nocolon", "nocolon"},
        {&FileEntryAbstract::identifierFromGDataResourceId, QString(), QString()},
        {&FileEntryAbstract::identifierFromGDataHref,
         "http://127.0.0.1/feeds/default/private/full/folder%3A0B1x", "0B1x"},
        {&FileEntryAbstract::identifierFromGDataHref, "http://h/x/folder%3Aa%3Ab", "b"},
        {&FileEntryAbstract::identifierFromGDataIdentifier, "http://h/full/document%3Adoc1", "doc1"},
        {&FileEntryAbstract::identifierFromGDataIdentifier, "plain", "plain"},
        {&FileEntryAbstract::identifierFromGDataIdentifier, QString(), QString()},
        {&Contact::identifierFromGDataIdentifier, "http://h/m8/feeds/contacts/me%40x.com/base/7a1", "7a1"},
        {&Contact::identifierFromGDataIdentifier, "noslash", "noslash"},
        {&Contact::identifierFromGDataIdentifier, QString(), QString()},
    };
    for (const auto& row : rows) {
        const QString got = row.rule(row.input);
        EXPECT_EQ(got, row.expected) << row.input.toStdString();
        EXPECT_EQ(got.isNull(), row.expected.isNull()) << row.input.toStdString();
    }
}

TEST(IdentifierRules, CommenterSupport)
{
    EXPECT_TRUE(FileEntryAbstract::hasCommenterSupportForResourceId("document:1"));
    EXPECT_TRUE(FileEntryAbstract::hasCommenterSupportForResourceId("presentation:1"));
    EXPECT_FALSE(FileEntryAbstract::hasCommenterSupportForResourceId("spreadsheet:1"));
    EXPECT_FALSE(FileEntryAbstract::hasCommenterSupportForResourceId("documents:1"));
    EXPECT_FALSE(FileEntryAbstract::hasCommenterSupportForResourceId(QString()));
}

class EntityModel : public StoreFixture
{
};

TEST_F(EntityModel, NewRecordsComeWithTheirCompanions)
{
    auto file = moc()->insertNewObject<File>("File");
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->xmlInfo());
    EXPECT_TRUE(file->fileCachedFile());
    EXPECT_TRUE(file->fileCachedIcon());
    EXPECT_EQ(file->fileCachedFile()->file(), file);

    auto contact = moc()->insertNewObject<Contact>("Contact");
    EXPECT_TRUE(contact->xmlInfo());
    EXPECT_TRUE(contact->contactCachedAvatar());

    for (const char* entity : {"Category", "ContactList", "FileList", "GeneralACLPermission"}) {
        auto record = std::dynamic_pointer_cast<GoogleObject>(moc()->insertNewObject(entity));
        ASSERT_TRUE(record) << entity;
        EXPECT_TRUE(record->xmlInfo()) << entity;
    }
    EXPECT_EQ(moc()->insertedObjects().size(), 4 + 3 + 4 * 2);
    save();
    EXPECT_EQ(countOf(moc(), "XmlInfo"), 6);
    EXPECT_EQ(countOf(moc(), "FileCachedFile"), 1);
    EXPECT_EQ(countOf(moc(), "FileCachedIcon"), 1);
    EXPECT_EQ(countOf(moc(), "ContactCachedAvatar"), 1);
    EXPECT_EQ(countOf(moc(), "FileEntryAbstract"), 2);
    EXPECT_EQ(countOf(moc(), "GoogleObject"), 6);
}

TEST_F(EntityModel, XmlLivesInTheCompanion)
{
    auto file = moc()->insertNewObject<File>("File");
    EXPECT_TRUE(file->xml().isNull());
    EXPECT_FALSE(file->valueForKey("xml").isValid());
    int announced = 0;
    auto other = moc()->insertNewObject<Mail>("Mail");
    file->addObserver("xml", other.get(), [&](ManagedObject*, const QString&) { ++announced; });
    file->setValueForKey("xml", QStringLiteral("<entry/>"));
    EXPECT_EQ(file->xml(), "<entry/>");
    EXPECT_EQ(file->xmlInfo()->xmlValue(), "<entry/>");
    EXPECT_EQ(file->valueForKeyPath("xmlInfo.xmlValue").toString(), "<entry/>");
    EXPECT_EQ(announced, 1);
    file->removeObserver("xml", other.get());
}

TEST_F(EntityModel, DerivedValuesOfAFile)
{
    auto file = moc()->insertNewObject<File>("File");
    auto cached = file->fileCachedFile();
    // Consistent only when both tags are present and equal.
    EXPECT_FALSE(file->isFilePathConsistent());
    file->setETag("\"v1\"");
    EXPECT_FALSE(file->isFilePathConsistent());
    cached->setETag("\"v0\"");
    EXPECT_FALSE(file->isFilePathConsistent());
    cached->setETag("\"v1\"");
    EXPECT_TRUE(file->isFilePathConsistent());
    file->setETag(QString());
    EXPECT_FALSE(file->isFilePathConsistent());

    cached->setValue("file:///tmp/a.txt");
    file->fileCachedIcon()->setValue("file:///tmp/a.png");
    EXPECT_EQ(file->filePath(), "file:///tmp/a.txt");
    EXPECT_EQ(file->valueForKey("iconPath").toString(), "file:///tmp/a.png");

    // Observers of the derived keys hear about changes of what they derive from.
    auto watcher = moc()->insertNewObject<Mail>("Mail");
    QStringList heard;
    for (const char* key : {"filePath", "isFilePathConsistent"})
        file->addObserver(key, watcher.get(), [&](ManagedObject*, const QString& k) { heard << k; });
    cached->setValue("file:///tmp/b.txt");
    cached->setETag("\"v2\"");
    EXPECT_TRUE(heard.contains("filePath"));
    EXPECT_TRUE(heard.contains("isFilePathConsistent"));
}

TEST_F(EntityModel, DerivedValuesOfAContact)
{
    auto contact = moc()->insertNewObject<Contact>("Contact");
    auto mail = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    contact->addMail(mail);
    EXPECT_TRUE(contact->hasDefaultAvatar());
    EXPECT_TRUE(contact->avatar().isNull());
    contact->contactCachedAvatar()->setValue("/tmp/ann.jpg");
    contact->contactCachedAvatar()->setETag("\"p1\"");
    EXPECT_FALSE(contact->hasDefaultAvatar());
    EXPECT_EQ(contact->valueForKey("avatar").toString(), "/tmp/ann.jpg");
    EXPECT_EQ(mail->avatarPath(), "/tmp/ann.jpg");
    EXPECT_EQ(mail->valueForKeyPath("contact.avatar").toString(), "/tmp/ann.jpg");
}

TEST_F(EntityModel, DisplayNameRule)
{
    auto contact = moc()->insertNewObject<Contact>("Contact");
    contact->setName("Ann Smith");
    const struct
    {
        const char* label; // nullptr: no label
        bool withContact;
        QString expected;
    } rows[] = {
        {"Work", true, "Work"},
        {"", true, ""}, // an empty label is still a label
        {nullptr, true, "Ann Smith"},
        {nullptr, false, "ann@x.com"},
        {"", false, ""},
    };
    for (const auto& row : rows) {
        auto mail = moc()->insertNewObject<Mail>("Mail");
        if (row.withContact)
            mail->setContact(contact);
        mail->setAddress("ann@x.com");
        if (row.label)
            mail->setLabel(QString::fromUtf8(row.label));
        EXPECT_EQ(mail->displayName(), row.expected) << (row.label ? row.label : "(nil)") << row.withContact;
        EXPECT_FALSE(mail->displayName().isNull());
    }
}

TEST_F(EntityModel, MailJoiningAContactShowsItsName)
{
    auto contact = moc()->insertNewObject<Contact>("Contact");
    contact->setName("Ann Smith");
    auto first = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    auto second = Mail::mailEntityWithAddress("ann@y.com", true, moc());
    EXPECT_EQ(first->displayName(), "ann@x.com");
    contact->addMail(first);
    second->setContact(contact);
    EXPECT_EQ(first->displayName(), "Ann Smith");
    EXPECT_EQ(second->displayName(), "Ann Smith");
    contact->setMails({second});
    EXPECT_EQ(first->displayName(), "ann@x.com");
    contact->removeMail(second);
    EXPECT_EQ(second->displayName(), "ann@y.com");
}

TEST_F(EntityModel, EmptyLabelSurvivesTheStore)
{
    auto mail = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    mail->setLabel("");
    save();
    const auto id = mail->objectID();
    mail.reset();
    moc()->reset();
    auto again = std::dynamic_pointer_cast<Mail>(moc()->existingObjectWithID(id));
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->label().isNull());
    EXPECT_EQ(again->displayName(), "");
}

TEST_F(EntityModel, FetchedMailFollowsItsContactsName)
{
    auto contact = moc()->insertNewObject<Contact>("Contact");
    contact->setName("Old Name");
    auto mail = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    contact->addMail(mail);
    mail->updateDisplayName();
    save();
    const auto contactID = contact->objectID();
    mail.reset();
    contact.reset();
    moc()->reset();

    auto fetched = Mail::mailEntityWithAddress("ann@x.com", moc());
    ASSERT_TRUE(fetched);
    EXPECT_EQ(fetched->displayName(), "Old Name");
    auto owner = std::dynamic_pointer_cast<Contact>(moc()->existingObjectWithID(contactID));
    ASSERT_TRUE(owner);
    owner->setName("New Name");
    EXPECT_EQ(fetched->displayName(), "New Name");

    // A label wins over the contact's name; later renames keep it.
    fetched->setLabel("Desk");
    owner->setName("Third");
    EXPECT_EQ(fetched->displayName(), "Desk");

    // Once faulted, the mail no longer watches.
    save();
    fetched->turnIntoFault();
    owner->setName("Fourth");
    EXPECT_EQ(fetched->displayName(), "Desk");
}

TEST_F(EntityModel, CollectionIcon)
{
    const QString me = kUser;
    auto meMail = Mail::mailEntityWithAddress(me, true, moc());
    auto other = Mail::mailEntityWithAddress("other@x.com", true, moc());
    auto third = Mail::mailEntityWithAddress("third@x.com", true, moc());

    auto mine = moc()->insertNewObject<Category>("Category");
    mine->setOwner(meMail);
    EXPECT_EQ(mine->iconPath(), "folder_big");
    mine->setViewers({other});
    EXPECT_EQ(mine->iconPath(), "shared_folder_big");
    EXPECT_EQ(mine->previewPath(), "shared_folder_big");
    EXPECT_EQ(mine->valueForKey("iconPath").toString(), "shared_folder_big");
    mine->setViewers({});
    mine->setCommenters({third});
    EXPECT_EQ(mine->iconPath(), "shared_folder_big");

    auto theirs = moc()->insertNewObject<Category>("Category");
    theirs->setOwner(other);
    theirs->setEditors({third});
    EXPECT_EQ(theirs->iconPath(), "folder_big");
    for (int role = 0; role < 3; ++role) {
        theirs->setEditors(role == 0 ? QList{meMail} : QList<std::shared_ptr<Mail>>{});
        theirs->setViewers(role == 1 ? QList{meMail} : QList<std::shared_ptr<Mail>>{});
        theirs->setCommenters(role == 2 ? QList{meMail} : QList<std::shared_ptr<Mail>>{});
        EXPECT_EQ(theirs->iconPath(), "shared_folder_big") << role;
    }
    // The account's address in other letter case is still the account.
    EXPECT_EQ(theirs->iconPathForUser("ME@example.com"), "shared_folder_big");
    EXPECT_EQ(theirs->iconPathForUser(QString()), "folder_big");
}

TEST_F(EntityModel, InversesStayInStepBothWays)
{
    auto file = moc()->insertNewObject<File>("File");
    auto folder = moc()->insertNewObject<Category>("Category");
    auto ann = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    auto contact = moc()->insertNewObject<Contact>("Contact");

    file->setCategories({folder});
    EXPECT_EQ(folder->files().size(), 1);
    folder->removeFromMany("files", file);
    EXPECT_TRUE(file->categories().isEmpty());

    ann->addToMany("edits", file);
    EXPECT_EQ(file->editors(), QList{ann});
    file->setOwner(ann);
    EXPECT_EQ(ann->owns().size(), 1);

    ann->setContact(contact);
    EXPECT_EQ(contact->mails(), QList{ann});
    contact->setPrimaryMail(ann);
    EXPECT_EQ(ann->primaryForContact(), contact);
    save();

    const auto fileID = file->objectID();
    const auto annID = ann->objectID();
    file.reset();
    folder.reset();
    ann.reset();
    contact.reset();
    moc()->reset();
    auto annAgain = std::dynamic_pointer_cast<Mail>(moc()->existingObjectWithID(annID));
    ASSERT_TRUE(annAgain);
    ASSERT_EQ(annAgain->edits().size(), 1);
    EXPECT_EQ(annAgain->edits().first()->objectID(), fileID);
    EXPECT_EQ(annAgain->contact()->primaryMail(), annAgain);
}

TEST_F(EntityModel, DeletingDocumentsAndContactsKeepsMailsAndDropsCompanions)
{
    auto file = moc()->insertNewObject<File>("File");
    auto contact = moc()->insertNewObject<Contact>("Contact");
    auto ann = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    auto bob = Mail::mailEntityWithAddress("bob@x.com", true, moc());
    file->setOwner(ann);
    file->setLastModifiedBy(bob);
    file->setEditors({ann, bob});
    file->setGeneralACL(moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission"));
    contact->addMail(ann);
    contact->setPrimaryMail(ann);
    save();

    moc()->deleteObject(file);
    moc()->deleteObject(contact);
    save();
    EXPECT_EQ(countOf(moc(), "Mail"), 2);
    for (const char* companion :
         {"XmlInfo", "FileCachedFile", "FileCachedIcon", "ContactCachedAvatar", "GeneralACLPermission"})
        EXPECT_EQ(countOf(moc(), companion), 0) << companion;
    EXPECT_FALSE(ann->contact());
    EXPECT_TRUE(ann->owns().isEmpty());
}

TEST_F(EntityModel, ReplacedGeneralAccessDoesNotPileUp)
{
    auto file = moc()->insertNewObject<File>("File");
    for (int refresh = 0; refresh < 3; ++refresh) {
        auto acl = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
        acl->setType("default");
        acl->setRole(refresh == 2 ? "writer" : "reader");
        file->setGeneralACL(acl);
        save();
    }
    EXPECT_EQ(countOf(moc(), "GeneralACLPermission"), 1);
    EXPECT_EQ(file->generalACL()->role(), "writer");
    EXPECT_EQ(file->generalACL()->entry(), file);
    // Only the document's own XmlInfo and the one general access's are left.
    EXPECT_EQ(countOf(moc(), "XmlInfo"), 2);
    file->setGeneralACL(nullptr);
    save();
    EXPECT_EQ(countOf(moc(), "GeneralACLPermission"), 0);
}

TEST_F(EntityModel, MailLookupMatchesTheWholeAddressIgnoringCase)
{
    Mail::mailEntityWithAddress("ann@x.com", true, moc());
    Mail::mailEntityWithAddress(QString::fromUtf8("j\xc3\xb6rg@x.com"), true, moc());
    save();
    const struct
    {
        QString query;
        QString found; // null: nothing
    } rows[] = {
        {"ann@x.com", "ann@x.com"},
        {"ANN@X.Com", "ann@x.com"},
        {"ann@x.co", QString()}, // a prefix is another address
        {"ann@x.comm", QString()},
        {"nn@x.com", QString()},
        {"ann@x.c%", QString()}, // pattern characters match literally
        {"ann@x.c*", QString()},
        {QString::fromUtf8("j\xc3\xb6rg@x.com"), QString::fromUtf8("j\xc3\xb6rg@x.com")},
        {"jorg@x.com", QString()}, // accents make another address
        {QString(), QString()},
    };
    for (const auto& row : rows) {
        const auto mail = Mail::mailEntityWithAddress(row.query, moc());
        EXPECT_EQ(mail ? mail->address() : QString(), row.found) << row.query.toStdString();
    }

    // Find-or-create reuses the case-different record instead of adding a twin.
    EXPECT_EQ(Mail::mailEntityWithAddress("Ann@X.com", true, moc())->address(), "ann@x.com");
    EXPECT_FALSE(Mail::mailEntityWithAddress("new@x.com", false, moc()));
    auto created = Mail::mailEntityWithAddress("new@x.com", true, moc());
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->label().isNull());
    EXPECT_FALSE(created->favorite().isValid());
    EXPECT_FALSE(created->visible().isValid());
    EXPECT_EQ(countOf(moc(), "Mail"), 3);

    // With two spellings stored, the exact one is answered.
    auto upper = moc()->insertNewObject<Mail>("Mail");
    upper->setAddress("NEW@x.com");
    EXPECT_EQ(Mail::mailEntityWithAddress("NEW@x.com", moc()), upper);
    EXPECT_EQ(Mail::mailEntityWithAddress("new@x.com", moc()), created);
}

TEST_F(EntityModel, ContactLookupSkipsAddressesWithoutContact)
{
    auto orphan = Mail::mailEntityWithAddress("bob@x.com", true, moc());
    auto contact = moc()->insertNewObject<Contact>("Contact");
    auto owned = moc()->insertNewObject<Mail>("Mail");
    owned->setAddress("Bob@X.com");
    contact->addMail(owned);
    save();
    EXPECT_EQ(Contact::contactWithAddress("bob@x.com", moc()), contact);
    EXPECT_EQ(Contact::contactWithAddress("BOB@x.com", moc()), contact);
    EXPECT_FALSE(Contact::contactWithAddress("bob@x.co", moc()));
}

TEST_F(EntityModel, ContactByAddress)
{
    EXPECT_FALSE(Contact::contactWithAddress("ann@x.com", false, moc()));
    auto made = Contact::contactWithAddress("ann@x.com", true, moc());
    ASSERT_TRUE(made);
    EXPECT_EQ(made->name(), "ann@x.com");
    ASSERT_EQ(made->mails().size(), 1);
    EXPECT_EQ(made->primaryMail(), made->mails().first());
    EXPECT_EQ(made->primaryMail()->label(), "ann@x.com");
    EXPECT_EQ(made->primaryMail()->address(), "ann@x.com");
    save();
    EXPECT_EQ(Contact::contactWithAddress("ANN@x.com", true, moc()), made);
    EXPECT_FALSE(Contact::contactWithAddress("ann@x.co", moc()));

    // An address met first in an access list becomes the new contact's mail, not a second record.
    auto seen = Mail::mailEntityWithAddress("bob@x.com", true, moc());
    auto bob = Contact::contactWithAddress("bob@x.com", true, moc());
    EXPECT_EQ(bob->primaryMail(), seen);
    EXPECT_EQ(countOf(moc(), "Mail"), 2);
}

TEST_F(EntityModel, LookupsByIdentifier)
{
    auto file = moc()->insertNewObject<File>("File");
    file->setIdentifier("f1");
    auto folder = moc()->insertNewObject<Category>("Category");
    folder->setIdentifier("c1");
    auto contact = moc()->insertNewObject<Contact>("Contact");
    contact->setIdentifier("p1");
    save();
    EXPECT_EQ(File::fileWithIdentifier("f1", moc()), file);
    EXPECT_FALSE(File::fileWithIdentifier("c1", moc()));
    EXPECT_EQ(FileEntryAbstract::fileEntryAbstractWithIdentifier("c1", moc()), folder);
    EXPECT_EQ(Category::categoryWithIdentifier("c1", moc()), folder);
    EXPECT_EQ(Category::categoryWithHref("http://h/feeds/folder%3Ac1", moc()), folder);
    EXPECT_FALSE(Category::categoryWithHref("http://h/feeds/folder%3Ac2", moc()));
    EXPECT_EQ(Contact::contactWithIdentifier("p1", moc()), contact);
    EXPECT_FALSE(Contact::contactWithIdentifier(QString(), moc()));
    EXPECT_FALSE(File::fileWithIdentifier("f1", nullptr));
}

TEST_F(EntityModel, FeedRecordsExistOnce)
{
    auto contacts = ContactList::contactListFromContext(moc());
    auto files = FileList::fileListFromContext(moc());
    ASSERT_TRUE(contacts);
    ASSERT_TRUE(files);
    EXPECT_EQ(ContactList::contactListFromContext(moc()), contacts);
    EXPECT_EQ(FileList::fileListFromContext(moc()), files);
    save();
    moc()->reset();
    EXPECT_EQ(ContactList::contactListFromContext(moc())->objectID(), contacts->objectID());
    EXPECT_EQ(countOf(moc(), "ContactList"), 1);
    EXPECT_EQ(countOf(moc(), "FileList"), 1);
}

TEST_F(EntityModel, UserTextInPredicatesMatchesLiterally)
{
    const QStringList titles = {"it's \"quoted\"", "100% done", "a*b", "abc", "100 done", "aXb"};
    for (const QString& t : titles)
        moc()->insertNewObject<File>("File")->setTitle(t);
    save();
    const struct
    {
        QString text;
        QStringList expected;
    } rows[] = {
        {"'s \"quoted", {"it's \"quoted\""}},
        {"0% d", {"100% done"}},
        {"a*b", {"a*b"}},
        {"*", {"a*b"}},
        {"%", {"100% done"}},
        {"?", {}},
    };
    for (const auto& row : rows) {
        for (bool inMemory : {false, true}) {
            FetchRequest request("File");
            Predicate p = Predicate::format("title CONTAINS[cd] %@", row.text);
            QStringList got;
            if (inMemory) {
                for (const auto& f : moc()->executeFetchRequest<File>(FetchRequest("File")))
                    if (p.evaluate(f))
                        got << f->title();
            } else {
                request.setPredicate(p);
                for (const auto& f : moc()->executeFetchRequest<File>(request))
                    got << f->title();
            }
            EXPECT_EQ(got, row.expected) << row.text.toStdString() << (inMemory ? " memory" : " sql");
        }
    }
}

TEST_F(EntityModel, AdaptersCarryValuesAndStayDetached)
{
    auto mail = Mail::mailEntityWithAddress("ann@x.com", true, moc());
    mail->setLabel("Home");
    mail->setFavorite(true);
    auto adapter = mail->adapterObject();
    EXPECT_EQ(adapter->address(), "ann@x.com");
    EXPECT_EQ(adapter->label(), "Home");
    EXPECT_EQ(adapter->favorite(), QVariant(true));
    EXPECT_FALSE(adapter->visible().isValid());
    adapter->setLabel("Changed");
    adapter->setVisible(true);
    EXPECT_EQ(mail->label(), "Home");
    EXPECT_FALSE(mail->visible().isValid());
    auto copy = adapter->adapterObject();
    EXPECT_NE(copy, adapter);
    EXPECT_EQ(copy->label(), "Changed");

    auto contact = moc()->insertNewObject<Contact>("Contact");
    contact->setName("Ann");
    contact->setXml("<entry/>");
    auto contactAdapter = contact->adapterObject();
    EXPECT_EQ(contactAdapter->name(), "Ann");
    EXPECT_EQ(contactAdapter->xml(), "<entry/>");
    ContactAdapter fresh;
    EXPECT_EQ(fresh.name(), "");
    EXPECT_FALSE(fresh.name().isNull());
    EXPECT_FALSE(fresh.xml().isNull());

    auto acl = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
    acl->setType("domain");
    acl->setRole("commenter");
    acl->setHasLink(true);
    auto aclAdapter = acl->adapterObjectForUsername("me@example.com");
    EXPECT_EQ(aclAdapter->username(), "me@example.com");
    EXPECT_EQ(aclAdapter->type(), "domain");
    EXPECT_EQ(aclAdapter->role(), "commenter");
    EXPECT_EQ(aclAdapter->hasLink(), QVariant(true));
    EXPECT_EQ(aclAdapter->adapterObjectForUsername("other@x.com")->username(), "me@example.com");
    EXPECT_FALSE(
        GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername("u")->hasLink().isValid());

    GoogleObjectAdapter standIn("id1", "\"t\"");
    EXPECT_EQ(standIn.identifier(), "id1");
    EXPECT_EQ(standIn.eTag(), "\"t\"");
}
