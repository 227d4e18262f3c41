#include "app/InstanceChannel.h"

#include "platform/system/Paths.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel {
namespace {

using InstanceChannelTest = test::TempHomeTest;

// The sending side blocks, as a second start does; it runs beside the event loop that serves it.
std::future<bool> sendInBackground(const LaunchCommand& command)
{
    return std::async(std::launch::async,
                      [command] { return InstanceChannel::sendToRunningInstance(command, 5000); });
}

TEST_F(InstanceChannelTest, HandsALaterStartsCommandToTheRunningInstance)
{
    InstanceChannel running;
    ASSERT_TRUE(running.listen());
    QList<LaunchCommand> received;
    QObject::connect(&running, &InstanceChannel::commandReceived,
                     [&received](const LaunchCommand& command) { received.append(command); });

    const LaunchCommand upload(LaunchCommand::Verb::Upload,
                               {QStringLiteral("/tmp/a.pdf"), QStringLiteral("/tmp/b.txt")});
    auto sent = sendInBackground(upload);
    ASSERT_TRUE(
        test::waitUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_TRUE(sent.get());
    ASSERT_TRUE(test::waitUntil([&] { return received.size() == 1; }));
    EXPECT_EQ(received.first(), upload);

    // A second instance does not take over while the first one runs.
    InstanceChannel second;
    QString error;
    EXPECT_FALSE(second.listen(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(InstanceChannelTest, NobodyRunningMeansTheCommandIsNotTaken)
{
    QString error;
    EXPECT_FALSE(InstanceChannel::sendToRunningInstance(LaunchCommand(), 500, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(InstanceChannelTest, ASocketLeftByAnInstanceThatDiedIsTakenOver)
{
    // What a killed instance leaves: the socket file with nobody listening.
    {
        QLocalServer stale;
        stale.setSocketOptions(QLocalServer::UserAccessOption);
        ASSERT_TRUE(stale.listen(InstanceChannel::serverName()));
        // Closing removes the file; leave one behind as a crash would.
        stale.close();
    }
    QFile leftOver(InstanceChannel::serverName());
    ASSERT_TRUE(leftOver.open(QIODevice::WriteOnly));
    leftOver.close();

    InstanceChannel channel;
    ASSERT_TRUE(channel.listen());
    EXPECT_TRUE(channel.isListening());
    channel.close();
    EXPECT_FALSE(QFile::exists(InstanceChannel::serverName()));
}

TEST_F(InstanceChannelTest, ALineThatIsNoCommandIsRefused)
{
    InstanceChannel running;
    ASSERT_TRUE(running.listen());
    int received = 0;
    QObject::connect(&running, &InstanceChannel::commandReceived, [&received] { ++received; });
    auto sent = std::async(std::launch::async, [] {
        QLocalSocket socket;
        socket.connectToServer(InstanceChannel::serverName());
        if (!socket.waitForConnected(5000))
            return QByteArray("no connection");
        socket.write("{\"verb\":\"upload\",\"files\":[\"relative\"]}\n");
        socket.waitForBytesWritten(5000);
        QByteArray answer;
        while (socket.waitForReadyRead(2000))
            answer += socket.readAll();
        return answer;
    });
    ASSERT_TRUE(test::waitUntil(
        [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 10000));
    EXPECT_NE(sent.get(), QByteArray("ok\n"));
    EXPECT_EQ(received, 0);
}

TEST_F(InstanceChannelTest, AFolderSomeoneElseCanReachIsNeverUsedForTheSocket)
{
    const QString temporary = Paths::tempFolder();
    const QString shared = temporary + QStringLiteral("/tavrel-%1").arg(::getuid());
    const QString elsewhere = home().path() + QStringLiteral("/elsewhere");
    QDir().mkpath(elsewhere);
    QFile::setPermissions(elsewhere, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString openRuntime = home().path() + QStringLiteral("/open-runtime");
    QDir().mkpath(openRuntime);
    const auto everyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                          QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                          QFile::ExeOther;
    QFile::setPermissions(openRuntime, everyone);

    struct Row
    {
        const char* name;
        const char* runtime;           // XDG_RUNTIME_DIR: nullptr unset, "open" the folder open to everyone
        std::function<bool()> prepare; // what another user left at /tmp/tavrel-<uid>; false: cannot here
    };
    const QList<Row> rows = {
        {"open runtime folder, nothing in the temporary one", "open", [] { return true; }},
        {"a symbolic link", nullptr, [&] { return QFile::link(elsewhere, shared); }},
        {"a folder open to everyone", nullptr,
         [&] { return QDir().mkpath(shared) && QFile::setPermissions(shared, everyone); }},
        {"a folder of another user", nullptr,
         [&] {
             // Only the superuser can give a folder away; anyone else checks an empty place.
             if (::geteuid() != 0)
                 return true;
             return QDir().mkpath(shared) &&
                    QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
                    ::chown(QFile::encodeName(shared).constData(), 65534, 65534) == 0;
         }},
    };
    const QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QFile::remove(shared);
        QDir(shared).removeRecursively();
        if (!row.prepare()) {
            ADD_FAILURE() << "could not prepare the folder";
            continue;
        }
        // What another user planted there is never used; an empty place becomes the user's own folder.
        const bool planted = QFileInfo(shared).exists() || QFileInfo(shared).isSymLink();
        if (row.runtime)
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(openRuntime));
        else
            qunsetenv("XDG_RUNTIME_DIR");

        const QString name = InstanceChannel::serverName();
        ASSERT_FALSE(name.isEmpty());
        const QString folder = QFileInfo(name).path();
        EXPECT_NE(QFileInfo(folder).canonicalFilePath(), QFileInfo(elsewhere).canonicalFilePath());
        if (planted) {
            EXPECT_NE(folder, shared);
        }
        EXPECT_NE(folder, openRuntime);
        struct stat info;
        ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_uid, ::getuid());
        EXPECT_EQ(info.st_mode & 077, 0u);

        // And the channel works there.
        InstanceChannel running;
        ASSERT_TRUE(running.listen());
        int received = 0;
        QObject::connect(&running, &InstanceChannel::commandReceived, [&received] { ++received; });
        auto sent =
            sendInBackground(LaunchCommand(LaunchCommand::Verb::Upload, {QStringLiteral("/tmp/a.pdf")}));
        ASSERT_TRUE(test::waitUntil(
            [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        EXPECT_TRUE(sent.get());
        EXPECT_TRUE(test::waitUntil([&] { return received == 1; }));
        EXPECT_TRUE(QDir(elsewhere).isEmpty());
    }
    QFile::remove(shared);
    QDir(shared).removeRecursively();
    qputenv("XDG_RUNTIME_DIR", runtimeBefore);
}

} // namespace
} // namespace tavrel
