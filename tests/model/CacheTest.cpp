#include "StoreFixture.h"
#include "model/Contact.h"
#include "model/ContactCachedAvatar.h"
#include "model/File.h"
#include "model/FileCacheManager.h"
#include "model/FileCachedFile.h"
#include "model/FileCachedIcon.h"
#include "model/GoogleObjectAdapter.h"
#include "model/TQCacheManager.h"
#include "platform/system/Paths.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>

namespace tavrel::test {

namespace {

// A session that records the actions the bookkeeping records ask for.
class RecordingSession : public QObject
{
    Q_OBJECT
public:
    struct Asked
    {
        QString prefix, action;
        QVariantMap parameters;
    };
    Q_INVOKABLE void executeManagerAction(const QString& prefix, const QString& action,
                                          const QVariantMap& parameters)
    {
        asked.append({prefix, action, parameters});
    }
    QList<Asked> asked;
};

} // namespace

class CacheTest : public StoreFixture
{
protected:
    void SetUp() override
    {
        StoreFixture::SetUp();
        // The store's session is one that records what is asked of it.
        m_manager.reset();
        auto session = std::make_unique<RecordingSession>();
        session->setProperty("username", QString::fromLatin1(kUser));
        m_recording = session.get();
        m_session = std::move(session);
        m_manager = std::make_unique<TQMOCManager>(m_session.get());
        m_cache = std::make_unique<TQCacheManager>(m_session.get());
    }
    void TearDown() override
    {
        m_cache.reset();
        StoreFixture::TearDown();
    }

    std::shared_ptr<File> newFile(const QString& identifier, const QString& eTag)
    {
        auto file = moc()->insertNewObject<File>(QStringLiteral("File"));
        file->setIdentifier(identifier);
        file->setETag(eTag);
        return file;
    }
    QUrl source(const QString& name, const QByteArray& content)
    {
        const QString folder = home().path() + QStringLiteral("/incoming/") + QString::number(++m_sources);
        QDir().mkpath(folder);
        QFile file(folder + QLatin1Char('/') + name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return QUrl::fromLocalFile(file.fileName());
    }
    QString base() const { return TQCacheManager::URLCacheBaseForSession(m_session.get()).toLocalFile(); }

    RecordingSession* m_recording = nullptr;
    std::unique_ptr<TQCacheManager> m_cache;
    int m_sources = 0;
};

TEST_F(CacheTest, FoldersAreNamedByIdentifierAndUnquotedTagAndNeverLeaveTheCache)
{
    struct Row
    {
        QString identifier, tag, expected; // expected: below <cache>/documents, empty for none
    } rows[] = {
        {"abc", "\"A1INR0\"", "abc/A1INR0"},
        {"abc", "plain", "abc/plain"},
        {"abc", "W/\"weak\"", "abc/W%2F%22weak"},
        {"..", "\"t\"", "%2E%2E/t"},
        {"abc", "\"..\"", "abc/%2E%2E"},
        {"abc", "", ""},
        {"", "\"t\"", ""},
    };
    for (const Row& row : rows) {
        const QUrl url =
            FileCacheManager::URLForObject(GoogleObjectAdapter(row.identifier, row.tag), m_session.get());
        if (row.expected.isEmpty()) {
            EXPECT_TRUE(url.isEmpty()) << row.identifier.toStdString() << " " << row.tag.toStdString();
            continue;
        }
        EXPECT_EQ(url.toLocalFile(), base() + QStringLiteral("/documents/") + row.expected)
            << row.tag.toStdString();
    }
    EXPECT_TRUE(base().startsWith(Paths::dataHome() + QStringLiteral("/Tavrel/me@example.com/cache")));
}

TEST_F(CacheTest, ANewVersionReplacesTheOldFolderOnceCopyAndThumbnailAreIn)
{
    const auto file = newFile(QStringLiteral("doc1"), QStringLiteral("\"v1\""));
    m_cache->addData({{kTQCacheTypeFileDocument, source("Plan.doc", "one")},
                      {kTQCacheTypeFileThumbnail, source("thumb.png", "t1")}},
                     file.get());
    const QString v1 = base() + QStringLiteral("/documents/doc1/v1");
    ASSERT_TRUE(QFileInfo::exists(v1 + QStringLiteral("/document/Plan.doc")));

    file->setETag(QStringLiteral("\"v2\""));
    const auto added = m_cache->addData({{kTQCacheTypeFileDocument, source("Plan.doc", "two")}}, file.get());
    EXPECT_EQ(added.value(kTQCacheTypeFileDocument).toLocalFile(),
              base() + QStringLiteral("/documents/doc1/v2/document/Plan.doc"));
    // Only the copy is new: the older version keeps its thumbnail until a new one comes.
    EXPECT_FALSE(QFileInfo::exists(v1 + QStringLiteral("/document")));
    EXPECT_TRUE(QFileInfo::exists(v1 + QStringLiteral("/thumbnail/thumb.png")));

    m_cache->addData({{kTQCacheTypeFileThumbnail, source("thumb.png", "t2")}}, file.get());
    EXPECT_FALSE(QFileInfo::exists(v1));
    const auto found = m_cache->searchObject(file.get());
    EXPECT_EQ(found.size(), 2);
}

TEST_F(CacheTest, AnExistingTargetIsAnsweredAndTheSourceLeftAlone)
{
    const auto file = newFile(QStringLiteral("doc2"), QStringLiteral("\"v1\""));
    const QUrl first = source("Same.txt", "first");
    const QUrl cached =
        m_cache->addData({{kTQCacheTypeFileDocument, first}}, file.get()).value(kTQCacheTypeFileDocument);
    const QUrl second = source("Same.txt", "second");
    EXPECT_EQ(
        m_cache->addData({{kTQCacheTypeFileDocument, second}}, file.get()).value(kTQCacheTypeFileDocument),
        cached);
    EXPECT_TRUE(QFileInfo::exists(second.toLocalFile()));
    QFile kept(cached.toLocalFile());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "first");
}

TEST_F(CacheTest, ALeafWithTwoFilesIsTreatedAsNoneAndRemoved)
{
    const auto file = newFile(QStringLiteral("doc3"), QStringLiteral("\"v1\""));
    const QUrl cached = m_cache->addData({{kTQCacheTypeFileDocument, source("One.txt", "1")}}, file.get())
                            .value(kTQCacheTypeFileDocument);
    QFile stray(QFileInfo(cached.toLocalFile()).path() + QStringLiteral("/Two.txt"));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.close();

    EXPECT_TRUE(m_cache->searchObject(file.get(), kTQCacheTypeFileDocument).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(cached.toLocalFile()).path()));
}

