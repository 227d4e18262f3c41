#include "model/TQMOCMasterUpdater.h"

#include "RecordFixtures.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/ContactCachedAvatar.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/FileCachedIcon.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/MailAdapter.h"
#include "platform/store/ManagedObjectContext.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace tavrel;
using namespace tavrel::test;

namespace {

qint64 countOf(ManagedObjectContext* context, const QString& entity)
{
    return context->countForFetchRequest(FetchRequest(entity));
}

class MasterUpdater : public StoreFixture
{
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        m_documents = loadRecordsFeed("documents-feed.xml", GDataObjectFactory::FeedHint::Documents);
        m_contacts = loadRecordsFeed("contacts-feed.xml", GDataObjectFactory::FeedHint::Contacts);
        QObject::connect(moc(), &ManagedObjectContext::didSave, moc(), [this](const SaveNotification&) {
            ++m_saves;
            m_savedOffMain =
                m_savedOffMain || QThread::currentThread() != QCoreApplication::instance()->thread();
        });
    }

    TQMOCMasterUpdater* updater() { return moc()->updater(); }

    // Runs the work on a worker thread, as the action handlers do, while this thread runs events.
    void onWorker(const std::function<void()>& work)
    {
        std::atomic<bool> done{false};
        QThread* thread = QThread::create([&] {
            work();
            done = true;
        });
        thread->start();
        EXPECT_TRUE(waitUntil([&] { return done.load(); }, 10000));
        thread->wait();
        delete thread;
    }

    std::shared_ptr<File> insertFile(const QString& identifier)
    {
        auto file = moc()->insertNewObject<File>("File");
        file->setIdentifier(identifier);
        file->setResourceId("document:" + identifier);
        return file;
    }

    GDataFeedPtr m_documents;
    GDataFeedPtr m_contacts;
    std::atomic<int> m_saves{0};
    std::atomic<bool> m_savedOffMain{false};
};

TEST_F(MasterUpdater, WorkerCallWritesOnMainThreadAndSavesOnceBeforeReturning)
{
    insertFile("doc1");
    insertFile("doc2");
    save();
    m_saves = 0;

    int savesAtReturn = -1;
    onWorker([&] {
        // Two entries, one of another class, one without a record: one save for the whole list.
        updater()->documentsUpdated(QList<GDataEntryPtr>{
            entryOf(m_documents, "document:doc1"), entryOf(m_contacts, "465577d88b0afee8"),
            entryOf(m_documents, "document:doc2"), entryOf(m_documents, "spreadsheet:sheet1")});
        savesAtReturn = m_saves.load();
    });

    EXPECT_EQ(savesAtReturn, 1);
    EXPECT_EQ(m_saves.load(), 1);
    EXPECT_FALSE(m_savedOffMain.load());
    EXPECT_FALSE(moc()->hasChanges());
    auto doc1 = File::fileWithIdentifier("doc1", moc());
    ASSERT_TRUE(doc1);
    EXPECT_EQ(doc1->title(), "Quarterly Report");
    ASSERT_TRUE(doc1->owner());
    EXPECT_EQ(doc1->owner()->address(), "me@example.com");
    EXPECT_EQ(File::fileWithIdentifier("doc2", moc())->title(), "Notes without access list");
    // Updating inserts nothing.
    EXPECT_FALSE(File::fileWithIdentifier("sheet1", moc()));
    EXPECT_EQ(countOf(moc(), "FileEntryAbstract"), 2);
}

TEST_F(MasterUpdater, UpdateWithoutRecordChangesNothing)
{
    onWorker([&] {
        updater()->documentsUpdated(QVariantList{QVariant::fromValue(entryOf(m_documents, "document:doc1"))});
    });
    EXPECT_EQ(countOf(moc(), "FileEntryAbstract"), 0);
    EXPECT_EQ(m_saves.load(), 0); // nothing changed, nothing saved
}

