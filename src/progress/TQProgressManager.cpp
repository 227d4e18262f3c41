#include "progress/TQProgressManager.h"

#include "platform/runtime/NotificationCenter.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/runtime/Timing.h"
#include "platform/system/TQLog.h"

#include <QTimer>
#include <atomic>
#include <mutex>

namespace tavrel {

namespace {
inline const Timing kUpdateFinishedMessageDuration{"updateFinishedMessage", 2000};

QVariant nameOrNull(const TQProgressSession* session)
{
    return session ? QVariant(session->name()) : QVariant();
}
} // namespace

TQProgressManager* TQProgressManager::progressManager()
{
    static std::mutex mutex;
    static TQProgressManager* shared = nullptr;
    std::lock_guard lock(mutex);
    if (!shared)
        shared = new TQProgressManager();
    return shared;
}

TQProgressManager::TQProgressManager()
{
    // Timers and queued work of the manager belong to the main thread, whoever asks first.
    if (!ThreadDispatch::isMainThread())
        moveToThread(ThreadDispatch::mainThread());
    for (const QString& name : {kFastUpdateFinishedNotification, kFullUpdateFinishedNotification}) {
        NotificationCenter::defaultCenter().addObserver(
            this, name, QVariant(),
            [this](const Notification& notification) { onUpdateDidFinish(notification); });
    }
}

void TQProgressManager::actionWillStart(const QString& action, const QVariantMap& arguments)
{
    if (action.isNull())
        return;
    const TQProgressActionPtr progressAction = TQProgressAction::actionWithName(action, arguments);
    if (!progressAction)
        return;
    ThreadDispatch::performOnMainThread([this, progressAction] { startProgressSession(progressAction); },
                                        false);
}

void TQProgressManager::actionDidFinish(const QString& action, const QVariantMap& arguments)
{
    if (action.isNull())
        return;
    const TQProgressActionPtr progressAction = TQProgressAction::actionWithName(action, arguments);
    if (!progressAction)
        return;
    ThreadDispatch::performOnMainThread([this, progressAction] { endProgressSession(progressAction); },
                                        false);
}

void TQProgressManager::actionDidProgress(const QString& action, const QVariantMap& arguments, quint64 part,
                                          quint64 total)
{
    if (action.isNull())
        return;
    const TQProgressActionPtr progressAction = TQProgressAction::actionWithName(action, arguments);
    if (!progressAction)
        return;
    progressAction->setProgressPart(part);
    progressAction->setProgressTotal(total);
    TQLog("Action <%@> progress: part=%llu, total=%llu", progressAction->identifier(), QString::number(part),
          QString::number(total));
    ThreadDispatch::performOnMainThread([this, progressAction] { updateProgressSession(progressAction); },
                                        false);
}

void TQProgressManager::startProgressSession(const TQProgressActionPtr& action)
{
    if (!action || action->identifier().isEmpty() || action->name().isEmpty()) {
        TQLog("E: Unexpected receive startProgressSession: bad arguments");
        return;
    }
    TQProgressSession* session = m_storage.value(action->name());
    if (!session) {
        session = TQProgressSession::sessionWithName(action->name());
        session->setParent(this);
        addSession(session);
    }
    session->addAction(action);
    m_storage.insert(action->identifier(), session);
    if (!m_hasActivity) {
        setHasActivity(true);
        TQLog("PM: Activity started");
    }
}

void TQProgressManager::endProgressSession(const TQProgressActionPtr& action)
{
    if (!action || action->identifier().isEmpty() || action->name().isEmpty()) {
        TQLog("E: Unexpected receive endProgressSession: bad arguments");
        return;
    }
    if (TQProgressSession* session = m_storage.value(action->name())) {
        session->removeAction(action);
        m_storage.remove(action->identifier());
        if (session->numberOfActions() == 0)
            removeSession(session);
    }
    if (m_storage.isEmpty()) {
        setHasActivity(false);
        TQLog("PM: Activity finished");
    }
}

void TQProgressManager::updateProgressSession(const TQProgressActionPtr& action)
{
    if (!action)
        return;
    if (TQProgressSession* session = m_storage.value(action->identifier()))
        session->updateAction(action);
}

void TQProgressManager::addSession(TQProgressSession* session)
{
    if (!session)
        return;
    TQLog("PM: added session => %@", session->name());
    m_storage.insert(session->name(), session);
    // Ascending priority; among equals the earlier one stays nearer the end, on top.
    qsizetype index = 0;
    while (index < m_progressQueue.size() && m_progressQueue.at(index)->priority() < session->priority())
        ++index;
    m_progressQueue.insert(index, session);
    emit activeSessionsChanged();
    checkTopSession();
}

void TQProgressManager::removeSession(TQProgressSession* session)
{
    if (!session)
        return;
    TQLog("PM: removed session => %@", session->name());
    if (m_storage.value(session->name()) == session)
        m_storage.remove(session->name());
    m_progressQueue.removeAll(session);
    emit activeSessionsChanged();
    checkTopSession();
    // Observers may still hold it during the current event.
    if (session->parent() == this)
        session->deleteLater();
}

void TQProgressManager::checkTopSession()
{
    TQProgressSession* top = m_progressQueue.isEmpty() ? nullptr : m_progressQueue.last();
    if (top == m_topSession)
        return;
    m_topSession = top;
    emit topSessionChanged(top);
    TQLog("PM: current session => %@", nameOrNull(top));
}

void TQProgressManager::setHasActivity(bool hasActivity)
{
    m_hasActivity = hasActivity;
    emit hasActivityChanged(hasActivity);
}

void TQProgressManager::onUpdateDidFinish(const Notification& notification)
{
    Q_UNUSED(notification);
    static std::atomic<quint64> counter{0};
    const QString identifier = QStringLiteral("custom_%1").arg(++counter);
    ThreadDispatch::performOnMainThread(
        [this, identifier] {
            startProgressSession(std::make_shared<TQProgressAction>(
                kUpdateFinishedSessionName, QVariantMap{{TQProgressAction::kActionIDKey, identifier}},
                identifier));
            const quint64 generation = m_generation;
            QTimer::singleShot(kUpdateFinishedMessageDuration.milliseconds(), this,
                               [this, identifier, generation] {
                                   if (generation == m_generation)
                                       removeStaticUpdateMessage(identifier);
                               });
        },
        false);
}

void TQProgressManager::removeStaticUpdateMessage(const QString& identifier)
{
    endProgressSession(std::make_shared<TQProgressAction>(
        kUpdateFinishedSessionName, QVariantMap{{TQProgressAction::kActionIDKey, identifier}}, identifier));
}

void TQProgressManager::resetForTesting()
{
    ++m_generation;
    const QList<TQProgressSession*> sessions = m_progressQueue;
    m_storage.clear();
    m_progressQueue.clear();
    for (TQProgressSession* session : sessions)
        delete session;
    m_topSession = nullptr;
    m_hasActivity = false;
}

} // namespace tavrel
