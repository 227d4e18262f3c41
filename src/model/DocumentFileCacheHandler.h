#pragma once

#include "model/CacheHandlerAbstract.h"

#include <memory>

namespace tavrel {

// The leaf of a document's downloaded copy: <cache>/documents/<identifier>/<tag>/document.
class DocumentFileCacheHandler : public CacheHandlerAbstract
{
public:
    using CacheHandlerAbstract::CacheHandlerAbstract;
    // Nothing for no session.
    static std::unique_ptr<DocumentFileCacheHandler> handlerWithSession(QObject* session);

    QUrl URLRootForObject(const IGoogleObject& object) const override;
    QUrl URLForObject(const IGoogleObject& object) const override { return URLRootForObject(object); }
};

} // namespace tavrel
