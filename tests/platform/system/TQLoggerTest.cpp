#include "platform/system/TQLogger.h"

#include "platform/system/Paths.h"
#include "platform/system/TQLog.h"
#include "support/TempHome.h"

#include <QFile>
#include <QObject>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace tavrel::test {

namespace {

const QByteArray kBanner = QByteArrayLiteral("\n\n****************************\n");

class TQLoggerTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        TQLogger::resetForTesting(); // a new run, writing below this home
    }
    void TearDown() override
    {
        TQLogger::resetForTesting();
        TempHomeTest::TearDown();
    }
    static QByteArray logContents()
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(TQLoggerTest, FirstMessageMakesTheFileWithBannerAndOneLine)
{
    ASSERT_FALSE(QFile::exists(Paths::logFile()));
    TQLog("E: CacheManager: No file at specified URL %@", QStringLiteral("x"));
    const QByteArray contents = logContents();
    ASSERT_TRUE(contents.startsWith(kBanner)) << contents.toStdString();
    const QString line = QString::fromUtf8(contents.mid(kBanner.size()));
    const QRegularExpression pattern(QStringLiteral(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} Tavrel\[\d+\] <Info>: E: CacheManager: No file at specified URL x\n$)"));
    EXPECT_TRUE(pattern.match(line).hasMatch()) << line.toStdString();
}

TEST_F(TQLoggerTest, LinesFromManyThreadsAreWrittenWhole)
{
    constexpr int kThreads = 8;
    constexpr int kMessages = 1000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kMessages; ++i)
                TQLog("thread %d message %d of a line long enough to cross buffer edges %@", t, i,
                      QString(40, QLatin1Char('x')));
        });
    for (auto& thread : threads)
        thread.join();

    const QByteArray contents = logContents();
    ASSERT_TRUE(contents.startsWith(kBanner));
    EXPECT_EQ(contents.count(kBanner), 1) << "one banner per run";
    const QList<QByteArray> lines = contents.mid(kBanner.size()).split('\n');
    ASSERT_EQ(lines.size(), kThreads * kMessages + 1);
    EXPECT_TRUE(lines.last().isEmpty());
    const QRegularExpression pattern(QStringLiteral(
        R"(^\S+ \S+ Tavrel\[\d+\] <Info>: thread (\d) message (\d+) of a line long enough to cross buffer edges x{40}$)"));
    std::vector<int> next(kThreads, 0);
    for (int i = 0; i < lines.size() - 1; ++i) {
        const auto match = pattern.match(QString::fromUtf8(lines.at(i)));
        ASSERT_TRUE(match.hasMatch()) << lines.at(i).toStdString();
        const int thread = match.captured(1).toInt();
        // Each thread's lines appear once each, in its own order.
        ASSERT_EQ(match.captured(2).toInt(), next[thread]++);
    }
    for (int count : next)
        EXPECT_EQ(count, kMessages);
}

TEST_F(TQLoggerTest, ASecondRunAppendsItsBannerAfterThePreviousLines)
{
    TQLog("first run");
    TQLogger::resetForTesting();
    TQLog("second run");
    const QByteArray contents = logContents();
    const qsizetype first = contents.indexOf("first run");
    const qsizetype secondBanner = contents.indexOf(kBanner, first);
    ASSERT_TRUE(contents.startsWith(kBanner));
    ASSERT_GT(first, 0);
    ASSERT_GT(secondBanner, first);
    EXPECT_GT(contents.indexOf("second run"), secondBanner);
}

TEST_F(TQLoggerTest, SetUpIsRetriedWhileTheFileCannotBeMade)
{
    // The state folder is a plain file: the log folder can't be made.
    const QString blocked = home().path() + QStringLiteral("/blocked");
    {
        QFile file(blocked);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QByteArray previous = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(blocked));
    EXPECT_EQ(TQLogger::logger(), nullptr);
    TQLog("dropped");
    qputenv("XDG_STATE_HOME", previous);
    TQLog("kept");
    const QByteArray contents = logContents();
    EXPECT_TRUE(contents.startsWith(kBanner));
    EXPECT_FALSE(contents.contains("dropped"));
    EXPECT_TRUE(contents.contains("kept"));
}

