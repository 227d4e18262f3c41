#include "TransferFixture.h"
#include "actions/TQdmhUploadFileOperation.h"
#include "actions/gddmhUploadFile.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/TQCacheManager.h"
#include "model/TQMOCMaster.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ThreadDispatch.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace tavrel::test {

namespace {

const QString kUploadFiles = QStringLiteral("UploadFiles");
const QString kCreateSession = QStringLiteral("/feeds/upload/create-session/");

QByteArray md5(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

QVariantList urls(const QStringList& paths)
{
    QVariantList list;
    for (const QString& path : paths)
        list.append(QUrl::fromLocalFile(path));
    return list;
}

std::shared_ptr<FileEntryAbstract> recordOf(const QVariant& value)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(value.value<ManagedObjectPtr>());
}

} // namespace

struct ExtensionRow
{
    const char* name;
    const char* MIMEType;
    const char* kind;
};

TEST(UploadFileTypes, ExtensionsChooseTypeAndKindCaseBlindCsvIsText)
{
    const ExtensionRow rows[] = {
        {"Report.DOCX", "application/vnd.openxmlformats-officedocument.wordprocessingml.document",
         "document"},
        {"data.csv", "text/csv", "document"},
        {"table.tab", "text/tab-separated-values", "document"},
        {"Sheet.xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet", "spreadsheet"},
        {"slides.pps", "application/vnd.ms-powerpoint", "presentation"},
        {"scan.PDF", "application/pdf", "pdf"},
        {"photo.jpeg", "image/jpeg", "document"},
        {"archive.zip", "application/zip", "file"},
        {"blob.qqq", "application/octet-stream", "file"},
    };
    for (const ExtensionRow& row : rows) {
        QString type;
        const auto entry =
            gddmhUploadFile::newEntryForFileAtPath(QStringLiteral("/x/") + QLatin1String(row.name), &type);
        EXPECT_EQ(type, QLatin1String(row.MIMEType)) << row.name;
        ASSERT_TRUE(entry) << row.name;
        EXPECT_EQ(entry->kind(), QLatin1String(row.kind)) << row.name;
    }
}

TEST(UploadFileTypes, SharingArgumentsChooseTheStep)
{
    const QVariant people = QVariantList{};
    EXPECT_EQ(TQdmhUploadFileOperation::stepForArguments({}), QStringLiteral("UploadFileHandler"));
    EXPECT_EQ(TQdmhUploadFileOperation::stepForArguments({{QStringLiteral("ACLEntries"), people}}),
              QStringLiteral("UploadAndShare"));
    EXPECT_EQ(TQdmhUploadFileOperation::stepForArguments(
                  {{QStringLiteral("ACLEntries"), QStringLiteral("not a list")}}),
              QStringLiteral("UploadFileHandler"));
}

using UploadTest = TransferTest;

