#include "model/FileCachedFile.h"

#include "model/File.h"
#include "model/RecordValue.h"
#include "model/TQMOCMaster.h"

namespace tavrel {

QString FileCachedFile::value()
{
    if (needAnUpdate())
        updateWithPriority(kLowPriority);
    return storedValue();
}

QString FileCachedFile::storedValue() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("value")));
}

void FileCachedFile::setValue(const QString& value)
{
    setValueForKey(QStringLiteral("value"), recordvalue::stringOrNil(value));
}

QString FileCachedFile::eTag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("eTag")));
}

void FileCachedFile::setETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("eTag"), recordvalue::stringOrNil(eTag));
}

QString FileCachedFile::lastRequestedETag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("lastRequestedETag")));
}

void FileCachedFile::setLastRequestedETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("lastRequestedETag"), recordvalue::stringOrNil(eTag));
}

std::shared_ptr<File> FileCachedFile::file() const
{
    return toOne<File>(QStringLiteral("file"));
}

bool FileCachedFile::isUpdated() const
{
    const auto owner = file();
    const QString wanted = owner ? owner->eTag() : QString();
    const QString held = eTag();
    return !wanted.isNull() && !held.isNull() && wanted == held;
}

bool FileCachedFile::needAnUpdate() const
{
    if (!qobject_cast<TQMOCMaster*>(managedObjectContext()) || isUpdated())
        return false;
    const auto owner = file();
    const QString wanted = owner ? owner->eTag() : QString();
    const QString asked = lastRequestedETag();
    return wanted.isNull() || asked.isNull() || asked != wanted;
}

void FileCachedFile::updateWithPriority(int priority)
{
    auto* master = qobject_cast<TQMOCMaster*>(managedObjectContext());
    const auto owner = file();
    if (!master || !owner || owner->eTag() == lastRequestedETag())
        return;
    setLastRequestedETag(owner->eTag());
    if (!master->executeManagerAction(
            QStringLiteral("dmh"), QStringLiteral("GetFile"),
            {{QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(owner))},
             {QStringLiteral("queuePriority"), priority}}))
        setLastRequestedETag(eTag()); // nobody to ask: the next read tries again
}

void FileCachedFile::getFileDidFinishWithURL(const QUrl& url, const Error& error)
{
    if (!error.isNull()) {
        setLastRequestedETag(eTag());
        return;
    }
    setValue(url.isEmpty() ? QString() : QString::fromUtf8(url.toEncoded()));
    setETag(lastRequestedETag());
}

void FileCachedFile::setValueForKey(const QString& key, const QVariant& value)
{
    ManagedObject::setValueForKey(key, value);
    const bool path = key == QLatin1String("value");
    if (!path && key != QLatin1String("eTag"))
        return;
    if (auto owner = file())
        owner->didChangeValueForKey(path ? "filePath" : "isFilePathConsistent");
}

} // namespace tavrel
