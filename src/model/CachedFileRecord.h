#pragma once

#include "platform/store/ManagedObject.h"

#include <QUrl>

namespace tavrel {

// What the cache records of a file's copy, its thumbnail and a contact's photo share: where the
// cached file is (value, an absolute URL string), which version tag of the owner it holds (eTag) and
// which version was asked for last (lastRequestedETag). Reading value in the master context asks for
// the owner's newer version once per version; the answer comes back through the store updater.
class CachedFileRecord : public ManagedObject
{
public:
    // The queue priority of the fetches that reading value starts.
    static constexpr int kLowPriority = -4;

    // The stored value, after asking for a newer one when one is needed (the fetch runs later).
    QString value();
    QString storedValue() const;
    void setValue(const QString& value);
    QString eTag() const;
    void setETag(const QString& eTag);
    QString lastRequestedETag() const;
    void setLastRequestedETag(const QString& eTag);

    // value holds the owner's version.
    bool isUpdated() const;
    // In the master context only: not updated, and the owner's version not asked for yet.
    virtual bool needAnUpdate() const;
    // Asks the session for the owner's version (master context only).
    virtual void updateWithPriority(int priority) = 0;

protected:
    // The owner's version tag; null without an owner.
    virtual QString ownerETag() const = 0;
    bool isInMasterContext() const;
    // A fetch ended well: the file at the URL holds the version asked for.
    void cacheFetchedURL(const QUrl& url);
    // A fetch failed: the request is forgotten, so the next read asks again.
    void forgetRequest();
};

} // namespace tavrel
