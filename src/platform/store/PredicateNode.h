#pragma once

#include "platform/store/Predicate.h"

#include <QList>
#include <QSet>
#include <QVariant>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrel {

// The parsed form of a predicate; shared, immutable.
class PredicateNode
{
public:
    enum class Kind { True, False, And, Or, Not, Comparison, Block };
    struct Expression
    {
        enum class Kind { Constant, KeyPath, Self };
        Kind kind = Kind::Constant;
        QVariant constant;
        QString keyPath; // without a leading "SELF."
    };

    Kind kind = Kind::True;
    QList<std::shared_ptr<const PredicateNode>> children;
    Expression left;
    Expression right;
    Predicate::Operator op = Predicate::Operator::Equal;
    int options = 0;
    Predicate::Modifier modifier = Predicate::Modifier::Direct;
    std::function<bool(const QVariant&)> block;

    // A long constant list of texts is looked up through a set, built once on first use.
    const QSet<QString>* textSet() const;

    bool evaluate(const QVariant& object) const;
    QString format() const;
    static QVariant valueOf(const Expression& expression, const QVariant& object);
    static bool compare(Predicate::Operator op, int options, const QVariant& left, const QVariant& right);

private:
    mutable std::once_flag m_textSetOnce;
    mutable std::unique_ptr<QSet<QString>> m_textSet;
};

} // namespace tavrel
