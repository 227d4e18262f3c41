#pragma once

#include <QString>

namespace tavrel {

class GDataUtilities
{
public:
    // The MIME type of a file from its name (and content when the name does not tell), or
    // `defaultMIMEType` when none is known.
    static QString MIMETypeForFileAtPath(const QString& path, const QString& defaultMIMEType);
};

} // namespace tavrel
