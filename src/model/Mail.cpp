#include "model/Mail.h"

#include "model/Contact.h"
#include "model/ContextFetch.h"
#include "model/FileEntryAbstract.h"
#include "model/MailAdapter.h"
#include "model/RecordLookupCache.h"
#include "model/RecordValue.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

namespace {
const QString kName = QStringLiteral("name");
const QString kDisplayName = QStringLiteral("displayName");

bool isString(const QVariant& value)
{
    return value.isValid() && !value.isNull() && value.metaType() == QMetaType::fromType<QString>();
}
} // namespace

Mail::~Mail()
{
    endContactWatch();
}

QString Mail::address() const
{
    return recordvalue::stringFrom(ManagedObject::valueForKey(QStringLiteral("address")));
}

void Mail::setAddress(const QString& address)
{
    setValueForKey(QStringLiteral("address"), recordvalue::stringOrNil(address));
    // A synchronisation filling this context looks mails up by address: it must know the new one.
    if (RecordLookupCache* cache = RecordLookupCache::current(managedObjectContext()))
        cache->rememberMail(std::static_pointer_cast<Mail>(weak_from_this().lock()));
}

QString Mail::label() const
{
    return recordvalue::stringFrom(ManagedObject::valueForKey(QStringLiteral("label")));
}

void Mail::setLabel(const QString& label)
{
    setValueForKey(QStringLiteral("label"), recordvalue::stringOrNil(label));
}

QVariant Mail::favorite() const
{
    return recordvalue::boolOrNil(ManagedObject::valueForKey(QStringLiteral("favorite")));
}

void Mail::setFavorite(const QVariant& favorite)
{
    setValueForKey(QStringLiteral("favorite"), recordvalue::boolOrNil(favorite));
}

QVariant Mail::visible() const
{
    return recordvalue::boolOrNil(ManagedObject::valueForKey(QStringLiteral("visible")));
}

void Mail::setVisible(const QVariant& visible)
{
    setValueForKey(QStringLiteral("visible"), recordvalue::boolOrNil(visible));
}

QString Mail::displayName() const
{
    const QVariant stored = ManagedObject::valueForKey(kDisplayName);
    if (isString(stored))
        return stored.toString();
    return const_cast<Mail*>(this)->updateDisplayName();
}

std::shared_ptr<Contact> Mail::contact() const
{
    return toOne<Contact>(QStringLiteral("contact"));
}

void Mail::setContact(const std::shared_ptr<Contact>& contact)
{
    setToOne(QStringLiteral("contact"), contact);
    updateDisplayName();
}

std::shared_ptr<Contact> Mail::primaryForContact() const
{
    return toOne<Contact>(QStringLiteral("primaryForContact"));
}

QList<std::shared_ptr<FileEntryAbstract>> Mail::owns() const
{
    return toMany<FileEntryAbstract>(QStringLiteral("owns"));
}

QList<std::shared_ptr<FileEntryAbstract>> Mail::lastModifiedFiles() const
{
    return toMany<FileEntryAbstract>(QStringLiteral("lastModifiedFiles"));
}

QList<std::shared_ptr<FileEntryAbstract>> Mail::edits() const
{
    return toMany<FileEntryAbstract>(QStringLiteral("edits"));
}

QList<std::shared_ptr<FileEntryAbstract>> Mail::views() const
{
    return toMany<FileEntryAbstract>(QStringLiteral("views"));
}

QList<std::shared_ptr<FileEntryAbstract>> Mail::comments() const
{
    return toMany<FileEntryAbstract>(QStringLiteral("comments"));
}

QString Mail::avatarPath() const
{
    const auto owner = contact();
    return owner ? owner->avatar() : QString();
}

QString Mail::computeDisplayName() const
{
    const QVariant label = ManagedObject::valueForKey(QStringLiteral("label"));
    if (isString(label))
        return label.toString();
    if (const auto owner = contact()) {
        const QVariant name = owner->ManagedObject::valueForKey(kName);
        if (isString(name))
            return name.toString();
    }
    return address();
}

