#pragma once

#include <QString>

namespace tavrel {

// What an account's mail address tells about sharing.
class GDataMail
{
public:
    static inline const QString kPublicMailDomainKey = QStringLiteral("publicMailDomain");

    // The service's public consumer mail domain, from the setting "publicMailDomain".
    static QString publicMailDomain();
    // Whether the account can share with its own domain: it has "@" and the text after the first "@"
    // is not the public consumer mail domain (compared exactly).
    static bool accountSupportsDomainPermissions(const QString& address);
};

} // namespace tavrel
