#pragma once

#include "model/CacheHandlerAbstract.h"

#include <memory>

namespace tavrel {

// The leaf of a document's thumbnail: <cache>/documents/<identifier>/<tag>/thumbnail.
class ThumbnailFileCacheHandler : public CacheHandlerAbstract
{
public:
    using CacheHandlerAbstract::CacheHandlerAbstract;
    // Nothing for no session.
    static std::unique_ptr<ThumbnailFileCacheHandler> handlerWithSession(QObject* session);

    QUrl URLRootForObject(const IGoogleObject& object) const override;
    QUrl URLForObject(const IGoogleObject& object) const override { return URLRootForObject(object); }
};

} // namespace tavrel
