#include "platform/store/ExternalRecord.h"

#include "StoreTestModel.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {
class ExternalRecordTest : public StoreTest
{
public:
    QString homePath() { return home().path(); }
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = QDir(home().path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // A record file naming the store of the fixture, with values replaced (an invalid value drops the key).
    QString writeRecord(const QVariantMap& changes = {})
    {
        QVariantMap values{{QStringLiteral("storePath"), m_path},
                           {QStringLiteral("entity"), QStringLiteral("Note")},
                           {QStringLiteral("identifier"), QStringLiteral("n-1")},
                           {QStringLiteral("schemaVersion"), PersistentStoreCoordinator::kSchemaVersion}};
        for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
            if (it.value().isValid())
                values.insert(it.key(), it.value());
            else
                values.remove(it.key());
        }
        return write(QStringLiteral("record.tavrel"),
                     QJsonDocument(QJsonObject::fromVariantMap(values)).toJson());
    }
    static std::optional<ExternalRecord> read(const QString& path, Error* error = nullptr)
    {
        return ExternalRecord::elementsDerivedFromExternalRecordURL(QUrl::fromLocalFile(path), error);
    }
};
} // namespace

TEST_F(ExternalRecordTest, ReadsTheFourValuesOfARecordFile)
{
    const auto record =
        read(writeRecord({{QStringLiteral("comment"), QStringLiteral("keys it does not know")}}));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->storePath(), m_path);
    EXPECT_EQ(record->entityName(), QStringLiteral("Note"));
    EXPECT_EQ(record->identifier(), QStringLiteral("n-1"));
    EXPECT_EQ(record->schemaVersion(), PersistentStoreCoordinator::kSchemaVersion);
}

