#include "StoreFixture.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQDataModel.h"
#include "model/TQMOCFactory.h"
#include "model/TQPlaces.h"
#include "platform/runtime/Exception.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "support/Unreadable.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace tavrel;
using tavrel::test::StoreFixture;
using tavrel::test::TempHomeTest;
using tavrel::test::waitUntil;

namespace {

// Runs a function on a fresh QThread and waits for it, spinning the main loop meanwhile.
void runOnWorker(const std::function<void()>& work)
{
    std::atomic<bool> done = false;
    QThread* thread = QThread::create([&] {
        work();
        done = true;
    });
    thread->start();
    EXPECT_TRUE(waitUntil([&] { return done.load(); }, 20000));
    thread->wait();
    delete thread;
}

std::unique_ptr<QObject> sessionFor(const QString& user)
{
    auto session = std::make_unique<QObject>();
    session->setProperty("username", user);
    return session;
}

} // namespace

TEST(Places, FoldersOfAnAccount)
{
    tavrel::test::TempHome home;
    const QString base = home.dataHome() + "/Tavrel";
    EXPECT_EQ(TQPlaces::tavrelApplicationSupportDirectory(), base);
    EXPECT_EQ(TQPlaces::tavrelSupportDirectoryForUsername("a@b.c"), base + "/a@b.c");
    EXPECT_EQ(TQPlaces::tavrelPeristentStoreCoordinatorForUsername("a@b.c"), base + "/a@b.c/data.storedata");
    EXPECT_EQ(TQPlaces::tavrelCacheDirectoryForUsername("a@b.c"), base + "/a@b.c/cache");
    for (const QString& bad : {QString(), QString("")}) {
        EXPECT_TRUE(TQPlaces::tavrelSupportDirectoryForUsername(bad).isNull()) << bad.toStdString();
        EXPECT_TRUE(TQPlaces::tavrelPeristentStoreCoordinatorForUsername(bad).isNull()) << bad.toStdString();
    }
}

class StoreManager : public TempHomeTest
{
};

TEST_F(StoreManager, FirstStartCreatesTheFoldersAndTheStore)
{
    const QString user = "new@example.com";
    ASSERT_FALSE(QFileInfo::exists(TQPlaces::tavrelApplicationSupportDirectory()));
    auto session = sessionFor(user);
    auto manager = TQMOCManager::mocManagerWithSession(session.get());
    ASSERT_TRUE(manager);
    ASSERT_TRUE(manager->masterMOC());
    EXPECT_EQ(manager->username(), user);
    EXPECT_TRUE(QFileInfo(TQPlaces::tavrelSupportDirectoryForUsername(user)).isDir());
    EXPECT_TRUE(QFileInfo::exists(TQPlaces::tavrelPeristentStoreCoordinatorForUsername(user)));
    EXPECT_EQ(manager->masterMOC()->mocManager(), manager.get());
    EXPECT_FALSE(TQMOCManager::mocManagerWithSession(nullptr));
}

TEST_F(StoreManager, StoreThatCannotBePlacedRaises)
{
    const struct
    {
        QString user;
        std::function<void()> prepare;
        QString reason;
    } rows[] = {
        {"file@example.com",
         [] {
             QDir().mkpath(TQPlaces::tavrelApplicationSupportDirectory());
             QFile f(TQPlaces::tavrelSupportDirectoryForUsername("file@example.com"));
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         "Expected a folder to store application data, found a file"},
        {"under@example.com",
         [] {
             // The application folder itself is a file: the account folder cannot be made.
             QDir().mkpath(QFileInfo(TQPlaces::tavrelApplicationSupportDirectory()).path());
             QFile f(TQPlaces::tavrelApplicationSupportDirectory());
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         },
         "It is not possible to create the directory during creation of the Persistent Store"},
        {"", [] {}, "It is not possible to create the directory during creation of the Persistent Store"},
    };
    for (const auto& row : rows) {
        tavrel::test::TempHome home;
        row.prepare();
        auto session = sessionFor(row.user);
        try {
            TQMOCManager manager(session.get());
            ADD_FAILURE() << "no exception for " << row.user.toStdString();
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), "CannotCreatePersistentStore");
            EXPECT_EQ(e.reason(), row.reason) << row.user.toStdString();
        }
    }
}

