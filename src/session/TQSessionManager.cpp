#include "session/TQSessionManager.h"

#include "platform/runtime/Exception.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/system/TQLog.h"

#include <QCoreApplication>

namespace tavrel {

TQSessionManager* TQSessionManager::sharedManager()
{
    static std::mutex mutex;
    static TQSessionManager* shared = nullptr;
    std::lock_guard lock(mutex);
    if (!shared) {
        shared = new TQSessionManager();
        if (!ThreadDispatch::isMainThread())
            shared->moveToThread(ThreadDispatch::mainThread());
    }
    return shared;
}

TQSessionManager::TQSessionManager() = default;

TQSessionManager::~TQSessionManager()
{
    std::lock_guard lock(m_mutex);
    for (const auto& session : std::as_const(m_sessions))
        stopObserving(session.get());
    m_sessions.clear();
}

TQSession* TQSessionManager::sessionWithUsername(const QString& username) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_sessions.constFind(username);
    return it == m_sessions.cend() ? nullptr : it->get();
}

QList<TQSession*> TQSessionManager::activeSessions() const
{
    std::lock_guard lock(m_mutex);
    QList<TQSession*> sessions;
    for (const auto& session : m_sessions)
        sessions.append(session.get());
    return sessions;
}

void TQSessionManager::switchToSessionWithUsername(const QString& username)
{
    if (TQSession* session = sessionWithUsername(username))
        setCurrentSession(session);
}

void TQSessionManager::setCurrentSession(TQSession* session)
{
    m_currentSession = session;
    emit currentSessionChanged(session);
}

void TQSessionManager::startSessionForAccount(std::shared_ptr<WXAccount> account,
                                              const CompletionHandler& handler)
{
    std::shared_ptr<TQSession> session;
    try {
        session = TQSession::sessionWithAccount(std::move(account));
    } catch (const Exception& exception) {
        // A store that cannot be opened (unreadable, or damaged and not movable) is the caller's to
        // report; the program goes on without a session.
        TQLog("E: TQSessionManager: cannot open the store: %@", exception.reason());
        if (handler)
            handler(nullptr, Error(kTQSessionManagerDomain, kStoreUnavailableErrorCode,
                                   {{Error::kLocalizedFailureReasonKey, exception.reason()}}));
        return;
    }
    if (!session) {
        if (handler)
            handler(nullptr, Error(kTQSessionManagerDomain, kNoSessionErrorCode));
        return;
    }
    session->start();
    if (session->state() == TQSession::kStopped) {
        if (handler)
            handler(nullptr, Error(kTQSessionManagerDomain, kSessionNotStartedErrorCode));
        return;
    }
    TQSession* filed = session.get();
    m_stateObservers.insert(filed, connect(filed, &TQSession::stateChanged, this,
                                           [this, filed] { sessionStateDidChange(filed); }));
    emit activeSessionsWillChange();
    std::shared_ptr<TQSession> replaced;
    {
        std::lock_guard lock(m_mutex);
        // A second session for one user name replaces the first, which then stops.
        replaced = m_sessions.take(filed->username());
        m_sessions.insert(filed->username(), session);
    }
    emit activeSessionsChanged();
    if (replaced) {
        stopObserving(replaced.get());
        replaced->stop();
    }
    setCurrentSession(filed);
    if (handler)
        handler(filed, Error());
}

void TQSessionManager::sessionStateDidChange(TQSession* session)
{
    if (session->state() != TQSession::kStopped)
        return;
    stopObserving(session);
    emit activeSessionsWillChange();
    std::shared_ptr<TQSession> dropped;
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_sessions.find(session->username());
        if (it != m_sessions.end() && it->get() == session) {
            dropped = *it;
            m_sessions.erase(it);
        }
        if (m_currentSession == session) {
            TQSession* next = m_sessions.isEmpty() ? nullptr : m_sessions.last().get();
            setCurrentSession(next);
        }
    }
    emit activeSessionsChanged();
    // Still inside the session's own stop: it goes once that call has returned.
    if (dropped)
        QMetaObject::invokeMethod(
            this, [dropped] {}, Qt::QueuedConnection);
}

void TQSessionManager::stopObserving(const TQSession* session)
{
    disconnect(m_stateObservers.take(session));
}

void TQSessionManager::resetForTesting()
{
    for (TQSession* session : activeSessions())
        session->stop();
    QCoreApplication::sendPostedEvents(this);
}

} // namespace tavrel