TEST_F(MasterUpdater, DocumentCreatedInsertsOnceAndFillsAnExistingRecordInPlace)
{
    onWorker([&] {
        updater()->documentCreated(entryOf(m_documents, "folder:fold1"));
        updater()->documentCreated(QVariant::fromValue(entryOf(m_documents, "document:doc1")));
        // The same document arriving again (the synchronisation brought it first) is no second record.
        updater()->documentCreated(entryOf(m_documents, "document:doc1"));
        updater()->documentCreated(entryOf(m_contacts, "465577d88b0afee8"));
    });
    // One save per call that changed something (the contact entry is skipped).
    EXPECT_EQ(m_saves.load(), 3);
    EXPECT_EQ(countOf(moc(), "File"), 1);
    EXPECT_EQ(countOf(moc(), "Category"), 1);
    EXPECT_EQ(countOf(moc(), "GeneralACLPermission"), 1);
    auto doc1 = File::fileWithIdentifier("doc1", moc());
    ASSERT_TRUE(doc1);
    ASSERT_TRUE(Category::categoryWithIdentifier("fold1", moc()));
    // The collection was stored first, so the document is linked to it.
    ASSERT_EQ(doc1->categories().size(), 1);
    EXPECT_EQ(doc1->categories().first()->identifier(), "fold1");
}

TEST_F(MasterUpdater, DocumentsDeletedMatchesTheServiceIdentifier)
{
    insertFile("doc1");
    insertFile("doc2");
    save();
    // doc2's entry with another service identifier: its resource id matches, its id does not.
    QString text = entryOf(m_documents, "document:doc2")->XMLString();
    text.replace("feeds/id/document%3Adoc2", "feeds/id/document%3Aother");
    auto misnamed = entryFromText(text);
    onWorker([&] {
        updater()->documentsDeleted(QList<GDataEntryPtr>{entryOf(m_documents, "document:doc1"), misnamed});
    });
    EXPECT_FALSE(File::fileWithIdentifier("doc1", moc()));
    EXPECT_TRUE(File::fileWithIdentifier("doc2", moc()));
    EXPECT_EQ(countOf(moc(), "FileCachedFile"), 1);
    EXPECT_EQ(countOf(moc(), "XmlInfo"), 1);
}

TEST_F(MasterUpdater, SetIsViewedMarksViewedAndNotNew)
{
    const struct
    {
        bool flag;
        bool isViewed;
        bool isNew;
    } rows[] = {{true, true, false}, {false, false, true}};
    for (const auto& row : rows) {
        auto file = insertFile("doc1");
        file->setIsNew(row.flag);
        file->setIsViewed(!row.flag);
        save();
        // Records of the worker's own context are looked up again in the master context.
        onWorker([&] {
            ManagedObjectContext* worker = manager().managedObjectContextForCurrentThread();
            auto own = File::fileWithIdentifier("doc1", worker);
            ASSERT_TRUE(own);
            updater()->documents(
                QVariantList{QVariant::fromValue(ManagedObjectPtr(own)), QVariant("skipped")}, row.flag);
        });
        EXPECT_EQ(file->isViewed(), row.isViewed) << row.flag;
        EXPECT_EQ(file->isNew(), row.isNew) << row.flag;
        EXPECT_FALSE(moc()->hasChanges());
        moc()->deleteObject(file);
        save();
    }
}

TEST_F(MasterUpdater, CachedFilesFollowDownloadsAndPreviews)
{
    auto file = insertFile("doc1");
    file->fileCachedFile()->setLastRequestedETag("\"v2\"");
    file->fileCachedIcon()->setLastRequestedETag("\"v2\"");
    auto contact = moc()->insertNewObject<Contact>("Contact");
    contact->contactCachedAvatar()->setLastRequestedETag("\"p1\"");
    save();
    const QUrl copy = QUrl::fromLocalFile("/tmp/cache/doc1.odt");
    const QUrl thumb = QUrl::fromLocalFile("/tmp/cache/doc1.png");
    const QUrl photo = QUrl::fromLocalFile("/tmp/cache/p1.jpg");
    onWorker([&] {
        updater()->documentDownloadedFileAtURL(file, copy, Error());
        // The null object stands for no error.
        updater()->documentPreviewGeneratedAtURL(file, thumb, QVariant());
        updater()->contact(contact, photo, Error());
    });
    EXPECT_EQ(file->fileCachedFile()->value(), copy.toString());
    EXPECT_EQ(file->fileCachedFile()->eTag(), "\"v2\"");
    EXPECT_EQ(file->fileCachedIcon()->value(), thumb.toString());
    EXPECT_EQ(file->fileCachedIcon()->eTag(), "\"v2\"");
    EXPECT_EQ(contact->avatar(), photo.toString());
    EXPECT_FALSE(contact->hasDefaultAvatar());

    // A failed download forgets the request and keeps the copy.
    file->fileCachedFile()->setLastRequestedETag("\"v3\"");
    save();
    onWorker([&] { updater()->documentDownloadedFileAtURL(file, QUrl(), Error("Test", 5)); });
    EXPECT_EQ(file->fileCachedFile()->lastRequestedETag(), "\"v2\"");
    EXPECT_EQ(file->fileCachedFile()->value(), copy.toString());
}

