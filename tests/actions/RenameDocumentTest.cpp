#include "ActionsFixture.h"
#include "model/TQLocalizedStrings.h"
#include "model/TQMOCMaster.h"
#include "pipeline/TQOperation.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataConstants.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/runtime/Timing.h"
#include "platform/store/ManagedObjectContext.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace tavrel::test {

namespace {

const QString kRename = QStringLiteral("RenameDocument");
const QString kExpandAclPrefix = QStringLiteral("/feeds/default/private/expandAcl/");

QVariantMap renameParameters(const ManagedObjectPtr& record, const QVariant& newName)
{
    return {{QStringLiteral("newName"), newName},
            {QStringLiteral("documentEntity"), QVariant::fromValue(record)},
            {QStringLiteral("statusID"), QStringLiteral("rename_1")}};
}

} // namespace

using RenameDocumentTest = ActionsTest;

TEST_F(RenameDocumentTest, RenamesWithForcedUpdateAndCallsBackWithTheUpdatedMasterRecord)
{
    const QString rid = storedDocumentIds().first();
    const auto stored = record(rid);
    ASSERT_TRUE(stored);
    // Someone else changed the document since it was stored: the forced update still wins.
    ASSERT_TRUE(m_account.service.renameDocument(rid, QStringLiteral("Renamed elsewhere")));
    m_account.service.clearJournal();

    ActionRequester requester;
    QString titleAtCallback;
    requester.onCallback = [&](const QVariant&) { titleAtCallback = record(rid)->title(); };
    ASSERT_TRUE(runAction(kRename, requester, renameParameters(stored, QStringLiteral("Quarterly plan"))));

    EXPECT_TRUE(requester.error().isNull()) << requester.error().localizedDescription().toStdString();
    EXPECT_EQ(requester.thread(), ThreadDispatch::mainThread());
    EXPECT_EQ(titleAtCallback, QStringLiteral("Quarterly plan"));
    const auto answered = requester.result().value<ManagedObjectPtr>();
    EXPECT_EQ(answered, std::static_pointer_cast<ManagedObject>(stored));
    EXPECT_EQ(stored->title(), QStringLiteral("Quarterly plan"));
    EXPECT_EQ(m_account.service.documentTitle(rid), QStringLiteral("Quarterly plan"));

    const auto puts = requests(QStringLiteral("PUT"), QStringLiteral("/feeds/"));
    ASSERT_EQ(puts.size(), 1);
    EXPECT_EQ(puts.first().path, kExpandAclPrefix + rid);
    EXPECT_EQ(puts.first().headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
    EXPECT_EQ(puts.first().status, 200);
}

TEST_F(RenameDocumentTest, CallsBackOnARequestingWorkerThreadWithThatThreadsRecord)
{
    const QString rid = storedDocumentIds().at(1);
    struct Seen
    {
        bool called = false;
        bool sameRecord = false;
        bool ownContext = false;
        QString title;
        QString error;
    } seen;
    QThread* requestingThread = nullptr;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        requestingThread = QThread::currentThread();
        ThreadDispatch::contextForCurrentThread();
        ManagedObjectContext* context =
            m_account.session->mocManager()->managedObjectContextForCurrentThread();
        const auto mine = FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(rid), context);
        if (!mine)
            return;
        const QString before = mine->title(); // loaded here: the callback must not hand back stale values
        Q_UNUSED(before);
        ActionRequester requester;
        requester.onCallback = [&](const QVariant& result) {
            const auto record =
                std::dynamic_pointer_cast<FileEntryAbstract>(result.value<ManagedObjectPtr>());
            seen.sameRecord = record == mine;
            seen.ownContext = record && record->managedObjectContext() == context;
            seen.title = record ? record->title() : QString();
        };
        m_account.session->documentManager()->executeAction(
            kRename, requester.callback(), renameParameters(mine, QStringLiteral("From a worker")));
        QEventLoop loop;
        const QDeadlineTimer deadline(10000);
        while (requester.calls() == 0 && !deadline.hasExpired())
            loop.processEvents(QEventLoop::AllEvents, 10);
        seen.called = requester.calls() == 1;
        seen.error = requester.error().isNull() ? QString() : requester.error().localizedDescription();
        ThreadDispatch::releaseContextForCurrentThread();
    }));
    worker->start();
    ASSERT_TRUE(waitUntil([&] { return worker->isFinished(); }, 15000));

    EXPECT_TRUE(seen.called);
    EXPECT_TRUE(seen.error.isEmpty()) << seen.error.toStdString();
    EXPECT_TRUE(seen.sameRecord);
    EXPECT_TRUE(seen.ownContext);
    EXPECT_EQ(seen.title, QStringLiteral("From a worker"));
    EXPECT_EQ(record(rid)->title(), QStringLiteral("From a worker"));
    EXPECT_NE(requestingThread, ThreadDispatch::mainThread());
}

