#include "documents/TQCopyHelper.h"
#include "model/File.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQPreferencesManager.h"
#include "platform/system/Paths.h"
#include "support/WaitUntil.h"
#include "support/ui/LoggingTest.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class CopyHelperTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        session = std::make_unique<QObject>();
        session->setProperty("username", QStringLiteral("me@example.com"));
        manager = std::make_unique<TQMOCManager>(session.get());
        cache = home().path() + QStringLiteral("/cache-copies");
        QDir().mkpath(cache);
    }
    void TearDown() override
    {
        manager.reset();
        session.reset();
        LoggingTest::TearDown();
    }
    std::shared_ptr<File> record(const QString& title, const QString& resourceId)
    {
        auto file = manager->masterMOC()->insertNewObject<File>(QStringLiteral("File"));
        file->setTitle(title);
        file->setResourceId(resourceId);
        return file;
    }
    // A cached copy with the content; its URL.
    QUrl cached(const QString& name, const QByteArray& content)
    {
        const QString path = QDir(cache).filePath(name);
        write(path, content);
        return QUrl::fromLocalFile(path);
    }
    static void write(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    static QByteArray read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QVariantMap item(const QUrl& source, const std::shared_ptr<File>& file)
    {
        return {{QStringLiteral("fileURL"), source},
                {QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(file))}};
    }
    // The names in a folder, hidden ones included, sorted.
    static QStringList namesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    std::unique_ptr<QObject> session;
    std::unique_ptr<TQMOCManager> manager;
    QString cache;
};

TEST_F(CopyHelperTest, PlainDownloadsNeverOverwriteAndTakeTheFirstFreeNumber)
{
    const QString downloads = Paths::downloadsFolder();
    EXPECT_EQ(downloads, home().path() + QStringLiteral("/Downloads"));
    write(downloads + QStringLiteral("/Report.pdf"), "old");
    const auto report = record(QStringLiteral("Report.pdf"), QStringLiteral("pdf:1"));
    const auto slash = record(QStringLiteral("Q1/Q2 plan"), QStringLiteral("document:2"));
    TQCopyHelper* helper = TQCopyHelper::copingHelper();
    EXPECT_EQ(helper, TQCopyHelper::copingHelper());

    const QStringList first = helper->copyDownloads(
        {item(cached(QStringLiteral("a.pdf"), "one"), report),
         item(cached(QStringLiteral("b.doc"), "plan"), slash),
         // Missing source, missing record: skipped, the run goes on.
         QVariantMap{{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(report))}},
         QVariantMap{{QStringLiteral("fileURL"), cached(QStringLiteral("c"), "x")}},
         // A cached copy that is gone: an error, nothing written.
         item(QUrl::fromLocalFile(cache + QStringLiteral("/gone.pdf")), report)});
    const QStringList second = helper->copyDownloads({item(cached(QStringLiteral("d.pdf"), "two"), report)});

    EXPECT_EQ(first, (QStringList{downloads + QStringLiteral("/Report (1).pdf"),
                                  downloads + QStringLiteral("/Q1:Q2 plan.doc")}));
    EXPECT_EQ(second, QStringList{downloads + QStringLiteral("/Report (2).pdf")});
    EXPECT_EQ(read(downloads + QStringLiteral("/Report.pdf")), "old");
    EXPECT_EQ(read(downloads + QStringLiteral("/Report (1).pdf")), "one");
    EXPECT_EQ(read(downloads + QStringLiteral("/Report (2).pdf")), "two");
    EXPECT_EQ(read(downloads + QStringLiteral("/Q1:Q2 plan.doc")), "plan");
    // No temporary copy stays behind.
    EXPECT_EQ(namesIn(downloads),
              (QStringList{QStringLiteral("Q1:Q2 plan.doc"), QStringLiteral("Report (1).pdf"),
                           QStringLiteral("Report (2).pdf"), QStringLiteral("Report.pdf")}));
    EXPECT_EQ(logCount("E: GetFile action returned empty 'feed'"), 2);
    EXPECT_EQ(logCount("E: Cannot copy <"), 1);
    EXPECT_EQ(logCount("Downloaded file to: "), 3);
}

