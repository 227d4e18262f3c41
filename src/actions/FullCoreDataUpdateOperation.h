#pragma once

#include "pipeline/TQAggregateOperation.h"
#include "platform/gdata/GDataEntryBase.h"
#include "platform/gdata/GDataFeedBase.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <memory>

class QTemporaryFile;

namespace tavrel {

class Category;
class Contact;
class ContactList;
class File;
class FileEntryAbstract;
class FileList;
class ManagedObjectContext;
class RecordLookupCache;
class TQSessionProtocol;

// The full synchronisation: the account's largest changestamp ("LargestChangestamp"), the whole
// contact feed ("ListContacts") and the whole document list with expanded access lists ("FileList"),
// the store rebuilt from them in this worker thread's context: what the feeds hold is created or
// refreshed, what they no longer hold is deleted.
//
// The lists are applied page by page as they arrive, saved every kSaveChunk entries, and each page is
// let go once applied, so an account of any size never sits in memory whole. Until the last page has
// arrived only new records are added: records the store already held and that the service changed are
// set aside and refreshed after it, together with links to collections that came on a later page, and
// what the feeds no longer hold is deleted in the last save. So a synchronisation that fails midway
// changes and removes nothing the previous one left, and the changestamp, stored once the last save
// succeeded, lets the incremental synchronisation go on from the state the store now holds.
//
// The requester's callback receives the error (nil after success) as its first argument (a method
// `xxx(const QVariant& error)`; a `(result, error)` method gets the error in both). Progress goes to
// the progress consumer's `progressStatus(int status, float processed, quint64 total, float
// percentage)` when it has one, queued to the consumer's thread; while pages still come, a total is
// what the service announced or else the entries seen so far.
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
    // Receives the rebuild's did-save notifications through its updateOperationContextDidSave slot (the
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

    // Entries applied between two saves of the rebuild.
    static constexpr int kSaveChunk = 250;
    // The whole rebuild over two complete feeds in the given context (tests): each feed is applied
    // as one page, then the rebuild is finished. The first save's error, or a null error.
    void setFeeds(const GDataFeedPtr& contactFeed, const GDataFeedPtr& fileFeed);
    Error rebuildInContext(ManagedObjectContext* context);

private:
    enum class Kind : quint8 { Contact, Category, File };
    // A record whose collections came after it: linked once every page is in.
    struct PendingLink
    {
        QString identifier;
        Kind kind;
        QStringList parents;
    };

    // The pages, as the lists hand them over; an error stops the list.
    Error applyContactPage(const GDataFeedPtr& page);
    Error applyDocumentPage(const GDataFeedPtr& page);
    // The entries of one page, or (`replaying`) those set aside: they neither count for progress nor
    // are set aside again.
    void applyContacts(const QList<GDataEntryPtr>& entries, bool replaying);
    void applyDocuments(const QList<GDataEntryPtr>& entries, bool replaying);
    void applyCategory(const GDataEntryPtr& entry, std::shared_ptr<Category> category, bool replaying);
    void applyFile(const GDataEntryPtr& entry, std::shared_ptr<File> file, bool replaying);
    // Fills a record's relationships, linking it to the collections of its entry that are in the
    // store and remembering the others.
    void linkParents(const std::shared_ptr<FileEntryAbstract>& record, const GDataEntryPtr& entry,
                     const QString& identifier, Kind kind);
    // Keeps an entry of a record the store held for after the last page.
    void setAside(Kind kind, const GDataEntryPtr& entry);
    // After the last page: what was set aside, the late links, the lists' tags and the deletions, in
    // the last save.
    Error finishRebuild(const GDataFeedPtr& contactFeed, const GDataFeedPtr& fileFeed);
    void replaySetAside();
    void resolvePendingLinks();
    template <class T> void deleteNotKept(const QString& entity, const QSet<QString>& kept);
    // The rebuild's error, or an error for a page that came after the operation ended.
    Error lateOrFailed() const;
    // Makes the rebuild's context and lookups on the first page.
    bool beginRebuild(ManagedObjectContext* context = nullptr);
    // Lets go of everything the rebuild held, on the thread that made it.
    void endRebuild();

    // Saves every few hundred entries so that the context never holds a whole account of unsaved
    // records (each lookup of the store would go through all of them). A failure stops the rebuild.
    bool saveIfDue(bool force = false);
    void countContact();
    void countDocuments(float amount);
    void sendProgress(int status, float processed, quint64 total, float percentage);
    void notifyOperationStarted();
    void notifyOperationFinished();

    QPointer<ManagedObjectContext> m_localContext;
    std::unique_ptr<RecordLookupCache> m_lookups;
    std::shared_ptr<ContactList> m_contactList;
    std::shared_ptr<FileList> m_fileList;
    bool m_contactsSeen = false;
    bool m_contactsUnchanged = false;
    bool m_documentsSeen = false;
    QSet<QString> m_keptContacts;
    QSet<QString> m_keptCategories;
    QSet<QString> m_keptFiles;
    QList<PendingLink> m_pendingLinks;
    std::unique_ptr<QTemporaryFile> m_setAside;
    int m_unsavedEntries = 0;
    Error m_rebuildError;
    GDataFeedPtr m_testContactFeed;
    GDataFeedPtr m_testFileFeed;

    QPointer<QObject> m_delegate;
    quint64 m_progressTotalFiles = 0;
    quint64 m_progressTotalContacts = 0;
    quint64 m_seenFiles = 0;
    quint64 m_seenContacts = 0;
    float m_progressPartFile = 0;
    float m_progressPartContact = 0;
    bool m_shouldSendNotification = false;
    TQOperationPtr m_stampStep;
    TQOperationPtr m_contactStep;
    TQOperationPtr m_fileStep;
};

} // namespace tavrel
