#pragma once

#include "model/CachedFileRecord.h"
#include "platform/runtime/Error.h"

namespace tavrel {

class File;

// Cache bookkeeping of a File's thumbnail: reading value in the master context asks for a thumbnail of the
// owner's version ("GenerateThumbnail") once per version (reading the copy's path may first ask for the
// copy). In the master context it also watches its file's "filePath": a new copy asks for a new thumbnail
// of it.
class FileCachedIcon : public CachedFileRecord
{
public:
    std::shared_ptr<File> file() const;

    // Asks for a thumbnail of the file's cached copy, when there is one (master context only).
    void updateWithPriority(int priority) override;

    // Watching the file's copy (master context only; in memory, never stored).
    bool isRegistered() const { return m_registered; }
    void registerWatch();
    void unregister();

    // The generation ended. Success: the new thumbnail is cached for the requested version. Error -1002
    // (nothing to make a thumbnail of): the requested version counts as done and the old value stays.
    // Any other error: logged, and the next read asks again.
    void generatePreviewDidFinishWithURL(const QUrl& url, const Error& error);

    void setValueForKey(const QString& key, const QVariant& value) override;

protected:
    QString ownerETag() const override;
    void awakeFromFetch() override;
    void willTurnIntoFault() override;

private:
    void copyMayHaveChanged();

    std::weak_ptr<ManagedObject> m_watched;
    bool m_registered = false;
    QString m_watchedCopy; // the copy the watch saw last
};

} // namespace tavrel
