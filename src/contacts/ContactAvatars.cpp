#include "contacts/ContactAvatars.h"

#include "controls/TQAvatarPathToImageTransformer.h"
#include "platform/ui/ImageRegistry.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageReader>
#include <QUrl>

namespace tavrel {

ContactAvatars::ContactAvatars(int edge, QObject* parent) : QObject(parent), m_edge(edge)
{
    m_pool.setMaxThreadCount(2);
    m_ready.setMaxCost(8 * 1024);
    m_placeholder = ImageRegistry::pixmap(TQAvatarPathToImageTransformer::placeholderName(edge));
}

ContactAvatars::~ContactAvatars()
{
    m_pool.waitForDone();
}

QPixmap ContactAvatars::avatar(const QString& avatarPath)
{
    if (avatarPath.isEmpty() || m_unreadable.contains(avatarPath))
        return m_placeholder;
    if (const QPixmap* ready = m_ready.object(avatarPath))
        return *ready;
    const QUrl url(avatarPath);
    const QString path = url.isLocalFile() ? url.toLocalFile() : avatarPath;
    if (!QDir::isAbsolutePath(path) || m_reading.contains(avatarPath))
        return m_placeholder;
    m_reading.insert(avatarPath);
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const int pixels = int(m_edge * ratio);
    m_pool.start([this, avatarPath, path, pixels, ratio] {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QSize size = reader.size();
        if (size.isValid()) {
            size.scale(pixels, pixels, Qt::KeepAspectRatioByExpanding);
            reader.setScaledSize(size);
        }
        QImage image = reader.read();
        if (!image.isNull()) {
            // A square from the middle, as the photo frames are square.
            const int side = qMin(image.width(), image.height());
            image = image.copy((image.width() - side) / 2, (image.height() - side) / 2, side, side);
            image.setDevicePixelRatio(ratio);
        }
        QMetaObject::invokeMethod(
            this, [this, avatarPath, image] { didRead(avatarPath, image); }, Qt::QueuedConnection);
    });
    return m_placeholder;
}

void ContactAvatars::didRead(const QString& avatarPath, const QImage& image)
{
    m_reading.remove(avatarPath);
    if (image.isNull())
        m_unreadable.insert(avatarPath);
    else
        m_ready.insert(avatarPath, new QPixmap(QPixmap::fromImage(image)),
                       qMax<qsizetype>(1, image.sizeInBytes() / 1024));
    emit avatarReady(avatarPath);
}

} // namespace tavrel
