#include "model/CachedFileRecord.h"

#include "model/RecordValue.h"
#include "model/TQMOCMaster.h"

namespace tavrel {

QString CachedFileRecord::value()
{
    if (needAnUpdate())
        updateWithPriority(kLowPriority);
    return storedValue();
}

QString CachedFileRecord::storedValue() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("value")));
}

void CachedFileRecord::setValue(const QString& value)
{
    setValueForKey(QStringLiteral("value"), recordvalue::stringOrNil(value));
}

QString CachedFileRecord::eTag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("eTag")));
}

void CachedFileRecord::setETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("eTag"), recordvalue::stringOrNil(eTag));
}

QString CachedFileRecord::lastRequestedETag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("lastRequestedETag")));
}

void CachedFileRecord::setLastRequestedETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("lastRequestedETag"), recordvalue::stringOrNil(eTag));
}

bool CachedFileRecord::isUpdated() const
{
    const QString wanted = ownerETag();
    const QString held = eTag();
    return !wanted.isNull() && !held.isNull() && wanted == held;
}

bool CachedFileRecord::needAnUpdate() const
{
    if (!isInMasterContext() || isUpdated())
        return false;
    const QString wanted = ownerETag();
    const QString asked = lastRequestedETag();
    return wanted.isNull() || asked.isNull() || asked != wanted;
}

bool CachedFileRecord::isInMasterContext() const
{
    return qobject_cast<TQMOCMaster*>(managedObjectContext()) != nullptr;
}

void CachedFileRecord::cacheFetchedURL(const QUrl& url)
{
    setValue(url.isEmpty() ? QString() : QString::fromUtf8(url.toEncoded()));
    setETag(lastRequestedETag());
}

void CachedFileRecord::forgetRequest()
{
    setLastRequestedETag(eTag());
}

} // namespace tavrel
