#include "TransferFixture.h"
#include "actions/TQdmhCreateFolderAndGetContentOperation.h"
#include "actions/gddmhGetFile.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/TQCacheManager.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/runtime/Timing.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLogger.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace tavrel::test {

namespace {

const QString kGetFile = QStringLiteral("GetFile");
const QString kDownloadPrefix = QStringLiteral("/feeds/download/");

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariantMap getFileParameters(const std::shared_ptr<FileEntryAbstract>& record)
{
    return {{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record))}};
}

// Every file below a folder, as paths relative to it.
QStringList filesBelow(const QString& folder)
{
    QStringList found;
    QDirIterator walk(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (walk.hasNext())
        found.append(QDir(folder).relativeFilePath(walk.next()));
    found.sort();
    return found;
}

} // namespace

using DownloadTest = TransferTest;

struct KindRow
{
    const char* kind;
    const char* exportPath;   // the download address's path
    const char* exportFormat; // empty: the file as stored
    const char* extension;    // of the written file: the one the answer names
};

TEST_F(DownloadTest, EachKindArrivesInTheCacheInItsFormatUnderItsTitle)
{
    const KindRow rows[] = {
        {"document", "/feeds/download/documents/export/Export", "doc", "doc"},
        {"spreadsheet", "/feeds/download/spreadsheets/Export", "xls", "xls"},
        // Asked as "ppt", a presentation comes in the newer format, and is named so.
        {"presentation", "/feeds/download/presentations/Export", "ppt", "pptx"},
        {"drawing", "/feeds/download/drawings/Export", "pdf", "pdf"},
        {"pdf", "/feeds/download/files/", "", ""},
        {"file", "/feeds/download/files/", "", ""},
    };
    for (const KindRow& row : rows) {
        SCOPED_TRACE(row.kind);
        const QByteArray content = "content of " + QByteArray(row.kind);
        const QString rid = addStoredDocument(QStringLiteral("Plan %1").arg(QLatin1String(row.kind)),
                                              QLatin1String(row.kind), content);
        ActionRequester requester;
        ASSERT_TRUE(runAction(kGetFile, requester, getFileParameters(record(rid))));
        ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
        EXPECT_EQ(requester.thread(), ThreadDispatch::mainThread());

        const QVariantMap result = requester.result().toMap();
        const QString path = result.value(QStringLiteral("fileURL")).toUrl().toLocalFile();
        const QString format = QLatin1String(row.exportFormat);
        const QString extension = QLatin1String(row.extension);
        EXPECT_EQ(QFileInfo(path).fileName(),
                  QStringLiteral("Plan %1").arg(QLatin1String(row.kind)) +
                      (extension.isEmpty() ? QString() : QLatin1Char('.') + extension));
        EXPECT_TRUE(
            path.startsWith(TQCacheManager::URLCacheBaseForSession(m_account.session.get()).toLocalFile()));
        EXPECT_EQ(readAll(path), content);
        EXPECT_EQ(result.value(QStringLiteral("documentEntity")).value<ManagedObjectPtr>(),
                  ManagedObjectPtr(record(rid)));
        EXPECT_EQ(QUrl(storedFile(rid)->fileCachedFile()->storedValue()).toLocalFile(), path);

        const auto gets = requests(QStringLiteral("GET"), kDownloadPrefix);
        ASSERT_EQ(gets.size(), 1);
        EXPECT_TRUE(gets.first().path.startsWith(QLatin1String(row.exportPath)))
            << gets.first().path.toStdString();
        EXPECT_EQ(gets.first().query.value(QStringLiteral("exportFormat")), format);
        EXPECT_EQ(gets.first().query.value(QStringLiteral("format")), format);
        m_account.service.clearJournal();
    }
}

