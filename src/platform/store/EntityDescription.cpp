#include "platform/store/EntityDescription.h"

#include "platform/runtime/Exception.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

EntityDescription& EntityDescription::setAbstract(bool abstract)
{
    m_abstract = abstract;
    return *this;
}

EntityDescription& EntityDescription::addAttribute(const QString& name, AttributeDescription::Type type,
                                                   const QVariant& defaultValue, bool indexed)
{
    AttributeDescription a;
    a.name = name;
    a.type = type;
    a.defaultValue = defaultValue;
    a.indexed = indexed;
    m_ownAttributes.push_back(a);
    return *this;
}

EntityDescription& EntityDescription::addToOne(const QString& name, const QString& destination,
                                               const QString& inverse,
                                               RelationshipDescription::DeleteRule rule)
{
    RelationshipDescription r;
    r.name = name;
    r.destinationName = destination;
    r.inverseName = inverse;
    r.toMany = false;
    r.deleteRule = rule;
    m_ownRelationships.push_back(r);
    return *this;
}

EntityDescription& EntityDescription::addToMany(const QString& name, const QString& destination,
                                                const QString& inverse,
                                                RelationshipDescription::DeleteRule rule)
{
    RelationshipDescription r;
    r.name = name;
    r.destinationName = destination;
    r.inverseName = inverse;
    r.toMany = true;
    r.deleteRule = rule;
    m_ownRelationships.push_back(r);
    return *this;
}

EntityDescription& EntityDescription::addIndex(const QStringList& attributeNames)
{
    m_indexes.append(attributeNames);
    return *this;
}

EntityDescription& EntityDescription::addCaseInsensitiveIndex(const QString& attributeName)
{
    if (!m_caseInsensitiveIndexes.contains(attributeName))
        m_caseInsensitiveIndexes.append(attributeName);
    return *this;
}

EntityDescription& EntityDescription::setRecordFactory(RecordFactory factory)
{
    m_factory = std::move(factory);
    return *this;
}

const EntityDescription* EntityDescription::rootEntity() const
{
    if (m_root)
        return m_root;
    const EntityDescription* e = this;
    while (e->m_parent)
        e = e->m_parent;
    return e;
}

QList<const EntityDescription*> EntityDescription::selfAndDescendants() const
{
    QList<const EntityDescription*> result{this};
    for (qsizetype i = 0; i < result.size(); ++i)
        result.append(result[i]->m_subentities);
    return result;
}

bool EntityDescription::isKindOfEntity(const EntityDescription* other) const
{
    for (const EntityDescription* e = this; e; e = e->m_parent)
        if (e == other)
            return true;
    return false;
}

const AttributeDescription* EntityDescription::attribute(const QString& name) const
{
    const int i = attributeIndex(name);
    return i < 0 ? nullptr : m_allAttributes[i];
}

int EntityDescription::attributeIndex(const QString& name) const
{
    return m_attributeIndex.value(name, -1);
}

const RelationshipDescription* EntityDescription::relationship(const QString& name) const
{
    return m_relationshipByName.value(name, nullptr);
}

const EntityDescription::RecordFactory& EntityDescription::recordFactory() const
{
    // Sub-entities without a class of their own are served by their parent's class.
    for (const EntityDescription* e = this; e; e = e->m_parent)
        if (e->m_factory)
            return e->m_factory;
    static const RecordFactory base = [] { return std::make_shared<ManagedObject>(); };
    return base;
}

} // namespace tavrel
