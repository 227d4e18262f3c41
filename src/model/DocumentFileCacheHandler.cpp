#include "model/DocumentFileCacheHandler.h"

#include "model/FileCacheManager.h"

namespace tavrel {

std::unique_ptr<DocumentFileCacheHandler> DocumentFileCacheHandler::handlerWithSession(QObject* session)
{
    if (!session)
        return nullptr;
    return std::make_unique<DocumentFileCacheHandler>(session);
}

QUrl DocumentFileCacheHandler::URLRootForObject(const IGoogleObject& object) const
{
    const QUrl folder = FileCacheManager::URLForObject(object, session());
    return folder.isEmpty() ? QUrl()
                            : QUrl::fromLocalFile(folder.toLocalFile() + QStringLiteral("/document"));
}

} // namespace tavrel
