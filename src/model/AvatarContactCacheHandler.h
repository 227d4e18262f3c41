#pragma once

#include "model/CacheHandlerAbstract.h"

#include <memory>

namespace tavrel {

// The leaf of a contact's photo: <cache>/contacts/<identifier>/avatar/<photo tag without quotes>.
class AvatarContactCacheHandler : public CacheHandlerAbstract
{
public:
    using CacheHandlerAbstract::CacheHandlerAbstract;
    // Nothing for no session.
    static std::unique_ptr<AvatarContactCacheHandler> handlerWithSession(QObject* session);

    QUrl URLRootForObject(const IGoogleObject& object) const override;
    // Nothing for an object that is not a Contact with a photo tag.
    QUrl URLForObject(const IGoogleObject& object) const override;
};

} // namespace tavrel
