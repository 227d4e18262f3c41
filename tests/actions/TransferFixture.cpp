#include "TransferFixture.h"

#include "model/File.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/GDataEndpoints.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavrel::test {

void ProgressRecorder::actionWillStart(const QString& action, const QVariantMap&)
{
    std::lock_guard lock(m_mutex);
    m_started.append(action);
}

void ProgressRecorder::actionDidProgress(const QString& progressID, const QVariantMap&, quint64 part,
                                         quint64 total)
{
    std::lock_guard lock(m_mutex);
    m_steps.append({progressID, part, total});
}

void ProgressRecorder::actionDidFinish(const QString& action, const QVariantMap&)
{
    std::lock_guard lock(m_mutex);
    m_finished.append(action);
}

QList<ProgressRecorder::Step> ProgressRecorder::steps() const
{
    std::lock_guard lock(m_mutex);
    return m_steps;
}

QStringList ProgressRecorder::started() const
{
    std::lock_guard lock(m_mutex);
    return m_started;
}

QStringList ProgressRecorder::finished() const
{
    std::lock_guard lock(m_mutex);
    return m_finished;
}

void TransferTest::SetUp()
{
    ActionsTest::SetUp();
    ASSERT_FALSE(HasFatalFailure());
    GDataServiceGoogleDocs* service = documents()->gdataManager()->service();
    service->setServiceRetryBaseInterval(0.01);
    service->setServiceMaxRetryInterval(0.05);
    // Small chunks, so that files of a few megabytes go in several.
    service->setServiceUploadChunkSize(1024 * 1024);
}

QString TransferTest::localFolder() const
{
    return const_cast<TransferTest*>(this)->home().path() + QStringLiteral("/files");
}

QString TransferTest::writeFile(const QString& relativePath, const QByteArray& content)
{
    const QString path = localFolder() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
    return path;
}

QByteArray TransferTest::patternBytes(qint64 size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u ^ quint32(seed);
    for (qint64 i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = char(x);
    }
    return bytes;
}

QStringList TransferTest::serviceDocumentsTitled(const QString& title) const
{
    QStringList found;
    for (const QString& rid : m_account.service.documentIds())
        if (m_account.service.documentTitle(rid) == title)
            found.append(rid);
    return found;
}

localservice::DocumentSnapshot TransferTest::serviceDocumentTitled(const QString& title) const
{
    const QStringList found = serviceDocumentsTitled(title);
    return found.size() == 1 ? m_account.service.document(found.first()) : localservice::DocumentSnapshot();
}

namespace {

GDataEntryDocPtr fetchEntry(const std::shared_ptr<OAuth2Authentication>& authentication, const QString& rid)
{
    GDataServiceGoogleDocs service;
    service.setAuthorizer(authentication);
    GDataEntryDocPtr entry;
    bool done = false;
    service.fetchEntryWithURL(GDataEndpoints::docsEntryURL(rid, QStringLiteral("expandAcl")),
                              [&](const GDataServiceTicketPtr&, const GDataObjectPtr& object, const Error&) {
                                  entry = std::dynamic_pointer_cast<GDataEntryDocBase>(object);
                                  done = true;
                              });
    waitUntil([&] { return done; }, 10000);
    return entry;
}

} // namespace

QString TransferTest::addStoredDocument(const QString& title, const QString& kind, const QByteArray& content,
                                        const QString& parentFolderId, const QString& ownerEmail)
{
    const QString rid = m_account.service.addDocument(title, kind, ownerEmail, parentFolderId);
    EXPECT_FALSE(rid.isEmpty()) << title.toStdString();
    if (!content.isEmpty())
        m_account.service.setDocumentContent(rid, content);
    storeServiceDocument(rid);
    return rid;
}

void TransferTest::storeServiceDocument(const QString& resourceId)
{
    const GDataEntryDocPtr entry = fetchEntry(m_account.authentication, resourceId);
    ASSERT_TRUE(entry) << resourceId.toStdString();
    const auto stored = master()->insertNewObject<FileEntryAbstract>(
        resourceId.startsWith(QLatin1String("folder:")) ? QStringLiteral("Category")
                                                        : QStringLiteral("File"));
    stored->fillAttributeFromGDataEntry(entry);
    stored->fillRelationshipFromGdataEntry(entry, master());
    master()->save();
    m_account.service.clearJournal();
}

void TransferTest::refreshStoredDocument(const QString& resourceId)
{
    const GDataEntryDocPtr entry = fetchEntry(m_account.authentication, resourceId);
    ASSERT_TRUE(entry);
    const auto stored = record(resourceId);
    ASSERT_TRUE(stored);
    stored->fillAttributeFromGDataEntry(entry);
    master()->save();
    m_account.service.clearJournal();
}

std::shared_ptr<File> TransferTest::storedFile(const QString& resourceId) const
{
    return std::dynamic_pointer_cast<File>(record(resourceId));
}

} // namespace tavrel::test
