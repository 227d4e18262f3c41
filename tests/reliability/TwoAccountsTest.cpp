#include "ReliabilityFixture.h"
#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "model/TQPlaces.h"
#include "platform/store/PersistentStoreCoordinator.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

QSet<QString> asSet(const QStringList& list)
{
    return QSet<QString>(list.cbegin(), list.cend());
}

QStringList contactIdentifiers(TQMOCMaster* master)
{
    QStringList ids;
    for (const auto& record : master->executeFetchRequest(FetchRequest(QStringLiteral("Contact"))))
        if (const auto contact = std::dynamic_pointer_cast<Contact>(record))
            ids.append(contact->identifier());
    ids.sort();
    return ids;
}

bool inside(const QString& path, const QString& folder)
{
    const QString canonical = QDir::cleanPath(folder) + QLatin1Char('/');
    return QDir::cleanPath(path).startsWith(canonical);
}

} // namespace

using TwoAccountsTest = ReliabilityTest;

TEST_F(TwoAccountsTest, StoresFoldersAndChangestampsNeverMix)
{
    TestAccount ann;
    TestAccount bob;
    localservice::GenerateOptions options;
    options.ownerEmail = QStringLiteral("ann@tavrel.test");
    options.ownerName = QStringLiteral("Ann");
    options.documents = 40;
    options.collections = 4;
    options.contacts = 8;
    options.seed = 11;
    startService(ann, options);
    options.ownerEmail = QStringLiteral("bob@tavrel.test");
    options.ownerName = QStringLiteral("Bob");
    options.documents = 25;
    options.collections = 3;
    options.contacts = 5;
    options.seed = 23;
    startService(bob, options);
    // Bob's changestamp differs from Ann's, so a stamp in the wrong place shows.
    ASSERT_FALSE(bob.service.addDocument(QStringLiteral("Bob's extra")).isEmpty());
    ASSERT_NE(ann.service.largestChangestamp(), bob.service.largestChangestamp());
    ann.openSession();
    bob.openSession();

    // Each account in its own folder; neither folder inside the other.
    const QString annStore = ann.session->mocManager()->persistentStoreCoordinator()->storePath();
    const QString bobStore = bob.session->mocManager()->persistentStoreCoordinator()->storePath();
    EXPECT_NE(annStore, bobStore);
    const QString annFolder = TQPlaces::tavrelSupportDirectoryForUsername(ann.address());
    const QString bobFolder = TQPlaces::tavrelSupportDirectoryForUsername(bob.address());
    EXPECT_TRUE(inside(annStore, annFolder)) << annStore.toStdString();
    EXPECT_TRUE(inside(bobStore, bobFolder)) << bobStore.toStdString();
    EXPECT_FALSE(inside(annStore, bobFolder));
    EXPECT_FALSE(inside(bobStore, annFolder));
    const QString annCache = TQPlaces::tavrelCacheDirectoryForUsername(ann.address());
    const QString bobCache = TQPlaces::tavrelCacheDirectoryForUsername(bob.address());
    EXPECT_NE(annCache, bobCache);
    EXPECT_FALSE(inside(annCache, bobFolder));
    EXPECT_FALSE(inside(bobCache, annFolder));

    // Full synchronisations, one after the other.
    SyncRecorder callback;
    ASSERT_TRUE(runFull(ann, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    ASSERT_TRUE(runFull(bob, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();

    const auto checkStores = [&] {
        const QStringList annIds = ann.storedResourceIds();
        const QStringList bobIds = bob.storedResourceIds();
        EXPECT_EQ(annIds, sorted(ann.service.documentIds()));
        EXPECT_EQ(bobIds, sorted(bob.service.documentIds()));
        EXPECT_TRUE(asSet(annIds).intersect(asSet(bobIds)).isEmpty());
        const QStringList annContacts = contactIdentifiers(ann.master());
        const QStringList bobContacts = contactIdentifiers(bob.master());
        EXPECT_EQ(annContacts.size(), 8);
        EXPECT_EQ(bobContacts.size(), 5);
        EXPECT_TRUE(asSet(annContacts).intersect(asSet(bobContacts)).isEmpty());
        EXPECT_EQ(ann.storedChangestamp().toLongLong(), ann.service.largestChangestamp());
        EXPECT_EQ(bob.storedChangestamp().toLongLong(), bob.service.largestChangestamp());
    };
    {
        SCOPED_TRACE("after the full synchronisations");
        // The generated accounts must not share identifiers, or mixing could not be seen.
        ASSERT_TRUE(asSet(ann.service.documentIds()).intersect(asSet(bob.service.documentIds())).isEmpty());
        checkStores();
    }

    // A change on Ann's service reaches Ann's store only.
    const QString annNew = ann.service.addDocument(QStringLiteral("Only for Ann"));
    ASSERT_FALSE(annNew.isEmpty());
    const QVariant bobStamp = bob.storedChangestamp();
    ASSERT_TRUE(runFast(bob, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    EXPECT_EQ(bob.storedChangestamp(), bobStamp);
    ASSERT_TRUE(runFast(ann, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    const auto stored = [](const TestAccount& account, const QString& rid) {
        return FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(rid), account.master());
    };
    EXPECT_TRUE(stored(ann, annNew));
    EXPECT_FALSE(stored(bob, annNew));

    // A rename on Bob's service reaches Bob's store only.
    const QString bobRenamed = sorted(bob.service.documentIds()).first();
    ASSERT_TRUE(bob.service.renameDocument(bobRenamed, QStringLiteral("Renamed at Bob's")));
    ASSERT_TRUE(runFast(ann, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    ASSERT_TRUE(runFast(bob, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    ASSERT_TRUE(stored(bob, bobRenamed));
    EXPECT_EQ(stored(bob, bobRenamed)->title(), QStringLiteral("Renamed at Bob's"));
    EXPECT_FALSE(stored(ann, bobRenamed));
    {
        SCOPED_TRACE("after the incremental synchronisations");
        checkStores();
    }

    // What is on disk agrees: each store reopened holds its own account only.
    const QStringList annIds = ann.storedResourceIds();
    const QStringList bobIds = bob.storedResourceIds();
    ann.session.reset();
    bob.session.reset();
    bob.openSession();
    ann.openSession();
    EXPECT_EQ(ann.storedResourceIds(), annIds);
    EXPECT_EQ(bob.storedResourceIds(), bobIds);
    ann.session.reset();
    bob.session.reset();
}

} // namespace tavrel::test
