#pragma once

#include <QString>
#include <QVariant>

namespace tavrel {

// One typed attribute of an entity. Booleans are stored as 0/1, dates as UTC milliseconds, transformable
// values as a serialised QVariant.
class AttributeDescription
{
public:
    enum class Type { String, Int64, Double, Bool, Date, Data, Transformable };

    QString name;
    Type type = Type::String;
    bool optional = true;
    bool indexed = false;
    QVariant defaultValue; // given to a new record on insert; invalid = none

    // The value converted to this attribute's type; an invalid QVariant stays invalid (nil).
    QVariant coerce(const QVariant& value) const;
};

} // namespace tavrel
