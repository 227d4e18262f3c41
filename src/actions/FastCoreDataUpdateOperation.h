#pragma once

#include "notifications/TQExternalNotification.h"
#include "pipeline/TQAggregateOperation.h"
#include "platform/gdata/GDataEntryBase.h"

#include <QPointer>

namespace tavrel {

class GDataFeedDocList;
class ManagedObjectContext;
class TQSessionProtocol;

// The incremental synchronisation: every change after the account's stored changestamp ("ChangesFeed";
// first "LargestChangestamp" while none is stored) applied in this worker thread's context in one
// save: removed entries deleted, the others created or refreshed. Documents newly shared by others,
// and documents others changed since the user viewed them, raise a desktop notification. The new
// changestamp is stored only once the changes are saved, so a failed save fetches them again.
//
// The requester's callback receives the error (nil after success) as its first argument, as the
// full synchronisation's does.
class FastCoreDataUpdateOperation : public TQAggregateOperation
{
    Q_OBJECT
public:
    static inline const QString kOperationName = QStringLiteral("FastCoreDataUpdateOperation");
    static inline const QString kStartedNotification = QStringLiteral("kCordelFastCoreDataUpdateStarted");
    static inline const QString kFinishedNotification = QStringLiteral("kCordelFastCoreDataUpdateFinished");
    static inline const QString kLargestChangestampKeyFormat = QStringLiteral("TQlargestChangestamp%1");
    static inline const QString kDocumentsRemovedKey = QStringLiteral("documentsRemoved");
    static inline const QString kDocumentsUpdatedKey = QStringLiteral("documentsUpdated");
    // Posted (on the operation's thread) when the changes could not be saved, with the Error under
    // kErrorKey: the window tells the user, as a background run has no caller to answer.
    static inline const QString kSaveFailedNotification = QStringLiteral("kCordelCoreDataUpdateSaveFailed");
    static inline const QString kErrorKey = QStringLiteral("error");

    // Nothing for no session.
    static std::shared_ptr<FastCoreDataUpdateOperation> operationWithSession(TQSessionProtocol* session);
    FastCoreDataUpdateOperation();
    explicit FastCoreDataUpdateOperation(TQSessionProtocol* session);
    // Posts the finished notification (when notifications are on).
    ~FastCoreDataUpdateOperation() override;

    bool shouldSendNotification() const { return m_shouldSendNotification; }
    void setShouldSendNotification(bool flag) { m_shouldSendNotification = flag; }
    // Receives the did-save notification through its updateOperationContextDidSave slot; watched.
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // The account's address: the session store's user name.
    QString username() const;
    // The settings key of the account's stamp.
    QString largestChangestampKey() const;
    // The stamp (read from the settings on first use); invalid when none is stored.
    QVariant largestChangestamp();
    // Keeps the stamp and writes it to the settings at once.
    void setLargestChangestamp(const QVariant& stamp);

    QStringList keyArguments() const override;
    void setup() override;
    void performOperation() override;
    void willStartOperation(const TQOperationPtr& operation) override;
    void didFinishOperation(const TQOperationPtr& operation) override;
    void allSuboperationsDidFinish() override;

    // Applies {"documentsRemoved", "documentsUpdated"} (lists of GDataEntryPtr) to this thread's
    // context and prepares the desktop notifications, which are raised once the changes are saved.
    void updateLocalContextWithParameter(const QVariantMap& parameter);

private:
    // The changes feed's entries applied and saved; the stamp moves on once they are.
    void applyChanges(const std::shared_ptr<GDataFeedDocList>& feed);
    void notifyOperationStarted();
    void notifyOperationFinished();

    TQOperationPtr m_stampStep;
    TQOperationPtr m_changesStep;
    // A failed save of the changes (the steps' errors are the aggregate's first error).
    Error m_error;
    QPointer<ManagedObjectContext> m_localContext;
    QVariant m_largestChangestamp;
    QPointer<QObject> m_delegate;
    bool m_shouldSendNotification = false;
    QList<TQExternalNotification> m_pendingNotifications;
};

} // namespace tavrel
