#pragma once

#include <QString>
#include <QVariant>

namespace tavrel {

class ManagedObject;

// Key-value access over any value the store layer meets (records, QVariantMap, QObject properties,
// lists), and the value comparisons that predicates and sort descriptors share, so that memory and
// SQL agree.
class KeyValueCoding
{
public:
    static QVariant valueForKey(const QVariant& object, const QString& key);
    // Through a list, each element's value; nested lists are flattened.
    static QVariant valueForKeyPath(const QVariant& object, const QString& keyPath);

    static bool isNil(const QVariant& value);
    static bool isNumber(const QVariant& value);
    static bool isList(const QVariant& value);
    static const ManagedObject* record(const QVariant& value);

    // Equality across numeric kinds, strings, dates, data and records (records by object id).
    static bool valuesEqual(const QVariant& left, const QVariant& right, int options = 0);
    // Ordering; false when the values cannot be ordered (either is nil or the kinds differ).
    static bool compareValues(const QVariant& left, const QVariant& right, int* result, int options = 0);
    // Total order for sorting: nil first, then by kind, then by value.
    static int sortCompare(const QVariant& left, const QVariant& right, int options = 0,
                           bool localized = false);
    // Strings compare by code point (the order SQLite gives UTF-8 text).
    static int compareStrings(const QString& left, const QString& right);
    // Case and diacritic folding for [c] and [d]. Case folding leaves the characters outside ASCII that
    // would fold into it (the Kelvin sign, the long s) as they are, as SQLite's NOCASE does: a fetch
    // and the evaluation in memory then agree on what equals an ASCII text.
    static QString fold(const QString& text, int options);
    // BEGINSWITH (0), ENDSWITH (1), CONTAINS (2), LIKE (3), MATCHES (4) with Predicate::Option flags.
    enum StringOperator { BeginsWith, EndsWith, Contains, Like, Matches };
    static bool stringMatch(StringOperator op, const QString& value, const QString& pattern, int options);
};

} // namespace tavrel
