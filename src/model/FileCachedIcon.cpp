#include "model/FileCachedIcon.h"

#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/TQMOCMaster.h"
#include "platform/system/TQLog.h"

namespace tavrel {

namespace {
const QString kFilePath = QStringLiteral("filePath");
} // namespace

std::shared_ptr<File> FileCachedIcon::file() const
{
    return toOne<File>(QStringLiteral("file"));
}

QString FileCachedIcon::ownerETag() const
{
    const auto owner = file();
    return owner ? owner->eTag() : QString();
}

void FileCachedIcon::updateWithPriority(int priority)
{
    auto* master = qobject_cast<TQMOCMaster*>(managedObjectContext());
    const auto owner = file();
    if (!master || !owner)
        return;
    // Reading the copy's path may itself ask for the newer copy; its arrival asks again (the watch).
    const QString path = owner->filePath();
    if (path.isEmpty())
        return;
    const QString previous = lastRequestedETag();
    setLastRequestedETag(owner->eTag());
    const QVariantMap parameters{
        {QStringLiteral("fileURL"), QUrl(path)},
        {QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(owner))},
        {QStringLiteral("queuePriority"), priority}};
    if (!master->executeManagerAction(QStringLiteral("dmh"), QStringLiteral("GenerateThumbnail"), parameters))
        setLastRequestedETag(previous);
}

void FileCachedIcon::registerWatch()
{
    if (m_registered || !qobject_cast<TQMOCMaster*>(managedObjectContext()))
        return;
    const auto owner = file();
    if (!owner)
        return;
    m_registered = true;
    m_watched = owner;
    const auto copy = owner->fileCachedFile();
    m_watchedCopy = copy ? copy->storedValue() : QString();
    owner->addObserver(kFilePath, this, [this](ManagedObject*, const QString&) { copyMayHaveChanged(); });
}

void FileCachedIcon::copyMayHaveChanged()
{
    // "filePath" also changes with the version tag; only a new copy on disk makes a new thumbnail, and
    // the watch never asks for a download itself.
    auto* master = qobject_cast<TQMOCMaster*>(managedObjectContext());
    const auto owner = file();
    const auto cached = owner ? owner->fileCachedFile() : nullptr;
    const QString copy = cached ? cached->storedValue() : QString();
    if (!master || copy.isEmpty() || copy == m_watchedCopy)
        return;
    m_watchedCopy = copy;
    setLastRequestedETag(owner->eTag());
    master->executeManagerAction(
        QStringLiteral("dmh"), QStringLiteral("GenerateThumbnail"),
        {{QStringLiteral("fileURL"), QUrl(copy)},
         {QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(owner))},
         {QStringLiteral("queuePriority"), kLowPriority}});
}

void FileCachedIcon::unregister()
{
    if (!m_registered)
        return;
    m_registered = false;
    if (const auto watched = m_watched.lock())
        watched->removeObserver(kFilePath, this);
    m_watched.reset();
}

void FileCachedIcon::generatePreviewDidFinishWithURL(const QUrl& url, const Error& error)
{
    if (error.isNull()) {
        cacheFetchedURL(url);
    } else if (error.code() == -1002) {
        setETag(lastRequestedETag());
    } else {
        forgetRequest();
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

void FileCachedIcon::awakeFromFetch()
{
    ManagedObject::awakeFromFetch();
    registerWatch();
}

void FileCachedIcon::willTurnIntoFault()
{
    unregister();
    ManagedObject::willTurnIntoFault();
}

} // namespace tavrel
