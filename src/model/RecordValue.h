#pragma once

#include <QString>
#include <QVariant>

namespace tavrel::recordvalue {

// Stored strings keep the difference between nil (a null QString) and "" (an empty one).
inline QVariant stringOrNil(const QString& text)
{
    return text.isNull() ? QVariant() : QVariant(text);
}

inline QString stringFrom(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    const QString text = value.toString();
    return text.isNull() ? QString(QLatin1String("")) : text;
}

// A boolean that may be absent: invalid for nil, else a bool.
inline QVariant boolOrNil(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    return QVariant(value.toBool());
}

} // namespace tavrel::recordvalue
