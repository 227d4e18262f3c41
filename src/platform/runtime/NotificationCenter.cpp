#include "platform/runtime/NotificationCenter.h"

namespace tavrel {

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter* center = new NotificationCenter; // used until the process ends
    return *center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(QObject* context, const QString& name,
                                                               const QVariant& object, Handler handler)
{
    if (!context || !handler)
        return 0;
    std::lock_guard lock(m_mutex);
    Observer observer;
    observer.id = m_nextId++;
    observer.context = context;
    observer.guard = context;
    observer.name = name;
    observer.object = object;
    observer.handler = std::make_shared<Handler>(std::move(handler));
    const ObserverId id = observer.id;
    // Direct: runs on the destroying thread, before the context's memory is gone.
    observer.destroyedConnection =
        QObject::connect(context, &QObject::destroyed, [this, id] { removeObserver(id); });
    m_observers.append(std::move(observer));
    return id;
}

void NotificationCenter::removeObserver(ObserverId id)
{
    std::lock_guard lock(m_mutex);
    for (qsizetype i = 0; i < m_observers.size(); ++i) {
        if (m_observers.at(i).id == id) {
            QObject::disconnect(m_observers.at(i).destroyedConnection);
            m_observers.removeAt(i);
            return;
        }
    }
}

void NotificationCenter::removeObserver(QObject* context)
{
    std::lock_guard lock(m_mutex);
    for (qsizetype i = m_observers.size() - 1; i >= 0; --i) {
        if (m_observers.at(i).context == context) {
            QObject::disconnect(m_observers.at(i).destroyedConnection);
            m_observers.removeAt(i);
        }
    }
}

void NotificationCenter::post(const Notification& notification)
{
    QList<std::pair<ObserverId, std::shared_ptr<Handler>>> targets;
    {
        std::lock_guard lock(m_mutex);
        for (const Observer& observer : std::as_const(m_observers)) {
            if (!observer.name.isEmpty() && observer.name != notification.name())
                continue;
            if (observer.object.isValid() &&
                !Notification::sameObject(observer.object, notification.object()))
                continue;
            targets.append({observer.id, observer.handler});
        }
    }
    for (const auto& [id, handler] : targets) {
        // An observer removed by an earlier handler of this post is skipped.
        bool stillObserving = false;
        {
            std::lock_guard lock(m_mutex);
            for (const Observer& observer : std::as_const(m_observers))
                if (observer.id == id && !observer.guard.isNull()) {
                    stillObserving = true;
                    break;
                }
        }
        if (stillObserving)
            (*handler)(notification);
    }
}

int NotificationCenter::observerCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_observers.size());
}

} // namespace tavrel