TEST(DownloadNames, TheAnswerNamesTheExtension)
{
    struct Row
    {
        const char* disposition;
        const char* type;
        const char* extension;
    };
    const Row rows[] = {
        // As recorded: the extended name first, a percent-encoded plain one, a bare one.
        {"attachment; filename=\"TemporaryPresentation.pptx\"; "
         "filename*=UTF-8''Temporary%20Presentation.pptx",
         "application/vnd.openxmlformats-officedocument.presentationml.presentation", "pptx"},
        {"attachment; filename=\"Temporary%20Spreadsheet.ods\"",
         "application/x-vnd.oasis.opendocument.spreadsheet; charset=UTF-8", "ods"},
        {"attachment;filename=\"TemporaryTextDocument.odt\"", "", "odt"},
        {"attachment; filename*=UTF-8''Caf%C3%A9.DOCX", "", "docx"},
        // Without a usable name the content type tells.
        {"", "application/vnd.openxmlformats-officedocument.presentationml.presentation", "pptx"},
        {"attachment; filename=\"no extension\"", "application/pdf", "pdf"},
        {"attachment; filename=\"odd.ext with space\"", "text/csv", "csv"},
        {"", "application/x-unknown", ""},
        {"inline", "", ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(gddmhGetFile::extensionOfAnswer(row.disposition, row.type), QLatin1String(row.extension))
            << row.disposition << " / " << row.type;
}

TEST_F(DownloadTest, ACachedCopyAnswersWithoutTheService)
{
    const QString rid = addStoredDocument(QStringLiteral("Cached"), QStringLiteral("file"), "bytes");
    ActionRequester first;
    ASSERT_TRUE(runAction(kGetFile, first, getFileParameters(record(rid))));
    const QUrl copy = first.result().toMap().value(QStringLiteral("fileURL")).toUrl();
    m_account.service.clearJournal();

    ActionRequester second;
    ASSERT_TRUE(runAction(kGetFile, second, getFileParameters(record(rid))));
    EXPECT_TRUE(second.error().isNull());
    EXPECT_EQ(second.result().toMap().value(QStringLiteral("fileURL")).toUrl(), copy);
    EXPECT_EQ(second.result().toMap().value(QStringLiteral("cachedFileURL")).toUrl(), copy);
    EXPECT_TRUE(m_account.service.journal().isEmpty());
}

TEST_F(DownloadTest, ADownloadCutMidwayKeepsThePreviousCopyAndLeavesNoPartialFile)
{
    const QByteArray first = patternBytes(300000, 1);
    const QString rid = addStoredDocument(QStringLiteral("Thesis"), QStringLiteral("file"), first);
    ActionRequester requester;
    ASSERT_TRUE(runAction(kGetFile, requester, getFileParameters(record(rid))));
    const QString oldCopy = requester.result().toMap().value(QStringLiteral("fileURL")).toUrl().toLocalFile();
    ASSERT_EQ(readAll(oldCopy), first);

    // A new version on the service; every attempt to fetch it is cut after 50,000 bytes.
    m_account.service.setDocumentContent(rid, patternBytes(300000, 2));
    refreshStoredDocument(rid);
    m_account.service.addFault({localservice::Fault::DropAfterBytes, QStringLiteral("GET"),
                                QStringLiteral("^/feeds/download/"), 20, 0, 0, 50000});
    ActionRequester cut;
    ASSERT_TRUE(runAction(kGetFile, cut, getFileParameters(record(rid))));

    EXPECT_FALSE(cut.error().isNull());
    EXPECT_FALSE(cut.result().isValid());
    EXPECT_GE(requests(QStringLiteral("GET"), kDownloadPrefix).size(), 2); // retried before giving up
    EXPECT_EQ(readAll(oldCopy), first);
    EXPECT_EQ(QUrl(storedFile(rid)->fileCachedFile()->storedValue()).toLocalFile(), oldCopy);
    // No file named after the document anywhere but the old copy: not in the cache, not in the temporary
    // folder.
    QStringList named;
    for (const QString& folder :
         {TQCacheManager::URLCacheBaseForSession(m_account.session.get()).toLocalFile(),
          Paths::tempFolder()}) {
        QDirIterator walk(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (walk.hasNext())
            if (const QString path = walk.next();
                QFileInfo(path).fileName().startsWith(QLatin1String("Thesis")))
                named.append(path);
    }
    EXPECT_EQ(named, QStringList{oldCopy});
}

// Every file below a folder whose name begins with the text.
QStringList filesNamed(const QString& folder, const QString& start)
{
    QStringList named;
    QDirIterator walk(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (walk.hasNext())
        if (const QString path = walk.next(); QFileInfo(path).fileName().startsWith(start))
            named.append(path);
    return named;
}

QByteArray logText()
{
    QFile log(Paths::logFile());
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
}

TEST_F(DownloadTest, AnAnswerThatIsNotTheEntrysFileFailsAndKeepsThePreviousCopy)
{
    Timing::Override quick(QStringLiteral("downloadTimeLimit"), 1500);
    const QByteArray first = patternBytes(20000, 1);
    const QString rid = addStoredDocument(QStringLiteral("Ledger"), QStringLiteral("file"), first);
    ActionRequester requester;
    ASSERT_TRUE(runAction(kGetFile, requester, getFileParameters(record(rid))));
    const QString oldCopy = requester.result().toMap().value(QStringLiteral("fileURL")).toUrl().toLocalFile();
    ASSERT_EQ(readAll(oldCopy), first);
    const QByteArray second = patternBytes(20000, 2);
    m_account.service.setDocumentContent(rid, second);
    refreshStoredDocument(rid);

    // The new version in gzip with a broken checksum: Qt hands the body over, then reports an error.
    const QByteArray zlib = qCompress(second).mid(4);
    QByteArray gzip = QByteArray::fromHex("1f8b0800000000000003") + zlib.mid(2, zlib.size() - 6);
    const quint32 badCrc = 0x12345678, size = quint32(second.size());
    gzip.append(reinterpret_cast<const char*>(&badCrc), 4).append(reinterpret_cast<const char*>(&size), 4);
    QByteArray altered = second;
    altered[5000] = char(altered[5000] ^ 0x20);

    localservice::Fault answer;
    answer.kind = localservice::Fault::Answer;
    answer.method = QStringLiteral("GET");
    answer.pathPattern = QStringLiteral("^/feeds/download/");
    answer.status = 200;
    answer.count = 50; // outlasts every retry
    struct Row
    {
        const char* name;
        localservice::Fault fault;
    };
    QList<Row> rows;
    auto add = [&](const char* name, localservice::Fault::Kind kind,
                   QList<QPair<QByteArray, QByteArray>> headers, QByteArray body, QByteArray filler = {},
                   int delayMs = 0) {
        localservice::Fault fault = answer;
        fault.kind = kind;
        fault.headers = std::move(headers);
        fault.body = std::move(body);
        fault.filler = std::move(filler);
        fault.delayMs = delayMs;
        rows.append({name, fault});
    };
    add("gzip body Qt ends with an error", localservice::Fault::Answer, {{"Content-Encoding", "gzip"}}, gzip);
    add("shorter than the entry says", localservice::Fault::Answer, {}, second.left(1000));
    add("same size, other MD5", localservice::Fault::Answer, {}, altered);
    add("endless, without a length", localservice::Fault::Stream, {}, {}, QByteArray(64 * 1024, 'x'));
    add("one byte at a time", localservice::Fault::Stream, {}, {}, "x", 100);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TQLogger::resetForTesting();
        QFile::remove(Paths::logFile());
        m_account.service.clearFaults();
        m_account.service.addFault(row.fault);
        ActionRequester failed;
        ASSERT_TRUE(runAction(kGetFile, failed, getFileParameters(record(rid)), 30000));
        EXPECT_FALSE(failed.error().isNull());
        EXPECT_EQ(readAll(oldCopy), first);
        EXPECT_EQ(QUrl(storedFile(rid)->fileCachedFile()->storedValue()).toLocalFile(), oldCopy);
        EXPECT_EQ(filesNamed(Paths::tempFolder(), QStringLiteral("Ledger")), QStringList());
        EXPECT_TRUE(logText().contains("E: GetFile: Cannot download Ledger"));
    }
    m_account.service.clearFaults();
    ActionRequester good;
    ASSERT_TRUE(runAction(kGetFile, good, getFileParameters(record(rid))));
    ASSERT_TRUE(good.error().isNull()) << good.error().description().toStdString();
    EXPECT_EQ(readAll(good.result().toMap().value(QStringLiteral("fileURL")).toUrl().toLocalFile()), second);
}

TEST_F(DownloadTest, AFullDiskFailsTheDownloadAtOnceWithItsCause)
{
    const QByteArray content = patternBytes(12 * 1024 * 1024, 3);
    const QString rid = addStoredDocument(QStringLiteral("Archive"), QStringLiteral("file"), content);
    // No file of this process may grow past 8 MiB: the download's write fails as on a full disk.
    struct rlimit before;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit limited = before;
    limited.rlim_cur = 8 * 1024 * 1024;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    ActionRequester requester;
    const bool ran = runAction(kGetFile, requester, getFileParameters(record(rid)), 30000);
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_TRUE(ran);

    const QString cause = QString::fromLocal8Bit(std::strerror(EFBIG));
    EXPECT_TRUE(requester.error().description().contains(cause))
        << requester.error().description().toStdString();
    EXPECT_TRUE(logText().contains("E: GetFile: Cannot download Archive"));
    EXPECT_TRUE(logText().contains(cause.toUtf8()));
    EXPECT_EQ(filesNamed(Paths::tempFolder(), QStringLiteral("Archive")), QStringList());
    // Given up at the failed write, not after the rest of the answer: once, without retries.
    EXPECT_EQ(requests(QStringLiteral("GET"), kDownloadPrefix).size(), 1);
}

TEST_F(DownloadTest, ACollectionArrivesAsATreeWithSafeUniqueNamesInsideTheChosenFolder)
{
    const QString box = addStoredDocument(QStringLiteral("Box/../Escape"), QStringLiteral("folder"));
    const QString inner = addStoredDocument(QStringLiteral("Inner"), QStringLiteral("folder"), {}, box);
    const QString longTitle = QString(300, QLatin1Char('L'));
    struct Entry
    {
        QString title;
        QByteArray content;
        QString parent;
    };
    const QList<Entry> entries = {
        {QStringLiteral("../../outside"), "up", box},
        {QStringLiteral(".."), "dots", box},
        {QStringLiteral("tab\tand\x01"
                        "bell"),
         "control", box},
        {longTitle, "long", box},
        {QStringLiteral("Twin"), "first twin", box},
        {QStringLiteral("Twin"), "second twin", box},
        {QStringLiteral("Deep"), "deep", inner},
    };
    for (const Entry& entry : entries)
        addStoredDocument(entry.title, QStringLiteral("file"), entry.content, entry.parent);

    const QString destination = localFolder() + QStringLiteral("/Downloads");
    QDir().mkpath(destination);
    const QString boxFolderName = QStringLiteral("Box:..:Escape");
    // Something of the user's already lies where a document would go: it stays as it is.
    const QString unrelated =
        writeFile(QStringLiteral("Downloads/") + boxFolderName + QStringLiteral("/Twin"), "mine");

    ActionRequester requester;
    ASSERT_TRUE(
        runAction(kGetFile, requester,
                  {{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record(box)))},
                   {QStringLiteral("rootFolderURL"), QUrl::fromLocalFile(destination)}},
                  30000));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    const QString folder = requester.result().toMap().value(QStringLiteral("fileURL")).toUrl().toLocalFile();
    EXPECT_EQ(folder, destination + QLatin1Char('/') + boxFolderName);

    // Nothing outside the chosen folder.
    EXPECT_EQ(QDir(localFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Downloads"});
    const QStringList files = filesBelow(destination);
    EXPECT_EQ(files.size(), 8) << files.join(QLatin1Char('\n')).toStdString();
    for (const QString& file : files) {
        EXPECT_TRUE(file.startsWith(boxFolderName + QLatin1Char('/'))) << file.toStdString();
        EXPECT_LE(QFileInfo(file).fileName().toUtf8().size(), 255);
    }
    EXPECT_EQ(readAll(unrelated), "mine");
    QByteArrayList twins;
    for (const QString& file : files)
        if (QFileInfo(file).fileName().startsWith(QLatin1String("Twin (")))
            twins.append(readAll(destination + QLatin1Char('/') + file));
    std::sort(twins.begin(), twins.end());
    EXPECT_EQ(twins, (QByteArrayList{"first twin", "second twin"}));
    EXPECT_EQ(readAll(destination + QLatin1Char('/') + boxFolderName + QStringLiteral("/Inner/Deep")),
              "deep");
}

TEST_F(DownloadTest, ACollectionTreeIsFollowedUpToACycleAndASaneDepth)
{
    // "Outer" holds "Inner", and the store says "Outer" lies inside "Inner" too.
    const QString outer = addStoredDocument(QStringLiteral("Outer"), QStringLiteral("folder"));
    const QString inner = addStoredDocument(QStringLiteral("Inner"), QStringLiteral("folder"), {}, outer);
    addStoredDocument(QStringLiteral("Note"), QStringLiteral("file"), "note", inner);
    // And a chain deeper than any export follows.
    QString parent = inner;
    QStringList chain;
    for (int depth = 0; depth < TQdmhCreateFolderAndGetContentOperation::kMaximumDepth + 3; ++depth) {
        parent = addStoredDocument(QStringLiteral("L%1").arg(depth), QStringLiteral("folder"), {}, parent);
        chain.append(QStringLiteral("L%1").arg(depth));
    }
    std::dynamic_pointer_cast<Category>(record(outer))
        ->setParent(std::dynamic_pointer_cast<Category>(record(inner)));
    m_account.master()->save();

    const QString destination = localFolder() + QStringLiteral("/Export");
    QDir().mkpath(destination);
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(kGetFile, requester,
                  {{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record(outer)))},
                   {QStringLiteral("rootFolderURL"), QUrl::fromLocalFile(destination)}},
                  60000));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    EXPECT_EQ(readAll(destination + QStringLiteral("/Outer/Inner/Note")), "note");
    EXPECT_FALSE(QFileInfo::exists(destination + QStringLiteral("/Outer/Inner/Outer")));
    // Levels below the first collection: Outer, Inner, then the chain up to the limit.
    int levels = 0;
    QString path = destination + QStringLiteral("/Outer/Inner");
    for (const QString& name : chain) {
        path += QLatin1Char('/') + name;
        if (!QFileInfo(path).isDir())
            break;
        ++levels;
    }
    EXPECT_EQ(levels + 2, TQdmhCreateFolderAndGetContentOperation::kMaximumDepth + 1);
    EXPECT_TRUE(logText().contains("holds one of its own ancestors"));
}

