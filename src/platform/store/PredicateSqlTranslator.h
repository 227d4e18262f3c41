#pragma once

#include <QString>
#include <QVariantList>

namespace tavrel {

class AttributeDescription;
class EntityDescription;
class PredicateNode;
class StoreSchema;

// Translates what it can of a predicate into SQL over a table alias; the rest is evaluated in memory.
class PredicateSqlTranslator
{
public:
    explicit PredicateSqlTranslator(const StoreSchema& schema) : m_schema(schema) {}

    // The condition in out, its values appended to binds; false when the predicate has no SQL form,
    // and then the caller drops what out and binds hold.
    bool translate(const PredicateNode& n, const EntityDescription* e, const QString& alias, QString& out,
                   QVariantList& binds);

private:
    bool path(const PredicateNode& n, const EntityDescription* e, const QString& alias,
              const QStringList& comps, QString& out, QVariantList& binds);
    bool attributeAtom(const PredicateNode& n, const AttributeDescription* a, const QString& col,
                       QString& out, QVariantList& binds);
    bool keyAtom(const PredicateNode& n, const EntityDescription* destination, const QString& col,
                 QString& out, QVariantList& binds);
    bool selfAtom(const PredicateNode& n, const EntityDescription* e, const QString& alias, QString& out,
                  QVariantList& binds);

    const StoreSchema& m_schema;
    int m_aliases = 0; // subquery aliases made so far
};

} // namespace tavrel
