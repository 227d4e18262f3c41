#include "SessionFixture.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/system/Paths.h"
#include "platform/system/Settings.h"
#include "platform/system/SettingsFileFormat.h"
#include "session/TQSessionManager.h"
#include "support/Unreadable.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <functional>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

// Sessions started as the program starts them: through a session manager.
class UnusableFilesTest : public SessionTest
{
protected:
    void TearDown() override
    {
        endSessions();
        SessionTest::TearDown();
    }
    void endSessions()
    {
        if (m_manager)
            m_manager->resetForTesting();
        m_manager.reset();
    }

    // Synchronises the account once and ends its session; the store's path.
    QString synchroniseOnce()
    {
        TQSession session(makeAccount(m_account.service.ownerEmail()));
        if (!startAndSettle(session) || session.state() != TQSession::kRunning || !stopSynchronising(session))
            return QString();
        return session.mocManager()->persistentStoreCoordinator()->storePath();
    }

    struct Started
    {
        TQSession* session = nullptr;
        Error error;
    };
    Started start()
    {
        Started started;
        m_manager = std::make_unique<TQSessionManager>();
        m_manager->startSessionForAccount(makeAccount(m_account.service.ownerEmail()),
                                          [&](TQSession* session, const Error& error) {
                                              started.session = session;
                                              started.error = error;
                                          });
        return started;
    }
    static QStringList setAside(const QString& storePath)
    {
        return QDir(QFileInfo(storePath).path())
            .entryList({QFileInfo(storePath).fileName() + QStringLiteral(".corrupt-*")}, QDir::Files);
    }

    std::unique_ptr<TQSessionManager> m_manager;
};

// A damaged store is set aside and the account fetched again into a new one; one that cannot be read
// (its permissions) is reported and left where and as it is.
TEST_F(UnusableFilesTest, ADamagedStoreIsSetAsideAndAnUnreadableOneReported)
{
    const struct
    {
        const char* name;
        std::function<void(QFile&)> damage;
        bool readable;
    } rows[] = {
        {"truncated", [](QFile& file) { file.resize(file.size() / 3); }, true},
        {"random bytes",
         [](QFile& file) {
             QByteArray noise(64 * 1024, Qt::Uninitialized);
             for (char& byte : noise)
                 byte = char(QRandomGenerator::global()->bounded(256));
             file.open(QIODevice::WriteOnly | QIODevice::Truncate);
             file.write(noise);
             file.close();
         },
         true},
        {"without permissions", [](QFile&) {}, false},
    };
    const QString path = synchroniseOnce();
    ASSERT_FALSE(path.isEmpty());
    const QByteArray good = [&] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    ASSERT_FALSE(good.isEmpty());
    ASSERT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
    const int all = int(m_account.service.documentIds().size());

    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        endSessions();
        for (const QString& name : setAside(path))
            QFile::remove(QFileInfo(path).dir().filePath(name));
        QFile::remove(path + QStringLiteral("-wal"));
        QFile::remove(path + QStringLiteral("-shm"));
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(good);
        }
        QFile file(path);
        row.damage(file);
        const QByteArray damaged = [&] {
            QFile copy(path);
            return copy.open(QIODevice::ReadOnly) ? copy.readAll() : QByteArray();
        }();

        if (!row.readable) {
            Unreadable unreadable(path);
            const Started started = start();
            EXPECT_EQ(started.session, nullptr);
            EXPECT_EQ(started.error.code(), TQSessionManager::kStoreUnavailableErrorCode);
            EXPECT_TRUE(started.error.localizedFailureReason().contains(path))
                << started.error.localizedFailureReason().toStdString();
            // The mode bits (the "user" ones say what this process may do).
            EXPECT_EQ(QFile::permissions(path) &
                          ~QFile::Permissions(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                      QFile::Permissions());
            EXPECT_TRUE(setAside(path).isEmpty());
            continue;
        }
        const Started started = start();
        ASSERT_NE(started.session, nullptr) << started.error.description().toStdString();
        const QString aside = started.session->mocManager()->movedAsideStorePath();
        EXPECT_EQ(setAside(path), QStringList{QFileInfo(aside).fileName()});
        QFile kept(aside);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), damaged) << "kept as it was";
        EXPECT_FALSE(started.session->mocManager()->movedAsideReason().isEmpty());
        ASSERT_TRUE(waitUntil([&] { return started.session->state() == TQSession::kRunning; }, 20000));
        EXPECT_EQ(storedDocuments(*started.session), all);
        ASSERT_TRUE(stopSynchronising(*started.session));
    }
}

// With a settings file that cannot be read, the account's changestamp cannot be either: the session
// brings the store up to date in full rather than going on from the service's current changestamp,
// which would skip what changed while the program was closed; the file keeps its values.
TEST_F(UnusableFilesTest, AChangeMadeWhileClosedArrivesThoughTheSettingsCannotBeRead)
{
    ASSERT_FALSE(synchroniseOnce().isEmpty());
    const QString stampKey = QStringLiteral("TQlargestChangestamp") + m_account.service.ownerEmail();
    const qint64 stamp = Settings::integerValue(stampKey);
    ASSERT_GT(stamp, 0);
    const QString added = m_account.service.addDocument(QStringLiteral("Made while closed"));
    ASSERT_FALSE(added.isEmpty());

    {
        Unreadable unreadable(Paths::settingsFile());
        EXPECT_FALSE(Settings::fileProblem().isEmpty());
        const Started started = start();
        ASSERT_NE(started.session, nullptr) << started.error.description().toStdString();
        ASSERT_TRUE(waitUntil([&] { return started.session->state() == TQSession::kRunning; }, 20000));
        TQMOCMaster* master = started.session->mocManager()->masterMOC();
        EXPECT_TRUE(waitUntil(
            [&] {
                return FileEntryAbstract::fileEntryAbstractWithIdentifier(
                           FileEntryAbstract::identifierFromGDataResourceId(added), master) != nullptr;
            },
            10000));
        EXPECT_EQ(storedDocuments(*started.session), m_account.service.documentIds().size());
        ASSERT_TRUE(stopSynchronising(*started.session));
        EXPECT_EQ(Settings::integerValue(stampKey), m_account.service.largestChangestamp())
            << "kept for the rest of the run";
        endSessions();
    }
    QSettings file(Paths::settingsFile(), SettingsFileFormat::format());
    EXPECT_EQ(file.value(stampKey).toLongLong(), stamp) << "the file is left as it was";
}

} // namespace

} // namespace tavrel::test
