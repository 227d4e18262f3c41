#include "session/ConnectionStatus.h"

#include "platform/runtime/NotificationCenter.h"
#include "platform/runtime/Timing.h"
#include "platform/system/NetworkInformationReachability.h"
#include "platform/system/ProbeReachability.h"
#include "session/ApplicationServices.h"
#include "support/WaitUntil.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

// A watcher whose callbacks the test fires.
class FakeReachability : public Reachability
{
    Q_OBJECT

public:
    FakeReachability() : Reachability(QStringLiteral("service.test")) {}
    bool startNotifier() override
    {
        started = true;
        return true;
    }
    void stopNotifier() override { started = false; }
    NetworkStatus currentReachabilityStatus() const override { return status; }
    void report(NetworkStatus newStatus)
    {
        status = newStatus;
        reachabilityCallback();
    }

    NetworkStatus status = NotReachable;
    bool started = false;
};

class StatusDelegate : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void connectionDidChangeStatus(qint64 status) { received.append(status); }
    QList<qint64> received;
};

struct Recorder
{
    QObject context;
    QList<QVariant> posted;
    QList<QPair<bool, bool>> changes;

    void watch(ConnectionStatus& status)
    {
        NotificationCenter::defaultCenter().addObserver(
            &context, ConnectionStatus::kCordelConnectionStatusChanged, QVariant(),
            [this](const Notification& n) { posted.append(n.object()); });
        QObject::connect(&status, &ConnectionStatus::onlineChanged, &context,
                         [this](bool oldValue, bool newValue) {
                             changes.append({oldValue, newValue});
                         });
    }
};

} // namespace

TEST(ConnectionStatus, StartsOfflineAndStartsItsWatcher)
{
    auto fake = std::make_unique<FakeReachability>();
    FakeReachability* watcher = fake.get();
    ConnectionStatus status(std::move(fake));
    EXPECT_FALSE(status.isOnline());
    EXPECT_EQ(status.connectionStatus(), 1);
    EXPECT_TRUE(watcher->started);
    EXPECT_EQ(status.hostReachable(), watcher);
}

TEST(ConnectionStatus, EveryCallbackPostsAndNotifiesChangedOrNot)
{
    using S = Reachability::NetworkStatus;
    struct Row
    {
        S reported;
        qint64 number;
        QPair<bool, bool> change;
    };
    // Offline to offline, then on, on again, off, off again.
    const QList<Row> rows{{S::NotReachable, 1, {false, false}},
                          {S::ReachableViaNetwork, 0, {false, true}},
                          {S::ReachableViaNetwork, 0, {true, true}},
                          {S::NotReachable, 1, {true, false}},
                          {S::NotReachable, 1, {false, false}}};

    auto fake = std::make_unique<FakeReachability>();
    FakeReachability* watcher = fake.get();
    ConnectionStatus status(std::move(fake));
    StatusDelegate delegate;
    status.setDelegate(&delegate);
    Recorder recorder;
    recorder.watch(status);

    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        watcher->report(rows[i].reported);
        ASSERT_EQ(recorder.posted.size(), i + 1);
        EXPECT_EQ(recorder.posted.last().toLongLong(), rows[i].number);
        ASSERT_EQ(recorder.changes.size(), i + 1);
        EXPECT_EQ(recorder.changes.last(), rows[i].change);
        EXPECT_EQ(status.isOnline(), rows[i].change.second);
        EXPECT_EQ(status.connectionStatus(), rows[i].number);
        EXPECT_EQ(delegate.received.last(), rows[i].number);
    }
}

TEST(ConnectionStatus, ApplicationServicesMakeOneStatusWhenTheWindowFirstShows)
{
    ApplicationServices* services = ApplicationServices::instance();
    services->resetForTesting();
    EXPECT_EQ(services->connectionStatus(), nullptr);

    QList<ConnectionStatus*> announced;
    QObject context;
    QObject::connect(services, &ApplicationServices::connectionStatusChanged, &context,
                     [&](ConnectionStatus* status) { announced.append(status); });

    auto fake = std::make_unique<FakeReachability>();
    FakeReachability* watcher = fake.get();
    services->mainApplicationWindowWillShow(std::move(fake));
    ConnectionStatus* status = services->connectionStatus();
    ASSERT_NE(status, nullptr);
    services->mainApplicationWindowWillShow(std::make_unique<FakeReachability>());
    EXPECT_EQ(services->connectionStatus(), status);
    ASSERT_EQ(announced.size(), 1);
    EXPECT_EQ(announced.first(), status);

    // An observer bound through the services sees the change from offline to online.
    QList<QPair<bool, bool>> changes;
    QObject::connect(status, &ConnectionStatus::onlineChanged, &context, [&](bool o, bool n) {
        changes.append({o, n});
    });
    watcher->report(Reachability::ReachableViaNetwork);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.first(), qMakePair(false, true));

    services->resetForTesting();
}

