#pragma once

#include "platform/runtime/Notification.h"
#include "progress/TQProgressAction.h"
#include "progress/TQProgressSession.h"

#include <QHash>
#include <QList>
#include <QObject>

namespace tavrel {

// Gathers the running actions of the whole process into named progress sessions ordered by
// priority, for the status bar and the tray menu. The event entry points may be called on any
// thread; every change of its tables and every signal happens on the main thread. After each
// synchronisation it shows the "UpdateFinished" session for a moment.
class TQProgressManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(
        QList<tavrel::TQProgressSession*> activeSessions READ activeSessions NOTIFY activeSessionsChanged)
    Q_PROPERTY(tavrel::TQProgressSession* topSession READ topSession NOTIFY topSessionChanged)
    Q_PROPERTY(bool hasActivity READ hasActivity NOTIFY hasActivityChanged)

public:
    static inline const QString kUpdateFinishedSessionName = QStringLiteral("UpdateFinished");
    static inline const QString kFastUpdateFinishedNotification =
        QStringLiteral("kCordelFastCoreDataUpdateFinished");
    static inline const QString kFullUpdateFinishedNotification =
        QStringLiteral("kCordelFullCoreDataUpdateFinished");

    static TQProgressManager* progressManager();

    // The events of a progress consumer; any thread.
    Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments);
    Q_INVOKABLE void actionDidProgress(const QString& action, const QVariantMap& arguments, quint64 part,
                                       quint64 total);
    Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments);

    // Main thread only.
    void startProgressSession(const TQProgressActionPtr& action);
    void endProgressSession(const TQProgressActionPtr& action);
    void updateProgressSession(const TQProgressActionPtr& action);
    void addSession(TQProgressSession* session);
    void removeSession(TQProgressSession* session);
    void onUpdateDidFinish(const Notification& notification);
    void removeStaticUpdateMessage(const QString& identifier);

    // Ascending priority: the last is the top session.
    QList<TQProgressSession*> activeSessions() const { return m_progressQueue; }
    TQProgressSession* topSession() const { return m_topSession; }
    bool hasActivity() const { return m_hasActivity; }

    // Drops every session and pending message (main thread).
    void resetForTesting();

signals:
    void activeSessionsChanged();
    void topSessionChanged(tavrel::TQProgressSession* topSession);
    void hasActivityChanged(bool hasActivity);

private:
    TQProgressManager();
    void setHasActivity(bool hasActivity);
    void checkTopSession();

    // Session name to session, and action identifier to session, side by side.
    QHash<QString, TQProgressSession*> m_storage;
    QList<TQProgressSession*> m_progressQueue;
    TQProgressSession* m_topSession = nullptr;
    bool m_hasActivity = false;
    // Messages scheduled before a reset are not removed after it.
    quint64 m_generation = 0;
};

} // namespace tavrel