TEST_F(CacheTest, PhotosAreFiledByPhotoVersionAndCleanRemovesEverything)
{
    auto contact = moc()->insertNewObject<Contact>(QStringLiteral("Contact"));
    contact->setIdentifier(QStringLiteral("c1"));
    EXPECT_TRUE(
        m_cache->addData({{kTQCacheTypeContactAvatar, source("a.png", "p")}}, contact.get()).isEmpty());
    contact->setAvatarETag(QStringLiteral("\"p1\""));
    const QUrl avatar = m_cache->addData({{kTQCacheTypeContactAvatar, source("a.png", "p")}}, contact.get())
                            .value(kTQCacheTypeContactAvatar);
    EXPECT_EQ(avatar.toLocalFile(), base() + QStringLiteral("/contacts/c1/avatar/p1/a.png"));
    EXPECT_EQ(m_cache->searchObject(contact.get(), kTQCacheTypeContactAvatar), avatar);
    // Only a File or a Contact has caches.
    auto collection = moc()->insertNewObject(QStringLiteral("Category"));
    EXPECT_TRUE(m_cache->searchObject(collection.get()).isEmpty());

    std::atomic<bool> cleaned{false};
    m_cache->clean([&] { cleaned = true; });
    ASSERT_TRUE(waitUntil([&] { return cleaned.load(); }));
    EXPECT_FALSE(QFileInfo::exists(base()));
}