struct RenameFailure
{
    const char* name;
    std::function<void(localservice::LocalService&)> fault;
    bool numberAsName;
    qint64 code;
    bool reachesService;
};

class RenameFailureTest : public ActionsTest, public ::testing::WithParamInterface<RenameFailure>
{
};

TEST_P(RenameFailureTest, AnswersTheMappedErrorAndKeepsTheOldTitle)
{
    const RenameFailure& row = GetParam();
    const QString rid = storedDocumentIds().at(2);
    const auto stored = record(rid);
    const QString oldTitle = stored->title();
    if (row.fault)
        row.fault(m_account.service);

    ActionRequester requester;
    ASSERT_TRUE(runAction(
        kRename, requester,
        renameParameters(stored, row.numberAsName ? QVariant(42) : QVariant(QStringLiteral("New")))));

    EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain);
    EXPECT_EQ(requester.error().code(), row.code);
    if (row.code == VUvodozuManager::kUnexpectedErrorCode) {
        EXPECT_EQ(requester.error().localizedDescription(),
                  TQLocalizedStrings::localizedStringForKey(QStringLiteral("UnexpectedError")));
    }
    EXPECT_FALSE(requester.result().isValid());
    EXPECT_EQ(requester.thread(), ThreadDispatch::mainThread());
    EXPECT_EQ(record(rid)->title(), oldTitle);
    EXPECT_EQ(requests(QStringLiteral("PUT"), QStringLiteral("/feeds/")).isEmpty(), !row.reachesService);
    if (row.code == VUvodozuManager::kNotAuthorizedErrorCode) {
        // The 401 was answered by one token refresh and one replay before it was given up.
        EXPECT_EQ(m_account.authentication->tokenRequestCount(), 1);
        EXPECT_EQ(requests(QStringLiteral("PUT"), QStringLiteral("/feeds/")).size(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rename, RenameFailureTest,
    ::testing::Values(
        RenameFailure{"NumberAsNewName", nullptr, true, VUvodozuManager::kMissingParameterErrorCode, false},
        // More 401s than one token refresh and replay can get past.
        RenameFailure{"UnauthorisedAfterRefresh",
                      [](localservice::LocalService& s) {
                          s.addFault({localservice::Fault::Status, QStringLiteral("PUT"),
                                      QStringLiteral("^/feeds/default/private/expandAcl/"), 5, 401});
                      },
                      false, VUvodozuManager::kNotAuthorizedErrorCode, true},
        RenameFailure{"NotFound",
                      [](localservice::LocalService& s) {
                          s.addFault({localservice::Fault::Status, QStringLiteral("PUT"),
                                      QStringLiteral("^/feeds/default/private/expandAcl/"), 1, 404});
                      },
                      false, VUvodozuManager::kUnexpectedErrorCode, true},
        RenameFailure{"ServerErrorAfterRetries",
                      [](localservice::LocalService& s) {
                          s.addFault({localservice::Fault::Status, QStringLiteral("PUT"),
                                      QStringLiteral("^/feeds/default/private/expandAcl/"), 20, 500});
                      },
                      false, VUvodozuManager::kUnexpectedErrorCode, true}),
    [](const ::testing::TestParamInfo<RenameFailure>& info) { return std::string(info.param.name); });

TEST_F(RenameDocumentTest, MissingDocumentIsAParameterError)
{
    ActionRequester requester;
    ASSERT_TRUE(runAction(kRename, requester, {{QStringLiteral("newName"), QStringLiteral("x")}}));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kMissingParameterErrorCode);
    EXPECT_TRUE(m_account.service.journal().isEmpty());
}

TEST_F(RenameDocumentTest, ARecordWithoutEntryTextCannotStartTheUpdate)
{
    const QString rid = storedDocumentIds().first();
    const auto stored = record(rid);
    stored->setXml(QString());
    master()->save();

    ActionRequester requester;
    ASSERT_TRUE(runAction(kRename, requester, renameParameters(stored, QStringLiteral("Nope"))));
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kUnexpectedErrorCode);
    EXPECT_EQ(requester.error().localizedDescription(),
              TQLocalizedStrings::localizedStringForKey(QStringLiteral("UnexpectedError")));
    EXPECT_TRUE(m_account.service.journal().isEmpty());
}

