#include "platform/runtime/Notification.h"

namespace tavrel {

QObject* Notification::objectAsQObject() const
{
    if (m_object.metaType().flags() & QMetaType::PointerToQObject)
        return *static_cast<QObject* const*>(m_object.constData());
    return nullptr;
}

bool Notification::sameObject(const QVariant& a, const QVariant& b)
{
    const bool aObject = a.metaType().flags() & QMetaType::PointerToQObject;
    const bool bObject = b.metaType().flags() & QMetaType::PointerToQObject;
    if (aObject || bObject) {
        if (aObject != bObject)
            return false;
        return *static_cast<QObject* const*>(a.constData()) == *static_cast<QObject* const*>(b.constData());
    }
    return a == b;
}

} // namespace tavrel
