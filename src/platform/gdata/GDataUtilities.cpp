#include "platform/gdata/GDataUtilities.h"

#include <QMimeDatabase>

namespace tavrel {

QString GDataUtilities::MIMETypeForFileAtPath(const QString& path, const QString& defaultMIMEType)
{
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return defaultMIMEType;
    return type.name();
}

} // namespace tavrel
