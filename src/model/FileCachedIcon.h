#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QUrl>

namespace tavrel {

class File;

// Cache bookkeeping of a File's thumbnail: where the cached file is (value, an absolute URL string) and which
// version tag of the owner it holds. Reading value in the master context asks for a thumbnail of the owner's
// version ("GenerateThumbnail") once per version (reading the copy's path may first ask for the copy). In
// the master context it also watches its file's "filePath": a new copy asks for a new thumbnail of it.
class FileCachedIcon : public ManagedObject
{
public:
    static constexpr int kLowPriority = -4;

    // The stored value, after asking for a newer thumbnail when one is needed.
    QString value();
    QString storedValue() const;
    void setValue(const QString& value);
    QString eTag() const;
    void setETag(const QString& eTag);
    QString lastRequestedETag() const;
    void setLastRequestedETag(const QString& eTag);
    std::shared_ptr<File> file() const;

    bool isUpdated() const;
    bool needAnUpdate() const;
    // Asks for a thumbnail of the file's cached copy, when there is one (master context only).
    void updateWithPriority(int priority);

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
    void awakeFromFetch() override;
    void willTurnIntoFault() override;

private:
    void copyMayHaveChanged();

    std::weak_ptr<ManagedObject> m_watched;
    bool m_registered = false;
    QString m_watchedCopy; // the copy the watch saw last
};

} // namespace tavrel
