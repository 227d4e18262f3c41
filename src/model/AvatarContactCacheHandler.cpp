#include "model/AvatarContactCacheHandler.h"

#include "model/Contact.h"
#include "model/ContactCacheManager.h"

namespace tavrel {

std::unique_ptr<AvatarContactCacheHandler> AvatarContactCacheHandler::handlerWithSession(QObject* session)
{
    if (!session)
        return nullptr;
    return std::make_unique<AvatarContactCacheHandler>(session);
}

QUrl AvatarContactCacheHandler::URLRootForObject(const IGoogleObject& object) const
{
    const QUrl folder = ContactCacheManager::URLForObject(object, session());
    return folder.isEmpty() ? QUrl() : QUrl::fromLocalFile(folder.toLocalFile() + QStringLiteral("/avatar"));
}

QUrl AvatarContactCacheHandler::URLForObject(const IGoogleObject& object) const
{
    const auto* contact = dynamic_cast<const Contact*>(&object);
    const QString tag = contact ? CacheManagerAbstract::unquotedTag(contact->avatarETag()) : QString();
    if (tag.isEmpty())
        return {};
    const QUrl root = URLRootForObject(object);
    return root.isEmpty() ? QUrl()
                          : QUrl::fromLocalFile(root.toLocalFile() + QLatin1Char('/') +
                                                CacheManagerAbstract::pathComponent(tag));
}

} // namespace tavrel
