#include "model/ContactCacheManager.h"

#include "model/AvatarContactCacheHandler.h"
#include "platform/system/TQLog.h"

namespace tavrel {

std::unique_ptr<ContactCacheManager> ContactCacheManager::managerWithSession(QObject* session)
{
    if (!session)
        return nullptr;
    return std::make_unique<ContactCacheManager>(session);
}

TQCacheFiles ContactCacheManager::addData(const TQCacheFiles& files, const IGoogleObject& object) const
{
    TQCacheFiles added;
    if (!files.contains(kTQCacheTypeContactAvatar))
        return added;
    const QUrl url = handlerForType(kTQCacheTypeContactAvatar)
                         ->addFileAtURL(files.value(kTQCacheTypeContactAvatar), object);
    if (!url.isEmpty())
        added.insert(kTQCacheTypeContactAvatar, url);
    return added;
}

QUrl ContactCacheManager::URLForObject(const IGoogleObject& object, const QObject* session)
{
    const QString identifier = object.identifier();
    if (identifier.isEmpty()) {
        TQLog("E: CacheManager: It's not possible to resolve a directory name for a contact without "
              "identifier, "
              "contact %@",
              identifier);
        return {};
    }
    const QUrl base = URLCacheBaseForSession(session);
    if (base.isEmpty())
        return {};
    return QUrl::fromLocalFile(base.toLocalFile() + QStringLiteral("/contacts/") + pathComponent(identifier));
}

std::unique_ptr<CacheHandlerAbstract> ContactCacheManager::handlerForType(const QString& type) const
{
    if (type == kTQCacheTypeContactAvatar)
        return AvatarContactCacheHandler::handlerWithSession(session());
    TQLog("E: It's not possible to find an handler for this object");
    return nullptr;
}

QStringList ContactCacheManager::types() const
{
    return {kTQCacheTypeContactAvatar};
}

} // namespace tavrel
