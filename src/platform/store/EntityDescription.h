#pragma once

#include "platform/store/AttributeDescription.h"
#include "platform/store/RelationshipDescription.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

namespace tavrel {

class ManagedObject;
class ManagedObjectModel;

// An entity of the model: its own attributes and relationships, its parent, and the record class that
// serves it. Built by ManagedObjectModel::addEntity; immutable once the model is finalised.
class EntityDescription
{
public:
    using RecordFactory = std::function<std::shared_ptr<ManagedObject>()>;

    const QString& name() const { return m_name; }
    const QString& parentName() const { return m_parentName; }
    bool isAbstract() const { return m_abstract; }

    // Declaration (before the model is finalised). Each returns the entity for chaining.
    EntityDescription& setAbstract(bool abstract);
    EntityDescription& addAttribute(const QString& name, AttributeDescription::Type type,
                                    const QVariant& defaultValue = {}, bool indexed = false);
    EntityDescription&
    addToOne(const QString& name, const QString& destination, const QString& inverse,
             RelationshipDescription::DeleteRule rule = RelationshipDescription::DeleteRule::Nullify);
    EntityDescription&
    addToMany(const QString& name, const QString& destination, const QString& inverse,
              RelationshipDescription::DeleteRule rule = RelationshipDescription::DeleteRule::Nullify);
    // An index over one or more attribute names (single attributes may also be flagged on addAttribute).
    EntityDescription& addIndex(const QStringList& attributeNames);
    // An index that ignores ASCII letter case, for `==[c]` lookups of a text attribute.
    EntityDescription& addCaseInsensitiveIndex(const QString& attributeName);
    EntityDescription& setRecordFactory(RecordFactory factory);
    template <typename T> EntityDescription& setRecordClass()
    {
        return setRecordFactory(
            [] { return std::static_pointer_cast<ManagedObject>(std::make_shared<T>()); });
    }

    // Resolved view (after finalise); inherited properties come first.
    const EntityDescription* parent() const { return m_parent; }
    const EntityDescription* rootEntity() const;
    const QList<const EntityDescription*>& subentities() const { return m_subentities; }
    // This entity and every entity below it.
    QList<const EntityDescription*> selfAndDescendants() const;
    bool isKindOfEntity(const EntityDescription* other) const;

    const QList<const AttributeDescription*>& attributes() const { return m_allAttributes; }
    const QList<const RelationshipDescription*>& relationships() const { return m_allRelationships; }
    const AttributeDescription* attribute(const QString& name) const;
    int attributeIndex(const QString& name) const; // -1 when none
    const RelationshipDescription* relationship(const QString& name) const;
    const QList<QStringList>& indexes() const { return m_indexes; }
    const QStringList& caseInsensitiveIndexes() const { return m_caseInsensitiveIndexes; }
    const RecordFactory& recordFactory() const;

private:
    friend class ManagedObjectModel;

    QString m_name;
    QString m_parentName;
    bool m_abstract = false;
    std::deque<AttributeDescription> m_ownAttributes;
    std::deque<RelationshipDescription> m_ownRelationships;
    QList<QStringList> m_indexes;
    QStringList m_caseInsensitiveIndexes;
    RecordFactory m_factory;

    const EntityDescription* m_parent = nullptr;
    const EntityDescription* m_root = nullptr; // known once finalised
    QList<const EntityDescription*> m_subentities;
    QList<const AttributeDescription*> m_allAttributes;
    QList<const RelationshipDescription*> m_allRelationships;
    QHash<QString, int> m_attributeIndex;
    QHash<QString, const RelationshipDescription*> m_relationshipByName;
};

} // namespace tavrel

Q_DECLARE_METATYPE(const tavrel::EntityDescription*)