// A file that is no store is kept aside, as it was, and a new store opened in its place; one that
// cannot be read raises and stays where and as it is.
TEST_F(StoreManager, AFileThatIsNoStoreIsSetAsideAndAnUnreadableOneRaises)
{
    const QString user = "junk@example.com";
    const QString path = TQPlaces::tavrelPeristentStoreCoordinatorForUsername(user);
    QDir().mkpath(TQPlaces::tavrelSupportDirectoryForUsername(user));
    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    auto session = sessionFor(user);
    {
        test::Unreadable unreadable(path);
        try {
            TQMOCManager manager(session.get());
            ADD_FAILURE() << "opened a file it cannot read";
        } catch (const Exception& e) {
            EXPECT_EQ(e.name(), "CannotCreatePersistentStore");
            EXPECT_TRUE(e.reason().contains(path)) << e.reason().toStdString();
        }
    }
    EXPECT_EQ(QFileInfo(path).size(), 4096) << "left as it was";

    TQMOCManager manager(session.get());
    const QString aside = manager.movedAsideStorePath();
    ASSERT_FALSE(aside.isEmpty());
    EXPECT_EQ(QFileInfo(aside).size(), 4096);
    EXPECT_FALSE(manager.movedAsideReason().isEmpty());
    EXPECT_TRUE(manager.shouldCreateMasterContext());
    manager.masterMOC()->insertNewObject<File>("File");
    manager.save();
    EXPECT_FALSE(manager.shouldCreateMasterContext()) << "a working store in its place";
}

class StoreContexts : public StoreFixture
{
};

TEST_F(StoreContexts, ShouldCreateMasterContextUntilADocumentIsStored)
{
    EXPECT_TRUE(manager().shouldCreateMasterContext());
    Mail::mailEntityWithAddress("a@x.com", true, moc());
    manager().save();
    EXPECT_TRUE(manager().shouldCreateMasterContext());
    moc()->insertNewObject<File>("File");
    manager().save();
    EXPECT_FALSE(manager().shouldCreateMasterContext());
    moc()->insertNewObject<File>("File");
    manager().save();
    EXPECT_FALSE(manager().shouldCreateMasterContext());
}

TEST_F(StoreContexts, OneContextPerThread)
{
    ManagedObjectContext* firstA = nullptr;
    ManagedObjectContext* secondA = nullptr;
    ManagedObjectContext* onB = nullptr;
    QString userOnA;
    runOnWorker([&] {
        firstA = manager().managedObjectContextForCurrentThread();
        secondA = manager().managedObjectContextForCurrentThread();
        userOnA = TQMOCManager::usernameForContext(firstA);
    });
    runOnWorker([&] { onB = manager().managedObjectContextForCurrentThread(); });
    EXPECT_TRUE(firstA);
    EXPECT_EQ(firstA, secondA);
    EXPECT_NE(onB, nullptr);
    EXPECT_EQ(userOnA, kUser);
    EXPECT_EQ(TQMOCManager::usernameForContext(moc()), kUser);
    EXPECT_FALSE(TQMOCFactory::managedObjectContextForCurrentThreadWithPersistentStoreCoordinator(nullptr));
    EXPECT_FALSE(TQMOCFactory::masterObjectContextWithPersistentStoreCoordinator(nullptr, nullptr));
}

TEST_F(StoreContexts, OneThreadServingTwoAccountsKeepsTheirStoresApart)
{
    auto otherSession = sessionFor("other@example.com");
    TQMOCManager other(otherSession.get());
    runOnWorker([&] {
        auto* mine = manager().managedObjectContextForCurrentThread();
        auto* theirs = other.managedObjectContextForCurrentThread();
        EXPECT_NE(mine, theirs);
        EXPECT_EQ(mine->coordinator(), manager().persistentStoreCoordinator());
        EXPECT_EQ(theirs->coordinator(), other.persistentStoreCoordinator());
    });
}

