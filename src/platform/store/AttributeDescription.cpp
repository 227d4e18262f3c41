#include "platform/store/AttributeDescription.h"

#include <QDataStream>
#include <QDateTime>
#include <QTimeZone>

namespace tavrel {

QVariant AttributeDescription::coerce(const QVariant& value) const
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case Type::String:
        return value.toString();
    case Type::Int64:
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().toMSecsSinceEpoch();
        return value.toLongLong();
    case Type::Double:
        return value.toDouble();
    case Type::Bool:
        if (value.typeId() == QMetaType::QString)
            return value.toString() == QLatin1String("1") ||
                   value.toString().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                   value.toString().compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0;
        return value.toBool();
    case Type::Date:
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().toUTC();
        if (value.canConvert<qint64>() && value.typeId() != QMetaType::QString)
            return QDateTime::fromMSecsSinceEpoch(value.toLongLong(), Qt::UTC);
        return value.toDateTime().toUTC();
    case Type::Data:
        return value.toByteArray();
    case Type::Transformable:
        return value;
    }
    return value;
}

} // namespace tavrel