TEST_F(DownloadTest, SeveralDocumentsReportOneProgressAndAnswerTheirCopies)
{
    const QString one =
        addStoredDocument(QStringLiteral("One"), QStringLiteral("file"), patternBytes(120000, 1));
    const QString two =
        addStoredDocument(QStringLiteral("Two"), QStringLiteral("file"), patternBytes(80000, 2));
    ProgressRecorder progress;
    ActionRequester requester;
    ASSERT_TRUE(runAction(QStringLiteral("GetFiles"), requester,
                          {{QStringLiteral("documentEntities"),
                            QVariantList{QVariant::fromValue(ManagedObjectPtr(record(one))),
                                         QVariant::fromValue(ManagedObjectPtr(record(two)))}},
                           {QStringLiteral("progressID"), QStringLiteral("download_3")},
                           {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(&progress)}}));
    ASSERT_TRUE(requester.error().isNull()) << requester.error().description().toStdString();
    const QVariantList results = requester.result().toList();
    ASSERT_EQ(results.size(), 2);
    EXPECT_EQ(readAll(results.at(1).toMap().value(QStringLiteral("fileURL")).toUrl().toLocalFile()),
              patternBytes(80000, 2));
    const auto steps = progress.steps();
    ASSERT_FALSE(steps.isEmpty());
    quint64 last = 0;
    for (const auto& step : steps) {
        EXPECT_EQ(step.progressID, QStringLiteral("download_3"));
        EXPECT_GE(step.part, last);
        last = step.part;
    }
    EXPECT_EQ(steps.last().part, 200000u);
    EXPECT_EQ(steps.last().total, 200000u);
}

TEST_F(DownloadTest, AMissingDestinationFolderIsAnError)
{
    const QString box = addStoredDocument(QStringLiteral("Nowhere"), QStringLiteral("folder"));
    ActionRequester requester;
    ASSERT_TRUE(
        runAction(kGetFile, requester,
                  {{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record(box)))},
                   {QStringLiteral("rootFolderURL"), QUrl::fromLocalFile(localFolder() + "/missing")}}));
    EXPECT_EQ(requester.error().domain(), Error::kPOSIXErrorDomain);
    EXPECT_FALSE(QFileInfo::exists(localFolder() + "/missing"));
}

} // namespace tavrel::test
