#include "lists/DocumentThumbnails.h"

#include "controls/TQFileItemToThumbnailTransformer.h"
#include "model/File.h"
#include "platform/ui/ImageRegistry.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QMimeDatabase>
#include <QUrl>

namespace tavrel {

DocumentThumbnails::DocumentThumbnails(const QSizeF& size, QObject* parent) : QObject(parent), m_size(size)
{
    m_pool.setMaxThreadCount(2);
    // Some thousand thumbnails, in kilobytes: a long list scrolled to its end keeps the last pages'.
    m_ready.setMaxCost(32 * 1024);
}

DocumentThumbnails::~DocumentThumbnails()
{
    // Reads still running post to this object: they end first.
    m_pool.waitForDone();
}

QString DocumentThumbnails::iconPathOf(const ManagedObjectPtr& record)
{
    const auto file = std::dynamic_pointer_cast<File>(record);
    return file ? file->iconPath() : QString();
}

QPixmap DocumentThumbnails::thumbnail(const ManagedObjectPtr& record)
{
    const QString iconPath = iconPathOf(record);
    if (const QPixmap* ready = m_ready.object(iconPath))
        return *ready;
    // A file not read yet (an absolute path or file URL): read in the background.
    if (!iconPath.isEmpty() && !ImageRegistry::contains(iconPath)) {
        const QUrl url(iconPath);
        const QString path = url.isLocalFile() ? url.toLocalFile() : iconPath;
        if (QDir::isAbsolutePath(path)) {
            if (m_unreadable.contains(iconPath))
                return placeholder(record);
            read(iconPath);
            return placeholder(record);
        }
    }
    TQFileItemToThumbnailTransformer transformer;
    transformer.setThumbnailSize(m_size);
    const QPixmap image = transformer.transformedValue(QVariant::fromValue(record)).value<QPixmap>();
    return image.isNull() ? placeholder(record) : image;
}

QPixmap DocumentThumbnails::placeholder(const ManagedObjectPtr& record)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    const QString name = entry ? entry->filename() : QString();
    const QString type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension).name();
    auto found = m_placeholders.constFind(type);
    if (found == m_placeholders.cend())
        found = m_placeholders.insert(type, ImageRegistry::fileTypeIcon(name).pixmap(m_size.toSize()));
    return *found;
}

void DocumentThumbnails::read(const QString& iconPath)
{
    if (m_reading.contains(iconPath))
        return;
    m_reading.insert(iconPath);
    const QUrl url(iconPath);
    const QString path = url.isLocalFile() ? url.toLocalFile() : iconPath;
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const QSize pixels = (m_size * ratio).toSize();
    m_pool.start([this, iconPath, path, pixels, ratio] {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QSize size = reader.size();
        if (size.isValid()) {
            size.scale(pixels, Qt::KeepAspectRatio);
            reader.setScaledSize(size);
        }
        QImage image = reader.read();
        image.setDevicePixelRatio(ratio);
        QMetaObject::invokeMethod(
            this, [this, iconPath, image] { didRead(iconPath, image); }, Qt::QueuedConnection);
    });
}

void DocumentThumbnails::didRead(const QString& iconPath, const QImage& image)
{
    m_reading.remove(iconPath);
    if (image.isNull())
        m_unreadable.insert(iconPath);
    else
        m_ready.insert(iconPath, new QPixmap(QPixmap::fromImage(image)),
                       qMax<qsizetype>(1, image.sizeInBytes() / 1024));
    emit thumbnailReady(iconPath);
}

} // namespace tavrel
