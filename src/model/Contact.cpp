#include "model/Contact.h"

#include "model/ContactAdapter.h"
#include "model/ContactCachedAvatar.h"
#include "model/ContactList.h"
#include "model/ContextFetch.h"
#include "model/Mail.h"
#include "model/RecordValue.h"
#include "platform/runtime/MailAddress.h"
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

GDataEntryContactPtr Contact::gdataEntry() const
{
    return entryFromXml<GDataEntryContact>(xml());
}

void Contact::setNameAttributeFromGDataEntry(const GDataEntryPtr& gdataEntry)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryContact>(gdataEntry);
    if (!entry)
        return;
    const QString title = entry->title();
    if (!title.isEmpty()) {
        setName(title);
        return;
    }
    if (const auto primary = entry->primaryEmailAddress()) {
        setName(primary->address());
        return;
    }
    const QList<GDataEmail> addresses = entry->emailAddresses();
    setName(addresses.isEmpty() ? QString() : addresses.first().address());
}

void Contact::fillAttributeFromGDataEntry(const GDataEntryPtr& gdataEntry)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryContact>(gdataEntry);
    if (!entry)
        return;
    setNameAttributeFromGDataEntry(entry);
    if (const QString id = entry->identifier(); !id.isNull())
        setIdentifier(identifierFromGDataIdentifier(id));
    if (const QString tag = entry->ETag(); !tag.isNull())
        setETag(tag);
    const QMap<QString, QString> own = entry->completeNamespaces();
    entry->addNamespaces(GDataEntryContact::contactNamespaces());
    if (!own.isEmpty())
        entry->addNamespaces(own);
    const GDataLink photo = entry->photoLink();
    setAvatarETag(photo.isNull() || photo.ETag().isEmpty() ? QString() : photo.ETag());
    const auto copy = entry->copyObject();
    if (const QString text = copy ? copy->XMLString() : QString(); !text.isEmpty())
        setXml(text);
}

void Contact::fillRelationshipFromGdataEntry(const GDataEntryPtr& gdataEntry, ManagedObjectContext* context)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryContact>(gdataEntry);
    if (!entry || !context)
        return;
    QList<std::shared_ptr<Mail>> found;
    for (const GDataEmail& email : entry->emailAddresses()) {
        if (!MailAddress::isValidMailAddress(email.address()))
            continue;
        // The same record for every spelling of the address; one that belonged to another contact
        // moves here.
        auto mail = Mail::mailEntityWithAddress(email.address(), true, context);
        if (mail && !found.contains(mail))
            found.append(mail);
    }
    setMails(found);

    std::shared_ptr<Mail> primary;
    if (const auto address = entry->primaryEmailAddress();
        address && MailAddress::isValidMailAddress(address->address()))
        primary = Mail::mailEntityWithAddress(address->address(), true, context);
    if (primary && !found.contains(primary))
        addMail(primary);
    if (!primary && !found.isEmpty())
        primary = found.first();
    if (primary && primaryMail() != primary)
        setPrimaryMail(primary);
}

bool Contact::hasChangedAccordingToGDataContact(const GDataEntryPtr& entry) const
{
    const QString theirs = entry ? entry->ETag() : QString();
    const QString mine = eTag();
    return theirs.isNull() || mine.isNull() || theirs != mine;
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
