#include "StoreTestModel.h"
#include "support/WaitUntil.h"

#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {
// Runs work on a thread of its own with a context of that thread, as the worker operations do.
void runOnWorker(const std::shared_ptr<PersistentStoreCoordinator>& psc,
                 const std::function<void(ManagedObjectContext&)>& work)
{
    std::unique_ptr<QThread> thread(QThread::create([&] {
        ManagedObjectContext worker(psc);
        work(worker);
    }));
    thread->start();
    ASSERT_TRUE(waitUntil([&] { return thread->isFinished(); }, 20000));
    thread->wait();
}
} // namespace

TEST_F(StoreTest, WorkerSaveReachesTheMasterByMerge)
{
    auto note = insert("Note", {{"title", "local"}, {"rank", 1}});
    auto stays = insert("Note", {{"title", "stays"}});
    auto goes = insert("Note", {{"title", "goes"}});
    ASSERT_TRUE(context().save());
    const ManagedObjectID noteID = note->objectID();
    const ManagedObjectID goesID = goes->objectID();

    // The master merges every save of another context, on its own thread.
    QObject::connect(
        m_coordinator.get(), &PersistentStoreCoordinator::contextDidSave, &context(),
        [this](const SaveNotification& n) { context().mergeChangesFromContextDidSaveNotification(n); });
    QList<ObjectsDidChangeNotification> changes;
    QObject::connect(&context(), &ManagedObjectContext::objectsDidChange,
                     [&](const ObjectsDidChangeNotification& n) { changes.append(n); });
    QStringList rankSeen;
    note->addObserver("rank", stays.get(), [&](ManagedObject* o, const QString&) {
        rankSeen.append(QString::number(o->int64Value("rank")));
    });

    // An unsaved change in the master: it must win over the worker's stored value.
    note->setValueForKey("title", "mine");
    changes.clear();

    bool workerSaved = false;
    runOnWorker(m_coordinator, [&](ManagedObjectContext& worker) {
        auto n = worker.existingObjectWithID(noteID);
        ASSERT_TRUE(n);
        n->setValueForKey("title", "theirs");
        n->setValueForKey("rank", 2);
        auto author = worker.insertNewObject("Person");
        author->setValueForKey("name", "w");
        n->setToOne("author", author);
        auto added = worker.insertNewObject("Note");
        added->setValueForKey("title", "from worker");
        worker.deleteObject(worker.objectWithID(goesID));
        Error error;
        workerSaved = worker.save(&error);
        EXPECT_TRUE(error.isNull()) << error.description().toStdString();
    });
    ASSERT_TRUE(workerSaved);
    ASSERT_TRUE(waitUntil([&] {
        for (const auto& c : changes)
            if (!c.inserted.isEmpty())
                return true;
        return false;
    }));

    EXPECT_EQ(note->stringValue("title"), "mine"); // in-memory value wins
    EXPECT_EQ(note->int64Value("rank"), 2);        // stored value arrives where nothing was changed here
    EXPECT_EQ(rankSeen, QStringList{"2"});
    EXPECT_EQ(note->valueForKeyPath("author.name").toString(), "w");
    EXPECT_TRUE(goes->isDeleted());
    EXPECT_EQ(context().existingObjectWithID(goesID), nullptr);

    QStringList inserted, updated, deleted;
    for (const auto& c : changes) {
        for (const auto& o : c.inserted)
            inserted.append(o->entity()->name() + ":" +
                            o->valueForKey(o->entity()->attribute("title") ? "title" : "name").toString());
        for (const auto& o : c.updated)
            updated.append(o->valueForKey("title").toString());
        for (const auto& o : c.deleted)
            deleted.append(o->valueForKey("title").toString());
    }
    inserted.sort();
    EXPECT_EQ(inserted, QStringList({"Note:from worker", "Person:w"}));
    EXPECT_TRUE(updated.contains("mine"));
    EXPECT_EQ(deleted, QStringList{"goes"});

    // The master's own save writes its value and keeps the worker's.
    ASSERT_TRUE(context().save());
    open();
    auto reread = fetch("Note", Predicate::format("rank == 2"));
    ASSERT_EQ(reread.size(), 1);
    EXPECT_EQ(reread[0]->stringValue("title"), "mine");
    EXPECT_EQ(titles(fetch("Note", {}, {SortDescriptor("title")})),
              QStringList({"from worker", "mine", "stays"}));
}

TEST_F(StoreTest, ContextsOnSeveralThreadsSaveWithoutLosingRecords)
{
    constexpr int kThreads = 4;
    constexpr int kPerThread = 50;
    std::vector<std::unique_ptr<QThread>> threads;
    std::atomic<int> failures{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back(QThread::create([&, t] {
            ManagedObjectContext worker(m_coordinator);
            for (int i = 0; i < kPerThread; ++i) {
                auto n = worker.insertNewObject("Note");
                n->setValueForKey("title", QStringLiteral("%1-%2").arg(t).arg(i));
                if (i % 10 == 9 && !worker.save())
                    ++failures;
                // Reads interleave with the other threads' writes.
                worker.countForFetchRequest(FetchRequest("Note"));
            }
        }));
        threads.back()->start();
    }
    for (auto& t : threads)
        ASSERT_TRUE(t->wait(60000));
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(context().countForFetchRequest(FetchRequest("Note")), kThreads * kPerThread);
}

} // namespace tavrel::test
