#pragma once

#include "pipeline/TQAggregateOperation.h"
#include "platform/gdata/GDataEntryBase.h"
#include "platform/gdata/GDataFeedBase.h"

#include <QPointer>
#include <atomic>

namespace tavrel {

class ContactList;
class FileList;
class ManagedObjectContext;
class TQSessionProtocol;

// The full synchronisation: the whole contact feed ("ListContacts") and the whole document list with
// expanded access lists ("FileList"), then the store rebuilt from them in this worker thread's context
// in one save: what the feeds hold is created or refreshed, what they no longer hold is deleted. A
// failing step leaves the store as it was. The account's largest changestamp, fetched before the lists
// ("LargestChangestamp"), is stored in the settings once the rebuild is saved, so that the incremental
// synchronisation goes on from the state the store now holds.
//
// The requester's callback receives the error (nil after success) as its first argument (a method
// `xxx(const QVariant& error)`; a `(result, error)` method gets the error in both). Progress goes to
// the progress consumer's `progressStatus(int status, float processed, quint64 total, float
// percentage)` when it has one, queued to the consumer's thread.
class FullCoreDataUpdateOperation : public TQAggregateOperation
{
    Q_OBJECT
public:
    static inline const QString kOperationName = QStringLiteral("FullCoreDataUpdateOperation");
    static inline const QString kStartedNotification = QStringLiteral("kCordelFullCoreDataUpdateStarted");
    static inline const QString kFinishedNotification = QStringLiteral("kCordelFullCoreDataUpdateFinished");
    static inline const QString kProgressSelector =
        QStringLiteral("progressStatus:elProcessed:elTotal:percentage:");
    enum ProgressStatus {
        kFetchingContacts = 666,
        kFetchingFiles = 777,
        kProcessingContacts = 888,
        kProcessingFiles = 999,
    };

    // Nothing for no session.
    static std::shared_ptr<FullCoreDataUpdateOperation> operationWithSession(TQSessionProtocol* session);
    FullCoreDataUpdateOperation();
    explicit FullCoreDataUpdateOperation(TQSessionProtocol* session);
    // Posts the finished notification (when notifications are on).
    ~FullCoreDataUpdateOperation() override;

    bool shouldSendNotification() const { return m_shouldSendNotification; }
    void setShouldSendNotification(bool flag) { m_shouldSendNotification = flag; }
    bool isCancellable() const { return false; }
    // Receives the rebuild's did-save notification through its updateOperationContextDidSave slot (the
    // master context); watched, not owned.
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    quint64 progressTotalFiles() const { return m_progressTotalFiles; }
    quint64 progressTotalContacts() const { return m_progressTotalContacts; }
    float progressPartFile() const { return m_progressPartFile; }
    float progressPartContact() const { return m_progressPartContact; }

    QStringList keyArguments() const override;
    void setup() override;
    void performOperation() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

    Q_INVOKABLE void largestChangestampDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void listContactsDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void fileListDidFinishWithResults(const QVariant& result, const QVariant& error);

    // The passes of the rebuild over the given context (public for tests).
    void setFeeds(const GDataFeedPtr& contactFeed, const GDataFeedPtr& fileFeed);
    void updateContactsInContextUsingContactList(ManagedObjectContext* context,
                                                 const std::shared_ptr<ContactList>& list);
    void updateCategoriesInContextUsingFileList(ManagedObjectContext* context,
                                                const std::shared_ptr<FileList>& list);
    void updateFilesInContextUsingFileList(ManagedObjectContext* context,
                                           const std::shared_ptr<FileList>& list);
    // Entries applied between two saves of the rebuild.
    static constexpr int kSaveChunk = 250;
    // The whole rebuild with its saves; the first save's error, or a null error. What the feeds no
    // longer hold is deleted in the last save, so a failure never removes anything.
    Error rebuildInContext(ManagedObjectContext* context);

private:
    // Saves every few hundred entries so that the context never holds a whole account of unsaved
    // records (each lookup of the store would go through all of them). A failure stops the rebuild.
    bool saveIfDue(ManagedObjectContext* context, bool force = false);
    void sendProgress(int status, float processed, quint64 total, float percentage);
    void notifyOperationStarted();
    void notifyOperationFinished();
    void releaseFeeds();

    std::atomic<bool> m_receivedCallback{false};
    Error m_error;
    QPointer<ManagedObjectContext> m_localContext;
    GDataFeedPtr m_contactFeed;
    GDataFeedPtr m_fileFeed;
    QList<GDataEntryPtr> m_contactFromFeed;
    QList<GDataEntryPtr> m_categoriesFromFeed;
    QList<GDataEntryPtr> m_filesFromFeed;
    QPointer<QObject> m_delegate;
    quint64 m_progressTotalFiles = 0;
    quint64 m_progressTotalContacts = 0;
    float m_progressPartFile = 0;
    float m_progressPartContact = 0;
    bool m_shouldSendNotification = false;
    bool m_started = false;
    QVariant m_changestamp;
    int m_unsavedEntries = 0;
    Error m_rebuildError;
};

} // namespace tavrel
