#include "model/Contact.h"

#include "model/ContactAdapter.h"
#include "model/ContactCachedAvatar.h"
#include "model/ContactList.h"
#include "model/ContextFetch.h"
#include "model/Mail.h"
#include "model/RecordValue.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

QString Contact::name() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("name")));
}

void Contact::setName(const QString& name)
{
    setValueForKey(QStringLiteral("name"), recordvalue::stringOrNil(name));
}

QString Contact::avatarETag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("avatarETag")));
}

void Contact::setAvatarETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("avatarETag"), recordvalue::stringOrNil(eTag));
}

QList<std::shared_ptr<Mail>> Contact::mails() const
{
    return toMany<Mail>(QStringLiteral("mails"));
}

// A mail that joins or leaves a contact shows another name from then on.
void Contact::addMail(const std::shared_ptr<Mail>& mail)
{
    if (!mail)
        return;
    addToMany(QStringLiteral("mails"), mail);
    mail->updateDisplayName();
}

void Contact::removeMail(const std::shared_ptr<Mail>& mail)
{
    if (!mail)
        return;
    removeFromMany(QStringLiteral("mails"), mail);
    mail->updateDisplayName();
}

void Contact::setMails(const QList<std::shared_ptr<Mail>>& mails)
{
    const auto previous = this->mails();
    QList<ManagedObjectPtr> records;
    for (const auto& m : mails)
        records.append(m);
    setToMany(QStringLiteral("mails"), records);
    for (const auto& m : previous)
        m->updateDisplayName();
    for (const auto& m : mails)
        if (m)
            m->updateDisplayName();
}

std::shared_ptr<Mail> Contact::primaryMail() const
{
    return toOne<Mail>(QStringLiteral("primaryMail"));
}

void Contact::setPrimaryMail(const std::shared_ptr<Mail>& mail)
{
    setToOne(QStringLiteral("primaryMail"), mail);
}

std::shared_ptr<ContactList> Contact::contactList() const
{
    return toOne<ContactList>(QStringLiteral("contactList"));
}

void Contact::setContactList(const std::shared_ptr<ContactList>& list)
{
    setToOne(QStringLiteral("contactList"), list);
}

std::shared_ptr<ContactCachedAvatar> Contact::contactCachedAvatar() const
{
    return toOne<ContactCachedAvatar>(QStringLiteral("contactCachedAvatar"));
}

QString Contact::avatar() const
{
    const auto cached = contactCachedAvatar();
    return cached ? cached->value() : QString();
}

bool Contact::hasDefaultAvatar() const
{
    const auto cached = contactCachedAvatar();
    return !cached || cached->eTag().isNull();
}

void Contact::avatarDidChange()
{
    didChangeValueForKey(QStringLiteral("avatar"));
    for (const auto& mail : mails())
        mail->didChangeValueForKey(QStringLiteral("avatarPath"));
}

std::shared_ptr<ContactAdapter> Contact::adapterObject() const
{
    auto adapter = std::make_shared<ContactAdapter>();
    adapter->setName(name());
    adapter->setXml(xml());
    return adapter;
}

std::shared_ptr<Contact> Contact::contactWithIdentifier(const QString& identifier,
                                                        ManagedObjectContext* context)
{
    if (identifier.isNull())
        return {};
    FetchRequest request("Contact");
    request.setPredicate(Predicate::format("identifier = %@", identifier));
    request.setFetchLimit(1);
    return ContextFetch::firstRecord<Contact>(context, request);
}

std::shared_ptr<Contact> Contact::contactWithAddress(const QString& address, ManagedObjectContext* context)
{
    // The contact of a mail with the address (ANY mails.address), matched as the mail lookup matches,
    // so that a contact is found exactly when its mail is.
    const auto mail = Mail::lookup(address, context, true);
    return mail ? mail->contact() : nullptr;
}

std::shared_ptr<Contact> Contact::contactWithAddress(const QString& address, bool createIfNotExist,
                                                     ManagedObjectContext* context)
{
    if (auto found = contactWithAddress(address, context))
        return found;
    if (!createIfNotExist || !context || address.isEmpty())
        return {};
    auto contact = context->insertNewObject<Contact>(QStringLiteral("Contact"));
    contact->setName(address);
    // An address already met elsewhere (an access list) keeps its one record rather than gaining a twin.
    auto mail = Mail::mailEntityWithAddress(address, true, context);
    if (mail->label().isNull())
        mail->setLabel(address);
    contact->addMail(mail);
    contact->setPrimaryMail(mail);
    return contact;
}

QString Contact::identifierFromGDataIdentifier(const QString& identifier)
{
    if (identifier.isNull())
        return {};
    return identifier.mid(identifier.lastIndexOf(QLatin1Char('/')) + 1);
}

QVariant Contact::valueForKey(const QString& key) const
{
    if (key == QLatin1String("avatar"))
        return recordvalue::stringOrNil(avatar());
    if (key == QLatin1String("hasDefaultAvatar"))
        return hasDefaultAvatar();
    return GoogleObject::valueForKey(key);
}

void Contact::awakeFromInsert()
{
    GoogleObject::awakeFromInsert();
    if (auto* context = managedObjectContext())
        setToOne(QStringLiteral("contactCachedAvatar"),
                 context->insertNewObject(QStringLiteral("ContactCachedAvatar")));
}

} // namespace tavrel
