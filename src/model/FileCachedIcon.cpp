#include "model/FileCachedIcon.h"

#include "model/File.h"
#include "model/RecordValue.h"
#include "platform/system/TQLog.h"

namespace tavrel {

QString FileCachedIcon::value() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("value")));
}

void FileCachedIcon::setValue(const QString& value)
{
    setValueForKey(QStringLiteral("value"), recordvalue::stringOrNil(value));
}

QString FileCachedIcon::eTag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("eTag")));
}

void FileCachedIcon::setETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("eTag"), recordvalue::stringOrNil(eTag));
}

QString FileCachedIcon::lastRequestedETag() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("lastRequestedETag")));
}

void FileCachedIcon::setLastRequestedETag(const QString& eTag)
{
    setValueForKey(QStringLiteral("lastRequestedETag"), recordvalue::stringOrNil(eTag));
}

std::shared_ptr<File> FileCachedIcon::file() const
{
    return toOne<File>(QStringLiteral("file"));
}

void FileCachedIcon::generatePreviewDidFinishWithURL(const QUrl& url, const Error& error)
{
    if (error.isNull()) {
        setValue(url.isEmpty() ? QString() : QString::fromUtf8(url.toEncoded()));
        setETag(lastRequestedETag());
    } else if (error.code() == -1002) {
        setETag(lastRequestedETag());
    } else {
        setLastRequestedETag(eTag());
        TQLog("E: Got error on fileCachedIcon operation: %@", error.localizedDescription());
    }
}

void FileCachedIcon::setValueForKey(const QString& key, const QVariant& value)
{
    ManagedObject::setValueForKey(key, value);
    if (key == QLatin1String("value"))
        if (auto owner = file())
            owner->didChangeValueForKey(QStringLiteral("iconPath"));
}

} // namespace tavrel
