#pragma once

#include "model/CacheManagerAbstract.h"

namespace tavrel {

// The caches of a File: its downloaded copy and its thumbnail, under
// <cache>/documents/<identifier>/<version tag without quotes>.
class FileCacheManager : public CacheManagerAbstract
{
public:
    using CacheManagerAbstract::CacheManagerAbstract;
    // Nothing for no session.
    static std::unique_ptr<FileCacheManager> managerWithSession(QObject* session);

    // Takes in the document and the thumbnail entries; each one taken in removes its older versions.
    TQCacheFiles addData(const TQCacheFiles& files, const IGoogleObject& object) const override;
    QUrl urlForObject(const IGoogleObject& object) const override { return URLForObject(object, session()); }

    // <cache>/documents/<identifier>/<tag>; nothing (logged) without identifier or version tag.
    static QUrl URLForObject(const IGoogleObject& object, const QObject* session);

protected:
    std::unique_ptr<CacheHandlerAbstract> handlerForType(const QString& type) const override;
    QStringList types() const override;
};

} // namespace tavrel
