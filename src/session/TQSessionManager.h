#pragma once

#include "platform/runtime/Error.h"
#include "session/TQSession.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrel {

// The process-wide registry of sessions: one per signed-in user name (the account's address), one of
// which is current. A session is filed while it runs and dropped when its state returns to 0; then
// another live session (or none) becomes current. `currentSession` and `activeSessions` are observable.
class TQSessionManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(tavrel::TQSession* currentSession READ currentSession WRITE setCurrentSession NOTIFY
                   currentSessionChanged)
    Q_PROPERTY(QList<tavrel::TQSession*> activeSessions READ activeSessions NOTIFY activeSessionsChanged)

public:
    static inline const QString kTQSessionManagerDomain = QStringLiteral("TQSessionManagerDomain");
    static constexpr qint64 kNoSessionErrorCode = -100;
    static constexpr qint64 kSessionNotStartedErrorCode = -101;
    // The account's store cannot be opened; the failure reason says why.
    static constexpr qint64 kStoreUnavailableErrorCode = -102;

    using CompletionHandler = std::function<void(TQSession* session, const Error& error)>;

    static TQSessionManager* sharedManager();
    TQSessionManager();
    ~TQSessionManager() override;

    TQSession* sessionWithUsername(const QString& username) const;
    // A snapshot of the live sessions, in no defined order.
    QList<TQSession*> activeSessions() const;
    // Makes the named session current; nothing for an unknown name.
    void switchToSessionWithUsername(const QString& username);
    // Creates and starts a session for the account; the handler is called once, before this returns,
    // with the filed session or with error -100 (no account), -101 (it did not start) or -102 (its store
    // cannot be opened).
    void startSessionForAccount(std::shared_ptr<WXAccount> account, const CompletionHandler& handler);

    TQSession* currentSession() const { return m_currentSession; }
    // Notifies the observers of "currentSession" on every call.
    void setCurrentSession(TQSession* session);

    // Stops and drops every session (tests, and the end of the process).
    void resetForTesting();

signals:
    void currentSessionChanged(tavrel::TQSession* session);
    void activeSessionsWillChange();
    void activeSessionsChanged();

private:
    void sessionStateDidChange(TQSession* session);
    void stopObserving(const TQSession* session);

    mutable std::recursive_mutex m_mutex;
    QMap<QString, std::shared_ptr<TQSession>> m_sessions;
    // The observation of each filed session's state.
    QHash<const TQSession*, QMetaObject::Connection> m_stateObservers;
    QPointer<TQSession> m_currentSession;
};

} // namespace tavrel
