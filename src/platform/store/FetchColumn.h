#pragma once

#include "platform/store/Predicate.h"

#include <QString>

namespace tavrel {

// One value read with the ids of a fetch (ManagedObjectContext::executeFetchRequestForValues), so a
// long list can be ordered and cut into groups without loading its records:
// - keyPath: an attribute, also one reached through to-ones ("owner.address"; nil where a link is
//   missing), a to-one itself (the ManagedObjectID of the related record, nil when none) or
//   "entity.name";
// - count: the number of records a to-many relationship of the record holds;
// - condition: whether the predicate holds for the record (a bool).
class FetchColumn
{
public:
    enum class Kind { KeyPath, Count, Condition };

    static FetchColumn keyPath(const QString& keyPath) { return FetchColumn(Kind::KeyPath, keyPath, {}); }
    static FetchColumn count(const QString& relationship)
    {
        return FetchColumn(Kind::Count, relationship, {});
    }
    static FetchColumn condition(const Predicate& predicate)
    {
        return FetchColumn(Kind::Condition, {}, predicate);
    }

    Kind kind() const { return m_kind; }
    const QString& key() const { return m_key; }
    const Predicate& predicate() const { return m_predicate; }

    bool operator==(const FetchColumn& other) const
    {
        return m_kind == other.m_kind && m_key == other.m_key &&
               m_predicate.predicateFormat() == other.m_predicate.predicateFormat();
    }

private:
    FetchColumn(Kind kind, QString key, Predicate predicate)
        : m_kind(kind), m_key(std::move(key)), m_predicate(std::move(predicate))
    {}

    Kind m_kind;
    QString m_key;
    Predicate m_predicate;
};

} // namespace tavrel
