#include "model/GDataMail.h"

#include "platform/system/Settings.h"

namespace tavrel {

QString GDataMail::publicMailDomain()
{
    return Settings::stringValue(kPublicMailDomainKey);
}

bool GDataMail::accountSupportsDomainPermissions(const QString& address)
{
    const qsizetype at = address.indexOf(QLatin1Char('@'));
    if (at < 0)
        return false;
    return address.mid(at + 1) != publicMailDomain();
}

} // namespace tavrel
