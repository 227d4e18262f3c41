#include "platform/store/Predicate.h"

#include "platform/store/KeyValueCoding.h"
#include "platform/store/PredicateNode.h"
#include "platform/store/PredicateParser.h"

#include <QDateTime>

namespace tavrel {

Predicate Predicate::fromFormat(const QString& format, const QVariantList& arguments)
{
    return PredicateParser(format, arguments).parse();
}

Predicate Predicate::truePredicate()
{
    auto node = std::make_shared<PredicateNode>();
    node->kind = PredicateNode::Kind::True;
    return Predicate(node);
}

Predicate Predicate::falsePredicate()
{
    auto node = std::make_shared<PredicateNode>();
    node->kind = PredicateNode::Kind::False;
    return Predicate(node);
}

Predicate Predicate::comparison(const QString& keyPath, Operator op, const QVariant& value, int options,
                                Modifier modifier)
{
    auto node = std::make_shared<PredicateNode>();
    node->kind = PredicateNode::Kind::Comparison;
    QStringList parts = keyPath.split(QLatin1Char('.'));
    if (parts.first().compare(QLatin1String("SELF"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty()) {
        node->left.kind = PredicateNode::Expression::Kind::Self;
    } else {
        node->left.kind = PredicateNode::Expression::Kind::KeyPath;
        node->left.keyPath = parts.join(QLatin1Char('.'));
    }
    node->right.kind = PredicateNode::Expression::Kind::Constant;
    node->right.constant = value.typeId() == QMetaType::QStringList ? QVariant(value.toList()) : value;
    node->op = op;
    node->options = options;
    node->modifier = modifier;
    return Predicate(node);
}

Predicate Predicate::compound(int kind, const QList<Predicate>& predicates)
{
    auto node = std::make_shared<PredicateNode>();
    node->kind = PredicateNode::Kind(kind);
    for (const Predicate& p : predicates)
        node->children.append(p.isNull() ? truePredicate().node() : p.node());
    return Predicate(node);
}

Predicate Predicate::andPredicate(const QList<Predicate>& predicates)
{
    return compound(int(PredicateNode::Kind::And), predicates);
}

Predicate Predicate::orPredicate(const QList<Predicate>& predicates)
{
    return compound(int(PredicateNode::Kind::Or), predicates);
}

Predicate Predicate::notPredicate(const Predicate& predicate)
{
    return compound(int(PredicateNode::Kind::Not), {predicate});
}

Predicate Predicate::withBlock(std::function<bool(const QVariant& object)> block)
{
    auto node = std::make_shared<PredicateNode>();
    node->kind = PredicateNode::Kind::Block;
    node->block = std::move(block);
    return Predicate(node);
}

bool Predicate::evaluate(const QVariant& object) const
{
    return !m_node || m_node->evaluate(object);
}

bool Predicate::evaluate(const ManagedObject* object) const
{
    if (!m_node)
        return true;
    if (!object)
        return m_node->evaluate(QVariant());
    ManagedObjectPtr holder = std::const_pointer_cast<ManagedObject>(object->shared_from_this());
    return m_node->evaluate(QVariant::fromValue(holder));
}

QString Predicate::predicateFormat() const
{
    return m_node ? m_node->format() : QStringLiteral("TRUEPREDICATE");
}

QVariant PredicateNode::valueOf(const Expression& expression, const QVariant& object)
{
    switch (expression.kind) {
    case Expression::Kind::Constant:
        return expression.constant;
    case Expression::Kind::Self:
        return object;
    case Expression::Kind::KeyPath:
        return KeyValueCoding::valueForKeyPath(object, expression.keyPath);
    }
    return {};
}

bool PredicateNode::compare(Predicate::Operator op, int options, const QVariant& left, const QVariant& right)
{
    using Op = Predicate::Operator;
    int order = 0;
    switch (op) {
    case Op::Equal:
        return KeyValueCoding::valuesEqual(left, right, options);
    case Op::NotEqual:
        return !KeyValueCoding::valuesEqual(left, right, options);
    case Op::Less:
        return KeyValueCoding::compareValues(left, right, &order, options) && order < 0;
    case Op::LessOrEqual:
        return KeyValueCoding::compareValues(left, right, &order, options) && order <= 0;
    case Op::Greater:
        return KeyValueCoding::compareValues(left, right, &order, options) && order > 0;
    case Op::GreaterOrEqual:
        return KeyValueCoding::compareValues(left, right, &order, options) && order >= 0;
    case Op::In:
        if (KeyValueCoding::isList(right)) {
            for (const QVariant& element : right.toList())
                if (KeyValueCoding::valuesEqual(left, element, options))
                    return true;
            return false;
        }
        // Text in text: nil is in nothing and holds nothing, as for the other string operators.
        if (right.typeId() == QMetaType::QString && left.typeId() == QMetaType::QString &&
            !KeyValueCoding::isNil(left) && !KeyValueCoding::isNil(right))
            return KeyValueCoding::stringMatch(KeyValueCoding::Contains, right.toString(), left.toString(),
                                               options);
        return false;
    case Op::BeginsWith:
    case Op::EndsWith:
    case Op::Contains:
    case Op::Like:
    case Op::Matches: {
        if (op == Op::Contains && KeyValueCoding::isList(left)) {
            for (const QVariant& element : left.toList())
                if (KeyValueCoding::valuesEqual(element, right, options))
                    return true;
            return false;
        }
        if (left.typeId() != QMetaType::QString || right.typeId() != QMetaType::QString ||
            left.toString().isNull() || right.toString().isNull())
            return false;
        const auto sop = op == Op::BeginsWith ? KeyValueCoding::BeginsWith
                         : op == Op::EndsWith ? KeyValueCoding::EndsWith
                         : op == Op::Contains ? KeyValueCoding::Contains
                         : op == Op::Like     ? KeyValueCoding::Like
                                              : KeyValueCoding::Matches;
        return KeyValueCoding::stringMatch(sop, left.toString(), right.toString(), options);
    }
    }
    return false;
}

const QSet<QString>* PredicateNode::textSet() const
{
    std::call_once(m_textSetOnce, [this] {
        if (!KeyValueCoding::isList(right.constant))
            return;
        const QVariantList list = right.constant.toList();
        if (list.size() < 32)
            return;
        auto set = std::make_unique<QSet<QString>>();
        set->reserve(list.size());
        for (const QVariant& v : list)
            if (v.typeId() == QMetaType::QString && !v.toString().isNull())
                set->insert(v.toString());
        m_textSet = std::move(set);
    });
    return m_textSet.get();
}

bool PredicateNode::evaluate(const QVariant& object) const
{
    switch (kind) {
    case Kind::True:
        return true;
    case Kind::False:
        return false;
    case Kind::And:
        for (const auto& c : children)
            if (!c->evaluate(object))
                return false;
        return true;
    case Kind::Or:
        for (const auto& c : children)
            if (c->evaluate(object))
                return true;
        return false;
    case Kind::Not:
        return children.isEmpty() || !children.first()->evaluate(object);
    case Kind::Block:
        return block && block(object);
    case Kind::Comparison:
        break;
    }
    const QVariant l = valueOf(left, object);
    if (modifier == Predicate::Modifier::Direct && op == Predicate::Operator::In && options == 0 &&
        right.kind == Expression::Kind::Constant && l.typeId() == QMetaType::QString) {
        if (const QSet<QString>* set = textSet())
            return set->contains(l.toString());
    }
    const QVariant r = valueOf(right, object);
    if (modifier == Predicate::Modifier::Direct)
        return compare(op, options, l, r);
    const QVariantList elements = KeyValueCoding::isList(l)  ? l.toList()
                                  : KeyValueCoding::isNil(l) ? QVariantList()
                                                             : QVariantList{l};
    for (const QVariant& e : elements) {
        const bool match = compare(op, options, e, r);
        if (modifier == Predicate::Modifier::Any && match)
            return true;
        if (modifier == Predicate::Modifier::None && match)
            return false;
        if (modifier == Predicate::Modifier::All && !match)
            return false;
    }
    return modifier != Predicate::Modifier::Any;
}

namespace {
QString formatValue(const QVariant& v)
{
    if (KeyValueCoding::isNil(v))
        return QStringLiteral("nil");
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("YES") : QStringLiteral("NO");
    if (KeyValueCoding::isNumber(v))
        return v.toString();
    if (v.typeId() == QMetaType::QString) {
        QString s = v.toString();
        s.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        return QLatin1Char('"') + s + QLatin1Char('"');
    }
    if (KeyValueCoding::isList(v)) {
        QStringList parts;
        for (const QVariant& e : v.toList())
            parts.append(formatValue(e));
        return QLatin1Char('{') + parts.join(QLatin1String(", ")) + QLatin1Char('}');
    }
    if (v.typeId() == QMetaType::QDateTime)
        return QStringLiteral("CAST(%1, \"NSDate\")").arg(v.toDateTime().toString(Qt::ISODateWithMs));
    if (const ManagedObject* r = KeyValueCoding::record(v))
        return QStringLiteral("<%1>").arg(r->objectID().toString());
    return v.toString();
}

QString formatExpression(const PredicateNode::Expression& e)
{
    switch (e.kind) {
    case PredicateNode::Expression::Kind::Self:
        return QStringLiteral("SELF");
    case PredicateNode::Expression::Kind::KeyPath:
        return e.keyPath;
    case PredicateNode::Expression::Kind::Constant:
        return formatValue(e.constant);
    }
    return {};
}
} // namespace

QString PredicateNode::format() const
{
    switch (kind) {
    case Kind::True:
        return QStringLiteral("TRUEPREDICATE");
    case Kind::False:
        return QStringLiteral("FALSEPREDICATE");
    case Kind::Block:
        return QStringLiteral("BLOCKPREDICATE");
    case Kind::Not:
        return QStringLiteral("NOT %1").arg(
            children.isEmpty() ? QString() : QStringLiteral("(%1)").arg(children.first()->format()));
    case Kind::And:
    case Kind::Or: {
        QStringList parts;
        for (const auto& c : children)
            parts.append(c->kind == Kind::And || c->kind == Kind::Or ? QStringLiteral("(%1)").arg(c->format())
                                                                     : c->format());
        return parts.join(kind == Kind::And ? QStringLiteral(" AND ") : QStringLiteral(" OR "));
    }
    case Kind::Comparison:
        break;
    }
    static const char* const names[] = {
        "==", "!=", "<", "<=", ">", ">=", "BEGINSWITH", "ENDSWITH", "CONTAINS", "LIKE", "MATCHES", "IN"};
    QString result;
    if (modifier == Predicate::Modifier::Any)
        result += QLatin1String("ANY ");
    else if (modifier == Predicate::Modifier::All)
        result += QLatin1String("ALL ");
    else if (modifier == Predicate::Modifier::None)
        result += QLatin1String("NONE ");
    result += formatExpression(left) + QLatin1Char(' ') + QLatin1String(names[int(op)]);
    if (options) {
        result += QLatin1Char('[');
        if (options & Predicate::CaseInsensitive)
            result += QLatin1Char('c');
        if (options & Predicate::DiacriticInsensitive)
            result += QLatin1Char('d');
        result += QLatin1Char(']');
    }
    return result + QLatin1Char(' ') + formatExpression(right);
}

} // namespace tavrel
