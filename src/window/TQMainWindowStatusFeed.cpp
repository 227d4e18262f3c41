#include "window/TQMainWindowStatusFeed.h"

#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "progress/TQProgressSession.h"
#include "session/ConnectionStatus.h"
#include "window/IStatusBar.h"

#include <QPointer>

namespace tavrel {

TQMainWindowStatusFeed::TQMainWindowStatusFeed(BarProvider bar, QObject* parent)
    : QObject(parent), m_bar(std::move(bar))
{
    NotificationCenter::defaultCenter().addObserver(this, ConnectionStatus::kCordelConnectionStatusChanged,
                                                    QVariant(), [this](const Notification& notification) {
                                                        showConnectionStatus(
                                                            notification.object().toLongLong() != 0);
                                                    });
    TQProgressManager* progress = TQProgressManager::progressManager();
    connect(progress, &TQProgressManager::topSessionChanged, this,
            &TQMainWindowStatusFeed::topSessionDidChange);
    topSessionDidChange(progress->topSession());
}

TQMainWindowStatusFeed::~TQMainWindowStatusFeed()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    for (auto it = m_progressConnections.begin(); it != m_progressConnections.end(); ++it)
        for (const auto& connection : std::as_const(it.value()))
            disconnect(connection);
}

QString TQMainWindowStatusFeed::progressIdentifier(const TQProgressSession* session)
{
    return session ? session->name() + QStringLiteral("_%1").arg(quint64(quintptr(session))) : QString();
}

quint64 TQMainWindowStatusFeed::progressPercentage(quint64 part, quint64 total)
{
    return total == 0 ? 0 : part * 100 / total;
}

void TQMainWindowStatusFeed::showConnectionStatus(bool offline)
{
    IStatusBar* bar = m_bar();
    if (!bar)
        return;
    const QString identifier = IStatusBar::kConnectionStatusIdentifier;
    if (offline)
        bar->showStatus(StringTable::text(QStringLiteral("ServiceUnreachable")), identifier);
    else
        bar->removeStatusWithIdentifier(identifier);
}

void TQMainWindowStatusFeed::topSessionDidChange(TQProgressSession* session)
{
    if (!session || m_progressConnections.contains(session))
        return;
    const QString identifier = progressIdentifier(session);
    QPointer<TQProgressSession> watched = session;
    QList<QMetaObject::Connection> connections;
    connections << connect(session, &TQProgressSession::progressChanged, this, [this, watched, identifier] {
        if (!watched)
            return;
        IStatusBar* bar = m_bar();
        if (watched->isCompleted()) {
            if (bar) {
                if (watched->hasProgress())
                    bar->removeProgressWithIdentifier(identifier);
                else
                    bar->removeStatusWithIdentifier(identifier);
            }
            stopObservingProgressSession(watched);
            return;
        }
        if (bar)
            bar->setProgressValue(
                double(progressPercentage(watched->progressPart(), watched->progressTotal())), identifier);
    });
    connections << connect(session, &TQProgressSession::humanReadableNameChanged, this,
                           [this, identifier](const QString& name) {
                               if (IStatusBar* bar = m_bar())
                                   bar->setMessage(name, identifier);
                           });
    connections << connect(session, &QObject::destroyed, this,
                           [this, session, identifier, hasProgress = session->hasProgress()] {
                               // A session that goes away has completed.
                               if (IStatusBar* bar = m_bar()) {
                                   if (hasProgress)
                                       bar->removeProgressWithIdentifier(identifier);
                                   else
                                       bar->removeStatusWithIdentifier(identifier);
                               }
                               m_progressConnections.remove(session);
                           });
    m_progressConnections.insert(session, connections);
    IStatusBar* bar = m_bar();
    if (!bar)
        return;
    if (!session->isStatic())
        bar->setIndicateActivity(true);
    if (session->hasProgress())
        bar->showProgress(session->humanReadableName(), identifier);
    else
        bar->showStatus(session->humanReadableName(), identifier);
}

void TQMainWindowStatusFeed::stopObservingProgressSession(TQProgressSession* session)
{
    for (const auto& connection : m_progressConnections.take(session))
        disconnect(connection);
}

} // namespace tavrel
