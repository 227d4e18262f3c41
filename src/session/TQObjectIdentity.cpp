#include "session/TQObjectIdentity.h"

#include <QHash>
#include <QObject>
#include <mutex>

namespace tavrel {

namespace {

std::mutex& identityMutex()
{
    static std::mutex mutex;
    return mutex;
}

QHash<int, std::function<const void*(const QVariant&)>>& identities()
{
    static QHash<int, std::function<const void*(const QVariant&)>> table;
    return table;
}

} // namespace

void TQObjectIdentity::registerIdentity(QMetaType type, std::function<const void*(const QVariant&)> identity)
{
    std::lock_guard lock(identityMutex());
    identities().insert(type.id(), std::move(identity));
}

const void* TQObjectIdentity::identityOf(const QVariant& value)
{
    if (!value.isValid())
        return nullptr;
    const QMetaType type = value.metaType();
    if (type.flags() & QMetaType::PointerToQObject)
        return value.value<QObject*>();
    if (type == QMetaType::fromType<QVariantList>()) {
        const auto* list = static_cast<const QVariantList*>(value.constData());
        return list->isEmpty() ? nullptr : list->constData();
    }
    std::function<const void*(const QVariant&)> identity;
    {
        std::lock_guard lock(identityMutex());
        identity = identities().value(type.id());
    }
    return identity ? identity(value) : nullptr;
}

bool TQObjectIdentity::isSameObject(const QVariant& a, const QVariant& b)
{
    const void* first = identityOf(a);
    return first && first == identityOf(b);
}

} // namespace tavrel
