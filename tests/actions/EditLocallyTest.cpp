#include "TransferFixture.h"
#include "actions/DocumentManager.h"
#include "actions/FileMonitor.h"
#include "actions/dmhOpenDocument.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/TQCacheManager.h"
#include "model/TQMOCMaster.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/Timing.h"
#include "support/RecordedNotifications.h"
#include "support/WaitUntil.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavrel::test {

namespace {

const QString kOpen = QStringLiteral("OpenDocument");
const QString kRevisionSessions = QStringLiteral("/feeds/upload/create-session/default/private/expandAcl/");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writable(const QString& path)
{
    return QFile::permissions(path) & QFileDevice::WriteOwner;
}

// A save as an editor makes it: the whole file written anew, a moment later than the last one.
void save(const QString& path, const QByteArray& content, qint64 secondsLater = 1)
{
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
    file.close();
    const QDateTime when = QFileInfo(path).lastModified().addSecs(secondsLater);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace

// Opening documents with an application of the temporary home's desktop, whose program writes the
// arguments it was started with to a file.
class EditLocallyTest : public TransferTest
{
protected:
    void SetUp() override
    {
        TransferTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        writeApplication(QStringLiteral("tavrel-test-editor"), QStringLiteral("editor-opened.txt"));
        writeApplication(QStringLiteral("tavrel-test-viewer"), QStringLiteral("viewer-opened.txt"));
        QFile list(home().configHome() + QStringLiteral("/mimeapps.list"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write("[Default Applications]\n"
                   "application/msword=tavrel-test-editor.desktop\n"
                   "application/octet-stream=tavrel-test-editor.desktop\n"
                   "text/plain=tavrel-test-editor.desktop\n");
    }

    void TearDown() override
    {
        if (monitor())
            monitor()->stop();
        TransferTest::TearDown();
    }

    void writeApplication(const QString& name, const QString& record)
    {
        const QString script = home().path() + QLatin1Char('/') + name + QStringLiteral(".sh");
        QFile program(script);
        ASSERT_TRUE(program.open(QIODevice::WriteOnly));
        program.write("#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" +
                      (home().path() + QLatin1Char('/') + record).toUtf8() + "'\n");
        program.close();
        program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
        const QString folder = home().dataHome() + QStringLiteral("/applications");
        QDir().mkpath(folder);
        QFile desktop(folder + QLatin1Char('/') + name + QStringLiteral(".desktop"));
        ASSERT_TRUE(desktop.open(QIODevice::WriteOnly));
        desktop.write("[Desktop Entry]\nType=Application\nName=" + name.toUtf8() + "\nExec=\"" +
                      script.toUtf8() + "\" --open %f\nMimeType=application/msword;text/plain;\n");
    }

    // The arguments the application was started with, once it wrote them.
    QStringList openedWith(const QString& record, int lines = 2)
    {
        const QString path = home().path() + QLatin1Char('/') + record;
        waitUntil([&] { return readAll(path).count('\n') >= lines; }, 10000);
        return QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    FileMonitor* monitor() const
    {
        auto* manager = qobject_cast<DocumentManager*>(documents());
        return manager ? manager->fileMonitor() : nullptr;
    }

    // Opens and answers the opened copy's path.
    QString open(const QString& rid, const QVariantMap& more = {})
    {
        QVariantMap parameters{
            {QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record(rid)))}};
        parameters.insert(more);
        ActionRequester requester;
        EXPECT_TRUE(runAction(kOpen, requester, parameters, 20000));
        EXPECT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
        return requester.result().toUrl().toLocalFile();
    }

    // The requests that open a revision's upload (its chunks go to the session's own address).
    QList<localservice::JournalEntry> revisionSessions() const
    {
        QList<localservice::JournalEntry> sessions = requests(QStringLiteral("PUT"), kRevisionSessions);
        sessions.removeIf([](const localservice::JournalEntry& e) {
            return e.query.contains(QStringLiteral("upload_id"));
        });
        return sessions;
    }

    // Waits until the monitor has nothing pending and the requests have settled.
    void settle()
    {
        ASSERT_TRUE(waitUntil([&] { return !monitor()->hasPendingWork(); }, 20000));
    }
};

TEST_F(EditLocallyTest, AnEditorGetsAWritableWatchedCopyOpenedWithTheDefaultApplication)
{
    const QString rid = addStoredDocument(QStringLiteral("Letter"), QStringLiteral("document"), "Dear all");
    const QString copy = open(rid);

    ASSERT_FALSE(copy.isEmpty());
    EXPECT_EQ(QFileInfo(copy).fileName(), QStringLiteral("Letter.doc"));
    EXPECT_EQ(readAll(copy), "Dear all");
    EXPECT_TRUE(writable(copy));
    // A private folder of its own, not the cache.
    EXPECT_FALSE(
        copy.startsWith(TQCacheManager::URLCacheBaseForSession(m_account.session.get()).toLocalFile()));
    EXPECT_EQ(monitor()->URLMonitoredFileForFileEntity(*storedFile(rid)), QUrl::fromLocalFile(copy));
    EXPECT_EQ(openedWith(QStringLiteral("editor-opened.txt")), (QStringList{QStringLiteral("--open"), copy}));
}

struct AccessRow
{
    const char* name;
    const char* myRole;      // the user's role on someone else's document
    const char* otherEditor; // another person who may edit
    bool writable;
};

class OpenAccessTest : public EditLocallyTest, public ::testing::WithParamInterface<AccessRow>
{
};

TEST_P(OpenAccessTest, TheCopyIsWritableOnlyForThoseWhoMayEdit)
{
    const AccessRow& row = GetParam();
    const QString rid = m_account.service.addDocument(QStringLiteral("Shared"), QStringLiteral("document"),
                                                      QStringLiteral("bob@example.org"));
    m_account.service.shareDocument(rid, m_account.address(), QLatin1String(row.myRole));
    if (row.otherEditor)
        m_account.service.shareDocument(rid, QLatin1String(row.otherEditor), QStringLiteral("writer"));
    m_account.service.setDocumentContent(rid, "shared text");
    storeServiceDocument(rid);

    const QString copy = open(rid);
    ASSERT_FALSE(copy.isEmpty());
    EXPECT_EQ(writable(copy), row.writable);
}

INSTANTIATE_TEST_SUITE_P(
    Open, OpenAccessTest,
    ::testing::Values(AccessRow{"Reader", "reader", nullptr, false},
                      AccessRow{"Writer", "writer", nullptr, true},
                      // Someone whose address merely contains the user's is not the user.
                      AccessRow{"ReaderBesideALongerAddress", "reader", "xdemo@tavrel.test", false},
                      AccessRow{"EditorInOtherLetterCase", "reader", "DEMO@Tavrel.Test", true}),
    [](const ::testing::TestParamInfo<AccessRow>& info) { return std::string(info.param.name); });

TEST_F(EditLocallyTest, AChosenApplicationOpensTheCopyAndTheWatchedCopyIsReusedUntilANewVersion)
{
    const QString rid = addStoredDocument(QStringLiteral("Notes"), QStringLiteral("document"), "v1");
    const QUrl viewer =
        QUrl::fromLocalFile(home().dataHome() + QStringLiteral("/applications/tavrel-test-viewer.desktop"));
    const QString first = open(rid, {{QStringLiteral("applicationURL"), viewer}});
    EXPECT_EQ(openedWith(QStringLiteral("viewer-opened.txt")),
              (QStringList{QStringLiteral("--open"), first}));

    EXPECT_EQ(open(rid), first);

    // Changed on the service: a new copy in a new folder, the old one still watched.
    m_account.service.setDocumentContent(rid, "v2");
    refreshStoredDocument(rid);
    const QString second = open(rid);
    EXPECT_NE(QFileInfo(second).path(), QFileInfo(first).path());
    EXPECT_EQ(readAll(second), "v2");
    EXPECT_EQ(monitor()->monitoredFiles().size(), 2);
}

TEST_F(EditLocallyTest, ThreeOpensAtOnceAllComplete)
{
    std::vector<std::unique_ptr<ActionRequester>> requesters;
    for (int i = 0; i < 3; ++i) {
        const QString rid = addStoredDocument(QStringLiteral("Parallel %1").arg(i),
                                              QStringLiteral("document"), patternBytes(200000, i));
        requesters.push_back(std::make_unique<ActionRequester>());
        documents()->executeAction(
            kOpen, requesters.back()->callback(),
            {{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record(rid)))}});
    }
    ASSERT_TRUE(waitUntil(
        [&] {
            return std::all_of(requesters.begin(), requesters.end(),
                               [](const auto& r) { return r->calls() == 1; });
        },
        30000));
    for (const auto& requester : requesters)
        EXPECT_TRUE(requester->error().isNull()) << requester->error().description().toStdString();
}

TEST_F(EditLocallyTest, SavingTwiceWithinTheQuietPeriodSendsOneRevision)
{
    Timing::Override quiet(QString::fromLatin1(FileMonitor::kQuietPeriod.name()), 400);
    RecordedNotifications notifications;
    monitor()->start();
    const QString rid = addStoredDocument(QStringLiteral("Minutes"), QStringLiteral("document"), "draft");
    const QString copy = open(rid);
    const int revisionsBefore = m_account.service.document(rid).revisions;

    save(copy, "second draft", 1);
    save(copy, "final text", 2);
    ASSERT_TRUE(waitUntil([&] { return revisionSessions().size() >= 1; }, 20000));
    settle();

    const auto sessions = revisionSessions();
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_EQ(sessions.first().path, kRevisionSessions + rid);
    EXPECT_EQ(sessions.first().query.value(QStringLiteral("new-revision")), QStringLiteral("true"));
    EXPECT_EQ(sessions.first().query.value(QStringLiteral("convert")), QStringLiteral("true"));
    EXPECT_EQ(sessions.first().headers.value(QStringLiteral("if-match")), QStringLiteral("*"));
    EXPECT_EQ(m_account.service.document(rid).content, "final text");
    EXPECT_EQ(m_account.service.document(rid).revisions, revisionsBefore + 1);
    // The record has the new version, whose cached copy is the saved file.
    const QUrl cached =
        m_account.session->cacheManager()->searchObject(storedFile(rid).get(), kTQCacheTypeFileDocument);
    EXPECT_EQ(readAll(cached.toLocalFile()), "final text");
    if (notifications.active()) {
        const auto shown = notifications.takeAll();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown.first().title, QStringLiteral("Minutes"));
    }
    // Reopened, the saved copy is the current version: it is the one that opens.
    EXPECT_EQ(open(rid), copy);
}

