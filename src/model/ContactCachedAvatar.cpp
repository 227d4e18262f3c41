#include "model/ContactCachedAvatar.h"

#include "model/Contact.h"
#include "model/RecordValue.h"
#include "model/TQMOCMaster.h"

namespace tavrel {

QString ContactCachedAvatar::value()
{
    if (needAnUpdate())
        updateWithPriority(kLowPriority);
    return storedValue();
}

QString ContactCachedAvatar::storedValue() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("value")));
}

void ContactCachedAvatar::setValue(const QString& value)
{
    setValueForKey(QStringLiteral("value"), recordvalue::stringOrNil(value));
}

QString ContactCachedAvatar::eTag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("eTag")));
}

void ContactCachedAvatar::setETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("eTag"), recordvalue::stringOrNil(eTag));
}

QString ContactCachedAvatar::lastRequestedETag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("lastRequestedETag")));
}

void ContactCachedAvatar::setLastRequestedETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("lastRequestedETag"), recordvalue::stringOrNil(eTag));
}

std::shared_ptr<Contact> ContactCachedAvatar::contact() const
{
    return toOne<Contact>(QStringLiteral("contact"));
}

bool ContactCachedAvatar::isUpdated() const
{
    const auto owner = contact();
    const QString wanted = owner ? owner->avatarETag() : QString();
    const QString held = eTag();
    return !wanted.isNull() && !held.isNull() && wanted == held;
}

bool ContactCachedAvatar::needAnUpdate() const
{
    if (!qobject_cast<TQMOCMaster*>(managedObjectContext()) || isUpdated())
        return false;
    const auto owner = contact();
    const QString wanted = owner ? owner->avatarETag() : QString();
    if (wanted.isEmpty())
        return false;
    const QString asked = lastRequestedETag();
    return asked.isNull() || asked != wanted;
}

void ContactCachedAvatar::updateWithPriority(int priority)
{
    auto* master = qobject_cast<TQMOCMaster*>(managedObjectContext());
    const auto owner = contact();
    if (!master || !owner)
        return;
    const QString previous = lastRequestedETag();
    setLastRequestedETag(owner->avatarETag());
    if (!master->executeManagerAction(
            QStringLiteral("cmh"), QStringLiteral("GetAvatar"),
            {{QStringLiteral("contactEntity"), QVariant::fromValue(ManagedObjectPtr(owner))},
             {QStringLiteral("queuePriority"), priority}}))
        setLastRequestedETag(previous);
}

void ContactCachedAvatar::getAvatarDidFinishWithURL(const QUrl& url, const Error& error)
{
    if (!error.isNull()) {
        setLastRequestedETag(eTag());
        return;
    }
    setValue(url.isEmpty() ? QString() : QString::fromUtf8(url.toEncoded()));
    setETag(lastRequestedETag());
}

void ContactCachedAvatar::setValueForKey(const QString& key, const QVariant& value)
{
    ManagedObject::setValueForKey(key, value);
    if (key == QLatin1String("value"))
        if (auto owner = contact())
            owner->avatarDidChange();
}

} // namespace tavrel
