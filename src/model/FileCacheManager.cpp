#include "model/FileCacheManager.h"

#include "model/DocumentFileCacheHandler.h"
#include "model/ThumbnailFileCacheHandler.h"
#include "platform/system/TQLog.h"

namespace tavrel {

std::unique_ptr<FileCacheManager> FileCacheManager::managerWithSession(QObject* session)
{
    if (!session)
        return nullptr;
    return std::make_unique<FileCacheManager>(session);
}

TQCacheFiles FileCacheManager::addData(const TQCacheFiles& files, const IGoogleObject& object) const
{
    TQCacheFiles added;
    for (const QString& type : {kTQCacheTypeFileDocument, kTQCacheTypeFileThumbnail}) {
        if (!files.contains(type))
            continue;
        const auto handler = handlerForType(type);
        const QUrl url = handler->addFileAtURL(files.value(type), object);
        if (url.isEmpty())
            continue;
        added.insert(type, url);
        deleteOldVersionsForObject(object, type);
    }
    return added;
}

QUrl FileCacheManager::URLForObject(const IGoogleObject& object, const QObject* session)
{
    const QString identifier = object.identifier();
    const QString tag = unquotedTag(object.eTag());
    if (identifier.isEmpty() || tag.isEmpty()) {
        TQLog("E: CacheManager: It's not possible to resolve a directory name for a document without "
              "identifier or version, document %@",
              identifier);
        return {};
    }
    const QUrl base = URLCacheBaseForSession(session);
    if (base.isEmpty())
        return {};
    return QUrl::fromLocalFile(base.toLocalFile() + QStringLiteral("/documents/") +
                               pathComponent(identifier) + QLatin1Char('/') + pathComponent(tag));
}

std::unique_ptr<CacheHandlerAbstract> FileCacheManager::handlerForType(const QString& type) const
{
    if (type == kTQCacheTypeFileDocument)
        return DocumentFileCacheHandler::handlerWithSession(session());
    if (type == kTQCacheTypeFileThumbnail)
        return ThumbnailFileCacheHandler::handlerWithSession(session());
    TQLog("E: It's not possible to find an handler for this object");
    return nullptr;
}

QStringList FileCacheManager::types() const
{
    return {kTQCacheTypeFileDocument, kTQCacheTypeFileThumbnail};
}

} // namespace tavrel
