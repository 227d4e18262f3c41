#pragma once

#include "ActionsFixture.h"
#include "model/File.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <mutex>

namespace tavrel::test {

// A progress consumer that records what it hears, from any thread.
class ProgressRecorder : public QObject
{
    Q_OBJECT
public:
    struct Step
    {
        QString progressID;
        quint64 part = 0;
        quint64 total = 0;
    };

    Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidProgress(const QString& progressID, const QVariantMap& arguments, quint64 part,
                                       quint64 total);
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments);

    QList<Step> steps() const;
    QStringList started() const;
    QStringList finished() const;

private:
    mutable std::mutex m_mutex;
    QList<Step> m_steps;
    QStringList m_started;
    QStringList m_finished;
};

// Actions that move files: a folder of local files in the temporary home, the service's documents by
// title, short retry delays so that recovering transfers do not wait for long, and 1 MiB upload chunks.
class TransferTest : public ActionsTest
{
protected:
    void SetUp() override;

    // A file below the test's own folder, with its parents; answers its path.
    QString writeFile(const QString& relativePath, const QByteArray& content);
    QString localFolder() const;
    // Bytes that differ at every offset, so that a misplaced chunk shows.
    static QByteArray patternBytes(qint64 size, int seed = 1);

    // The service's documents of that title (resource ids).
    QStringList serviceDocumentsTitled(const QString& title) const;
    localservice::DocumentSnapshot serviceDocumentTitled(const QString& title) const;
    // Adds a document (or collection) to the service, with content when given, and stores its record as
    // a synchronisation would (parents first). Answers the resource id.
    QString addStoredDocument(const QString& title, const QString& kind, const QByteArray& content = {},
                              const QString& parentFolderId = {}, const QString& ownerEmail = {});
    // Stores the record of a document the service holds, as a synchronisation would.
    void storeServiceDocument(const QString& resourceId);
    // Stores the service's current entry of a document into its record (a new version arrived).
    void refreshStoredDocument(const QString& resourceId);
    // The stored File of a resource id, as a File.
    std::shared_ptr<File> storedFile(const QString& resourceId) const;
};

} // namespace tavrel::test
