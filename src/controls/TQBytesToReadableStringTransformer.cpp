#include "controls/TQBytesToReadableStringTransformer.h"

#include <cmath>

namespace tavrel {

QVariant TQBytesToReadableStringTransformer::transformedValue(const QVariant& value) const
{
    const quint64 count = value.isValid() ? value.toULongLong() : 0;
    const long double bytes = static_cast<long double>(count);
    const struct
    {
        long double divisor;
        const char* unit;
    } units[] = {{1e9L, "GB"}, {1e6L, "MB"}, {1e3L, "KB"}};
    for (const auto& unit : units) {
        const long double quotient = bytes / unit.divisor;
        if (static_cast<quint32>(static_cast<quint64>(quotient)) != 0)
            return QStringLiteral("%1 %2")
                .arg(double(float(quotient)), 0, 'f', 1)
                .arg(QLatin1String(unit.unit));
    }
    return QStringLiteral("%1 B").arg(static_cast<quint32>(count));
}

} // namespace tavrel