TEST_F(MasterUpdater, ContactsCreatedUpdatedAndDeleted)
{
    // A contact already holding one of the entry's addresses is the one filled.
    auto existing = Contact::contactWithAddress("JOHN@work.example.com", true, moc());
    save();
    onWorker([&] { updater()->contactCreated(entryOf(m_contacts, "465577d88b0afee8")); });
    EXPECT_EQ(countOf(moc(), "Contact"), 1);
    EXPECT_EQ(existing->name(), "John Wilson");
    EXPECT_EQ(existing->identifier(), "465577d88b0afee8");
    EXPECT_EQ(existing->mails().size(), 2);
    EXPECT_EQ(countOf(moc(), "Mail"), 2);

    onWorker(
        [&] { updater()->contactCreated(QVariant::fromValue(entryOf(m_contacts, "669aee080ec47f33"))); });
    EXPECT_EQ(countOf(moc(), "Contact"), 2);

    QString text = entryOf(m_contacts, "465577d88b0afee8")->XMLString();
    text.replace("<title>John Wilson</title>", "<title>John W. Wilson</title>");
    auto renamed = entryFromText(text);
    QString unknownText = text;
    unknownText.replace("465577d88b0afee8</id>", "ffff</id>");
    auto unknown = entryFromText(unknownText);
    onWorker([&] {
        updater()->contactUpdated(renamed);
        updater()->contactUpdated(unknown);
    });
    EXPECT_EQ(existing->name(), "John W. Wilson");
    EXPECT_EQ(countOf(moc(), "Contact"), 2);

    const int savesBefore = m_saves.load();
    onWorker([&] { updater()->contactsDeleted(QList<ManagedObjectPtr>{existing}); });
    EXPECT_EQ(m_saves.load(), savesBefore + 1);
    EXPECT_EQ(countOf(moc(), "Contact"), 1);
    // Mails outlive their contact.
    EXPECT_TRUE(Mail::mailEntityWithAddress("john@home.example.com", moc()));
}

TEST_F(MasterUpdater, MailsCreatedUpdatedAndHidden)
{
    auto created = std::make_shared<MailAdapter>();
    created->setAddress("pat@example.com");
    created->setLabel("Pat");
    created->setFavorite(true);
    created->setVisible(true);
    auto file = insertFile("doc1");
    file->setOwner(Mail::mailEntityWithAddress("PAT@example.com", true, moc()));
    save();

    onWorker([&] { updater()->mailCreated(created); });
    EXPECT_EQ(countOf(moc(), "Mail"), 1);
    auto mail = Mail::mailEntityWithAddress("pat@example.com", moc());
    EXPECT_EQ(mail->label(), "Pat");
    EXPECT_EQ(mail->favorite(), QVariant(true));

    auto renamed = std::make_shared<MailAdapter>(*created);
    renamed->setAddress("patricia@example.com");
    renamed->setLabel(QString());
    onWorker([&] {
        updater()->mailsUpdated(QVariantList{
            QVariant("not a map"),
            QVariantMap{{"mailEntity", QVariant::fromValue(renamed)}, {"mailAddress", "pat@example.com"}},
            // Nothing under the adapter's own address: nothing is created.
            QVariantMap{{"mailEntity", QVariant::fromValue(std::make_shared<MailAdapter>())}}});
    });
    EXPECT_EQ(countOf(moc(), "Mail"), 1);
    EXPECT_EQ(mail->address(), "patricia@example.com");
    EXPECT_TRUE(mail->label().isNull());

    onWorker([&] { updater()->mailsDeleted(QStringList{"patricia@example.com", "nobody@example.com"}); });
    EXPECT_EQ(mail->visible(), QVariant(false));
    EXPECT_EQ(file->owner(), mail);
    EXPECT_EQ(countOf(moc(), "Mail"), 1);
}

} // namespace
