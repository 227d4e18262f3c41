#include "model/ContactCachedAvatar.h"

#include "model/Contact.h"
#include "model/RecordValue.h"

namespace tavrel {

QString ContactCachedAvatar::value() const
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
