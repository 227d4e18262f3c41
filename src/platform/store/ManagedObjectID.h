#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

namespace tavrel {

class EntityDescription;

// Identifies one record of one store; valid in every context of that store. A record inserted and not
// yet saved has a temporary id, which turns permanent (same value, flag cleared) when it is saved.
class ManagedObjectID
{
public:
    ManagedObjectID() = default;
    ManagedObjectID(const EntityDescription* entity, qint64 primaryKey, bool temporary = false)
        : m_entity(entity), m_key(primaryKey), m_temporary(temporary)
    {}

    bool isNull() const { return m_entity == nullptr; }
    bool isTemporaryID() const { return m_temporary; }
    const EntityDescription* entity() const { return m_entity; }
    qint64 primaryKey() const { return m_key; }
    // "Entity/p12" (temporary ids "Entity/t12"), for logs.
    QString toString() const;

    // Keys are unique inside an entity hierarchy, so the root entity and key identify a record.
    bool operator==(const ManagedObjectID& other) const;
    bool operator!=(const ManagedObjectID& other) const { return !(*this == other); }
    bool operator<(const ManagedObjectID& other) const;

private:
    friend class ManagedObjectContext;
    friend class StoreSaveWriter;
    const EntityDescription* m_entity = nullptr;
    qint64 m_key = 0;
    bool m_temporary = false;
};

size_t qHash(const ManagedObjectID& id, size_t seed = 0);

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::ManagedObjectID)