QString Mail::updateDisplayName()
{
    const QString name = computeDisplayName();
    const QVariant stored = ManagedObject::valueForKey(kDisplayName);
    // Writing an unchanged value would mark the record changed for nothing.
    if (!isString(stored) || stored.toString() != name || stored.toString().isNull() != name.isNull())
        ManagedObject::setValueForKey(kDisplayName, recordvalue::stringOrNil(name));
    return name;
}

std::shared_ptr<MailAdapter> Mail::adapterObject() const
{
    auto adapter = std::make_shared<MailAdapter>();
    adapter->setAddress(address());
    adapter->setLabel(label());
    adapter->setFavorite(favorite());
    adapter->setVisible(visible());
    return adapter;
}

void Mail::fillAttributeFromGDataEntry(const GDataEmail& email)
{
    setAddress(email.address());
}

void Mail::fillAttributeFromEmailAddress(const QString& address)
{
    setAddress(address);
}

void Mail::fillAttributeFromAdapter(const IMail& adapter)
{
    setAddress(adapter.address());
    setLabel(adapter.label());
    setFavorite(adapter.favorite());
    setVisible(adapter.visible());
}

std::shared_ptr<Mail> Mail::lookup(const QString& address, ManagedObjectContext* context, bool ownedByContact)
{
    if (address.isEmpty() || !context)
        return {};
    // The whole address with letter case ignored: a shorter address must not find a longer one, and
    // addresses differing only in accents are different mailboxes. The exact spelling is tried first:
    // it is what the service sends back and it is answered from the address index, while the
    // case-blind comparison reads the whole table.
    RecordLookupCache* cache = ownedByContact ? nullptr : RecordLookupCache::current(context);
    if (cache) {
        if (auto found = cache->mail(address))
            return found;
    }
    const QString owned = ownedByContact ? QStringLiteral(" AND contact != nil") : QString();
    for (const QString& comparison : {QStringLiteral("address == %@"), QStringLiteral("address ==[c] %@")}) {
        FetchRequest request("Mail");
        request.setPredicate(Predicate::format(comparison + owned, address));
        request.setFetchLimit(1);
        if (auto found = ContextFetch::firstRecord<Mail>(context, request)) {
            if (cache)
                cache->rememberMail(found);
            return found;
        }
    }
    return {};
}

std::shared_ptr<Mail> Mail::mailEntityWithAddress(const QString& address, ManagedObjectContext* context)
{
    return lookup(address, context, false);
}

std::shared_ptr<Mail> Mail::mailEntityWithAddress(const QString& address, bool createIfNotExist,
                                                  ManagedObjectContext* context)
{
    if (auto found = mailEntityWithAddress(address, context))
        return found;
    if (!createIfNotExist || !context || address.isEmpty())
        return {};
    auto mail = context->insertNewObject<Mail>(QStringLiteral("Mail"));
    mail->setAddress(address);
    if (RecordLookupCache* cache = RecordLookupCache::current(context))
        cache->rememberMail(mail);
    return mail;
}

QVariant Mail::valueForKey(const QString& key) const
{
    if (key == kDisplayName)
        return displayName();
    if (key == QLatin1String("avatarPath"))
        return recordvalue::stringOrNil(avatarPath());
    return ManagedObject::valueForKey(key);
}

void Mail::setValueForKey(const QString& key, const QVariant& value)
{
    ManagedObject::setValueForKey(key, value);
    if (key == QLatin1String("label") || key == QLatin1String("address"))
        updateDisplayName();
}

void Mail::awakeFromFetch()
{
    ManagedObject::awakeFromFetch();
    endContactWatch();
    const auto owner = contact();
    if (!owner)
        return;
    m_watchedContact = owner;
    owner->addObserver(kName, this, [this](ManagedObject*, const QString&) { updateDisplayName(); });
}

void Mail::willTurnIntoFault()
{
    endContactWatch();
    ManagedObject::willTurnIntoFault();
}

void Mail::endContactWatch()
{
    if (const auto watched = m_watchedContact.lock())
        watched->removeObserver(kName, this);
    m_watchedContact.reset();
}

} // namespace tavrel
