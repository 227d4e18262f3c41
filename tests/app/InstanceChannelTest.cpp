#include "app/InstanceChannel.h"

#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <future>
#include <gtest/gtest.h>

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

} // namespace
} // namespace tavrel
