#include "model/CacheManagerAbstract.h"

#include "model/GoogleObjectAdapter.h"
#include "model/TQPlaces.h"
#include "platform/runtime/FileNameEncoding.h"
#include "platform/system/TQLog.h"

#include <QDir>
#include <QFileInfo>

namespace tavrel {

CacheManagerAbstract::CacheManagerAbstract(QObject* session) : m_session(session) {}

CacheManagerAbstract::~CacheManagerAbstract() = default;

QUrl CacheManagerAbstract::searchObject(const IGoogleObject& object, const QString& type) const
{
    const auto handler = handlerForType(type);
    return handler ? handler->searchObject(object) : QUrl();
}

TQCacheFiles CacheManagerAbstract::searchObject(const IGoogleObject& object) const
{
    TQCacheFiles found;
    for (const QString& type : types()) {
        const QUrl url = searchObject(object, type);
        if (!url.isEmpty())
            found.insert(type, url);
    }
    return found;
}

void CacheManagerAbstract::deleteObject(const IGoogleObject& object, const QString& type) const
{
    if (const auto handler = handlerForType(type))
        handler->deleteDataForObject(object);
}

void CacheManagerAbstract::deleteObject(const IGoogleObject& object) const
{
    const QUrl folder = urlForObject(object);
    if (!folder.isEmpty())
        QDir(folder.toLocalFile()).removeRecursively();
}

void CacheManagerAbstract::deleteOldVersionsForObject(const IGoogleObject& object, const QString& type) const
{
    const QUrl current = urlForObject(object);
    if (current.isEmpty())
        return;
    const QString folder = QFileInfo(current.toLocalFile()).path();
    const QFileInfo folderInfo(folder);
    if (!folderInfo.exists())
        return;
    if (!folderInfo.isDir()) {
        TQLog("E: Caché identifier folder is not a file!");
        return;
    }
    const QDir identifierFolder(folder);
    if (!identifierFolder.isReadable()) {
        TQLog("E: CacheManager: Can not scan URL %@, error: %@", folder, QStringLiteral("not readable"));
        return;
    }
    const QString currentTag = pathComponent(unquotedTag(object.eTag()));
    const QStringList versions = identifierFolder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString& version : versions) {
        if (version == currentTag)
            continue;
        deleteObject(GoogleObjectAdapter(object.identifier(), version), type);
        const QString versionFolder = folder + QLatin1Char('/') + version;
        const QDir old(versionFolder);
        if (!old.isReadable()) {
            TQLog("E: CacheManager: Can not scan URL %@, error: %@", versionFolder,
                  QStringLiteral("not readable"));
            continue;
        }
        if (old.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot) &&
            !QDir(folder).rmdir(version))
            TQLog("E: Can not remove item at URL %@, error: %@", versionFolder,
                  QStringLiteral("rmdir failed"));
    }
}

QUrl CacheManagerAbstract::URLCacheBaseForSession(const QObject* session)
{
    if (!session)
        return {};
    const QString base = TQPlaces::tavrelCacheDirectoryForUsername(session->property("username").toString());
    return base.isNull() ? QUrl() : QUrl::fromLocalFile(base);
}

QString CacheManagerAbstract::unquotedTag(const QString& tag)
{
    qsizetype first = 0;
    qsizetype last = tag.size();
    while (first < last && tag.at(first) == QLatin1Char('"'))
        ++first;
    while (last > first && tag.at(last - 1) == QLatin1Char('"'))
        --last;
    return tag.mid(first, last - first);
}

QString CacheManagerAbstract::pathComponent(const QString& name)
{
    if (!name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
        !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)))
        return name;
    return FileNameEncoding::stringByEncodingFileName(name);
}

} // namespace tavrel
