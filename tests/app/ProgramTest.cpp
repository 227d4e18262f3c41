#include "app/CordelAppDelegate.h"
#include "app/InstanceChannel.h"
#include "app/InstanceLock.h"
#include "app/Relaunch.h"
#include "app/StandInMainWindowController.h"
#include "model/TQPlaces.h"
#include "platform/system/Paths.h"
#include "platform/ui/StringTable.h"
#include "support/AccountTest.h"
#include "support/Unreadable.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/types.h>

namespace tavrel::test {
namespace {

// The tavrel program as built, started against the local service in the test's home (offscreen).
class ProgramTest : public AccountTest
{
protected:
    void SetUp() override
    {
        AccountTest::SetUp();
        m_program = QString::fromLocal8Bit(qgetenv("TAVREL_PROGRAM"));
        if (m_program.isEmpty())
            GTEST_SKIP() << "TAVREL_PROGRAM names the program; CTest sets it";
        startAccount(TestAccount::smallAccount(), false);
    }
    void TearDown() override
    {
        if (m_running.state() != QProcess::NotRunning) {
            m_running.kill();
            m_running.waitForFinished(5000);
        }
        AccountTest::TearDown();
    }

    QStringList arguments(const QStringList& command) const
    {
        return QStringList{QStringLiteral("--service"), m_account.service.baseUrl(),
                           QStringLiteral("--sign-in-without-browser")} +
               command;
    }
    static QString log()
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QRegularExpression shownLine() const
    {
        return QRegularExpression(QStringLiteral("MainWindow: %1 with [1-9][0-9]* documents")
                                      .arg(QRegularExpression::escape(m_account.address())));
    }

