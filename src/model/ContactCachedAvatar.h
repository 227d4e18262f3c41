#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QUrl>

namespace tavrel {

class Contact;

// Cache bookkeeping of a Contact's photo: where the cached file is (value, an absolute URL string) and which
// version tag of the owner's photo (avatarETag) it holds. Reading value in the master context asks for the
// contact's photo ("GetAvatar" at low priority) once per photo version.
class ContactCachedAvatar : public ManagedObject
{
public:
    static constexpr int kLowPriority = -4;

    // The stored value, after asking for a newer photo when one is needed (the fetch runs later).
    QString value();
    QString storedValue() const;
    void setValue(const QString& value);
    QString eTag() const;
    void setETag(const QString& eTag);
    QString lastRequestedETag() const;
    void setLastRequestedETag(const QString& eTag);
    std::shared_ptr<Contact> contact() const;

    bool isUpdated() const;
    // In the master context only, for a contact with a photo: not updated and not asked for yet.
    bool needAnUpdate() const;
    void updateWithPriority(int priority);

    // The fetch ended. Success: the file at url is cached for the requested version. An error: the
    // request is forgotten, so the next read asks again.
    void getAvatarDidFinishWithURL(const QUrl& url, const Error& error);

    void setValueForKey(const QString& key, const QVariant& value) override;
};

} // namespace tavrel
