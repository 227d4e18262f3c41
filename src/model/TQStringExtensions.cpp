#include "model/TQStringExtensions.h"

namespace tavrel {

QString TQStringExtensions::exportNameWithResourceId(const QString& name, const QString& resourceId)
{
    static const struct
    {
        const char* prefix;
        const char* extension;
    } kinds[] = {{"document", "doc"}, {"presentation", "ppt"}, {"spreadsheet", "xls"}, {"drawing", "pdf"}};
    for (const auto& kind : kinds)
        if (resourceId.startsWith(QLatin1String(kind.prefix)))
            return name + QLatin1Char('.') + QLatin1String(kind.extension);
    return name;
}

bool TQStringExtensions::hasSameDomainAs(const QString& address, const QString& other)
{
    if (other.isNull())
        return false;
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    const qsizetype otherAt = other.indexOf(QLatin1Char('@'));
    if (at < 0 || otherAt < 0)
        return false;
    return address.mid(at) == other.mid(otherAt);
}

} // namespace tavrel
