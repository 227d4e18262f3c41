#include "platform/store/ManagedObjectModel.h"

#include "platform/runtime/Exception.h"

#include <QCryptographicHash>

namespace tavrel {

namespace {
[[noreturn]] void inconsistent(const QString& reason)
{
    throw Exception(Exception::kInternalInconsistencyException, reason);
}
} // namespace

EntityDescription& ManagedObjectModel::addEntity(const QString& name, const QString& parentName)
{
    if (m_finalized)
        inconsistent(QStringLiteral("The model is finalized; cannot add entity %1").arg(name));
    if (m_byName.contains(name))
        inconsistent(QStringLiteral("Entity %1 declared twice").arg(name));
    m_entities.emplace_back();
    EntityDescription& e = m_entities.back();
    e.m_name = name;
    e.m_parentName = parentName;
    m_byName.insert(name, &e);
    return e;
}

void ManagedObjectModel::finalize()
{
    if (m_finalized)
        return;
    for (auto& e : m_entities) {
        if (e.m_parentName.isEmpty())
            continue;
        EntityDescription* parent = m_byName.value(e.m_parentName);
        if (!parent)
            inconsistent(QStringLiteral("Entity %1 names unknown parent %2").arg(e.m_name, e.m_parentName));
        e.m_parent = parent;
        parent->m_subentities.append(&e);
    }
    for (auto& e : m_entities) {
        int depth = 0;
        for (const EntityDescription* p = e.m_parent; p; p = p->m_parent)
            if (++depth > int(m_entities.size()))
                inconsistent(QStringLiteral("Entity %1 is its own ancestor").arg(e.m_name));
    }
    for (auto& e : m_entities) {
        const EntityDescription* root = &e;
        while (root->m_parent)
            root = root->m_parent;
        e.m_root = root;
    }
    // Inherited properties first, in declaration order from the root down.
    for (auto& e : m_entities) {
        QList<EntityDescription*> chain;
        for (EntityDescription* p = &e; p; p = const_cast<EntityDescription*>(p->m_parent))
            chain.prepend(p);
        for (EntityDescription* p : chain) {
            for (auto& a : p->m_ownAttributes) {
                if (e.m_attributeIndex.contains(a.name) || e.m_relationshipByName.contains(a.name))
                    inconsistent(QStringLiteral("Property %1 declared twice in %2").arg(a.name, e.m_name));
                e.m_attributeIndex.insert(a.name, int(e.m_allAttributes.size()));
                e.m_allAttributes.append(&a);
            }
            for (auto& r : p->m_ownRelationships) {
                if (e.m_attributeIndex.contains(r.name) || e.m_relationshipByName.contains(r.name))
                    inconsistent(QStringLiteral("Property %1 declared twice in %2").arg(r.name, e.m_name));
                e.m_relationshipByName.insert(r.name, &r);
                e.m_allRelationships.append(&r);
            }
        }
    }
    for (auto& e : m_entities) {
        for (auto& r : e.m_ownRelationships) {
            r.entity = &e;
            r.destination = m_byName.value(r.destinationName);
            if (!r.destination)
                inconsistent(QStringLiteral("Relationship %1.%2 names unknown entity %3")
                                 .arg(e.m_name, r.name, r.destinationName));
        }
    }
    for (auto& e : m_entities) {
        for (auto& r : e.m_ownRelationships) {
            if (r.inverseName.isEmpty())
                continue;
            const RelationshipDescription* inv = r.destination->relationship(r.inverseName);
            if (!inv)
                inconsistent(QStringLiteral("Relationship %1.%2 names unknown inverse %3.%4")
                                 .arg(e.m_name, r.name, r.destinationName, r.inverseName));
            if (inv->inverseName != r.name ||
                !(e.isKindOfEntity(inv->destination) || inv->destination->isKindOfEntity(&e)))
                inconsistent(QStringLiteral("Relationships %1.%2 and %3.%4 are not each other's inverse")
                                 .arg(e.m_name, r.name, r.destinationName, r.inverseName));
            r.inverse = inv;
        }
    }
    // The index of a relationship is its position in each entity's list; inherited ones keep the
    // position they have in the parent, since inherited properties come first.
    for (auto& e : m_entities)
        for (int i = 0; i < e.m_allRelationships.size(); ++i)
            if (e.m_allRelationships[i]->entity == &e)
                const_cast<RelationshipDescription*>(e.m_allRelationships[i])->index = i;
    for (auto& e : m_entities)
        for (const QStringList& index : e.m_indexes)
            for (const QString& name : index)
                if (!e.m_attributeIndex.contains(name) && !e.m_relationshipByName.contains(name))
                    inconsistent(
                        QStringLiteral("Index of %1 names unknown attribute %2").arg(e.m_name, name));
    for (auto& e : m_entities)
        for (const QString& name : e.m_caseInsensitiveIndexes) {
            const AttributeDescription* a = e.attribute(name);
            if (!a || a->type != AttributeDescription::Type::String)
                inconsistent(QStringLiteral("Case-insensitive index of %1 names no text attribute %2")
                                 .arg(e.m_name, name));
        }
    m_finalized = true;
}

const EntityDescription* ManagedObjectModel::entity(const QString& name) const
{
    return m_byName.value(name, nullptr);
}

QList<const EntityDescription*> ManagedObjectModel::entities() const
{
    QList<const EntityDescription*> result;
    for (const auto& e : m_entities)
        result.append(&e);
    return result;
}

QString ManagedObjectModel::versionHash() const
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const auto& e : m_entities) {
        hash.addData(QStringLiteral("E%1<%2%3;").arg(e.m_name, e.m_parentName).arg(e.m_abstract).toUtf8());
        for (const auto& a : e.m_ownAttributes)
            hash.addData(QStringLiteral("A%1:%2:%3;").arg(a.name).arg(int(a.type)).arg(a.indexed).toUtf8());
        for (const auto& r : e.m_ownRelationships)
            hash.addData(QStringLiteral("R%1>%2/%3:%4:%5;")
                             .arg(r.name, r.destinationName, r.inverseName)
                             .arg(r.toMany)
                             .arg(int(r.deleteRule))
                             .toUtf8());
        for (const auto& i : e.m_indexes)
            hash.addData(QStringLiteral("I%1;").arg(i.join(QLatin1Char(','))).toUtf8());
        for (const auto& i : e.m_caseInsensitiveIndexes)
            hash.addData(QStringLiteral("C%1;").arg(i).toUtf8());
    }
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace tavrel
