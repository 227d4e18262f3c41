#include "platform/store/ManagedObjectID.h"

#include "platform/store/EntityDescription.h"

namespace tavrel {

QString ManagedObjectID::toString() const
{
    if (!m_entity)
        return QStringLiteral("(null)");
    return QStringLiteral("%1/%2%3")
        .arg(m_entity->name(), m_temporary ? QStringLiteral("t") : QStringLiteral("p"))
        .arg(m_key);
}

bool ManagedObjectID::operator==(const ManagedObjectID& other) const
{
    if (!m_entity || !other.m_entity)
        return m_entity == other.m_entity;
    return m_key == other.m_key && m_entity->rootEntity() == other.m_entity->rootEntity();
}

bool ManagedObjectID::operator<(const ManagedObjectID& other) const
{
    const void* a = m_entity ? m_entity->rootEntity() : nullptr;
    const void* b = other.m_entity ? other.m_entity->rootEntity() : nullptr;
    if (a != b)
        return std::less<const void*>()(a, b);
    return m_key < other.m_key;
}

size_t qHash(const ManagedObjectID& id, size_t seed)
{
    const void* root = id.entity() ? id.entity()->rootEntity() : nullptr;
    return qHashMulti(seed, root, id.primaryKey());
}

} // namespace tavrel
