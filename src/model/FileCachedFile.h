#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QUrl>

namespace tavrel {

class File;

// Cache bookkeeping of a File's downloaded copy: where the cached file is (value, an absolute URL string) and
// which version tag of the owner it holds. Seam: reading value will queue a newer copy once the cache layer
// exists; for now it answers the stored value.
class FileCachedFile : public ManagedObject
{
public:
    QString value() const;
    void setValue(const QString& value);
    QString eTag() const;
    void setETag(const QString& eTag);
    QString lastRequestedETag() const;
    void setLastRequestedETag(const QString& eTag);
    std::shared_ptr<File> file() const;

    // The fetch ended. Success: the file at url is cached for the requested version. An error: the
    // request is forgotten, so the next read asks again.
    void getFileDidFinishWithURL(const QUrl& url, const Error& error);

    void setValueForKey(const QString& key, const QVariant& value) override;
};

} // namespace tavrel
