#pragma once

#include "platform/store/ManagedObject.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <memory>
#include <type_traits>

namespace tavrel {

class PredicateNode;

// A filter over records (or any object reachable by key-value access: records, QVariantMap, QObject
// properties, plain values for SELF). Parsed from a format string whose values come only from the
// arguments: "%@" is a value, "%K" a key path. A value from an argument is always matched literally.
//
//     Predicate::format("title CONTAINS[cd] %@ AND owner.address BEGINSWITH[c] %@", search, me)
//     Predicate::format("ANY editors.address == %@", me)
//     Predicate::format("NOT (identifier IN %@)", keptIdentifiers)
//
// Grammar: comparisons = == != <> < <= =< > >= => BEGINSWITH ENDSWITH CONTAINS LIKE MATCHES IN, each
// string operator with [c], [d] or [cd]; ANY/SOME, ALL, NONE before a to-many key path; AND && OR ||
// NOT !; parentheses; SELF; nil NULL; TRUEPREDICATE FALSEPREDICATE; YES NO TRUE FALSE; quoted strings
// and numbers; {a, b} lists. A format that does not parse raises NSInvalidArgumentException.
// A null Predicate (default-made) accepts everything.
class Predicate
{
public:
    enum class Operator {
        Equal,
        NotEqual,
        Less,
        LessOrEqual,
        Greater,
        GreaterOrEqual,
        BeginsWith,
        EndsWith,
        Contains,
        Like,
        Matches,
        In
    };
    enum Option { CaseInsensitive = 1, DiacriticInsensitive = 2 };
    enum class Modifier { Direct, Any, All, None };

    Predicate() = default;

    static Predicate fromFormat(const QString& format, const QVariantList& arguments = {});
    template <typename... Args> static Predicate format(const QString& format, const Args&... args)
    {
        return fromFormat(format, QVariantList{argument(args)...});
    }
    static Predicate truePredicate();
    static Predicate falsePredicate();
    static Predicate comparison(const QString& keyPath, Operator op, const QVariant& value, int options = 0,
                                Modifier modifier = Modifier::Direct);
    static Predicate andPredicate(const QList<Predicate>& predicates);
    static Predicate orPredicate(const QList<Predicate>& predicates);
    static Predicate notPredicate(const Predicate& predicate);
    // Evaluated in memory only; the block gets the object (a record as a ManagedObjectPtr).
    static Predicate withBlock(std::function<bool(const QVariant& object)> block);

    bool isNull() const { return !m_node; }
    bool evaluate(const QVariant& object) const;
    bool evaluate(const ManagedObject* object) const;
    bool evaluate(const ManagedObjectPtr& object) const { return evaluate(object.get()); }
    // The predicate written back as a format (arguments inlined), for logs.
    QString predicateFormat() const;

    const std::shared_ptr<const PredicateNode>& node() const { return m_node; }

    // Argument conversion for format(): records become ManagedObjectPtr values, C strings QString.
    template <typename T> static QVariant argument(const T& value)
    {
        if constexpr (std::is_convertible_v<T, ManagedObjectPtr>)
            return QVariant::fromValue(ManagedObjectPtr(value));
        else if constexpr (std::is_pointer_v<T> &&
                           std::is_base_of_v<ManagedObject, std::remove_cv_t<std::remove_pointer_t<T>>>)
            return value ? QVariant::fromValue(
                               std::const_pointer_cast<ManagedObject>(value->shared_from_this()))
                         : QVariant();
        else if constexpr (std::is_convertible_v<T, const char*>)
            return QVariant(QString::fromUtf8(value));
        else if constexpr (std::is_same_v<T, QVariant>)
            return value;
        else
            return QVariant::fromValue(value);
    }
    template <typename T> static QVariant argument(const QList<std::shared_ptr<T>>& values)
    {
        QVariantList list;
        for (const auto& v : values)
            list.append(QVariant::fromValue(ManagedObjectPtr(v)));
        return list;
    }

private:
    explicit Predicate(std::shared_ptr<const PredicateNode> node) : m_node(std::move(node)) {}
    static Predicate compound(int kind, const QList<Predicate>& predicates);
    friend class PredicateParser;
    std::shared_ptr<const PredicateNode> m_node;
};

} // namespace tavrel