TEST_F(CopyHelperTest, TitlesThatCannotBeFileNamesArriveUnderASafeNameInTheDownloadsFolder)
{
    const QString downloads = Paths::downloadsFolder();
    struct Row
    {
        const char* name;
        QString title;
        QString resourceId;
        QString expected;
    };
    const QList<Row> rows = {
        {"250 bytes", QString(250, QLatin1Char('t')), QStringLiteral("document:1"),
         QString(219, QLatin1Char('t')) + QStringLiteral(".doc")},
        {"resource path", QStringLiteral("/etc/passwd"), QStringLiteral("file:2"),
         QStringLiteral("_etc:passwd")},
        {"NUL", QStringLiteral("visible") + QChar(0) + QStringLiteral("rest"), QStringLiteral("file:3"),
         QStringLiteral("visiblerest")},
        {"escapes", QStringLiteral("\x1b[2J\x1b]0;owned\x07plain\x01"), QStringLiteral("file:4"),
         QStringLiteral("plain")},
        {"hidden", QStringLiteral(".profile"), QStringLiteral("file:5"), QStringLiteral("_profile")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QStringList written = TQCopyHelper::copingHelper()->copyDownloads(
            {item(cached(QStringLiteral("copy"), row.name), record(row.title, row.resourceId))});
        EXPECT_EQ(written, QStringList{downloads + QLatin1Char('/') + row.expected});
        EXPECT_EQ(read(downloads + QLatin1Char('/') + row.expected), row.name);
    }
    // Nothing else, and nothing hidden, anywhere in the folder.
    QStringList expected;
    for (const Row& row : rows)
        expected.append(row.expected);
    expected.sort();
    QStringList names = namesIn(downloads);
    names.sort();
    EXPECT_EQ(names, expected);
    EXPECT_EQ(logCount("E: Cannot copy <"), 0);
}

TEST_F(CopyHelperTest, PromisedPlaceholdersAreReplacedAndFilesThatWereThereAreKept)
{
    const QString drop = home().path() + QStringLiteral("/Desktop");
    const QString placeholder = drop + QStringLiteral("/Budget.xls");
    const QString existing = drop + QStringLiteral("/Notes.doc");
    const QString plain = Paths::downloadsFolder() + QStringLiteral("/Other.pdf");
    write(placeholder, "");
    write(existing, "mine");
    write(plain, "kept");
    const auto budget = record(QStringLiteral("Budget"), QStringLiteral("spreadsheet:1"));
    const auto notes = record(QStringLiteral("Notes"), QStringLiteral("document:2"));
    const auto other = record(QStringLiteral("Other.pdf"), QStringLiteral("pdf:3"));
    const QVariantList destinations{QUrl::fromLocalFile(placeholder), QUrl::fromLocalFile(existing)};
    const QVariantList existed{QUrl::fromLocalFile(existing)};
    QVariantList run;
    for (auto [source, file] : {std::pair{cached(QStringLiteral("b.xls"), "budget"), budget},
                                std::pair{cached(QStringLiteral("n.doc"), "notes"), notes},
                                // Beyond the destinations: the downloads folder, where nothing is promised.
                                std::pair{cached(QStringLiteral("o.pdf"), "other"), other}}) {
        QVariantMap entry = item(source, file);
        entry.insert(QStringLiteral("destinationURLs"), destinations);
        entry.insert(QStringLiteral("existedURLs"), existed);
        run.append(entry);
    }

    QThread* thread = TQCopyHelper::copingHelper()->copyDownloadsInBackground(run);
    QPointer<QThread> watched(thread);
    ASSERT_TRUE(test::waitUntil([&] { return watched.isNull(); }, 10000));

    EXPECT_EQ(read(placeholder), "budget");
    EXPECT_EQ(read(existing), "mine");
    EXPECT_EQ(read(drop + QStringLiteral("/Notes (1).doc")), "notes");
    EXPECT_EQ(read(plain), "kept");
    EXPECT_EQ(read(Paths::downloadsFolder() + QStringLiteral("/Other (1).pdf")), "other");
    EXPECT_EQ(namesIn(drop), (QStringList{QStringLiteral("Budget.xls"), QStringLiteral("Notes (1).doc"),
                                          QStringLiteral("Notes.doc")}));
}

TEST_F(CopyHelperTest, AFailedCopyLeavesThePlaceholderAndTheFolderAsTheyWere)
{
    const QString drop = home().path() + QStringLiteral("/Drop");
    const QString placeholder = drop + QStringLiteral("/Budget.xls");
    write(placeholder, "placeholder");
    const auto budget = record(QStringLiteral("Budget"), QStringLiteral("spreadsheet:1"));
    QVariantMap entry = item(QUrl::fromLocalFile(cache + QStringLiteral("/vanished.xls")), budget);
    entry.insert(QStringLiteral("destinationURLs"), QVariantList{QUrl::fromLocalFile(placeholder)});
    entry.insert(QStringLiteral("existedURLs"), QVariantList{});

    EXPECT_TRUE(TQCopyHelper::copingHelper()->copyDownloads({entry}).isEmpty());
    EXPECT_EQ(read(placeholder), "placeholder");
    EXPECT_EQ(namesIn(drop), QStringList{QStringLiteral("Budget.xls")});
    EXPECT_EQ(logCount("E: Cannot copy <"), 1);
}

TEST_F(CopyHelperTest, TheDownloadsFolderFollowsThePreferencesThenTheDesktop)
{
    const QString chosen = home().path() + QStringLiteral("/Chosen");
    QDir().mkpath(chosen);
    TQPreferencesManager::sharedManager()->setDownloadsBookmark(chosen.toUtf8());
    EXPECT_EQ(TQCopyHelper::downloadsFolder(), chosen);
    // A chosen folder that is gone: logged, and the desktop's folder serves.
    TQPreferencesManager::sharedManager()->setDownloadsBookmark((chosen + QStringLiteral("/gone")).toUtf8());
    write(home().configHome() + QStringLiteral("/user-dirs.dirs"),
          "# written by the desktop\nXDG_DOWNLOAD_DIR=\"$HOME/Fetched\"\n");
    EXPECT_EQ(TQCopyHelper::downloadsFolder(), home().path() + QStringLiteral("/Fetched"));
    EXPECT_EQ(logCount("Cannot resolve secure-scope bookmark: "), 1);
    TQPreferencesManager::sharedManager()->setDownloadsBookmark({});
}

} // namespace
} // namespace tavrel