TEST_F(UploadTest, SendsAFileInChunksRecordsItAndKeepsItAsTheCachedCopy)
{
    const QByteArray content = patternBytes(2 * 1024 * 1024 + 12345);
    const QString path = writeFile(QStringLiteral("Quarterly Report.docx"), content);
    ProgressRecorder progress;
    ActionRequester requester;
    ASSERT_TRUE(runAction(kUploadFiles, requester,
                          {{QStringLiteral("fileURLs"), urls({path})},
                           {QStringLiteral("progressID"), QStringLiteral("upload_7")},
                           {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(&progress)}},
                          30000));

    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    const QVariantList results = requester.result().toList();
    ASSERT_EQ(results.size(), 1);
    const auto uploaded = recordOf(results.first());
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(uploaded->managedObjectContext(), record(uploaded->resourceId())->managedObjectContext());
    EXPECT_EQ(uploaded->title(), QStringLiteral("Quarterly Report.docx"));

    const auto stored = m_account.service.document(uploaded->resourceId());
    EXPECT_EQ(md5(stored.content), md5(content));
    EXPECT_EQ(stored.mime,
              QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document"));

    const auto sessions = requests(QStringLiteral("POST"), kCreateSession);
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_EQ(sessions.first().path,
              QStringLiteral("/feeds/upload/create-session/default/private/expandAcl"));
    EXPECT_EQ(sessions.first().query.value(QStringLiteral("convert")), QStringLiteral("false"));
    EXPECT_EQ(sessions.first().headers.value(QStringLiteral("slug")),
              QStringLiteral("Quarterly Report.docx"));
    // In chunks (of 1 MiB here): the client never holds the whole file.
    const auto chunks = requests(QStringLiteral("PUT"), kCreateSession);
    ASSERT_EQ(chunks.size(), 3);
    for (const auto& chunk : chunks)
        EXPECT_LE(chunk.body.size(), 1024 * 1024);

    // The uploaded bytes are the record's cached copy: nothing to download again.
    const QUrl cached = m_account.session->cacheManager()->searchObject(
        storedFile(uploaded->resourceId()).get(), kTQCacheTypeFileDocument);
    ASSERT_FALSE(cached.isEmpty());
    QFile copy(cached.toLocalFile());
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(md5(copy.readAll()), md5(content));
    EXPECT_EQ(QUrl(storedFile(uploaded->resourceId())->fileCachedFile()->storedValue()), cached);

    // One progress under the request's identifier, never going back, ending at the file's size.
    const auto steps = progress.steps();
    ASSERT_FALSE(steps.isEmpty());
    quint64 last = 0;
    for (const auto& step : steps) {
        EXPECT_EQ(step.progressID, QStringLiteral("upload_7"));
        EXPECT_GE(step.part, last);
        last = step.part;
    }
    EXPECT_EQ(steps.last().part, quint64(content.size()));
    EXPECT_EQ(steps.last().total, quint64(content.size()));
    EXPECT_TRUE(progress.started().contains(kUploadFiles));
    EXPECT_TRUE(progress.finished().contains(kUploadFiles));
}

TEST_F(UploadTest, AnEmptyFileIsCreatedByTheSessionRequestAlone)
{
    const QString path = writeFile(QStringLiteral("Empty notes.txt"), {});
    ActionRequester requester;
    ASSERT_TRUE(runAction(kUploadFiles, requester, {{QStringLiteral("fileURLs"), urls({path})}}, 30000));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    const QVariantList results = requester.result().toList();
    ASSERT_EQ(results.size(), 1);
    const auto uploaded = recordOf(results.first());
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(uploaded->title(), QStringLiteral("Empty notes.txt"));
    EXPECT_TRUE(record(uploaded->resourceId())) << "the document is stored";
    EXPECT_TRUE(m_account.service.document(uploaded->resourceId()).content.isEmpty());
    // The service made the document at once: no session, no chunk.
    const auto sessions = requests(QStringLiteral("POST"), kCreateSession);
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_EQ(sessions.first().headers.value(QStringLiteral("x-upload-content-length")), QStringLiteral("0"));
    EXPECT_EQ(sessions.first().status, 201);
    EXPECT_TRUE(requests(QStringLiteral("PUT"), kCreateSession).isEmpty());
}

TEST_F(UploadTest, ACutChunkResumesFromTheServicesRangeAndTheStoredBytesMatch)
{
    const QByteArray content = patternBytes(1536 * 1024 + 7, 3);
    const QString path = writeFile(QStringLiteral("cut.bin"), content);
    // The first chunk's connection closes after 300,000 bytes; what came is kept.
    m_account.service.addFault({localservice::Fault::DropAfterBytes, QStringLiteral("PUT"),
                                QStringLiteral("^/feeds/upload/create-session/"), 1, 0, 0, 300000});
    ActionRequester requester;
    ASSERT_TRUE(runAction(kUploadFiles, requester, {{QStringLiteral("fileURLs"), urls({path})}}, 30000));

    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    const auto uploaded = recordOf(requester.result().toList().value(0));
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(md5(m_account.service.document(uploaded->resourceId()).content), md5(content));

    // The cut chunk's bytes were kept: the upload goes on where the service says it stands (asked with
    // "bytes */N", or told by the cut answer's own Range), never from the start again.
    const auto puts = requests(QStringLiteral("PUT"), kCreateSession);
    ASSERT_GE(puts.size(), 2);
    EXPECT_EQ(puts.at(0).status, 0); // dropped
    QStringList ranges;
    for (const auto& put : puts.mid(1))
        ranges.append(put.headers.value(QStringLiteral("content-range")));
    for (const QString& range : ranges)
        EXPECT_FALSE(range.startsWith(QStringLiteral("bytes 0-"))) << range.toStdString();
    const QString resumed = ranges.filter(QRegularExpression(QStringLiteral("^bytes \\d"))).value(0);
    EXPECT_TRUE(resumed.startsWith(QStringLiteral("bytes 300000-")))
        << ranges.join(QLatin1Char(' ')).toStdString();
}

TEST_F(UploadTest, AFolderTreeArrivesAsNestedCollectionsWithoutHiddenEntries)
{
    writeFile(QStringLiteral("Tree/a.txt"), "alpha");
    writeFile(QStringLiteral("Tree/.secret.txt"), "hidden");
    writeFile(QStringLiteral("Tree/.cache/inside.txt"), "hidden too");
    writeFile(QStringLiteral("Tree/Sub/b.png"), patternBytes(70000, 5));
    writeFile(QStringLiteral("Tree/Sub/Deeper/c.pdf"), patternBytes(1200000, 6));
    writeFile(QStringLiteral("Tree/Sub/Deeper/.DS_Store"), "x");
    const QString single = writeFile(QStringLiteral("single.txt"), "one");
    const auto root = std::dynamic_pointer_cast<Category>(record(m_account.service.documentIds().first()));

    ProgressRecorder progress;
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(kUploadFiles, requester,
                  {{QStringLiteral("fileURLs"), urls({localFolder() + QStringLiteral("/Tree"), single})},
                   {QStringLiteral("progressID"), QStringLiteral("upload_tree")},
                   {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(&progress)}},
                  30000));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    Q_UNUSED(root);

    const QVariantList results = requester.result().toList();
    ASSERT_EQ(results.size(), 2);
    EXPECT_TRUE(std::dynamic_pointer_cast<Category>(results.at(0).value<ManagedObjectPtr>()));
    EXPECT_EQ(recordOf(results.at(1))->title(), QStringLiteral("single.txt"));

    const auto tree = serviceDocumentTitled(QStringLiteral("Tree"));
    const auto sub = serviceDocumentTitled(QStringLiteral("Sub"));
    const auto deeper = serviceDocumentTitled(QStringLiteral("Deeper"));
    EXPECT_EQ(tree.kind, QStringLiteral("folder"));
    EXPECT_TRUE(tree.parents.isEmpty());
    EXPECT_EQ(sub.parents, QStringList{tree.resourceId});
    EXPECT_EQ(deeper.parents, QStringList{sub.resourceId});
    EXPECT_EQ(serviceDocumentTitled(QStringLiteral("a.txt")).parents, QStringList{tree.resourceId});
    EXPECT_EQ(serviceDocumentTitled(QStringLiteral("b.png")).parents, QStringList{sub.resourceId});
    const auto pdf = serviceDocumentTitled(QStringLiteral("c.pdf"));
    EXPECT_EQ(pdf.parents, QStringList{deeper.resourceId});
    EXPECT_EQ(md5(pdf.content), md5(patternBytes(1200000, 6)));
    for (const char* hidden : {".secret.txt", "inside.txt", ".cache", ".DS_Store"})
        EXPECT_TRUE(serviceDocumentsTitled(QLatin1String(hidden)).isEmpty()) << hidden;

    // The collections are in the store too, nested as on the service.
    const auto storedSub = std::dynamic_pointer_cast<Category>(record(sub.resourceId));
    ASSERT_TRUE(storedSub);
    ASSERT_TRUE(storedSub->parent());
    EXPECT_EQ(storedSub->parent()->resourceId(), tree.resourceId);

    // One progress for the whole request: never back, and it ends at the bytes sent.
    const quint64 sent = 5 + 70000 + 1200000 + 3;
    const auto steps = progress.steps();
    ASSERT_FALSE(steps.isEmpty());
    quint64 last = 0;
    for (const auto& step : steps) {
        EXPECT_EQ(step.progressID, QStringLiteral("upload_tree"));
        EXPECT_GE(step.part, last);
        EXPECT_LE(step.part, step.total);
        last = step.part;
    }
    EXPECT_EQ(steps.last().part, sent);
    EXPECT_EQ(steps.last().total, sent);
}

