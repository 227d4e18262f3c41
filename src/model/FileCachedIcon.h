#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QUrl>

namespace tavrel {

class File;

// Cache bookkeeping of a File's thumbnail: where the cached file is (value, an absolute URL string) and which
// version tag of the owner it holds. Seam: reading value will queue a newer copy once the cache
// layer exists; for now it answers the stored value.
class FileCachedIcon : public ManagedObject
{
public:
    QString value() const;
    void setValue(const QString& value);
    QString eTag() const;
    void setETag(const QString& eTag);
    QString lastRequestedETag() const;
    void setLastRequestedETag(const QString& eTag);
    std::shared_ptr<File> file() const;
    // Ends the watch on the file's copy. Seam: the watch itself comes with the cache layer.
    void unregister() {}

    // The generation ended. Success: the new thumbnail is cached for the requested version. Error -1002
    // (nothing to make a thumbnail of): the requested version counts as done and the old value stays.
    // Any other error: logged, and the next read asks again.
    void generatePreviewDidFinishWithURL(const QUrl& url, const Error& error);

    void setValueForKey(const QString& key, const QVariant& value) override;
};

} // namespace tavrel
