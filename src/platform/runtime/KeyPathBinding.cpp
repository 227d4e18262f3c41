#include "platform/runtime/KeyPathBinding.h"

#include <QDynamicPropertyChangeEvent>
#include <QEvent>
#include <QMetaProperty>

namespace tavrel {

KeyPathBinding::KeyPathBinding(QObject* root, const QString& keyPath, Receiver receiver, QObject* parent)
    : QObject(parent), m_root(root), m_keys(keyPath.split(QLatin1Char('.'), Qt::SkipEmptyParts)),
      m_receiver(std::move(receiver))
{
    const QVariant initial = resolve(true);
    if (initial.isValid() && m_receiver)
        m_receiver(initial);
}

KeyPathBinding::~KeyPathBinding()
{
    disconnectAll();
}

QVariant KeyPathBinding::value() const
{
    return const_cast<KeyPathBinding*>(this)->resolve(false);
}

void KeyPathBinding::unbind()
{
    m_bound = false;
    disconnectAll();
}

void KeyPathBinding::disconnectAll()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
    for (const QPointer<QObject>& watched : std::as_const(m_watched))
        if (watched)
            watched->removeEventFilter(this);
    m_watched.clear();
}

QVariant KeyPathBinding::resolve(bool connectAlongPath)
{
    if (connectAlongPath)
        disconnectAll();
    QObject* object = m_root;
    const int changedSlot = metaObject()->indexOfSlot("pathChanged()");
    for (int i = 0; object && i < m_keys.size(); ++i) {
        const QByteArray key = m_keys.at(i).toUtf8();
        if (connectAlongPath) {
            const int index = object->metaObject()->indexOfProperty(key.constData());
            const QMetaProperty property =
                index >= 0 ? object->metaObject()->property(index) : QMetaProperty();
            if (property.hasNotifySignal()) {
                m_connections.append(QObject::connect(object, property.notifySignal(), this,
                                                      metaObject()->method(changedSlot)));
            } else if (index < 0) {
                // A dynamic property: its setting arrives as an event.
                object->installEventFilter(this);
                m_watched.append(object);
            }
            m_connections.append(QObject::connect(object, &QObject::destroyed, this,
                                                  &KeyPathBinding::pathChanged, Qt::QueuedConnection));
        }
        const QVariant value = object->property(key.constData());
        if (i == m_keys.size() - 1)
            return value;
        object = (value.metaType().flags() & QMetaType::PointerToQObject) ? value.value<QObject*>() : nullptr;
    }
    return {};
}

bool KeyPathBinding::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::DynamicPropertyChange) {
        const auto* change = static_cast<QDynamicPropertyChangeEvent*>(event);
        const int position = m_watched.indexOf(watched);
        if (position >= 0 && m_keys.contains(QString::fromUtf8(change->propertyName())))
            pathChanged();
    }
    return QObject::eventFilter(watched, event);
}

void KeyPathBinding::pathChanged()
{
    if (!m_bound)
        return;
    const QVariant value = resolve(true);
    if (m_receiver)
        m_receiver(value);
}

} // namespace tavrel