TEST_F(RenameDocumentTest, RenamedDocumentMissingFromTheStoreAnswersAnError)
{
    const QString rid = storedDocumentIds().first();
    const auto stored = record(rid);
    // The record no longer carries the identifier the service's answer names.
    stored->setIdentifier(QStringLiteral("elsewhere"));
    master()->save();

    ActionRequester requester;
    ASSERT_TRUE(runAction(kRename, requester, renameParameters(stored, QStringLiteral("Orphan"))));
    EXPECT_EQ(m_account.service.documentTitle(rid), QStringLiteral("Orphan"));
    EXPECT_EQ(requester.error().domain(), VUvodozuManager::kErrorDomain);
    EXPECT_EQ(requester.error().code(), VUvodozuManager::kUnexpectedErrorCode);
    EXPECT_FALSE(requester.result().isValid());
}

TEST_F(RenameDocumentTest, ANetworkFailureReachesTheRequesterUnchanged)
{
    const QString rid = storedDocumentIds().first();
    const QString oldTitle = record(rid)->title();
    // Nobody listens any more: every attempt is refused, retries included.
    m_account.service.stop();

    ActionRequester requester;
    ASSERT_TRUE(runAction(kRename, requester, renameParameters(record(rid), QStringLiteral("Lost"))));
    EXPECT_EQ(requester.error().domain(), kGTMHTTPFetcherErrorDomain) << requester.error().code();
    EXPECT_FALSE(requester.result().isValid());
    EXPECT_EQ(record(rid)->title(), oldTitle);
}

TEST_F(RenameDocumentTest, UnansweredRequestTimesOutWithPosixError60)
{
    Timing::Override shortTimeout(QString::fromLatin1(TQOperation::kOperationTimeout.name()), 300);
    m_account.service.addFault({localservice::Fault::Hang, QStringLiteral("PUT"),
                                QStringLiteral("^/feeds/default/private/expandAcl/"), 1});
    const QString rid = storedDocumentIds().first();
    const QString oldTitle = record(rid)->title();

    ActionRequester requester;
    ASSERT_TRUE(runAction(kRename, requester, renameParameters(record(rid), QStringLiteral("Never"))));
    EXPECT_EQ(m_account.service.hangingRequests(), 1);
    EXPECT_EQ(requester.error().domain(), Error::kPOSIXErrorDomain);
    EXPECT_EQ(requester.error().code(), 60);
    EXPECT_FALSE(requester.result().isValid());
    EXPECT_EQ(record(rid)->title(), oldTitle);
}

} // namespace tavrel::test
