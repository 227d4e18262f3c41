#pragma once

#include "model/CachedFileRecord.h"
#include "platform/runtime/Error.h"

namespace tavrel {

class Contact;

// Cache bookkeeping of a Contact's photo (the version is the owner's avatarETag): reading value in the
// master context asks for the contact's photo ("GetAvatar" at low priority) once per photo version.
class ContactCachedAvatar : public CachedFileRecord
{
public:
    std::shared_ptr<Contact> contact() const;

    // In the master context only, for a contact with a photo: not updated and not asked for yet.
    bool needAnUpdate() const override;
    void updateWithPriority(int priority) override;

    // The fetch ended. Success: the file at url is cached for the requested version. An error: the
    // request is forgotten, so the next read asks again.
    void getAvatarDidFinishWithURL(const QUrl& url, const Error& error);

    void setValueForKey(const QString& key, const QVariant& value) override;

protected:
    QString ownerETag() const override;
};

} // namespace tavrel