    QString m_program;
    QProcess m_running;
};

TEST_F(ProgramTest, SignsInShowsTheAccountAndQuitsWithItsStoreSavedOnTheQuitVerb)
{
    m_running.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_running.start(m_program, arguments({}));
    ASSERT_TRUE(m_running.waitForStarted(10000));
    const QRegularExpression shown(QStringLiteral("MainWindow: %1 with [1-9][0-9]* documents")
                                       .arg(QRegularExpression::escape(m_account.address())));
    ASSERT_TRUE(waitUntil([&] { return shown.match(log()).hasMatch(); }, 30000)) << log().toStdString();

    // A later start with the quit verb hands it over and ends at once.
    QProcess quit;
    quit.start(m_program, arguments({QStringLiteral("quit")}));
    ASSERT_TRUE(quit.waitForFinished(15000));
    EXPECT_EQ(quit.exitCode(), 0);

    ASSERT_TRUE(m_running.waitForFinished(30000));
    EXPECT_EQ(m_running.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_running.exitCode(), 0);
    const QString written = log();
    EXPECT_TRUE(written.contains(QStringLiteral("Quit: the store of %1 is saved").arg(m_account.address())));
    EXPECT_TRUE(written.contains(QStringLiteral("Quit: done")));
}

TEST_F(ProgramTest, SigtermQuitsWithTheStoreSavedAndStatusZero)
{
    m_running.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_running.start(m_program, arguments({}));
    ASSERT_TRUE(m_running.waitForStarted(10000));
    ASSERT_TRUE(waitUntil([&] { return shownLine().match(log()).hasMatch(); }, 30000)) << log().toStdString();

    m_running.terminate();
    ASSERT_TRUE(m_running.waitForFinished(30000));
    EXPECT_EQ(m_running.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(m_running.exitCode(), 0);
    const QString written = log();
    EXPECT_TRUE(written.contains(QStringLiteral("Quit: asked by a signal")));
    EXPECT_TRUE(written.contains(QStringLiteral("Quit: the store of %1 is saved").arg(m_account.address())));
    EXPECT_TRUE(written.contains(QStringLiteral("Quit: done")));
}

TEST_F(ProgramTest, RestartNowLeavesOneInstanceThatTakesTheStoreOnlyOnceTheOldOneHasGone)
{
    // This process stands in for the instance whose preferences asked to restart: it listens on the
    // instance channel and holds the store.
    InstanceChannel channel;
    ASSERT_TRUE(channel.listen());
    InstanceLock old;
    ASSERT_TRUE(old.lock(0));
    CordelAppDelegate delegate(StandInMainWindowController::factory());
    int quits = 0;
    QObject::connect(&delegate, &CordelAppDelegate::readyToQuit, [&quits] { ++quits; });
    // It was started to upload a file, which the new instance must not upload again.
    QFile file(QDir(home().path()).filePath(QStringLiteral("once.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("once");
    file.close();

    const qint64 pid =
        Relaunch::relaunch(channel, delegate, m_program,
                           QStringList{m_program} + arguments({QStringLiteral("upload"), file.fileName()}));
    ASSERT_GT(pid, 0);
    // Gone, or a zombie nobody has reaped yet.
    const auto running = [pid] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray line = stat.readAll();
        return !line.mid(line.lastIndexOf(')') + 2, 1).startsWith('Z');
    };
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(channel.isListening());

    // The new instance waits for the old one before it touches the store.
    const QString waiting = QStringLiteral("Start: waiting for the Tavrel that runs on this store to end");
    EXPECT_TRUE(waitUntil([&] { return log().contains(waiting); }, 20000)) << log().toStdString();
    EXPECT_FALSE(log().contains(QStringLiteral("MainWindow:")));
    EXPECT_TRUE(running());

    // The old instance has saved and gone: the new one comes up, alone on the channel.
    old.unlock();
    EXPECT_TRUE(waitUntil([&] { return shownLine().match(log()).hasMatch(); }, 30000)) << log().toStdString();
    EXPECT_FALSE(channel.isListening());
    EXPECT_TRUE(InstanceChannel::sendToRunningInstance(LaunchCommand(LaunchCommand::Verb::Quit, {})));
    EXPECT_TRUE(waitUntil([&] { return !running(); }, 30000));
    if (running())
        ::kill(pid_t(pid), SIGKILL);
    EXPECT_TRUE(m_account.requests(QStringLiteral("POST"), QStringLiteral("/feeds/upload")).isEmpty());
}

// Nothing runs; ten starts at once each hand over a file to upload: one becomes the running program and
// the others hand their files to it while it is still signing in and synchronising. Every file
// reaches the service.
TEST_F(ProgramTest, FilesOfStartsThatRaceAStartingProgramAreAllUploaded)
{
    constexpr int kStarts = 10;
    std::vector<std::unique_ptr<QProcess>> starts;
    QStringList names;
    for (int n = 0; n < kStarts; ++n) {
        names.append(QStringLiteral("raced-%1").arg(n));
        QFile file(QDir(home().path()).filePath(names.last() + QStringLiteral(".txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("sent by start " + QByteArray::number(n));
    }
    for (int n = 0; n < kStarts; ++n) {
        starts.push_back(std::make_unique<QProcess>());
        starts.back()->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        starts.back()->start(m_program,
                             arguments({QStringLiteral("upload"),
                                        QDir(home().path()).filePath(names.at(n) + QStringLiteral(".txt"))}));
    }
    const auto uploaded = [&] {
        QStringList titles;
        for (const QString& id : m_account.service.documentIds())
            titles.append(m_account.service.documentTitle(id));
        QStringList missing;
        for (const QString& name : std::as_const(names))
            if (!titles.contains(name) && !titles.contains(name + QStringLiteral(".txt")))
                missing.append(name);
        return missing;
    };
    EXPECT_TRUE(waitUntil([&] { return uploaded().isEmpty(); }, 60000))
        << uploaded().join(QLatin1Char(' ')).toStdString() << "\n"
        << log().toStdString();
    // All but the running one end, each saying it handed its file over.
    const auto running = [&] {
        return std::count_if(starts.cbegin(), starts.cend(),
                             [](const auto& start) { return start->state() != QProcess::NotRunning; });
    };
    EXPECT_TRUE(waitUntil([&] { return running() <= 1; }, 30000));
    EXPECT_EQ(running(), 1);
    QProcess quit;
    quit.start(m_program, arguments({QStringLiteral("quit")}));
    ASSERT_TRUE(quit.waitForFinished(15000));
    for (const auto& start : starts) {
        ASSERT_TRUE(start->state() == QProcess::NotRunning || start->waitForFinished(30000));
        EXPECT_EQ(start->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(start->exitCode(), 0);
    }
    EXPECT_FALSE(log().contains(QStringLiteral("No user logged to upload files!")));
}

// A store the program cannot use no longer ends it at start: a damaged one is set aside and the
// account fetched again, one it may not read is reported and left as it is; the user is told either
// way.
TEST_F(ProgramTest, ADamagedOrUnreadableStoreIsReportedAndTheProgramRuns)
{
    // Signed in and synchronised once.
    m_running.start(m_program, arguments({}));
    ASSERT_TRUE(m_running.waitForStarted(10000));
    const QRegularExpression shown(QStringLiteral("MainWindow: %1 with [1-9][0-9]* documents")
                                       .arg(QRegularExpression::escape(m_account.address())));
    ASSERT_TRUE(waitUntil([&] { return shown.match(log()).hasMatch(); }, 30000)) << log().toStdString();
    const auto quit = [&] {
        QProcess quit;
        quit.start(m_program, arguments({QStringLiteral("quit")}));
        return quit.waitForFinished(15000) && m_running.waitForFinished(30000) &&
               m_running.exitStatus() == QProcess::NormalExit && m_running.exitCode() == 0;
    };
    ASSERT_TRUE(quit());
    const QString store = TQPlaces::tavrelPeristentStoreCoordinatorForUsername(m_account.address());
    ASSERT_TRUE(QFile::exists(store)) << store.toStdString();

    const auto textBefore = [](const QString& key) {
        const QString text = StringTable::text(key);
        return text.left(text.indexOf(QStringLiteral("%1")));
    };
    const struct
    {
        const char* name;
        bool readable;
        QString told;
    } rows[] = {{"random bytes", true, textBefore(QStringLiteral("StoreMovedAside"))},
                {"without permissions", false, textBefore(QStringLiteral("StoreUnreadable"))}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.readable) {
            QFile file(store);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray(8192, '\x5a'));
        }
        std::unique_ptr<Unreadable> unreadable;
        if (!row.readable)
            unreadable = std::make_unique<Unreadable>(store);
        QString program = m_program;
        QStringList startArguments = arguments({});
        Unreadable::startAsUser(program, startArguments);
        const qsizetype logged = log().size();
        m_running.start(program, startArguments);
        ASSERT_TRUE(m_running.waitForStarted(10000));
        EXPECT_TRUE(waitUntil([&] { return log().mid(logged).contains(row.told); }, 30000))
            << log().toStdString();
        if (row.readable) {
            EXPECT_TRUE(waitUntil([&] { return shown.match(log().mid(logged)).hasMatch(); }, 30000));
        }
        EXPECT_EQ(m_running.state(), QProcess::Running);
        EXPECT_TRUE(quit()) << log().toStdString();
        EXPECT_TRUE(QFile::exists(store));
        if (!row.readable) {
            EXPECT_EQ(QFile::permissions(store) &
                          ~QFile::Permissions(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                      QFile::Permissions());
        }
    }
}

} // namespace
} // namespace tavrel::test
