#include "model/FileCachedFile.h"

#include "model/File.h"
#include "model/RecordValue.h"

namespace tavrel {

QString FileCachedFile::value() const
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
