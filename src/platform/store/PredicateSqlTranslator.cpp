#include "platform/store/PredicateSqlTranslator.h"

#include "platform/store/KeyValueCoding.h"
#include "platform/store/ManagedObject.h"
#include "platform/store/PredicateNode.h"
#include "platform/store/StoreSchema.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tavrel {

namespace {
using Storage = StoreSchema::Storage;

// "IN (?, ?, ...)" for short lists; long ones (thousands of kept identifiers) go as one JSON array, since
// SQLite limits the number of bound values.
QString inList(const QVariantList& values, QVariantList& binds)
{
    constexpr qsizetype kMaxBound = 200;
    if (values.size() <= kMaxBound) {
        QStringList marks;
        for (const QVariant& v : values) {
            marks.append(QStringLiteral("?"));
            binds.append(v);
        }
        return QStringLiteral("(%1)").arg(marks.join(QLatin1Char(',')));
    }
    QJsonArray array;
    for (const QVariant& v : values) {
        if (v.typeId() == QMetaType::QString)
            array.append(v.toString());
        else if (v.typeId() == QMetaType::QDateTime)
            array.append(v.toDateTime().toMSecsSinceEpoch());
        else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
            array.append(v.toDouble());
        else
            array.append(v.toLongLong());
    }
    binds.append(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
    return QStringLiteral("(SELECT value FROM json_each(?))");
}

bool kindMatches(AttributeDescription::Type type, const QVariant& v)
{
    switch (type) {
    case AttributeDescription::Type::String:
        return v.typeId() == QMetaType::QString;
    case AttributeDescription::Type::Int64:
    case AttributeDescription::Type::Double:
    case AttributeDescription::Type::Bool:
        return KeyValueCoding::isNumber(v);
    case AttributeDescription::Type::Date:
        return v.typeId() == QMetaType::QDateTime;
    case AttributeDescription::Type::Data:
        return v.typeId() == QMetaType::QByteArray;
    case AttributeDescription::Type::Transformable:
        return false;
    }
    return false;
}

bool isAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

bool recordKey(const QVariant& v, const EntityDescription* e, qint64* key)
{
    const ManagedObject* r = KeyValueCoding::record(v);
    if (!r || !r->entity() || r->entity()->rootEntity() != e->rootEntity())
        return false;
    *key = r->objectID().primaryKey();
    return true;
}

// The keys of the listed records of the entity's hierarchy; false when an element is no record.
bool recordKeys(const QVariantList& list, const EntityDescription* e, QVariantList* keys)
{
    qint64 key = 0;
    for (const QVariant& element : list) {
        if (!KeyValueCoding::record(element))
            return false;
        if (recordKey(element, e, &key))
            keys->append(key);
    }
    return true;
}
} // namespace

bool PredicateSqlTranslator::translate(const PredicateNode& n, const EntityDescription* e,
                                       const QString& alias, QString& out, QVariantList& binds)
{
    switch (n.kind) {
    case PredicateNode::Kind::True:
        out = QStringLiteral("1");
        return true;
    case PredicateNode::Kind::False:
        out = QStringLiteral("0");
        return true;
    case PredicateNode::Kind::Block:
        return false;
    case PredicateNode::Kind::Not: {
        const Nesting nesting(m_nesting, 2);
        if (nesting.tooDeep())
            return false;
        QString inner;
        if (n.children.isEmpty() || !translate(*n.children.first(), e, alias, inner, binds))
            return false;
        out = QStringLiteral("NOT (%1)").arg(inner);
        return true;
    }
    case PredicateNode::Kind::And:
    case PredicateNode::Kind::Or: {
        const Nesting nesting(m_nesting, 3);
        if (nesting.tooDeep())
            return false;
        QStringList parts;
        for (const auto& c : n.children) {
            QString part;
            if (!translate(*c, e, alias, part, binds))
                return false;
            parts.append(QLatin1Char('(') + part + QLatin1Char(')'));
        }
        if (parts.isEmpty())
            out = n.kind == PredicateNode::Kind::And ? QStringLiteral("1") : QStringLiteral("0");
        else
            out = parts.join(n.kind == PredicateNode::Kind::And ? QStringLiteral(" AND ")
                                                                : QStringLiteral(" OR "));
        return true;
    }
    case PredicateNode::Kind::Comparison:
        break;
    }
    if (n.right.kind != PredicateNode::Expression::Kind::Constant)
        return false;
    if (n.left.kind == PredicateNode::Expression::Kind::Self)
        return n.modifier == Predicate::Modifier::Direct && selfAtom(n, e, alias, out, binds);
    if (n.left.kind != PredicateNode::Expression::Kind::KeyPath)
        return false;
    return path(n, e, alias, n.left.keyPath.split(QLatin1Char('.')), out, binds);
}

bool PredicateSqlTranslator::path(const PredicateNode& n, const EntityDescription* e, const QString& alias,
                                  const QStringList& comps, QString& out, QVariantList& binds)
{
    const QString& first = comps.first();
    if (comps.size() == 1) {
        if (n.modifier != Predicate::Modifier::Direct)
            return false;
        if (const AttributeDescription* a = e->attribute(first))
            return attributeAtom(n, a, alias + QLatin1Char('.') + StoreSchema::quote(first), out, binds);
        const RelationshipDescription* r = e->relationship(first);
        if (r && !r->toMany)
            return keyAtom(n, r->destination, alias + QLatin1Char('.') + StoreSchema::quote(first), out,
                           binds);
        return false;
    }
    const RelationshipDescription* r = e->relationship(first);
    const Nesting nesting(m_nesting, 10);
    if (!r || nesting.tooDeep())
        return false;
    const QString sub = QStringLiteral("t%1").arg(++m_aliases);
    const QString destTable = StoreSchema::quote(m_schema.table(r->destination).name);
    if (!r->toMany) {
        // Through a to-one: a missing record answers false, as in memory, for these operators only.
        if (n.modifier != Predicate::Modifier::Direct || n.op == Predicate::Operator::NotEqual ||
            KeyValueCoding::isNil(n.right.constant))
            return false;
        QString inner;
        if (!path(n, r->destination, sub, comps.mid(1), inner, binds))
            return false;
        out = QStringLiteral("EXISTS (SELECT 1 FROM %1 %2 WHERE %2.Z_PK = %3.%4 AND (%5))")
                  .arg(destTable, sub, alias, StoreSchema::quote(first), inner);
        return true;
    }
    if (n.modifier == Predicate::Modifier::Direct || comps.size() != 2)
        return false;
    const AttributeDescription* a = r->destination->attribute(comps[1]);
    if (!a)
        return false;
    QString inner;
    if (!attributeAtom(n, a, sub + QLatin1Char('.') + StoreSchema::quote(comps[1]), inner, binds))
        return false;
    const StoreSchema::Relation& rel = m_schema.relation(r);
    QString from;
    if (rel.storage == Storage::InverseForeignKey) {
        from = QStringLiteral("FROM %1 %2 WHERE %2.%3 = %4.Z_PK")
                   .arg(destTable, sub, StoreSchema::quote(rel.column), alias);
    } else if (rel.storage == Storage::JoinTable) {
        const QString j = QStringLiteral("j%1").arg(m_aliases);
        from = QStringLiteral("FROM %1 %2 JOIN %3 %4 ON %4.Z_PK = %2.%5 WHERE %2.%6 = %7.Z_PK")
                   .arg(StoreSchema::quote(rel.joinTable), j, destTable, sub, rel.otherColumn, rel.selfColumn,
                        alias);
    } else {
        return false;
    }
    switch (n.modifier) {
    case Predicate::Modifier::Any:
        out = QStringLiteral("EXISTS (SELECT 1 %1 AND (%2))").arg(from, inner);
        return true;
    case Predicate::Modifier::None:
        out = QStringLiteral("NOT EXISTS (SELECT 1 %1 AND (%2))").arg(from, inner);
        return true;
    case Predicate::Modifier::All:
        out = QStringLiteral("NOT EXISTS (SELECT 1 %1 AND NOT (%2))").arg(from, inner);
        return true;
    default:
        return false;
    }
}

// Every atom answers 0 or 1, never NULL, so NOT behaves as in memory.
bool PredicateSqlTranslator::attributeAtom(const PredicateNode& n, const AttributeDescription* a,
                                           const QString& col, QString& out, QVariantList& binds)
{
    using Op = Predicate::Operator;
    const QVariant& v = n.right.constant;
    if (a->type == AttributeDescription::Type::Transformable)
        return false;
    if (KeyValueCoding::isNil(v)) {
        if (n.op == Op::Equal)
            out = col + QStringLiteral(" IS NULL");
        else if (n.op == Op::NotEqual)
            out = col + QStringLiteral(" IS NOT NULL");
        else
            out = QStringLiteral("0");
        return true;
    }
    if (n.op == Op::In) {
        if (!KeyValueCoding::isList(v) || n.options)
            return false;
        const QVariantList list = v.toList();
        if (list.isEmpty()) {
            out = QStringLiteral("0");
            return true;
        }
        for (const QVariant& element : list)
            if (KeyValueCoding::isNil(element) || !kindMatches(a->type, element) ||
                a->type == AttributeDescription::Type::Data)
                return false;
        out = QStringLiteral("(%1 IS NOT NULL AND %1 IN %2)").arg(col, inList(list, binds));
        return true;
    }
    if (!kindMatches(a->type, v))
        return false;
    const bool text = a->type == AttributeDescription::Type::String;
    switch (n.op) {
    case Op::Equal:
        if (n.options == Predicate::CaseInsensitive && text && isAscii(v.toString())) {
            // Text equal under folding to an ASCII text is ASCII text equal ignoring case (the folding
            // turns nothing else into ASCII), which a NOCASE index answers; the folding confirms.
            out = QStringLiteral("(%1 = ? COLLATE NOCASE AND tv_eq(%1, ?, %2))").arg(col).arg(n.options);
            binds.append(v);
        } else if (n.options && text) {
            out = QStringLiteral("tv_eq(%1, ?, %2)").arg(col).arg(n.options);
        } else {
            out = col + QStringLiteral(" IS ?");
        }
        binds.append(v);
        return true;
    case Op::NotEqual:
        if (n.options && text)
            out = QStringLiteral("NOT tv_eq(%1, ?, %2)").arg(col).arg(n.options);
        else
            out = col + QStringLiteral(" IS NOT ?");
        binds.append(v);
        return true;
    case Op::Less:
    case Op::LessOrEqual:
    case Op::Greater:
    case Op::GreaterOrEqual: {
        if (n.options)
            return false;
        static const char* const ops[] = {"<", "<=", ">", ">="};
        out = QStringLiteral("(%1 IS NOT NULL AND %1 %2 ?)")
                  .arg(col, QLatin1String(ops[int(n.op) - int(Op::Less)]));
        binds.append(v);
        return true;
    }
    case Op::BeginsWith:
    case Op::EndsWith:
    case Op::Contains:
    case Op::Like:
    case Op::Matches: {
        if (!text)
            return false;
        const int sop = n.op == Op::BeginsWith ? KeyValueCoding::BeginsWith
                        : n.op == Op::EndsWith ? KeyValueCoding::EndsWith
                        : n.op == Op::Contains ? KeyValueCoding::Contains
                        : n.op == Op::Like     ? KeyValueCoding::Like
                                               : KeyValueCoding::Matches;
        out = QStringLiteral("tv_str(%1, %2, %3, ?)").arg(sop).arg(n.options).arg(col);
        binds.append(v);
        return true;
    }
    default:
        return false;
    }
}

// A stored to-one compared with records or nil.
bool PredicateSqlTranslator::keyAtom(const PredicateNode& n, const EntityDescription* destination,
                                     const QString& col, QString& out, QVariantList& binds)
{
    using Op = Predicate::Operator;
    const QVariant& v = n.right.constant;
    qint64 key = 0;
    if (n.op == Op::Equal || n.op == Op::NotEqual) {
        const bool equal = n.op == Op::Equal;
        if (KeyValueCoding::isNil(v)) {
            out = col + (equal ? QStringLiteral(" IS NULL") : QStringLiteral(" IS NOT NULL"));
            return true;
        }
        if (!KeyValueCoding::record(v))
            return false;
        if (!recordKey(v, destination, &key)) {
            out = equal ? QStringLiteral("0") : QStringLiteral("1");
            return true;
        }
        // "=" rather than "IS": the key is never NULL, and only "=" reaches a partial index.
        out = equal ? QStringLiteral("(%1 IS NOT NULL AND %1 = ?)").arg(col)
                    : col + QStringLiteral(" IS NOT ?");
        binds.append(key);
        return true;
    }
    if (n.op == Op::In && KeyValueCoding::isList(v)) {
        QVariantList keys;
        if (!recordKeys(v.toList(), destination, &keys))
            return false;
        out = keys.isEmpty() ? QStringLiteral("0")
                             : QStringLiteral("(%1 IS NOT NULL AND %1 IN %2)").arg(col, inList(keys, binds));
        return true;
    }
    return false;
}

bool PredicateSqlTranslator::selfAtom(const PredicateNode& n, const EntityDescription* e,
                                      const QString& alias, QString& out, QVariantList& binds)
{
    using Op = Predicate::Operator;
    const QVariant& v = n.right.constant;
    const QString col = alias + QStringLiteral(".Z_PK");
    qint64 key = 0;
    if (n.op == Op::Equal || n.op == Op::NotEqual) {
        const bool equal = n.op == Op::Equal;
        if (KeyValueCoding::isNil(v)) {
            out = equal ? QStringLiteral("0") : QStringLiteral("1");
            return true;
        }
        if (!KeyValueCoding::record(v))
            return false;
        if (!recordKey(v, e, &key)) {
            out = equal ? QStringLiteral("0") : QStringLiteral("1");
            return true;
        }
        out = col + (equal ? QStringLiteral(" = ?") : QStringLiteral(" <> ?"));
        binds.append(key);
        return true;
    }
    if (n.op == Op::In && KeyValueCoding::isList(v)) {
        QVariantList keys;
        if (!recordKeys(v.toList(), e, &keys))
            return false;
        out = keys.isEmpty() ? QStringLiteral("0") : QStringLiteral("%1 IN %2").arg(col, inList(keys, binds));
        return true;
    }
    return false;
}

} // namespace tavrel
