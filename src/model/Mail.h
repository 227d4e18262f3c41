#pragma once

#include "model/IMail.h"
#include "platform/gdata/GDataEmail.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

class Contact;
class FileEntryAbstract;
class ManagedObjectContext;

// One mail address: what every contact list and access list shows. Shared by documents and contacts
// and never deleted with them.
class Mail : public ManagedObject, public IMail
{
public:
    ~Mail() override;

    QString address() const override;
    void setAddress(const QString& address) override;
    QString label() const override;
    void setLabel(const QString& label) override;
    QVariant favorite() const override;
    void setFavorite(const QVariant& favorite) override;
    QVariant visible() const override;
    void setVisible(const QVariant& visible) override;
    // The shown name, kept up to date by the record; computed and stored on first read when missing.
    QString displayName() const;

    std::shared_ptr<Contact> contact() const;
    void setContact(const std::shared_ptr<Contact>& contact);
    std::shared_ptr<Contact> primaryForContact() const;
    QList<std::shared_ptr<FileEntryAbstract>> owns() const;
    QList<std::shared_ptr<FileEntryAbstract>> lastModifiedFiles() const;
    QList<std::shared_ptr<FileEntryAbstract>> edits() const;
    QList<std::shared_ptr<FileEntryAbstract>> views() const;
    QList<std::shared_ptr<FileEntryAbstract>> comments() const;

    // The contact's photo (contact.avatar).
    QString avatarPath() const;

    // displayName := label when it is a string, else the contact's name when it is one, else address.
    // Stores and answers it.
    QString updateDisplayName();

    std::shared_ptr<MailAdapter> adapterObject() const override;

    // address := the mail-address element's address.
    void fillAttributeFromGDataEntry(const GDataEmail& email);
    void fillAttributeFromEmailAddress(const QString& address);
    // address, label, favorite and visible := the value's four, absent ones included.
    void fillAttributeFromAdapter(const IMail& adapter);

    // The mail record of the whole address, letter case ignored; nothing when there is none.
    static std::shared_ptr<Mail> mailEntityWithAddress(const QString& address, ManagedObjectContext* context);
    // The same, or with createIfNotExist a new record holding only the address.
    static std::shared_ptr<Mail> mailEntityWithAddress(const QString& address, bool createIfNotExist,
                                                       ManagedObjectContext* context);

    QVariant valueForKey(const QString& key) const override;
    void setValueForKey(const QString& key, const QVariant& value) override;

protected:
    void awakeFromFetch() override;
    void willTurnIntoFault() override;

private:
    friend class Contact;
    // The first mail of the whole address (case ignored), optionally only among contacts' mails.
    static std::shared_ptr<Mail> lookup(const QString& address, ManagedObjectContext* context,
                                        bool ownedByContact);
    QString computeDisplayName() const;
    void endContactWatch();

    std::weak_ptr<ManagedObject> m_watchedContact;
};

} // namespace tavrel
