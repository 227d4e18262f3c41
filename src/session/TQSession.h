#pragma once

#include "accounts/WXAccount.h"
#include "actions/ContactManager.h"
#include "actions/DocumentManager.h"
#include "model/TQCacheManager.h"
#include "model/TQMOCManager.h"
#include "pipeline/TQOperation.h"
#include "pipeline/TQQueueManager.h"
#include "pipeline/TQSessionProtocol.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace tavrel {

class Notification;

// The life of one signed-in account: owns the account and its services (store, document and contact
// managers, queues), fills an empty store by a first full synchronisation (and completes one that an
// earlier run left midway), and reacts to the connection being lost while that runs. Its observable
// `state`:
//   0 stopped, 1 starting, 2 first full synchronisation running, 3 first full synchronisation failed,
//   4 connection lost during the first synchronisation, 5 running.
// Main thread only.
class TQSession : public QObject, public TQSessionProtocol
{
    Q_OBJECT
    Q_PROPERTY(int state READ state WRITE setState NOTIFY stateChanged)
    Q_PROPERTY(QString username READ username)
    Q_PROPERTY(bool needsSignIn READ needsSignIn NOTIFY needsSignInChanged)

public:
    enum State {
        kStopped = 0,
        kStarting = 1,
        kFirstSyncRunning = 2,
        kFirstSyncFailed = 3,
        kConnectionLost = 4,
        kRunning = 5,
    };

    // The usage event of every start.
    static inline const QString kTrackCategory = QStringLiteral("Action");
    static inline const QString kTrackName = QStringLiteral("Session");
    static inline const QString kTrackValue = QStringLiteral("Start");
    static inline const QString kFullUpdateCallbackSelector =
        QStringLiteral("fullCoreDataUpdateOperationDidFinishWithError:");
    static inline const QString kProgressStatusSelector =
        QStringLiteral("progressStatus:elProcessed:elTotal:percentage:");
    // The most favourites chosen automatically.
    static constexpr int kAutomaticFavoritesCount = 5;

    // Nothing for no account. Opens the account's store: may raise "CannotCreatePersistentStore".
    static std::unique_ptr<TQSession> sessionWithAccount(std::shared_ptr<WXAccount> account);
    explicit TQSession(std::shared_ptr<WXAccount> account, QObject* parent = nullptr);
    // The queues go first (they wait for running operations), then the managers, then the store.
    ~TQSession() override;

    int state() const { return m_state; }
    // Notifies the observers of "state" on every call.
    void setState(int state);

    std::shared_ptr<WXAccount> account() const { return m_account; }
    void setAccount(std::shared_ptr<WXAccount> account) { m_account = std::move(account); }
    // The account's identifier (the user's address).
    QString username() const;
    std::shared_ptr<GDataAuthorizer> authentication() const override;

    // Receives the first synchronisation's progress (see progressStatus); not owned, may be null.
    QObject* initProgressConsumer() const { return m_initProgressConsumer; }
    void setInitProgressConsumer(QObject* consumer) { m_initProgressConsumer = consumer; }

    TQMOCManager* mocManager() const override { return m_mocManager.get(); }
    DocumentManager* documentManager() const override { return m_documentManager.get(); }
    ContactManager* contactManager() const override { return m_contactManager.get(); }
    TQQueueManager* queueManager() const override { return m_queueManager.get(); }
    // The caches of downloaded copies, thumbnails and contact photos, in the account's folder.
    TQCacheManager* cacheManager() const override { return m_cacheManager.get(); }

    void start();
    void stop();
    // Exactly stop (what the user's "Logout" runs).
    void logout();
    // Stops, then empties the caches (in the background), the store and the document manager's state.
    void clean();

    // Queues an action of the document ("dmh") or contact ("cmh") manager without a callback: how the
    // store's cache bookkeeping asks for newer copies without a session header.
    Q_INVOKABLE void executeManagerAction(const QString& handlerPrefix, const QString& action,
                                          const QVariantMap& parameters);

    void startSessionManagers();
    void stopSessionManagers();
    // Whether start runs a full synchronisation: for an empty store, and for one whose last full
    // synchronisation never completed (no changestamp stored for the account).
    bool needsFullSynchronisation();
    // Runs the first full synchronisation (state 2).
    void createMasterContext();
    // The first full synchronisation's end: error (an Error) or nothing.
    Q_INVOKABLE void fullCoreDataUpdateOperationDidFinishWithError(const QVariant& error);
    void onConnectionStatusDidChange(const Notification& notification);
    // Marks up to five people the user shares with most as favourites, when there are none.
    void createContactFavoritesAutomatically();
    // The full synchronisation's progress, handed to the initProgressConsumer when it responds.
    Q_INVOKABLE void progressStatus(int status, float elProcessed, quint64 elTotal, float percentage);

    // Makes and queues the named update operation, "FullCoreDataUpdateOperation" or
    // "FastCoreDataUpdateOperation" (the master context asks through this), with its delegate and
    // whether it posts its started and finished notifications. Another name is logged and ignored.
    Q_INVOKABLE void scheduleUpdateOperation(const QString& className, bool shouldSendNotification,
                                             QObject* delegate);
    TQOperationPtr updateOperationWithClassName(const QString& className, bool shouldSendNotification,
                                                QObject* delegate);

    // The store half of TQSessionProtocol.
    QVariant managedObjectContextForCurrentThread() override;
    QVariant masterManagedObjectContext() override;
    bool isManagedObjectContext(const QVariant& value) const override;
    QVariant fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                     QVariant* detectedSource = nullptr) override;

    // The end of every synchronisation (error null on success). A refused sign-in sets needsSignIn; a
    // success clears it.
    void synchronisationDidFinish(const Error& error);
    Error lastSynchronisationError() const { return m_lastSynchronisationError; }
    // The service refused the account's tokens: nothing synchronises until the user signs in again.
    bool needsSignIn() const { return m_needsSignIn; }
    // Whether the error says the service refused the account's sign-in (rather than failed to answer).
    static bool isSignInRefusal(const Error& error);

signals:
    void stateChanged(int state);
    void synchronisationFinished(const tavrel::Error& error);
    void needsSignInChanged(bool needsSignIn);

private:
    void cleanAfterFailedFirstSynchronisation();

    int m_state = kStopped;
    // The store held records when the full synchronisation of the start began.
    bool m_storeHeldRecords = false;
    Error m_lastSynchronisationError;
    bool m_needsSignIn = false;
    std::shared_ptr<WXAccount> m_account;
    QPointer<QObject> m_initProgressConsumer;
    std::unique_ptr<TQMOCManager> m_mocManager;
    std::unique_ptr<DocumentManager> m_documentManager;
    std::unique_ptr<ContactManager> m_contactManager;
    std::unique_ptr<TQQueueManager> m_queueManager;
    std::unique_ptr<TQCacheManager> m_cacheManager;
};

} // namespace tavrel
