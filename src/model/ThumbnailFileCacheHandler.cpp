#include "model/ThumbnailFileCacheHandler.h"

#include "model/FileCacheManager.h"

namespace tavrel {

std::unique_ptr<ThumbnailFileCacheHandler> ThumbnailFileCacheHandler::handlerWithSession(QObject* session)
{
    if (!session)
        return nullptr;
    return std::make_unique<ThumbnailFileCacheHandler>(session);
}

QUrl ThumbnailFileCacheHandler::URLRootForObject(const IGoogleObject& object) const
{
    const QUrl folder = FileCacheManager::URLForObject(object, session());
    return folder.isEmpty() ? QUrl()
                            : QUrl::fromLocalFile(folder.toLocalFile() + QStringLiteral("/thumbnail"));
}

} // namespace tavrel