TEST_F(EditLocallyTest, ACopySavedWhileStoppedIsSentOnceAtTheNextStart)
{
    Timing::Override quiet(QString::fromLatin1(FileMonitor::kQuietPeriod.name()), 100);
    monitor()->start();
    const QString rid = addStoredDocument(QStringLiteral("Offline"), QStringLiteral("document"), "before");
    const QString copy = open(rid);
    ASSERT_TRUE(monitor()->stop());

    save(copy, "written while stopped", 5);
    ASSERT_TRUE(monitor()->start());
    ASSERT_TRUE(waitUntil([&] { return revisionSessions().size() == 1; }, 20000));
    settle();
    EXPECT_EQ(m_account.service.document(rid).content, "written while stopped");

    // The date is recorded: another start sends nothing.
    ASSERT_TRUE(monitor()->stop());
    ASSERT_TRUE(monitor()->start());
    settle();
    EXPECT_EQ(revisionSessions().size(), 1);
    // The list survives in the account's folder.
    EXPECT_TRUE(QFileInfo::exists(monitor()->storedMonitoredFilesPath()));
}

TEST_F(EditLocallyTest, AFailedRevisionIsSentAgain)
{
    Timing::Override quiet(QString::fromLatin1(FileMonitor::kQuietPeriod.name()), 100);
    monitor()->start();
    const QString rid = addStoredDocument(QStringLiteral("Fragile"), QStringLiteral("document"), "one");
    const QString copy = open(rid);
    m_account.service.addFault({localservice::Fault::Status, QStringLiteral("PUT"),
                                QStringLiteral("^/feeds/upload/create-session/default/private/expandAcl/"), 1,
                                403});

    save(copy, "two", 1);
    ASSERT_TRUE(waitUntil([&] { return revisionSessions().size() == 1; }, 20000));
    settle();
    EXPECT_EQ(m_account.service.document(rid).content, "one");

    // Nothing saved since, but the edit has not reached the service: the next start sends it.
    ASSERT_TRUE(monitor()->stop());
    ASSERT_TRUE(monitor()->start());
    ASSERT_TRUE(waitUntil([&] { return revisionSessions().size() == 2; }, 20000));
    settle();
    EXPECT_EQ(m_account.service.document(rid).content, "two");
}

