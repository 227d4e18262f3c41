#pragma once

#include <QString>

namespace tavrel {

class MailAddress
{
public:
    // Whether the whole text is a mail address: local part, "@", domain, a dot and a top-level
    // domain of two letters or more.
    static bool isValidMailAddress(const QString& text);
};

} // namespace tavrel
