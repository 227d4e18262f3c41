#include "model/TQPlaces.h"

#include "platform/system/Paths.h"

#include <QCryptographicHash>

namespace tavrel {

namespace {
bool isPlainName(const QString& username)
{
    if (username.isEmpty() || username == QLatin1String(".") || username == QLatin1String("..") ||
        username.startsWith(QLatin1Char('%')) || username.contains(QLatin1Char('/')) ||
        username.toUtf8().size() > TQPlaces::kMaximumPlainNameBytes)
        return false;
    for (const QChar c : username)
        if (c.category() == QChar::Other_Control || c.unicode() == 0)
            return false;
    return true;
}
} // namespace

QString TQPlaces::folderNameForUsername(const QString& username)
{
    if (username.isEmpty())
        return {};
    if (isPlainName(username))
        return username;
    // Letters, digits and a few marks of the address's start, for whoever looks at the folder.
    QString readable;
    for (const QChar c : username) {
        if (readable.size() >= 48)
            break;
        if (c.unicode() < 0x80 && (c.isLetterOrNumber() || c == QLatin1Char('@') || c == QLatin1Char('-') ||
                                   c == QLatin1Char('_') || c == QLatin1Char('+')))
            readable += c;
        else if (c == QLatin1Char('.') && !readable.isEmpty())
            readable += c;
    }
    const QByteArray digest = QCryptographicHash::hash(username.toUtf8(), QCryptographicHash::Sha256).toHex();
    return QLatin1Char('%') + readable + QLatin1Char('-') + QString::fromLatin1(digest.left(40));
}

QString TQPlaces::tavrelApplicationSupportDirectory()
{
    return Paths::applicationSupportFolder();
}

QString TQPlaces::tavrelSupportDirectoryForUsername(const QString& username)
{
    const QString folder = folderNameForUsername(username);
    if (folder.isNull())
        return {};
    return tavrelApplicationSupportDirectory() + QLatin1Char('/') + folder;
}

QString TQPlaces::tavrelPeristentStoreCoordinatorForUsername(const QString& username)
{
    const QString folder = tavrelSupportDirectoryForUsername(username);
    return folder.isNull() ? QString() : folder + QStringLiteral("/data.storedata");
}

QString TQPlaces::tavrelCacheDirectoryForUsername(const QString& username)
{
    const QString folder = tavrelSupportDirectoryForUsername(username);
    return folder.isNull() ? QString() : folder + QStringLiteral("/cache");
}

} // namespace tavrel
