#include "notifications/TQExternalNotificationCenter.h"
#include "notifications/TQStandardNotificationCenter.h"
#include "platform/system/FreedesktopNotificationBackend.h"
#include "support/RecordedNotifications.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <thread>

namespace tavrel::test {

namespace {

// Stands in for the desktop's notification daemon on a private bus.
class FakeNotificationDaemon : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QList<QStringList> received;

public slots:
    Q_SCRIPTABLE uint Notify(const QString& application, uint replacesId, const QString& icon,
                             const QString& summary, const QString& body, const QStringList& actions,
                             const QVariantMap& hints, int timeout)
    {
        Q_UNUSED(replacesId);
        Q_UNUSED(icon);
        Q_UNUSED(actions);
        Q_UNUSED(hints);
        Q_UNUSED(timeout);
        received.append({application, summary, body});
        return uint(received.size());
    }
};

// A private session bus for the length of a test.
class PrivateBus
{
public:
    bool start()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            return false;
        m_daemon.start(program, {"--session", "--nofork", "--print-address"});
        if (!m_daemon.waitForStarted(5000))
            return false;
        waitUntil([&] { return m_daemon.canReadLine() || m_daemon.state() != QProcess::Running; }, 10000);
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return !m_address.isEmpty();
    }
    ~PrivateBus()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(5000))
                m_daemon.kill();
            m_daemon.waitForFinished(5000);
        }
    }
    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

} // namespace

TEST(ExternalNotificationCenter, PostsReachTheBackendFromAnyThread)
{
    auto* center = dynamic_cast<TQStandardNotificationCenter*>(TQExternalNotificationCenter::defaultCenter());
    ASSERT_NE(center, nullptr);
    EXPECT_EQ(TQExternalNotificationCenter::defaultCenter(), center);
    const auto previous = center->backend();
    auto recording = std::make_shared<RecordingBackend>();
    center->setBackend(recording);

    const auto uploaded = TQExternalNotification::notificationWithName(
        TQExternalNotification::kTQActionDidFinishNotification, "Uploaded", "report.pdf was uploaded", "17");
    center->postExternalNotification(uploaded);
    std::thread worker([&] {
        TQExternalNotificationCenter::defaultCenter()->postExternalNotification(
            {TQExternalNotification::kTQActionDidFinishNotification, "Shared", "Plans shared with Ann",
             "18"});
    });
    worker.join();

    const QList<Shown> expected{
        {"TQActionDidFinishNotification", "Uploaded", "report.pdf was uploaded", "17"},
        {"TQActionDidFinishNotification", "Shared", "Plans shared with Ann", "18"},
    };
    EXPECT_EQ(recording->takeAll(), expected);

    center->setBackend(nullptr);
    center->postExternalNotification(uploaded); // no back-end: nothing, no crash
    center->setBackend(previous);
}

TEST(ExternalNotificationCenter, FreedesktopBackendNotifiesTheDaemonOnTheBus)
{
    PrivateBus bus;
    if (!bus.start())
        GTEST_SKIP() << "no dbus-daemon to run a private bus";

    FakeNotificationDaemon daemon;
    {
        QDBusConnection service = QDBusConnection::connectToBus(bus.address(), QStringLiteral("fake-daemon"));
        ASSERT_TRUE(service.isConnected());
        ASSERT_TRUE(service.registerObject(FreedesktopNotificationBackend::kPath, &daemon,
                                           QDBusConnection::ExportScriptableSlots));
        ASSERT_TRUE(service.registerService(FreedesktopNotificationBackend::kService));
    }

    {
        TQStandardNotificationCenter center(std::make_shared<FreedesktopNotificationBackend>(bus.address()));
        center.postExternalNotification({TQExternalNotification::kTQActionDidFinishNotification, "Uploaded",
                                         "<b>report.pdf</b> was uploaded", "1"});
        ASSERT_TRUE(waitUntil([&] { return !daemon.received.isEmpty(); }));
        EXPECT_EQ(daemon.received.first(), (QStringList{QCoreApplication::applicationName(), "Uploaded",
                                                        "<b>report.pdf</b> was uploaded"}));
    }

    // The daemon goes away: posting still returns at once and shows nothing.
    {
        QDBusConnection service(QStringLiteral("fake-daemon"));
        service.unregisterService(FreedesktopNotificationBackend::kService);
        service.unregisterObject(FreedesktopNotificationBackend::kPath);
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-daemon"));
    TQStandardNotificationCenter center(std::make_shared<FreedesktopNotificationBackend>(bus.address()));
    center.postExternalNotification({"TQActionDidFinishNotification", "Again", "nobody listens", "2"});
    EXPECT_EQ(daemon.received.size(), 1);
}

TEST(ExternalNotificationCenter, WithoutABusPostingDoesNothing)
{
    TempHome home;
    const QString missing = QStringLiteral("unix:path=%1/no-bus-here").arg(home.path());
    auto backend = std::make_shared<FreedesktopNotificationBackend>(missing);
    EXPECT_FALSE(backend->isConnected());
    TQStandardNotificationCenter center(backend);
    center.postExternalNotification({"TQActionDidFinishNotification", "Uploaded", "report.pdf", "3"});
    std::thread worker([&] {
        center.postExternalNotification({"TQActionDidFinishNotification", "B", "b", "4"});
    });
    worker.join();
}

} // namespace tavrel::test

#include "ExternalNotificationTest.moc"
