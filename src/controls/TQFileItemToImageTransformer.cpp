#include "controls/TQFileItemToImageTransformer.h"

#include "controls/ControlServices.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "platform/ui/ImageRegistry.h"

#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QUrl>

namespace tavrel {

QString TQFileItemToImageTransformer::currentUserAddress()
{
    return ControlServices::currentUserAddress();
}

bool TQFileItemToImageTransformer::isCollection(const FileEntryAbstract& entry)
{
    return dynamic_cast<const Category*>(&entry) != nullptr;
}

bool TQFileItemToImageTransformer::isSharedCollection(const FileEntryAbstract& collection)
{
    const QString user = currentUserAddress();
    const auto owner = collection.owner();
    if (owner && owner->address() == user)
        return !collection.viewers().isEmpty() || !collection.editors().isEmpty() ||
               !collection.commenters().isEmpty();
    for (const auto& list : {collection.editors(), collection.viewers(), collection.commenters()})
        for (const auto& mail : list)
            if (mail && mail->address() == user)
                return true;
    return false;
}

QVariant TQFileItemToImageTransformer::transformedValue(const QVariant& value) const
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(value.value<ManagedObjectPtr>());
    if (!entry)
        return {};
    if (isCollection(*entry))
        return QVariant::fromValue(ImageRegistry::pixmap(isSharedCollection(*entry)
                                                             ? QStringLiteral("shared_folder_small")
                                                             : QStringLiteral("folder_small")));
    QString name;
    if (const auto file = std::dynamic_pointer_cast<File>(entry)) {
        const QUrl url = QUrl::fromLocalFile(file->filePath());
        if (!file->filePath().isEmpty() && url.isLocalFile())
            name = url.toLocalFile();
    }
    if (name.isEmpty()) {
        if (QFileInfo(entry->filename()).suffix().isEmpty())
            return {};
        name = entry->filename();
    }
    const QIcon icon = ImageRegistry::fileTypeIcon(name);
    return QVariant::fromValue(icon.pixmap(QSize(kIconSize, kIconSize)));
}

} // namespace tavrel
