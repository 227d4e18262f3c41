#include "model/TQPlaces.h"

#include "platform/system/Paths.h"

namespace tavrel {

namespace {
bool usableName(const QString& username)
{
    return !username.isEmpty() && username != QLatin1String(".") && username != QLatin1String("..") &&
           !username.contains(QLatin1Char('/')) && !username.contains(QChar(0));
}
} // namespace

QString TQPlaces::tavrelApplicationSupportDirectory()
{
    return Paths::applicationSupportFolder();
}

QString TQPlaces::tavrelSupportDirectoryForUsername(const QString& username)
{
    if (!usableName(username))
        return {};
    return tavrelApplicationSupportDirectory() + QLatin1Char('/') + username;
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
