#include "pipeline/TQObjectIdentity.h"

#include <QObject>
#include <QPointer>

namespace tavrel {

namespace {

// The address of the object a pointer or list refers to; nullptr for any other value.
const void* addressOf(const QVariant& value)
{
    if (!value.isValid())
        return nullptr;
    const QMetaType type = value.metaType();
    if (type.flags() & QMetaType::PointerToQObject)
        return value.value<QObject*>();
    if (type == QMetaType::fromType<QPointer<QObject>>())
        return value.value<QPointer<QObject>>().data();
    if (type.flags() & QMetaType::IsPointer)
        return *static_cast<const void* const*>(value.constData());
    if (type == QMetaType::fromType<QVariantList>()) {
        const auto* list = static_cast<const QVariantList*>(value.constData());
        return list->isEmpty() ? nullptr : list->constData();
    }
    return nullptr;
}

} // namespace

bool TQObjectIdentity::isSameObject(const QVariant& a, const QVariant& b)
{
    if (const void* first = addressOf(a))
        return first == addressOf(b);
    // Shared pointers are equal exactly when they point to the same object.
    const QMetaType type = a.metaType();
    return a.isValid() && type == b.metaType() && QByteArray(type.name()).startsWith("std::shared_ptr<") &&
           a == b;
}

} // namespace tavrel