// A port that accepts connections and, when `answers`, answers whatever it is sent.
struct TestPort
{
    explicit TestPort(bool answers)
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this, answers] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                held.append(socket);
                if (answers)
                    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n");
                    });
            }
        });
    }
    QTcpServer server;
    QList<QTcpSocket*> held;
};

TEST(ConnectionStatus, ProbeFollowsTheServicePort)
{
    Timing::Override interval("reachabilityProbeInterval", 20);
    Timing::Override offlineInterval("reachabilityOfflineProbeInterval", 20);
    TestPort port(true);
    ASSERT_TRUE(port.server.isListening());

    auto probe =
        Reachability::reachabilityWithHostName(QStringLiteral("127.0.0.1"), port.server.serverPort());
    ASSERT_NE(qobject_cast<ProbeReachability*>(probe.get()), nullptr);
    ConnectionStatus status(std::move(probe));
    Recorder recorder;
    recorder.watch(status);

    ASSERT_TRUE(waitUntil([&] { return status.isOnline(); }));
    EXPECT_EQ(recorder.posted.size(), 1);
    port.server.close();
    ASSERT_TRUE(waitUntil([&] { return !status.isOnline(); }));
    EXPECT_EQ(recorder.posted.last().toLongLong(), 1);
    EXPECT_EQ(recorder.changes.last(), qMakePair(true, false));
}

TEST(ConnectionStatus, ARefusedRequestIsNoticedAtOnceAndAServiceThatNeverAnswersIsOffline)
{
    // The probe's own turns are far away: only a failed request can make it look again.
    Timing::Override interval("reachabilityProbeInterval", 600000);
    Timing::Override offlineInterval("reachabilityOfflineProbeInterval", 600000);
    Timing::Override timeout("reachabilityProbeTimeout", 200);
    auto answering = std::make_unique<TestPort>(true);
    const quint16 portNumber = answering->server.serverPort();
    ConnectionStatus status(Reachability::reachabilityWithHostName(QStringLiteral("127.0.0.1"), portNumber));
    ASSERT_TRUE(waitUntil([&] { return status.isOnline(); }));

    // The service goes; a request is refused, from a worker thread as the fetchers post it.
    answering.reset();
    QThread* worker = QThread::create([] {
        NotificationCenter::defaultCenter().post(Reachability::kConnectionFailedNotification,
                                                 QVariant(QStringLiteral("127.0.0.1")));
    });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_TRUE(waitUntil([&] { return !status.isOnline(); }, 3000));

    // A service that accepts connections but never answers them is not reachable either.
    TestPort hung(false);
    ASSERT_TRUE(hung.server.isListening());
    ConnectionStatus hungStatus(
        Reachability::reachabilityWithHostName(QStringLiteral("127.0.0.1"), hung.server.serverPort()));
    Recorder recorder;
    recorder.watch(hungStatus);
    ASSERT_TRUE(waitUntil([&] { return !recorder.posted.isEmpty(); }, 3000));
    EXPECT_FALSE(hungStatus.isOnline());
    EXPECT_FALSE(hung.held.isEmpty());
}

TEST(ConnectionStatus, SystemNetworkInformationReportsOnceStarted)
{
    if (!NetworkInformationReachability::isAvailable())
        GTEST_SKIP() << "no network information backend";
    auto watcher = Reachability::reachabilityWithHostName(QStringLiteral("docs.service.example"), 443);
    ASSERT_NE(qobject_cast<NetworkInformationReachability*>(watcher.get()), nullptr);
    ConnectionStatus status(std::move(watcher));
    Recorder recorder;
    recorder.watch(status);
    // The first report tells the current state, whatever it is.
    ASSERT_TRUE(waitUntil([&] { return !recorder.posted.isEmpty(); }));
    EXPECT_EQ(recorder.posted.first().toLongLong(), status.isOnline() ? 0 : 1);
}

TEST(ConnectionStatus, NoWatcherForAnEmptyHost)
{
    EXPECT_EQ(Reachability::reachabilityWithHostName(QString(), 80), nullptr);
    ConnectionStatus status(std::unique_ptr<Reachability>{});
    EXPECT_FALSE(status.isOnline());
}

} // namespace tavrel::test

#include "ConnectionStatusTest.moc"
