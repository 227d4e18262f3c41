#pragma once

#include "model/GoogleObject.h"
#include "model/IContact.h"

namespace tavrel {

class ContactCachedAvatar;
class ContactList;
class Mail;
class ManagedObjectContext;

// One entry of the user's address book. It owns its mail addresses and comes with cache bookkeeping
// for its photo.
class Contact : public GoogleObject, public IContact
{
public:
    QString name() const override;
    void setName(const QString& name) override;
    QString xml() const override { return GoogleObject::xml(); }
    void setXml(const QString& xml) override { GoogleObject::setXml(xml); }
    QString avatarETag() const;
    void setAvatarETag(const QString& eTag);
    bool favourite() const { return boolValue(QStringLiteral("favourite")); }
    void setFavourite(bool flag) { setValueForKey(QStringLiteral("favourite"), flag); }

    QList<std::shared_ptr<Mail>> mails() const;
    // These keep the mails' display names in step with the contact they belong to.
    void addMail(const std::shared_ptr<Mail>& mail);
    void removeMail(const std::shared_ptr<Mail>& mail);
    void setMails(const QList<std::shared_ptr<Mail>>& mails);
    std::shared_ptr<Mail> primaryMail() const;
    void setPrimaryMail(const std::shared_ptr<Mail>& mail);
    std::shared_ptr<ContactList> contactList() const;
    void setContactList(const std::shared_ptr<ContactList>& list);
    std::shared_ptr<ContactCachedAvatar> contactCachedAvatar() const;

    // Derived: the cached photo's location, and whether the contact has no photo of its own.
    QString avatar() const;
    bool hasDefaultAvatar() const;
    // Announces a new cached photo to the contact's and its mails' observers.
    void avatarDidChange();

    std::shared_ptr<ContactAdapter> adapterObject() const override;
    // The entry rebuilt from the stored text; nothing when there is none or it does not parse.
    GDataEntryContactPtr gdataEntry() const override;

    // Filling from a contact entry, attributes first, then mails (in the same context as the record).
    // An entry of another class leaves the record untouched.
    void fillAttributeFromGDataEntry(const GDataEntryPtr& entry);
    // The title; without one the primary (or first) address; without addresses no name.
    void setNameAttributeFromGDataEntry(const GDataEntryPtr& entry);
    // mails := the entry's valid addresses (found or created; taken from another contact when needed);
    // primaryMail := the primary address's mail, else one of mails, else unchanged.
    void fillRelationshipFromGdataEntry(const GDataEntryPtr& entry, ManagedObjectContext* context);
    // Yes unless the entry's ETag equals the record's (an absent tag on either side counts as changed).
    bool hasChangedAccordingToGDataContact(const GDataEntryPtr& entry) const;

    static std::shared_ptr<Contact> contactWithIdentifier(const QString& identifier,
                                                          ManagedObjectContext* context);
    // The contact owning the address (whole address, letter case ignored), or nothing.
    static std::shared_ptr<Contact> contactWithAddress(const QString& address, ManagedObjectContext* context);
    // The same, or with createIfNotExist a new contact named after the address whose primary (and only)
    // mail is that address.
    static std::shared_ptr<Contact> contactWithAddress(const QString& address, bool createIfNotExist,
                                                       ManagedObjectContext* context);
    // After the last "/"; the whole text without one; nothing for no input.
    static QString identifierFromGDataIdentifier(const QString& identifier);

    QVariant valueForKey(const QString& key) const override;

protected:
    void awakeFromInsert() override;
};

} // namespace tavrel
