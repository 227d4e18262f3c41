#pragma once

#include "model/CachedFileRecord.h"
#include "platform/runtime/Error.h"

namespace tavrel {

class File;

// Cache bookkeeping of a File's downloaded copy: reading value in the master context asks for the
// owner's newer version ("GetFile" at low priority) once per version.
class FileCachedFile : public CachedFileRecord
{
public:
    std::shared_ptr<File> file() const;

    // Asks the session's document manager for the owner's version (master context only).
    void updateWithPriority(int priority) override;

    // The fetch ended. Success: the file at url is cached for the requested version. An error: the
    // request is forgotten, so the next read asks again.
    void getFileDidFinishWithURL(const QUrl& url, const Error& error);

    void setValueForKey(const QString& key, const QVariant& value) override;

protected:
    QString ownerETag() const override;
};

} // namespace tavrel
