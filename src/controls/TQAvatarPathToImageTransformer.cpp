#include "controls/TQAvatarPathToImageTransformer.h"

#include "platform/ui/ImageRegistry.h"

#include <QDir>
#include <QPixmap>
#include <QUrl>

namespace tavrel {

QString TQAvatarPathToImageTransformer::placeholderName(qint64 edge)
{
    switch (edge) {
    case 32:
    case 34:
    case 35:
    case 52:
    case 68:
        return QStringLiteral("user%1").arg(edge);
    default:
        return QStringLiteral("user49");
    }
}

QVariant TQAvatarPathToImageTransformer::transformedValue(const QVariant& value) const
{
    const QString text = value.toString();
    if (text.isEmpty())
        return QVariant::fromValue(ImageRegistry::pixmap(placeholderName(m_edge)));
    const QUrl url(text);
    const QString path = url.isLocalFile() ? url.toLocalFile() : text;
    if (ImageRegistry::contains(path))
        return QVariant::fromValue(ImageRegistry::pixmap(path));
    if (!QDir::isAbsolutePath(path))
        return {};
    QPixmap photo(path);
    if (photo.isNull())
        return {};
    ImageRegistry::registerPixmap(path, photo);
    return QVariant::fromValue(ImageRegistry::pixmap(path));
}

} // namespace tavrel
