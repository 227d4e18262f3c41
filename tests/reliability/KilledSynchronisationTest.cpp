#include "HoldingDelegate.h"
#include "ReliabilityFixture.h"
#include "accounts/TQAccount.h"
#include "actions/FullCoreDataUpdateOperation.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/store/EntityDescription.h"
#include "platform/system/Paths.h"
#include "platform/system/Settings.h"
#include "session/TQSessionManager.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <gtest/gtest.h>
#include <mutex>

namespace tavrel::test {

namespace {

// What the parent tells the child.
constexpr const char* kChild = "TAVREL_RELIABILITY_CHILD";
constexpr const char* kChildHome = "TAVREL_RELIABILITY_HOME";
constexpr const char* kChildService = "TAVREL_RELIABILITY_SERVICE";
constexpr const char* kChildAddress = "TAVREL_RELIABILITY_ADDRESS";
constexpr const char* kChildAccessToken = "TAVREL_RELIABILITY_ACCESS_TOKEN";
constexpr const char* kChildRefreshToken = "TAVREL_RELIABILITY_REFRESH_TOKEN";
constexpr const char* kChildHold = "TAVREL_RELIABILITY_HOLD_AFTER";
const QByteArray kHeldMarker = "held-after-saving";
const QByteArray kFinishedMarker = "synchronisation-finished";

void tell(const QByteArray& line)
{
    std::fprintf(stdout, "%s\n", line.constData());
    std::fflush(stdout);
}

// The same folders as the parent's temporary home, so the child writes the parent's store.
void useHome(const QString& root)
{
    qputenv("HOME", QFile::encodeName(root));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    qputenv("XDG_STATE_HOME", QFile::encodeName(root + QStringLiteral("/state")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/cache")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
    qputenv("TMPDIR", QFile::encodeName(root + QStringLiteral("/tmp")));
}

// Kills the child and waits for it on every way out of the test.
class ChildProcess
{
public:
    ~ChildProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(30000);
        }
    }
    QProcess process;
};

// Starts the account's session as the program does at start-up (a session manager deciding what the
// store needs), waits until it runs and stops it; false when it did not come to run.
bool startAsTheProgramDoes(TestAccount& account)
{
    account.session.reset();
    account.useService();
    TQSessionManager manager;
    TQSession* started = nullptr;
    manager.startSessionForAccount(account.accountFor(account.address()),
                                   [&](TQSession* session, const Error&) { started = session; });
    const bool running = started &&
                         waitUntil([&] { return started->state() != TQSession::kFirstSyncRunning; }, 60000) &&
                         started->state() == TQSession::kRunning;
    manager.resetForTesting();
    return running;
}

} // namespace

void HoldingDelegate::updateOperationContextDidSave(const SaveNotification& notification)
{
    const QString entity = qEnvironmentVariable(kChildHold);
    bool held = false;
    for (const ManagedObjectID& id : notification.inserted)
        if (id.entity() && id.entity()->name() == entity)
            held = true;
    if (!held)
        return;
    tell(kHeldMarker);
    // Committed and held: the parent kills the process here.
    static std::mutex mutex;
    static std::condition_variable never;
    std::unique_lock lock(mutex);
    never.wait(lock, [] { return false; });
}

// Runs only as the child of KilledSynchronisationTest: a full synchronisation into the parent's home.
TEST(KilledSynchronisationChild, SynchronisesUntilKilled)
{
    if (qEnvironmentVariableIsEmpty(kChild))
        GTEST_SKIP() << "run as a child process by KilledSynchronisationTest";
    useHome(qEnvironmentVariable(kChildHome));
    const QString service = qEnvironmentVariable(kChildService);
    const QString address = qEnvironmentVariable(kChildAddress);
    GDataEndpoints::setServiceBaseURL(QUrl(service));
    TQSession session(TQAccount::accountWithAuthToken(
        TestAccount::authenticationFor(service, qEnvironmentVariable(kChildAccessToken),
                                       qEnvironmentVariable(kChildRefreshToken), address)));
    HoldingDelegate holding;
    SyncRecorder callback;
    auto operation = FullCoreDataUpdateOperation::operationWithSession(&session);
    operation->setDelegate(qEnvironmentVariableIsEmpty(kChildHold) ? nullptr : &holding);
    operation->setCallback(
        Invocation::invocationForSelector(QStringLiteral("synchronisationDidFinishWithError:"), &callback));
    session.queueManager()->scheduleOperation(operation);
    ASSERT_TRUE(waitUntil([&] { return callback.calls > 0; }, 120000));
    tell(kFinishedMarker);
}

struct KillPoint
{
    const char* name;
    const char*
        heldAfter; // the first save inserting these records; nothing: while the document list is fetched
    int contacts;