TEST_F(TQLoggerTest, QtMessagesBecomeLinesAtTheirLevelAndStillReachTheConsole)
{
    static QStringList console;
    console.clear();
    const QtMessageHandler before = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& message) { console << message; });
    TQLogger::installMessageHandler();
    TQLogger::installMessageHandler(); // twice changes nothing

    QObject object;
    // Qt's own warning, from inside Qt.
    EXPECT_FALSE(QObject::connect(&object, SIGNAL(noSuchSignal()), &object, SLOT(deleteLater())));
    qCWarning(lcSync, "the service answered %d", 503);
    const QLoggingCategory other("qt.test.other");
    qCCritical(other, "something broke");
    qInstallMessageHandler(before);

    const QString contents = QString::fromUtf8(logContents());
    const QRegularExpression qtWarning(
        QStringLiteral(R"(Tavrel\[\d+\] <Warning>: .*No such signal .*noSuchSignal)"));
    EXPECT_TRUE(qtWarning.match(contents).hasMatch()) << contents.toStdString();
    EXPECT_TRUE(contents.contains(QStringLiteral("] <Warning>: the service answered 503\n")));
    EXPECT_TRUE(contents.contains(QStringLiteral("] <Critical>: qt.test.other: something broke\n")));
    ASSERT_EQ(console.size(), 3) << "each message also reaches the handler installed before";
    EXPECT_EQ(console.at(1), QStringLiteral("the service answered 503"));
}

TEST_F(TQLoggerTest, LinesTakeTheAreaOfTheirSourceFileAndItsRules)
{
    struct Row
    {
        const char* file;
        const char* category;
    };
    const Row rows[] = {
        {"/w/src/platform/store/ManagedObjectContext.cpp", "tavrel.store"},
        {"../src/model/TQMOCMaster.cpp", "tavrel.store"},
        {"src/accounts/WXGMultiAccountManager.cpp", "tavrel.store"},
        {"/w/src/actions/CoreDataUpdateSupport.cpp", "tavrel.sync"},
        {"/w/src/pipeline/TQQueueManager.cpp", "tavrel.sync"},
        {"/w/src/platform/gdata/OAuth2SignIn.cpp", "tavrel.sync"},
        {"/w/src/actions/TQdmhGenerateThumbnailOperation.cpp", "tavrel.transfers"},
        {"/w/src/model/FileCacheManager.cpp", "tavrel.transfers"},
        {"/w/src/documents/TQCopyHelper.cpp", "tavrel.transfers"},
        {"/w/src/progress/TQProgressManager.cpp", "tavrel.transfers"},
        {"/w/src/window/TQMainWindowController.cpp", "tavrel.interface"},
        {"/w/src/app/main.cpp", "tavrel.interface"},
        {"/w/src/platform/ui/StringTable.cpp", "tavrel.interface"},
        {"/home/src/tavrel/src/controls/TQSwitchButton.cpp", "tavrel.interface"},
        {"/w/src/platform/runtime/Operation.cpp", "tavrel"},
        {"/w/tests/model/CacheTest.cpp", "tavrel"},
        {nullptr, "tavrel"},
    };
    for (const Row& row : rows)
        EXPECT_STREQ(logCategoryForSourceFile(row.file).categoryName(), row.category)
            << (row.file ? row.file : "(none)");

    QLoggingCategory::setFilterRules(QStringLiteral("tavrel.sync.info=false"));
    TQLog(detail::LogFormat("from the synchronisation", "/w/src/actions/FullCoreDataUpdateOperation.cpp"));
    TQLog(detail::LogFormat("from the store", "/w/src/model/TQMOCMaster.cpp"));
    QLoggingCategory::setFilterRules(QString());
    TQLog(detail::LogFormat("from the synchronisation again",
                            "/w/src/actions/FullCoreDataUpdateOperation.cpp"));
    const QByteArray contents = logContents();
    EXPECT_FALSE(contents.contains("from the synchronisation\n"));
    EXPECT_TRUE(contents.contains("<Info>: from the store\n"));
    EXPECT_TRUE(contents.contains("<Info>: from the synchronisation again\n"));
}

} // namespace tavrel::test
