#pragma once

#include "platform/runtime/Notification.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>
#include <mutex>

namespace tavrel {

// Process-wide broadcast of named notifications. Delivery is synchronous, on the posting thread, in
// the order observers were added. An observer is tied to a context object and is removed when that
// object is destroyed. All operations are thread-safe.
class NotificationCenter
{
public:
    using Handler = std::function<void(const Notification&)>;
    using ObserverId = quint64;

    static NotificationCenter& defaultCenter();

    // Observes notifications of the name (every name when empty) concerning the object (every object
    // when invalid). Answers an id for removeObserver().
    ObserverId addObserver(QObject* context, const QString& name, const QVariant& object, Handler handler);
    ObserverId addObserver(QObject* context, const QString& name, QObject* object, Handler handler)
    {
        return addObserver(context, name, object ? QVariant::fromValue(object) : QVariant(),
                           std::move(handler));
    }
    void removeObserver(ObserverId id);
    // Removes every registration made with the context.
    void removeObserver(QObject* context);

    void post(const Notification& notification);
    void post(const QString& name, const QVariant& object = {}, const QVariantMap& userInfo = {})
    {
        post(Notification(name, object, userInfo));
    }
    void post(const QString& name, QObject* object, const QVariantMap& userInfo = {})
    {
        post(Notification(name, object ? QVariant::fromValue(object) : QVariant(), userInfo));
    }

    int observerCount() const;

private:
    NotificationCenter() = default;
    struct Observer
    {
        ObserverId id = 0;
        QObject* context = nullptr; // key only, never dereferenced
        QPointer<QObject> guard;
        QString name;
        QVariant object;
        std::shared_ptr<Handler> handler;
        QMetaObject::Connection destroyedConnection;
    };

    mutable std::recursive_mutex m_mutex;
    QList<Observer> m_observers;
    ObserverId m_nextId = 1;
};

} // namespace tavrel