    bool betweenSaves() const { return *heldAfter != 0; }
};

class KilledSynchronisationTest : public ReliabilityTest, public ::testing::WithParamInterface<KillPoint>
{
};

TEST_P(KilledSynchronisationTest, TheNextStartCompletesTheFullSynchronisationWithoutDuplicates)
{
    // Three pages of documents; the first save of documents comes after some 200 of them.
    constexpr int kDocuments = 1300;
    const int kContacts = GetParam().contacts;
    TestAccount account;
    localservice::GenerateOptions options;
    options.documents = kDocuments;
    options.collections = 12;
    options.contacts = kContacts;
    startService(account, options);
    if (!GetParam().betweenSaves()) {
        // The first page comes; the next is held until the child is gone.
        localservice::Fault pass;
        pass.kind = localservice::Fault::Delay;
        pass.delayMs = 1;
        pass.pathPattern = QStringLiteral("^/feeds/default/private/expandAcl$");
        account.service.addFault(pass);
        localservice::Fault hang;
        hang.kind = localservice::Fault::Hang;
        hang.count = 100;
        hang.pathPattern = pass.pathPattern;
        account.service.addFault(hang);
    }

    ChildProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChild), QStringLiteral("1"));
    environment.insert(QString::fromLatin1(kChildHome), home().path());
    environment.insert(QString::fromLatin1(kChildService), account.service.baseUrl());
    environment.insert(QString::fromLatin1(kChildAddress), account.address());
    environment.insert(QString::fromLatin1(kChildAccessToken), account.service.issueAccessToken());
    environment.insert(QString::fromLatin1(kChildRefreshToken),
                       account.service.issueRefreshToken(account.address()));
    if (GetParam().betweenSaves())
        environment.insert(QString::fromLatin1(kChildHold), QString::fromLatin1(GetParam().heldAfter));
    // The child's own scratch folders stay below this home, which the parent removes.
    environment.insert(QStringLiteral("TAVREL_TEST_TMP"), home().path() + QStringLiteral("/tmp"));
    child.process.setProcessEnvironment(environment);
    // Read only at the end: a pipe nobody reads could stall the child.
    const QString childErrors = home().path() + QStringLiteral("/child-stderr.txt");
    child.process.setStandardErrorFile(childErrors);
    child.process.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--gtest_filter=KilledSynchronisationChild.*")});
    ASSERT_TRUE(child.process.waitForStarted(30000));

    QByteArray output;
    const auto childSays = [&](const QByteArray& marker) {
        output += child.process.readAllStandardOutput();
        return output.contains(marker);
    };
    const auto firstPageServed = [&] {
        const auto journal = account.service.journal();
        return std::any_of(journal.cbegin(), journal.cend(),
                           [](const localservice::JournalEntry& entry) {
                               return entry.path == QLatin1String("/feeds/default/private/expandAcl") &&
                                      entry.status == 200;
                           }) &&
               account.service.hangingRequests() > 0;
    };
    const bool midway = waitUntil(
        [&] {
            return child.process.state() == QProcess::NotRunning ||
                   (GetParam().betweenSaves() ? childSays(kHeldMarker) : firstPageServed());
        },
        90000);
    ASSERT_TRUE(midway && child.process.state() != QProcess::NotRunning)
        << "the child did not reach the point to be killed at:\n"
        << output.toStdString() << [&] {
               QFile errors(childErrors);
               return errors.open(QIODevice::ReadOnly) ? errors.readAll().toStdString() : std::string();
           }();
    child.process.kill();
    ASSERT_TRUE(child.process.waitForFinished(30000));
    EXPECT_EQ(child.process.exitStatus(), QProcess::CrashExit);
    account.service.clearFaults();
    EXPECT_FALSE(childSays(kFinishedMarker));

    // The killed store opens; a half-filled one holds some of the documents.
    account.openSession();
    const qint64 killedFiles = account.count(QStringLiteral("File"));
    const qint64 killedContacts = account.count(QStringLiteral("Contact"));
    if (GetParam().betweenSaves()) {
        EXPECT_GT(killedFiles + killedContacts, 0);
        EXPECT_LT(killedFiles, kDocuments);
    }
    if (QLatin1String(GetParam().heldAfter) == QLatin1String("Contact")) {
        EXPECT_LT(killedContacts, kContacts) << "killed in the middle of the contacts";
    }
    EXPECT_FALSE(account.storedChangestamp().isValid());

    // Started again as a user starts the program: the store without a completed full synchronisation
    // gets one.
    ASSERT_TRUE(startAsTheProgramDoes(account));
    account.openSession();
    const QStringList recovered = account.storedResourceIds();
    EXPECT_EQ(recovered, sorted(account.service.documentIds())) << "every record once, none missing";
    EXPECT_EQ(recovered.size(), QSet<QString>(recovered.cbegin(), recovered.cend()).size());
    EXPECT_EQ(account.count(QStringLiteral("Contact")), kContacts);
    EXPECT_EQ(account.storedChangestamp().toLongLong(), account.service.largestChangestamp());

    // Access lists as a store synchronised without a crash has them: nothing doubled, nothing lost.
    TestAccount reference;
    QString error;
    ASSERT_TRUE(reference.service.loadSeed(account.service.exportSeed(), &error)) << error.toStdString();
    ASSERT_TRUE(reference.service.start(0, &error)) << error.toStdString();
    ASSERT_NE(reference.address(), QString());
    const QMap<QString, QStringList> recoveredAccess = storedAccess(account.master());
    const qint64 recoveredMails = account.count(QStringLiteral("Mail"));
    account.session.reset();
    // The clean store lives in another home.
    TempHome cleanHome;
    reference.openSession();
    SyncRecorder callback;
    ASSERT_TRUE(runFull(reference, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    const QMap<QString, QStringList> cleanAccess = storedAccess(reference.master());
    ASSERT_EQ(recoveredAccess.keys(), cleanAccess.keys());
    for (auto it = cleanAccess.cbegin(); it != cleanAccess.cend(); ++it)
        EXPECT_EQ(recoveredAccess.value(it.key()), it.value()) << it.key().toStdString();
    EXPECT_EQ(recoveredMails, reference.count(QStringLiteral("Mail"))) << "one record per address";
    reference.session.reset();
}

using KilledIncrementalSynchronisationTest = ReliabilityTest;

// Killed after its save and before it stored the new changestamp, an incremental run leaves the
// changes to come again: stored again, they must not add a record or an access entry twice.
TEST_F(KilledIncrementalSynchronisationTest, ChangesThatComeAgainAreStoredOnce)
{
    TestAccount account;
    localservice::GenerateOptions options;
    options.documents = 30;
    options.collections = 3;
    options.contacts = 4;
    startService(account, options);
    account.openSession();
    SyncRecorder callback;
    ASSERT_TRUE(runFull(account, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    const QVariant stamp = account.storedChangestamp();

    const QStringList ids = sorted(account.service.documentIds());
    ASSERT_GE(ids.size(), 3);
    ASSERT_TRUE(
        account.service.shareDocument(ids.at(0), QStringLiteral("bob@other.test"), QStringLiteral("writer")));
    ASSERT_TRUE(account.service.shareDocument(ids.at(1), QStringLiteral("carol@other.test"),
                                              QStringLiteral("reader")));
    ASSERT_TRUE(account.service.renameDocument(ids.at(2), QStringLiteral("Renamed elsewhere")));
    ASSERT_FALSE(account.service
                     .addDocument(QStringLiteral("From Ann"), QStringLiteral("document"),
                                  QStringLiteral("ann@other.test"))
                     .isEmpty());
    ASSERT_TRUE(runFast(account, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    const QMap<QString, QStringList> access = storedAccess(account.master());
    const qint64 mails = account.count(QStringLiteral("Mail"));
    ASSERT_TRUE(access.value(ids.at(0)).contains(QStringLiteral("writer bob@other.test")));

    Settings::setValue(QStringLiteral("TQlargestChangestamp") + account.address(), stamp);
    account.service.clearJournal();
    ASSERT_TRUE(runFast(account, callback));
    ASSERT_TRUE(callback.error.isNull()) << callback.error.localizedDescription().toStdString();
    const auto journal = account.service.journal();
    ASSERT_FALSE(journal.isEmpty());
    EXPECT_EQ(journal.last().query.value(QStringLiteral("start-index")),
              QString::number(stamp.toLongLong() + 1))
        << "the same changes came again";
    EXPECT_EQ(account.storedResourceIds(), sorted(account.service.documentIds()));
    EXPECT_EQ(storedAccess(account.master()), access);
    EXPECT_EQ(account.count(QStringLiteral("Mail")), mails);
    EXPECT_EQ(account.storedChangestamp().toLongLong(), account.service.largestChangestamp());
}

using KilledProgramTest = ReliabilityTest;

// The program itself, killed midway through its first full synchronisation of a large account and
// started again as a user would: every document arrives, once.
TEST_F(KilledProgramTest, AFirstSynchronisationKilledMidwayIsCompletedWhenTheProgramStartsAgain)
{
    const QString program = qEnvironmentVariable("TAVREL_PROGRAM");
    if (program.isEmpty())
        GTEST_SKIP() << "TAVREL_PROGRAM names the program; CTest sets it";
    // Six pages of documents; the kill comes while the fourth is asked for, some 1,500 documents in.
    constexpr int kDocuments = 3000;
    constexpr int kPagesBeforeTheKill = 3;
    constexpr int kContacts = 40;
    TestAccount account;
    localservice::GenerateOptions options;
    options.documents = kDocuments;
    options.collections = 30;
    options.contacts = kContacts;
    startService(account, options);
    const QString documentList = QStringLiteral("/feeds/default/private/expandAcl");
    localservice::Fault pass;
    pass.kind = localservice::Fault::Delay;
    pass.delayMs = 1;
    pass.count = kPagesBeforeTheKill;
    pass.pathPattern = QStringLiteral("^") + documentList + QStringLiteral("$");
    account.service.addFault(pass);
    localservice::Fault hang;
    hang.kind = localservice::Fault::Hang;
    hang.count = 100;
    hang.pathPattern = pass.pathPattern;
    account.service.addFault(hang);

    const QStringList arguments{QStringLiteral("--service"), account.service.baseUrl(),
                                QStringLiteral("--sign-in-without-browser")};
    const auto log = [] {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const auto pagesServed = [&] {
        int served = 0;
        for (const localservice::JournalEntry& entry : account.service.journal())
            served += entry.path == documentList && entry.status == 200;
        return served;
    };
    {
        ChildProcess first;
        first.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.process.start(program, arguments);
        ASSERT_TRUE(first.process.waitForStarted(30000));
        ASSERT_TRUE(waitUntil(
            [&] {
                return first.process.state() == QProcess::NotRunning ||
                       (pagesServed() == kPagesBeforeTheKill && account.service.hangingRequests() > 0);
            },
            120000))
            << log().toStdString();
        ASSERT_EQ(first.process.state(), QProcess::Running) << log().toStdString();
        first.process.kill();
        ASSERT_TRUE(first.process.waitForFinished(30000));
        EXPECT_EQ(first.process.exitStatus(), QProcess::CrashExit);
    }
    account.service.clearFaults();

    // Killed midway: part of the account is stored, and no changestamp.
    account.openSession();
    const qint64 killedFiles = account.count(QStringLiteral("File"));
    EXPECT_GT(killedFiles, 0);
    EXPECT_LT(killedFiles, kDocuments);
    EXPECT_FALSE(account.storedChangestamp().isValid());
    account.session.reset();

    // Started again: the full synchronisation is completed, which stores the changestamp at its end.
    {
        ChildProcess again;
        again.process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        again.process.start(program, arguments);
        ASSERT_TRUE(again.process.waitForStarted(30000));
        EXPECT_TRUE(waitUntil([&] { return account.storedChangestamp().isValid(); }, 120000))
            << log().toStdString();
        QProcess quit;
        quit.start(program, arguments + QStringList{QStringLiteral("quit")});
        ASSERT_TRUE(quit.waitForFinished(30000));
        ASSERT_TRUE(again.process.waitForFinished(60000));
        EXPECT_EQ(again.process.exitStatus(), QProcess::NormalExit);
    }

    account.openSession();
    const QStringList stored = account.storedResourceIds();
    EXPECT_EQ(stored.size(), QSet<QString>(stored.cbegin(), stored.cend()).size()) << "each once";
    EXPECT_EQ(stored, sorted(account.service.documentIds())) << "every document";
    EXPECT_EQ(account.count(QStringLiteral("Contact")), kContacts);
    EXPECT_EQ(account.storedChangestamp().toLongLong(), account.service.largestChangestamp());
}

INSTANTIATE_TEST_SUITE_P(KillPoints, KilledSynchronisationTest,
                         ::testing::Values(KillPoint{"WhileTheDocumentListIsFetched", "", 30},
                                           KillPoint{"BetweenTwoSavesOfContacts", "Contact", 320},
                                           KillPoint{"BetweenTwoSavesOfDocuments", "File", 30}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace tavrel::test