TEST_F(UploadTest, IntoACollectionThroughItsResumableCreateAddress)
{
    std::shared_ptr<Category> collection;
    for (const QString& rid : m_account.service.documentIds())
        if (rid.startsWith(QLatin1String("folder:")))
            collection = std::dynamic_pointer_cast<Category>(record(rid));
    ASSERT_TRUE(collection);
    const QString path = writeFile(QStringLiteral("inside.rtf"), "{\\rtf1 x}");
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(kUploadFiles, requester,
                  {{QStringLiteral("fileURLs"), urls({path})},
                   {QStringLiteral("collectionEntity"), QVariant::fromValue(ManagedObjectPtr(collection))},
                   {QStringLiteral("shouldConvert"), true}}));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    const auto uploaded = recordOf(requester.result().toList().value(0));
    ASSERT_TRUE(uploaded);
    EXPECT_EQ(m_account.service.document(uploaded->resourceId()).parents,
              QStringList{collection->resourceId()});
    const auto sessions = requests(QStringLiteral("POST"), kCreateSession);
    ASSERT_EQ(sessions.size(), 1);
    EXPECT_TRUE(sessions.first().path.endsWith(QStringLiteral("/contents")));
    EXPECT_EQ(sessions.first().query.value(QStringLiteral("convert")), QStringLiteral("true"));
}

