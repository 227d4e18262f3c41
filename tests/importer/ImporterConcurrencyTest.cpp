#include "ImporterFixture.h"
#include "platform/store/StoreSchema.h"
#include "support/WaitUntil.h"

#include <QSet>
#include <QThread>
#include <atomic>
#include <sqlite3.h>
#include <thread>

namespace tavrel::test {

namespace {
QString documentTitle(const ImportAnswer& answer)
{
    return answer.attributes.value(QStringLiteral("textContent"));
}
} // namespace

TEST_F(ImporterTest, AnswersTheSavedTitleWhileAnotherConnectionWrites)
{
    const QString record =
        writeRecord(QStringLiteral("doc.tavrel"), QStringLiteral("File"), QStringLiteral("doc-budget"));
    // The program's store layer names the table; a second connection holds a write open on it.
    auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
    psc->addPersistentStore(storePath());
    const QString table = psc->schema().table(psc->managedObjectModel().entity(QStringLiteral("File"))).name;
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(storePath()).constData(), &writer), SQLITE_OK);
    auto exec = [writer](const QString& sql) {
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(writer, sql.toUtf8().constData(), nullptr, nullptr, &message), SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
    };
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    exec(QStringLiteral("UPDATE %1 SET title = 'Draft' WHERE identifier = 'doc-budget'")
             .arg(StoreSchema::quote(table)));

    const ImportAnswer during = importFile(IMPORTER_RECORD_CONTENT_TYPE, record);
    EXPECT_TRUE(during.imported);
    EXPECT_EQ(documentTitle(during), QString::fromUtf8(kTitle));

    exec(QStringLiteral("COMMIT"));
    const ImportAnswer after = importFile(IMPORTER_RECORD_CONTENT_TYPE, record);
    EXPECT_TRUE(after.imported);
    EXPECT_EQ(documentTitle(after), QStringLiteral("Draft"));
    sqlite3_close(writer);
    psc->removePersistentStore();
}

TEST_F(ImporterTest, AnswersFromSeveralThreadsWhileTheProgramSavesAndClosesItsStore)
{
    const QString record =
        writeRecord(QStringLiteral("doc.tavrel"), QStringLiteral("File"), QStringLiteral("doc-budget"));
    constexpr int kRounds = 5;
    constexpr int kSavesPerRound = 20;
    QSet<QString> titles{QString::fromUtf8(kTitle)};
    for (int i = 0; i < kRounds * kSavesPerRound; ++i)
        titles.insert(QStringLiteral("Budget v%1").arg(i));

    // The program: opens the store, saves a new title again and again, closes it (the last connection
    // checkpoints the log and removes it), and opens it again.
    std::atomic<bool> writerDone = false;
    std::atomic<int> writerFailures = 0;
    const QString store = storePath();
    std::unique_ptr<QThread> writer(QThread::create([&] {
        for (int round = 0; round < kRounds; ++round) {
            auto psc = std::make_shared<PersistentStoreCoordinator>(TQDataModel::mainDataContext());
            psc->addPersistentStore(store);
            {
                ManagedObjectContext context(psc);
                for (int i = 0; i < kSavesPerRound; ++i) {
                    auto document = File::fileWithIdentifier(QStringLiteral("doc-budget"), &context);
                    if (!document) {
                        ++writerFailures;
                        break;
                    }
                    document->setTitle(QStringLiteral("Budget v%1").arg(round * kSavesPerRound + i));
                    if (!context.save())
                        ++writerFailures;
                }
            }
            psc->removePersistentStore();
        }
        writerDone = true;
    }));

    writer->start();
    // Indexer threads, each calling until the program is done (and at least a few times).
    std::atomic<int> calls = 0;
    std::atomic<int> wrongAnswers = 0;
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t)
        readers.emplace_back([&] {
            for (int n = 0; n < 5 || (!writerDone && n < 5000); ++n) {
                const ImportAnswer answer = importFile(IMPORTER_RECORD_CONTENT_TYPE, record);
                const QString title = documentTitle(answer);
                if (!answer.imported || !titles.contains(title) ||
                    answer.attributes.value(QStringLiteral("displayName")) !=
                        QStringLiteral("Tavrel: ") + title)
                    ++wrongAnswers;
                ++calls;
            }
        });
    ASSERT_TRUE(waitUntil([&] { return writer->isFinished(); }, 60000));
    writer->wait();
    for (std::thread& reader : readers)
        reader.join();

    EXPECT_EQ(writerFailures.load(), 0);
    EXPECT_EQ(wrongAnswers.load(), 0) << "of " << calls.load() << " calls";
    const ImportAnswer last = importFile(IMPORTER_RECORD_CONTENT_TYPE, record);
    EXPECT_EQ(documentTitle(last), QStringLiteral("Budget v%1").arg(kRounds * kSavesPerRound - 1));
    EXPECT_FALSE(logLines().join('\n').contains(QLatin1String("E: "))) << logLines().join('\n').toStdString();
}

} // namespace tavrel::test
