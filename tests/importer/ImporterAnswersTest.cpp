#include "ImporterFixture.h"

#include <QCryptographicHash>
#include <functional>
#include <sqlite3.h>

namespace tavrel::test {

namespace {
const QString kFindLine =
    QStringLiteral("E: TQSpotlightImporter:importFileAtPath:attributes:error: to find object id from path ");
const QString kRecordLine = QStringLiteral("E: TQSpotlightImporter:importFileAtPath:attributes:error: ");
const QString kStoreLine = QStringLiteral(
    "E: TQSpotlightImporter:persistentStoreCoordinator unable to add persistent store coordinator - ");

void execute(const QString& storePath, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(storePath).constData(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}
} // namespace

TEST_F(ImporterTest, AnswersForEachKindOfRecordFile)
{
    using Setup = std::function<QString(ImporterTest&)>;
    auto record = [](const char* entity, const char* identifier) -> Setup {
        return [=](ImporterTest& t) {
            return t.writeRecord(QStringLiteral("record.tavrel"), QString::fromUtf8(entity),
                                 QString::fromUtf8(identifier));
        };
    };
    auto recordOfStore = [](const QString& storeName) -> Setup {
        return [=](ImporterTest& t) {
            return t.writeRecord(QStringLiteral("record.tavrel"),
                                 {{QStringLiteral("storePath"), t.path(storeName)},
                                  {QStringLiteral("entity"), QStringLiteral("File")},
                                  {QStringLiteral("identifier"), QStringLiteral("doc-budget")}});
        };
    };
    const QString title = QString::fromUtf8(kTitle);
    const QMap<QString, QString> document{{QStringLiteral("displayName"), QStringLiteral("Tavrel: ") + title},
                                          {QStringLiteral("textContent"), title}};
    const struct
    {
        const char* name;
        const char* contentType;
        Setup setup;
        bool imported;
        QMap<QString, QString> attributes;
        QStringList logAfterCall; // prefixes of the lines after "Cordel Importer for: <path>"
        const char* logMentions = "";
    } rows[] = {
        {"document", IMPORTER_RECORD_CONTENT_TYPE, record("File", "doc-budget"), true, document, {}},
        {"document named by its parent entity",
         IMPORTER_RECORD_CONTENT_TYPE,
         record("FileEntryAbstract", "doc-budget"),
         true,
         document,
         {}},
        {"collection", IMPORTER_RECORD_CONTENT_TYPE, record("Category", "folder-projects"), true, {}, {}},
        {"contact", IMPORTER_RECORD_CONTENT_TYPE, record("Contact", "contact-ann"), true, {}, {}},
        {"document without a title",
         IMPORTER_RECORD_CONTENT_TYPE,
         record("File", "doc-untitled"),
         true,
         {},
         {}},
        {"another content type", "application/x-tavrel-record", record("File", "doc-budget"), false, {}, {}},
        {"no content type", nullptr, record("File", "doc-budget"), false, {}, {}},
        {"unknown identifier",
         IMPORTER_RECORD_CONTENT_TYPE,
         record("File", "doc-gone"),
         false,
         {},
         {kFindLine}},
        {"identifier of another entity",
         IMPORTER_RECORD_CONTENT_TYPE,
         record("Category", "doc-budget"),
         false,
         {},
         {kFindLine}},
        {"unknown entity",
         IMPORTER_RECORD_CONTENT_TYPE,
         record("Spreadsheet", "doc-budget"),
         false,
         {},
         {kFindLine}},
        {"entity without identifiers",
         IMPORTER_RECORD_CONTENT_TYPE,
         record("Mail", "ann@example.com"),
         false,
         {},
         {kFindLine}},
        {"missing record file",
         IMPORTER_RECORD_CONTENT_TYPE,
         [](ImporterTest& t) { return t.path(QStringLiteral("missing.tavrel")); },
         false,
         {},
         {kRecordLine, kFindLine},
         "does not exist"},
        {"record file that is not JSON",
         IMPORTER_RECORD_CONTENT_TYPE,
         [](ImporterTest& t) { return t.writeFile(QStringLiteral("bad.tavrel"), "bplist00\x01\x02"); },
         false,
         {},
         {kRecordLine, kFindLine},
         "is not JSON"},
        {"record of an unknown schema version",
         IMPORTER_RECORD_CONTENT_TYPE,
         [](ImporterTest& t) {
             return t.writeRecord(
                 QStringLiteral("future.tavrel"),
                 {{QStringLiteral("entity"), QStringLiteral("File")},
                  {QStringLiteral("identifier"), QStringLiteral("doc-budget")},
                  {QStringLiteral("schemaVersion"), PersistentStoreCoordinator::kSchemaVersion + 1}});
         },
         false,
         {},
         {kRecordLine, kFindLine},
         "schemaVersion"},
        {"missing store",
         IMPORTER_RECORD_CONTENT_TYPE,
         recordOfStore(QStringLiteral("gone.storedata")),
         false,
         {},
         {kStoreLine, kFindLine},
         "gone.storedata"},
        {"store of a newer schema",
         IMPORTER_RECORD_CONTENT_TYPE,
         [](ImporterTest& t) {
             execute(t.storePath(),
                     "UPDATE Z_METADATA SET Z_VALUE = Z_VALUE + 1 WHERE Z_KEY = 'schemaVersion'");
             return t.writeRecord(QStringLiteral("record.tavrel"), QStringLiteral("File"),
                                  QStringLiteral("doc-budget"));
         },
         false,
         {},
         {kStoreLine, kFindLine},
         "schema version is"},
        {"another program's database",
         IMPORTER_RECORD_CONTENT_TYPE,
         [=](ImporterTest& t) {
             execute(t.path(QStringLiteral("other.db")),
                     "CREATE TABLE ZGoogleObject (Z_PK INTEGER, title TEXT)");
             return recordOfStore(QStringLiteral("other.db"))(t);
         },
         false,
         {},
         {kStoreLine, kFindLine},
         "not a store of this program"},
        {"store that is a text file",
         IMPORTER_RECORD_CONTENT_TYPE,
         [=](ImporterTest& t) {
             t.writeFile(QStringLiteral("notes.txt"), QByteArray(4096, 'x'));
             return recordOfStore(QStringLiteral("notes.txt"))(t);
         },
         false,
         {},
         {kStoreLine, kFindLine},
         "not a database"},
        {"store that is a folder",
         IMPORTER_RECORD_CONTENT_TYPE,
         [=](ImporterTest& t) {
             QDir(t.path({})).mkdir(QStringLiteral("folder.storedata"));
             return recordOfStore(QStringLiteral("folder.storedata"))(t);
         },
         false,
         {},
         {kStoreLine, kFindLine}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        makeFixture();
        const QString recordPath = row.setup(*this);
        const ImportAnswer answer = importFile(row.contentType, recordPath);
        EXPECT_EQ(answer.imported, row.imported);
        EXPECT_EQ(answer.attributes, row.attributes);

        const QStringList lines = logLines();
        ASSERT_EQ(lines.size(), row.logAfterCall.size() + 1) << lines.join('\n').toStdString();
        EXPECT_EQ(lines.first(), QStringLiteral("Cordel Importer for: ") + recordPath);
        for (qsizetype i = 0; i < row.logAfterCall.size(); ++i)
            EXPECT_TRUE(lines[i + 1].startsWith(row.logAfterCall[i])) << lines[i + 1].toStdString();
        if (!row.logAfterCall.isEmpty()) {
            EXPECT_TRUE(lines.last().endsWith(recordPath)) << lines.last().toStdString();
        }
        EXPECT_TRUE(lines.join('\n').contains(QString::fromUtf8(row.logMentions)))
            << lines.join('\n').toStdString();
        // A store that is missing stays missing: the importer never creates one.
        EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("gone.storedata"))));
    }
}

TEST_F(ImporterTest, ReadsTheStoreWithoutChangingIt)
{
    const QString record =
        writeRecord(QStringLiteral("doc.tavrel"), QStringLiteral("File"), QStringLiteral("doc-budget"));
    const QByteArray before = fileHash(storePath());
    const QStringList filesBefore = QDir(path({})).entryList(QDir::Files);
    EXPECT_TRUE(importFile(IMPORTER_RECORD_CONTENT_TYPE, record).imported);
    EXPECT_EQ(fileHash(storePath()), before);
    // Reading a store in write-ahead mode may leave its empty log and shared-memory index, nothing else.
    QStringList filesAfter = QDir(path({})).entryList(QDir::Files);
    filesAfter.removeOne(QStringLiteral("data.storedata-shm"));
    if (filesAfter.removeOne(QStringLiteral("data.storedata-wal"))) {
        EXPECT_EQ(QFileInfo(storePath() + QStringLiteral("-wal")).size(), 0);
    }
    EXPECT_EQ(filesAfter, filesBefore);
}

} // namespace tavrel::test