class UploadFailureTest;

struct UploadFailure
{
    const char* name;
    // Prepares the case and answers the action's parameters.
    std::function<QVariantMap(UploadFailureTest&)> prepare;
    QString domain;
    qint64 code;
    int uploaded;                 // records answered beside the error
    const char* action = nullptr; // "UploadFiles" unless named
};

class UploadFailureTest : public UploadTest, public ::testing::WithParamInterface<UploadFailure>
{
public:
    using UploadTest::localFolder;
    using UploadTest::record;
    using UploadTest::writeFile;
    localservice::LocalService& service() { return m_account.service; }
    void saveStore() { master()->save(); }
};

TEST_P(UploadFailureTest, AnswersAnErrorAndUploadsNothingWrong)
{
    const UploadFailure& row = GetParam();
    const QVariantMap parameters = row.prepare(*this);
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(row.action ? QString::fromLatin1(row.action) : kUploadFiles, requester, parameters, 30000));
    EXPECT_EQ(requester.error().domain(), row.domain) << requester.error().description().toStdString();
    EXPECT_EQ(requester.error().code(), row.code);
    if (!row.action) {
        EXPECT_EQ(requester.result().toList().size(), row.uploaded);
    }
    EXPECT_EQ(requester.thread(), ThreadDispatch::mainThread());
}

INSTANTIATE_TEST_SUITE_P(
    Upload, UploadFailureTest,
    ::testing::Values(
        UploadFailure{"MissingFileIsReportedTheOthersArrive",
                      [](UploadFailureTest& t) {
                          const QString there = t.writeFile(QStringLiteral("there.txt"), "here");
                          return QVariantMap{{QStringLiteral("fileURLs"),
                                              urls({t.localFolder() + QStringLiteral("/gone.txt"), there})}};
                      },
                      Error::kPOSIXErrorDomain, 2, 1},
        // Something that cannot be read as a file (the tests may run with every permission).
        UploadFailure{"UnreadableFile",
                      [](UploadFailureTest& t) {
                          t.writeFile(QStringLiteral("folder/inside.txt"), "x");
                          return QVariantMap{
                              {QStringLiteral("fileURL"),
                               QUrl::fromLocalFile(t.localFolder() + QStringLiteral("/folder"))}};
                      },
                      VUvodozuManager::kErrorDomain, VUvodozuManager::kUnexpectedErrorCode, 0, "UploadFile"},
        UploadFailure{"MissingFolder",
                      [](UploadFailureTest& t) {
                          return QVariantMap{
                              {QStringLiteral("folderURL"),
                               QUrl::fromLocalFile(t.localFolder() + QStringLiteral("/nowhere"))}};
                      },
                      Error::kPOSIXErrorDomain, 2, 0, "UploadFolderAndContent"},
        UploadFailure{"ServiceRefusesTheSession",
                      [](UploadFailureTest& t) {
                          t.service().addFault({localservice::Fault::Status, QStringLiteral("POST"),
                                                QStringLiteral("^/feeds/upload/create-session/"), 1, 403});
                          return QVariantMap{{QStringLiteral("fileURLs"),
                                              urls({t.writeFile(QStringLiteral("no.txt"), "no")})}};
                      },
                      VUvodozuManager::kErrorDomain, VUvodozuManager::kUnexpectedErrorCode, 0},
        UploadFailure{"CollectionWithoutUploadAddress",
                      [](UploadFailureTest& t) {
                          std::shared_ptr<FileEntryAbstract> folder;
                          for (const QString& rid : t.service().documentIds())
                              if (rid.startsWith(QLatin1String("folder:")))
                                  folder = t.record(rid);
                          folder->setXml(QString());
                          t.saveStore();
                          return QVariantMap{
                              {QStringLiteral("fileURLs"), urls({t.writeFile(QStringLiteral("x.txt"), "x")})},
                              {QStringLiteral("collectionEntity"),
                               QVariant::fromValue(ManagedObjectPtr(folder))}};
                      },
                      gddmhUploadFile::kUploadFileErrorDomain, 1, 0}),
    [](const ::testing::TestParamInfo<UploadFailure>& info) { return std::string(info.param.name); });

} // namespace tavrel::test