TEST_F(StoreContexts, WorkerSaveReachesTheMaster)
{
    QList<ManagedObjectPtr> announced;
    QObject::connect(moc(), &ManagedObjectContext::objectsDidChange, moc(),
                     [&](const ObjectsDidChangeNotification& n) { announced += n.inserted; });
    ManagedObjectID workerID;
    runOnWorker([&] {
        auto* worker = manager().managedObjectContextForCurrentThread();
        QObject::connect(
            worker, &ManagedObjectContext::didSave, worker,
            [&](const SaveNotification& n) { moc()->updateOperationContextDidSave(n); },
            Qt::DirectConnection);
        auto file = worker->insertNewObject<File>("File");
        file->setTitle("from worker");
        Error error;
        ASSERT_TRUE(worker->save(&error));
        workerID = file->objectID();
    });
    ASSERT_FALSE(workerID.isTemporaryID());
    EXPECT_TRUE(waitUntil([&] {
        for (const auto& r : announced)
            if (r->objectID() == workerID)
                return true;
        return false;
    }));
    auto inMaster = std::dynamic_pointer_cast<File>(moc()->existingObjectWithID(workerID));
    ASSERT_TRUE(inMaster);
    EXPECT_EQ(inMaster->title(), "from worker");
    EXPECT_FALSE(moc()->hasChanges());
}

TEST_F(StoreContexts, UnsavedValueWinsOnMerge)
{
    auto file = moc()->insertNewObject<File>("File");
    file->setTitle("stored");
    file->setKind("document");
    manager().save();
    const auto id = file->objectID();
    file->setTitle("typed by the user");

    runOnWorker([&] {
        auto* worker = manager().managedObjectContextForCurrentThread();
        QObject::connect(
            worker, &ManagedObjectContext::didSave, worker,
            [&](const SaveNotification& n) { moc()->updateOperationContextDidSave(n); },
            Qt::DirectConnection);
        auto twin = std::dynamic_pointer_cast<File>(worker->existingObjectWithID(id));
        ASSERT_TRUE(twin);
        twin->setTitle("from service");
        twin->setKind("spreadsheet");
        ASSERT_TRUE(worker->save());
    });
    EXPECT_EQ(file->title(), "typed by the user");
    EXPECT_EQ(file->kind(), "spreadsheet");
    // The master saved after merging: the user's value is what the store now holds.
    moc()->reset();
    EXPECT_EQ(std::dynamic_pointer_cast<File>(moc()->existingObjectWithID(id))->title(), "typed by the user");
}

TEST_F(StoreContexts, DeletedRecordIsGoneEverywhere)
{
    auto file = moc()->insertNewObject<File>("File");
    manager().save();
    const auto id = file->objectID();
    QVariant rebuilt;
    runOnWorker([&] {
        auto* worker = manager().managedObjectContextForCurrentThread();
        worker->deleteObject(worker->existingObjectWithID(id));
        ASSERT_TRUE(worker->save());
    });
    moc()->reset();
    EXPECT_FALSE(moc()->existingObjectWithID(id));
    EXPECT_FALSE(ContextFetch::fetchInContext(file, moc()));
}