TEST_F(ExternalRecordTest, RefusesWhatIsNotARecordFileWithAClearError)
{
    using Make = std::function<QUrl(ExternalRecordTest&)>;
    auto record = [](const QVariantMap& changes) -> Make {
        return [=](ExternalRecordTest& t) { return QUrl::fromLocalFile(t.writeRecord(changes)); };
    };
    auto bytes = [](const QByteArray& content) -> Make {
        return [=](ExternalRecordTest& t) {
            return QUrl::fromLocalFile(t.write(QStringLiteral("x.tavrel"), content));
        };
    };
    const QString version = QStringLiteral("schemaVersion");
    const struct
    {
        const char* name;
        Make make;
        qint64 code;
        const char* mentions;
    } rows[] = {
        {"missing file",
         [](ExternalRecordTest& t) { return QUrl::fromLocalFile(t.homePath() + "/none.tavrel"); },
         ExternalRecord::FileReadNoSuchFileError, "does not exist"},
        {"folder", [](ExternalRecordTest& t) { return QUrl::fromLocalFile(t.homePath()); },
         ExternalRecord::FileReadUnknownError, "cannot be read"},
        {"remote URL",
         [](ExternalRecordTest&) { return QUrl(QStringLiteral("https://example.com/a.tavrel")); },
         ExternalRecord::FileReadUnsupportedSchemeError, "not a local record file"},
        {"too large", bytes(QByteArray(ExternalRecord::kMaximumFileSize + 1, ' ')),
         ExternalRecord::FileReadTooLargeError, "larger than"},
        {"empty", bytes({}), ExternalRecord::FileReadCorruptFileError, "is not JSON"},
        {"not JSON", bytes("storePath=/x"), ExternalRecord::FileReadCorruptFileError, "is not JSON"},
        {"an array", bytes("[1, 2]"), ExternalRecord::FileReadCorruptFileError, "holds no JSON object"},
        {"no store path", record({{QStringLiteral("storePath"), {}}}),
         ExternalRecord::FileReadCorruptFileError, "\"storePath\""},
        {"relative store path", record({{QStringLiteral("storePath"), QStringLiteral("data.storedata")}}),
         ExternalRecord::FileReadCorruptFileError, "\"storePath\""},
        {"no entity", record({{QStringLiteral("entity"), {}}}), ExternalRecord::FileReadCorruptFileError,
         "\"entity\""},
        {"identifier not a text", record({{QStringLiteral("identifier"), 12}}),
         ExternalRecord::FileReadCorruptFileError, "\"identifier\""},
        {"empty identifier", record({{QStringLiteral("identifier"), QString()}}),
         ExternalRecord::FileReadCorruptFileError, "\"identifier\""},
        {"no schema version", record({{version, {}}}), ExternalRecord::FileReadCorruptFileError,
         "schemaVersion"},
        {"schema version as text", record({{version, QStringLiteral("1")}}),
         ExternalRecord::FileReadCorruptFileError, "schemaVersion"},
        {"schema version 0", record({{version, 0}}), ExternalRecord::FileReadCorruptFileError,
         "schemaVersion"},
        {"fractional schema version", record({{version, 1.5}}), ExternalRecord::FileReadCorruptFileError,
         "schemaVersion"},
        {"newer schema version", record({{version, PersistentStoreCoordinator::kSchemaVersion + 1}}),
         ExternalRecord::FileReadCorruptFileError, "schemaVersion"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Error error;
        EXPECT_FALSE(ExternalRecord::elementsDerivedFromExternalRecordURL(row.make(*this), &error));
        EXPECT_EQ(error.domain(), ManagedObjectContext::kErrorDomain);
        EXPECT_EQ(error.code(), row.code);
        EXPECT_TRUE(error.localizedDescription().contains(QLatin1String(row.mentions)))
            << error.localizedDescription().toStdString();
    }
}

TEST_F(ExternalRecordTest, FindsItsRecordInTheContextOfTheStoreItNames)
{
    auto note = insert("Note", {{"identifier", "n-1"}, {"title", "the note"}});
    insert("Folder", {{"identifier", "f-1"}});
    insert("Person", {{"name", "p"}});
    ASSERT_TRUE(context().save());
    // The same store by another spelling of its path.
    const QString otherSpelling = QDir(home().path()).filePath(QStringLiteral("sub/../data.storedata"));
    QDir(home().path()).mkdir(QStringLiteral("sub"));
    ASSERT_TRUE(QFile::link(m_path, QDir(home().path()).filePath(QStringLiteral("link.storedata"))));

    const struct
    {
        const char* name;
        QVariantMap changes;
        bool found;
    } rows[] = {
        {"its record", {}, true},
        {"by the parent entity", {{"entity", "Item"}}, true},
        {"by another spelling of the store path", {{"storePath", otherSpelling}}, true},
        {"through a link to the store",
         {{"storePath", QDir(home().path()).filePath("link.storedata")}},
         true},
        {"of another entity", {{"entity", "Folder"}}, false},
        {"unknown identifier", {{"identifier", "n-2"}}, false},
        {"unknown entity", {{"entity", "Spreadsheet"}}, false},
        {"entity without identifiers", {{"entity", "Person"}, {"identifier", "p"}}, false},
        {"another store", {{"storePath", QDir(home().path()).filePath("other.storedata")}}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto record = read(writeRecord(row.changes));
        ASSERT_TRUE(record);
        Error error;
        const ManagedObjectPtr found = record->existingObjectInContext(context(), &error);
        EXPECT_EQ(found, row.found ? note : nullptr);
        if (!row.found) {
            EXPECT_EQ(error.code(), ManagedObjectContext::ObjectNotFoundError);
            EXPECT_FALSE(error.localizedDescription().isEmpty());
        }
    }
}

TEST(ExternalRecord, KnowsRecordFilesByTheirExtension)
{
    EXPECT_TRUE(ExternalRecord::hasRecordFileExtension(QStringLiteral("/a/Budget.tavrel")));
    EXPECT_FALSE(ExternalRecord::hasRecordFileExtension(QStringLiteral("/a/notavrel")));
    EXPECT_FALSE(ExternalRecord::hasRecordFileExtension(QStringLiteral("/a/b.tavrel.txt")));
}

} // namespace tavrel::test
