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
    // SQLite parses an expression on a stack of 100 entries: a "NOT (" takes about two of them, an
    // "(..) AND (" three, a subquery ten. A predicate that would nest deeper runs in memory instead.
    static constexpr int kMaximumNesting = 60;
    struct Nesting
    {
        Nesting(int& depth, int cost) : m_depth(depth), m_cost(cost) { m_depth += cost; }
        ~Nesting() { m_depth -= m_cost; }
        bool tooDeep() const { return m_depth > kMaximumNesting; }
        int& m_depth;
        int m_cost;
    };

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
    int m_nesting = 0; // the parser stack the condition being written needs, by the costs above
};

} // namespace tavrel
