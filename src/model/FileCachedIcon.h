#pragma once

#include "platform/store/ManagedObject.h"

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

    void setValueForKey(const QString& key, const QVariant& value) override;
};

} // namespace tavrel