TEST_F(StoreContexts, RebuildingParametersForAnotherContext)
{
    auto a = moc()->insertNewObject<File>("File");
    auto b = moc()->insertNewObject<File>("File");
    auto gone = moc()->insertNewObject<File>("File");
    manager().save();
    const QString status = "upload_1";
    const QVariantMap parameters{
        {"documentEntities",
         QVariantList{QVariant::fromValue(ManagedObjectPtr(a)), QVariant::fromValue(ManagedObjectPtr(b))}},
        {"statusID", status},
        {"nested",
         QVariantMap{{"deep", QVariantList{QVariantList{QVariant::fromValue(ManagedObjectPtr(gone))}}}}},
        {"managedObjectContext", QVariant::fromValue<QObject*>(moc())},
    };
    moc()->deleteObject(gone);
    manager().save();

    QVariant rebuilt;
    ManagedObjectContext* detected = nullptr;
    ManagedObjectContext* untouched = reinterpret_cast<ManagedObjectContext*>(0x1);
    ManagedObjectContext* worker = nullptr;
    runOnWorker([&] {
        worker = manager().managedObjectContextForCurrentThread();
        rebuilt = ContextFetch::fetchEntitiesFromObject(worker, parameters, &detected);
        QVariant plain = ContextFetch::fetchEntitiesFromObject(worker, QVariantList{1, "x"}, &untouched);
        EXPECT_EQ(plain.toList(), (QVariantList{1, "x"}));
        // Twins are read on their own thread.
        const QVariantList docs = rebuilt.toMap().value("documentEntities").toList();
        ASSERT_EQ(docs.size(), 2);
        EXPECT_EQ(docs[0].value<ManagedObjectPtr>()->managedObjectContext(), worker);
        EXPECT_EQ(docs[0].value<ManagedObjectPtr>()->objectID(), a->objectID());
        EXPECT_EQ(docs[1].value<ManagedObjectPtr>()->objectID(), b->objectID());
        // A record no longer stored: the null object inside containers, nothing at the top level.
        const QVariantList deep = rebuilt.toMap().value("nested").toMap().value("deep").toList();
        ASSERT_EQ(deep.size(), 1);
        ASSERT_EQ(deep[0].toList().size(), 1);
        EXPECT_FALSE(deep[0].toList()[0].isValid());
        EXPECT_FALSE(
            ContextFetch::fetchEntitiesFromObject(worker, QVariant::fromValue(ManagedObjectPtr(gone)))
                .isValid());
        EXPECT_EQ(rebuilt.toMap().value("managedObjectContext").value<QObject*>(), moc());
        rebuilt = QVariant(); // twins stay on the worker
    });
    EXPECT_EQ(detected, moc());
    EXPECT_EQ(untouched, reinterpret_cast<ManagedObjectContext*>(0x1));
    EXPECT_EQ(parameters.value("statusID").toString(), status);
}

TEST_F(StoreContexts, FetchSafelyWaitsForTheContextsLock)
{
    moc()->insertNewObject<File>("File");
    manager().save();
    // The lock is re-entrant: a lookup inside a locked section of the same thread goes through.
    moc()->lock();
    EXPECT_EQ(ContextFetch::executeFetchRequestSafely(moc(), FetchRequest("File")).size(), 1);
    moc()->unlock();
    Error error;
    EXPECT_TRUE(
        ContextFetch::executeFetchRequestSafely(moc(), FetchRequest("NoSuchEntity"), &error).isEmpty());
    EXPECT_FALSE(error.isNull());
    EXPECT_TRUE(ContextFetch::executeFetchRequestSafely(nullptr, FetchRequest("File")).isEmpty());
}

TEST_F(StoreContexts, ReopenedWithAnExtraAttributeKeepsItsData)
{
    auto file = moc()->insertNewObject<File>("File");
    file->setTitle("kept");
    file->setIdentifier("f1");
    Mail::mailEntityWithAddress("a@x.com", true, moc());
    manager().save();
    m_manager.reset();

    // A newer model: one more attribute on an existing entity, and one more entity.
    auto grown = TQDataModel::buildModel();
    const_cast<EntityDescription*>(grown->entity("Mail"))
        ->addAttribute("nickname", AttributeDescription::Type::String);
    grown->addEntity("Extra").addAttribute("note", AttributeDescription::Type::String);
    grown->finalize();
    auto coordinator = std::make_shared<PersistentStoreCoordinator>(grown);
    ASSERT_NO_THROW(
        coordinator->addPersistentStore(TQPlaces::tavrelPeristentStoreCoordinatorForUsername(kUser)));
    ManagedObjectContext context(coordinator);
    auto again = File::fileWithIdentifier("f1", &context);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->title(), "kept");
    EXPECT_TRUE(again->fileCachedFile());
    auto mail = Mail::mailEntityWithAddress("a@x.com", &context);
    ASSERT_TRUE(mail);
    EXPECT_FALSE(mail->valueForKey("nickname").isValid());
    mail->setValueForKey("nickname", "Al");
    context.insertNewObject("Extra")->setValueForKey("note", "new");
    EXPECT_TRUE(context.save());
    context.reset();
    EXPECT_EQ(Mail::mailEntityWithAddress("a@x.com", &context)->valueForKey("nickname").toString(), "Al");
}

