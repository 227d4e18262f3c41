#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QUrl>

namespace tavrel {

class File;

// Cache bookkeeping of a File's downloaded copy: where the cached file is (value, an absolute URL string) and
// which version tag of the owner it holds. Reading value in the master context asks for the owner's newer
// version ("GetFile" at low priority) once per version; the answer comes back through the store updater.
class FileCachedFile : public ManagedObject
{
public:
    // The queue priority of the fetches that reading value starts.
    static constexpr int kLowPriority = -4;

    // The stored value, after asking for a newer copy when one is needed (the fetch runs later).
    QString value();
    QString storedValue() const;
    void setValue(const QString& value);
    QString eTag() const;
    void setETag(const QString& eTag);
    QString lastRequestedETag() const;
    void setLastRequestedETag(const QString& eTag);
    std::shared_ptr<File> file() const;

    // value holds the owner's version.
    bool isUpdated() const;
    // In the master context only: not updated, and the owner's version not asked for yet.
    bool needAnUpdate() const;
    // Asks the session's document manager for the owner's version (master context only).
    void updateWithPriority(int priority);

    // The fetch ended. Success: the file at url is cached for the requested version. An error: the
    // request is forgotten, so the next read asks again.
    void getFileDidFinishWithURL(const QUrl& url, const Error& error);

    void setValueForKey(const QString& key, const QVariant& value) override;
};

} // namespace tavrel