TEST_F(EditLocallyTest, AStoredCopyThatIsGoneIsDroppedAtStart)
{
    monitor()->start();
    const QString rid = addStoredDocument(QStringLiteral("Vanishing"), QStringLiteral("document"), "x");
    const QString copy = open(rid);
    ASSERT_EQ(monitor()->monitoredFiles().size(), 1);
    ASSERT_TRUE(monitor()->stop());
    QDir(QFileInfo(copy).path()).removeRecursively();
    ASSERT_TRUE(monitor()->start());
    EXPECT_TRUE(monitor()->monitoredFiles().isEmpty());
}

TEST_F(EditLocallyTest, RevisionsWaitAsLongAsTheTransferTakesAndAMissingTicketAnswersAtOnce)
{
    const QString rid = addStoredDocument(QStringLiteral("Big"), QStringLiteral("pdf"), "%PDF-");
    const QString path = writeFile(QStringLiteral("big.pdf"), "%PDF-1.4 new");
    const QVariantMap parameters{
        {QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record(rid)))},
        {QStringLiteral("filePath"), path}};
    EXPECT_TRUE(
        documents()->operationByActionName(QStringLiteral("UploadRevision"), nullptr, parameters)->isHeavy());

    ActionRequester sent;
    ASSERT_TRUE(runAction(QStringLiteral("UploadRevision"), sent, parameters));
    EXPECT_TRUE(sent.error().isNull()) << sent.error().description().toStdString();
    ASSERT_EQ(revisionSessions().size(), 1);
    EXPECT_EQ(revisionSessions().first().query.value(QStringLiteral("convert")), QStringLiteral("false"));

    // A record whose entry has no address to send to: answered now, never left waiting.
    record(rid)->setXml(QString());
    master()->save();
    ActionRequester refused;
    ASSERT_TRUE(runAction(QStringLiteral("UploadRevision"), refused, parameters));
    EXPECT_EQ(refused.error().domain(), VUvodozuManager::kErrorDomain);
}

} // namespace tavrel::test