TEST_F(StoreContexts, CleanLeavesAnEmptyUsableStore)
{
    for (int i = 0; i < 20; ++i) {
        auto file = moc()->insertNewObject<File>("File");
        file->setTitle(QString("secret %1").arg(i));
        file->setIdentifier(QString("old %1").arg(i));
        file->setOwner(Mail::mailEntityWithAddress("a@x.com", true, moc()));
    }
    manager().save();
    const QString path = TQPlaces::tavrelPeristentStoreCoordinatorForUsername(kUser);
    auto held = moc()->executeFetchRequest<File>(FetchRequest("File"));
    // A second context with an open connection and records of its own, some unsaved.
    auto other = TQMOCFactory::managedObjectContextWithPersistentStoreCoordinator(
        manager().persistentStoreCoordinator());
    auto otherHeld = File::fileWithIdentifier("old 3", other.get());
    ASSERT_TRUE(otherHeld);
    other->insertNewObject<File>("File")->setIdentifier("unsaved");
    ASSERT_TRUE(QFile::exists(path + "-wal"));

    manager().clean();

    // The store was closed before its files went: no connection is left to bring a journal back.
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + "-wal"));
    EXPECT_FALSE(QFile::exists(path + "-shm"));
    EXPECT_EQ(moc()->countForFetchRequest(FetchRequest("GoogleObject")), 0);
    EXPECT_EQ(moc()->countForFetchRequest(FetchRequest("Mail")), 0);
    EXPECT_EQ(moc()->countForFetchRequest(FetchRequest("XmlInfo")), 0);
    EXPECT_TRUE(manager().shouldCreateMasterContext());
    // Nothing of the old rows is left readable in the file or its journal.
    for (const QString& f : {path, path + "-wal"}) {
        QFile file(f);
        if (file.open(QIODevice::ReadOnly)) {
            EXPECT_FALSE(file.readAll().contains("secret 1")) << f.toStdString();
        }
    }
    // The other context forgot the old store's records and its unsaved insert, and writes to the new one.
    EXPECT_FALSE(other->hasChanges());
    EXPECT_FALSE(File::fileWithIdentifier("old 3", other.get()));
    EXPECT_EQ(other->countForFetchRequest(FetchRequest("File")), 0);
    other->insertNewObject<File>("File")->setIdentifier("from other");
    Error error;
    EXPECT_TRUE(other->save(&error)) << error.description().toStdString();
    // A worker thread's context sees the new store too, and its save reaches the master.
    runOnWorker([&] {
        auto* worker = manager().managedObjectContextForCurrentThread();
        EXPECT_EQ(worker->countForFetchRequest(FetchRequest("File")), 1);
        worker->insertNewObject<File>("File")->setIdentifier("from worker");
        Error workerError;
        EXPECT_TRUE(worker->save(&workerError)) << workerError.description().toStdString();
    });
    auto fresh = moc()->insertNewObject<File>("File");
    fresh->setIdentifier("after");
    manager().save();
    moc()->reset();
    EXPECT_EQ(moc()->countForFetchRequest(FetchRequest("File")), 3);
    for (const char* identifier : {"after", "from other", "from worker"})
        EXPECT_TRUE(File::fileWithIdentifier(identifier, moc())) << identifier;
    EXPECT_FALSE(File::fileWithIdentifier("old 3", moc()));
}

TEST_F(StoreContexts, MasterSaveWithoutChangesDoesNothing)
{
    int saves = 0;
    QObject::connect(moc(), &ManagedObjectContext::didSave, moc(), [&](const SaveNotification&) { ++saves; });
    moc()->save();
    EXPECT_EQ(saves, 0);
    moc()->insertNewObject<File>("File");
    moc()->save();
    EXPECT_EQ(saves, 1);
    moc()->backgroundFullUpdate();
}
