#include "model/FileCachedFile.h"

#include "model/File.h"
#include "model/TQMOCMaster.h"

namespace tavrel {

std::shared_ptr<File> FileCachedFile::file() const
{
    return toOne<File>(QStringLiteral("file"));
}

QString FileCachedFile::ownerETag() const
{
    const auto owner = file();
    return owner ? owner->eTag() : QString();
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
        forgetRequest(); // nobody to ask: the next read tries again
}

void FileCachedFile::getFileDidFinishWithURL(const QUrl& url, const Error& error)
{
    if (!error.isNull())
        forgetRequest();
    else
        cacheFetchedURL(url);
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
