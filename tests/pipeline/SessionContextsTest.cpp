#include "model/File.h"
#include "model/StoreFixture.h"
#include "pipeline/TQSessionContexts.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "support/WaitUntil.h"

#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

namespace tavrel::test {

using SessionContexts = StoreFixture;

// Records re-built for a worker's context carry what the store holds now, whether the worker had
// loaded them before (an older value) or reads them for the first time; unsaved values stay.
TEST_F(SessionContexts, RebuiltRecordsCarryTheStoredValuesAndKeepUnsavedOnes)
{
    QList<std::shared_ptr<File>> files;
    for (const char* title : {"held", "fault", "unseen", "unsaved"}) {
        files.append(moc()->insertNewObject<File>("File"));
        files.last()->setTitle(QString::fromLatin1(title));
    }
    save();
    std::atomic<bool> done = false;
    QThread* thread = QThread::create([&] {
        ManagedObjectContext* worker = manager().managedObjectContextForCurrentThread();
        QList<ManagedObjectPtr> held;
        for (int i : {0, 1, 3})
            held.append(worker->existingObjectWithID(files[i]->objectID()));
        worker->refreshObject(held[1], false); // a fault again
        std::static_pointer_cast<File>(held[2])->setTitle(QStringLiteral("mine"));
        {
            // Another writer changes every title; the worker hears nothing of it.
            ManagedObjectContext writer(worker->coordinator());
            for (const auto& file : files)
                std::static_pointer_cast<File>(writer.existingObjectWithID(file->objectID()))
                    ->setTitle(file->title() + QStringLiteral(" 2"));
            ASSERT_TRUE(writer.save());
        }
        QVariantList given;
        for (const auto& file : files)
            given.append(QVariant::fromValue(ManagedObjectPtr(file)));
        const QVariantList rebuilt =
            TQSessionContexts::fetchEntitiesFromObject(TQSessionContexts::valueForContext(worker), given)
                .toList();
        QStringList titles;
        for (const QVariant& record : rebuilt) {
            const auto file = std::dynamic_pointer_cast<File>(record.value<ManagedObjectPtr>());
            ASSERT_TRUE(file);
            EXPECT_EQ(file->managedObjectContext(), worker);
            titles.append(file->title());
        }
        EXPECT_EQ(titles, QStringList({"held 2", "fault 2", "unseen 2", "mine"}));
        EXPECT_EQ(rebuilt[0].value<ManagedObjectPtr>(), held[0]);
        done = true;
    });
    thread->start();
    EXPECT_TRUE(waitUntil([&] { return done.load(); }, 20000));
    thread->wait();
    delete thread;
}

} // namespace tavrel::test
