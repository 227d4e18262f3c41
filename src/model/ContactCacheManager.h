#pragma once

#include "model/CacheManagerAbstract.h"

namespace tavrel {

// The cache of a Contact's photo, under <cache>/contacts/<identifier>.
class ContactCacheManager : public CacheManagerAbstract
{
public:
    using CacheManagerAbstract::CacheManagerAbstract;
    // Nothing for no session.
    static std::unique_ptr<ContactCacheManager> managerWithSession(QObject* session);

    // Takes in the avatar entry only; older photos are not removed here.
    TQCacheFiles addData(const TQCacheFiles& files, const IGoogleObject& object) const override;
    QUrl urlForObject(const IGoogleObject& object) const override { return URLForObject(object, session()); }

    // <cache>/contacts/<identifier>; nothing (logged) without identifier.
    static QUrl URLForObject(const IGoogleObject& object, const QObject* session);

protected:
    std::unique_ptr<CacheHandlerAbstract> handlerForType(const QString& type) const override;
    QStringList types() const override;
};

} // namespace tavrel
