#include "controls/TQFileItemToThumbnailTransformer.h"

#include "controls/ControlServices.h"
#include "controls/TQFileItemToImageTransformer.h"
#include "model/File.h"
#include "model/FileEntryAbstract.h"
#include "model/TQStringExtensions.h"
#include "platform/ui/ImageRegistry.h"

#include <QFileInfo>
#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QMimeDatabase>
#include <QUrl>

namespace tavrel {

QPixmap TQFileItemToThumbnailTransformer::iconForFileName(const QString& name) const
{
    // Rows of one kind share one rendering of its icon: a scrolled list makes many cells at once.
    // Pixmaps live on the main thread only, like this cache.
    // Keyed by the type the icon is chosen for: names ending alike can be of other types ("a.tar.gz").
    static QHash<QString, QPixmap> rendered;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    const QString key = type.name() + QLatin1Char('@') + QString::number(m_thumbnailSize.width()) +
                        QLatin1Char('x') + QString::number(m_thumbnailSize.height());
    const auto found = rendered.constFind(key);
    if (found != rendered.constEnd())
        return *found;
    const QPixmap icon = ImageRegistry::mimeTypeIcon(type).pixmap(m_thumbnailSize.toSize());
    rendered.insert(key, icon);
    return icon;
}

QPixmap TQFileItemToThumbnailTransformer::thumbnailOfFile(const QString& path) const
{
    // Our stand-in for the desktop's previews: pictures are read scaled; anything else has none.
    QImageReader reader(path);
    if (reader.canRead()) {
        QSize size = reader.size();
        if (size.isValid()) {
            size.scale(m_thumbnailSize.toSize(), Qt::KeepAspectRatio);
            reader.setScaledSize(size);
        }
        const QImage image = reader.read();
        if (!image.isNull())
            return QPixmap::fromImage(image);
    }
    return {};
}

QVariant TQFileItemToThumbnailTransformer::transformedValue(const QVariant& value) const
{
    if (value.typeId() == QMetaType::QStringList) {
        const QStringList items = value.toStringList();
        if (items.size() == 1) {
            const QString path = items.first();
            const QPixmap thumbnail = thumbnailOfFile(path);
            if (!thumbnail.isNull())
                return QVariant::fromValue(thumbnail);
            ControlServices::log(QStringLiteral("E: QuickLook cannot generate CGImage thumbnail for: ") +
                                 path);
            return QVariant::fromValue(iconForFileName(path));
        }
    }
    QPixmap image;
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(value.value<ManagedObjectPtr>());
    const auto file = std::dynamic_pointer_cast<File>(entry);
    const QString iconPath = file ? file->iconPath() : QString();
    if (entry && TQFileItemToImageTransformer::isCollection(*entry) && iconPath.isEmpty()) {
        return QVariant::fromValue(ImageRegistry::pixmap(
            TQFileItemToImageTransformer::isSharedCollection(*entry) ? QStringLiteral("shared_folder_big")
                                                                     : QStringLiteral("folder_big")));
    } else if (entry && !iconPath.isEmpty()) {
        if (ImageRegistry::contains(iconPath)) {
            image = ImageRegistry::pixmap(iconPath);
            // A thumbnail registered at another size is read from its file again.
            if (image.deviceIndependentSize() != m_thumbnailSize && iconPath.contains(QLatin1Char('/')))
                image = QPixmap();
        }
        if (image.isNull()) {
            const QUrl url(iconPath);
            image = QPixmap(url.isLocalFile() ? url.toLocalFile() : iconPath);
            if (!image.isNull())
                ImageRegistry::registerPixmap(iconPath, image);
        }
    } else if (entry) {
        QString name = entry->filename();
        // A native document has no file name of its own: it shows the icon of the format it downloads as.
        if (QFileInfo(name).suffix().isEmpty()) {
            const QString document = QStringLiteral("document");
            const QString exported =
                TQStringExtensions::exportNameWithResourceId(document, entry->resourceId());
            if (exported != document)
                name = exported;
        }
        image = iconForFileName(name);
    } else {
        image = ImageRegistry::pixmap(QStringLiteral("multiple_documents"), m_thumbnailSize);
    }
    if (image.isNull())
        return {};
    // At the thumbnail size, in points.
    if (image.deviceIndependentSize() != m_thumbnailSize) {
        const qreal ratio = image.devicePixelRatio();
        image =
            image.scaled((m_thumbnailSize * ratio).toSize(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        image.setDevicePixelRatio(ratio);
    }
    return QVariant::fromValue(image);
}

} // namespace tavrel
