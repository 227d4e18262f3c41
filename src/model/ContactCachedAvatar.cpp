#include "model/ContactCachedAvatar.h"

#include "model/Contact.h"
#include "model/TQMOCMaster.h"

namespace tavrel {

std::shared_ptr<Contact> ContactCachedAvatar::contact() const
{
    return toOne<Contact>(QStringLiteral("contact"));
}

QString ContactCachedAvatar::ownerETag() const
{
    const auto owner = contact();
    return owner ? owner->avatarETag() : QString();
}

bool ContactCachedAvatar::needAnUpdate() const
{
    if (!isInMasterContext() || isUpdated())
        return false;
    const QString wanted = ownerETag();
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
    if (!error.isNull())
        forgetRequest();
    else
        cacheFetchedURL(url);
}

void ContactCachedAvatar::setValueForKey(const QString& key, const QVariant& value)
{
    ManagedObject::setValueForKey(key, value);
    if (key == QLatin1String("value"))
        if (auto owner = contact())
            owner->avatarDidChange();
}

} // namespace tavrel