TEST_F(CacheTest, ReadingACopyAsksOncePerVersionAndAFailureLetsTheNextReadAskAgain)
{
    const auto file = newFile(QStringLiteral("doc4"), QStringLiteral("\"v1\""));
    save();
    EXPECT_TRUE(file->filePath().isEmpty());
    EXPECT_TRUE(file->filePath().isEmpty());
    ASSERT_EQ(m_recording->asked.size(), 1);
    EXPECT_EQ(m_recording->asked.first().prefix, QStringLiteral("dmh"));
    EXPECT_EQ(m_recording->asked.first().action, QStringLiteral("GetFile"));
    EXPECT_EQ(m_recording->asked.first().parameters.value(QStringLiteral("queuePriority")).toInt(), -4);

    file->fileCachedFile()->getFileDidFinishWithURL({}, Error(QStringLiteral("x"), 1));
    file->filePath();
    EXPECT_EQ(m_recording->asked.size(), 2);

    file->fileCachedFile()->getFileDidFinishWithURL(QUrl::fromLocalFile(QStringLiteral("/c/Plan.doc")),
                                                    Error());
    EXPECT_EQ(file->filePath(), QStringLiteral("file:///c/Plan.doc"));
    EXPECT_EQ(m_recording->asked.size(), 2);
}

TEST_F(CacheTest, APhotoIsAskedForOnlyWithAPhotoVersionAndAgainAfterAFailure)
{
    auto contact = moc()->insertNewObject<Contact>(QStringLiteral("Contact"));
    contact->setIdentifier(QStringLiteral("c2"));
    save();
    contact->avatar();
    EXPECT_TRUE(m_recording->asked.isEmpty());

    contact->setAvatarETag(QStringLiteral("\"p1\""));
    contact->avatar();
    contact->avatar();
    ASSERT_EQ(m_recording->asked.size(), 1);
    EXPECT_EQ(m_recording->asked.first().prefix, QStringLiteral("cmh"));
    EXPECT_EQ(m_recording->asked.first().action, QStringLiteral("GetAvatar"));

    contact->contactCachedAvatar()->getAvatarDidFinishWithURL({}, Error(QStringLiteral("x"), 701));
    contact->avatar();
    EXPECT_EQ(m_recording->asked.size(), 2);
}

TEST_F(CacheTest, ThumbnailsFollowNewCopiesAndANothingToShowErrorIsNotAskedAgain)
{
    const auto file = newFile(QStringLiteral("doc5"), QStringLiteral("\"v1\""));
    save();
    const auto icon = file->fileCachedIcon();
    icon->storedValue(); // brought into memory: it watches from here
    ASSERT_TRUE(icon->isRegistered());

    // A new version tag alone makes no thumbnail; a new copy does, from that copy.
    file->setETag(QStringLiteral("\"v2\""));
    EXPECT_TRUE(m_recording->asked.isEmpty());
    file->fileCachedFile()->setLastRequestedETag(QStringLiteral("\"v2\""));
    file->fileCachedFile()->getFileDidFinishWithURL(QUrl::fromLocalFile(QStringLiteral("/c/v2.doc")),
                                                    Error());
    ASSERT_EQ(m_recording->asked.size(), 1);
    EXPECT_EQ(m_recording->asked.first().action, QStringLiteral("GenerateThumbnail"));
    EXPECT_EQ(m_recording->asked.first().parameters.value(QStringLiteral("fileURL")).toUrl(),
              QUrl::fromLocalFile(QStringLiteral("/c/v2.doc")));

    icon->generatePreviewDidFinishWithURL({},
                                          Error(QStringLiteral("TQdmhGenerateThumbnailOperation"), -1002));
    icon->value();
    EXPECT_EQ(m_recording->asked.size(), 1);
}

TEST_F(CacheTest, RecordsOfAWorkerContextNeverAsk)
{
    const auto file = newFile(QStringLiteral("doc6"), QStringLiteral("\"v1\""));
    save();
    // A context other than the master, as a worker thread has.
    ManagedObjectContext other(manager().persistentStoreCoordinator());
    const auto copy = File::fileWithIdentifier(QStringLiteral("doc6"), &other);
    ASSERT_TRUE(copy);
    copy->filePath();
    copy->iconPath();
    EXPECT_TRUE(m_recording->asked.isEmpty());
}

} // namespace tavrel::test

#include "CacheTest.moc"
