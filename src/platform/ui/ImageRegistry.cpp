#include "platform/ui/ImageRegistry.h"

#include "platform/ui/Drawing.h"
#include "platform/ui/InterfaceLog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QMimeDatabase>
#include <QPainter>
#include <QSet>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <memory>

namespace tavrel {

namespace {

const QString kResourceFolder = QStringLiteral(":/images");
const QString kFallbackTheme = QStringLiteral("Adwaita");
// Our last resort for file-type and folder icons.
const QString kGenericDocument = QStringLiteral("generic_document");
const QString kGenericFolder = QStringLiteral("generic_folder");

struct Registry
{
    QStringList searchPaths{kResourceFolder};
    QHash<QString, std::shared_ptr<QSvgRenderer>> renderers; // null entry: no such SVG
    QHash<QString, QPixmap> cache;                           // key: name, size, ratio
    QHash<QString, QPixmap> registered;
    QHash<qint64, QString> names; // by QPixmap::cacheKey()
    QSet<QString> reportedMissing;
};

Registry& registry()
{
    static Registry r;
    return r;
}

std::shared_ptr<QSvgRenderer> renderer(const QString& name)
{
    Registry& r = registry();
    if (auto it = r.renderers.constFind(name); it != r.renderers.constEnd())
        return *it;
    std::shared_ptr<QSvgRenderer> found;
    if (!name.isEmpty() && !name.contains(QLatin1Char('/'))) {
        for (const QString& folder : r.searchPaths) {
            const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".svg");
            if (!QFileInfo::exists(path))
                continue;
            auto svg = std::make_shared<QSvgRenderer>(path);
            if (svg->isValid()) {
                found = std::move(svg);
                break;
            }
            InterfaceLog::write(QStringLiteral("E: Image %1 is not a valid SVG").arg(path));
        }
    }
    r.renderers.insert(name, found);
    return found;
}

void reportMissing(const QString& name)
{
    if (registry().reportedMissing.contains(name))
        return;
    registry().reportedMissing.insert(name);
    InterfaceLog::write(QStringLiteral("E: No image named %1").arg(name));
}

qreal effectiveRatio(qreal devicePixelRatio)
{
    if (devicePixelRatio > 0)
        return devicePixelRatio;
    return qApp ? qApp->devicePixelRatio() : 1.0;
}

QPixmap render(QSvgRenderer& svg, const QSizeF& size, qreal ratio)
{
    const QSize pixels(qMax(1, qCeil(size.width() * ratio)), qMax(1, qCeil(size.height() * ratio)));
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

// An icon that renders our SVG at whatever size it is asked for.
class SvgIconEngine : public QIconEngine
{
public:
    explicit SvgIconEngine(QString name) : m_name(std::move(name)) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(painter->opacity() * 0.45);
        ImageRegistry::draw(*painter, m_name, QRectF(rect));
        painter->restore();
    }
    // The size is in device pixels: QIcon sets the pixmap's ratio afterwards.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new SvgIconEngine(m_name); }
    QString key() const override { return QStringLiteral("tavrel-svg"); }
    QString iconName() override { return m_name; }

private:
    QString m_name;
};

} // namespace

QString ImageRegistry::fallbackIconTheme()
{
    return kFallbackTheme;
}

void ImageRegistry::setUpIconTheme()
{
    // Without a desktop platform theme (offscreen, minimal desktops) Qt searches only its resources:
    // add the freedesktop folders.
    QStringList paths = QIcon::themeSearchPaths();
    QStringList folders{QDir::homePath() + QStringLiteral("/.icons")};
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders.append(data + QStringLiteral("/icons"));
    for (const QString& folder : folders)
        if (!paths.contains(folder) && QFileInfo(folder).isDir())
            paths.append(folder);
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackThemeName(kFallbackTheme);
    // Offscreen, and on desktops that name no theme, Qt would only find hicolor's few icons.
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QStringLiteral("hicolor"))
        QIcon::setThemeName(kFallbackTheme);
}

bool ImageRegistry::contains(const QString& name)
{
    return registry().registered.contains(name) || renderer(name) != nullptr;
}

QSizeF ImageRegistry::naturalSize(const QString& name)
{
    if (auto it = registry().registered.constFind(name); it != registry().registered.constEnd())
        return it->deviceIndependentSize();
    const auto svg = renderer(name);
    return svg ? QSizeF(svg->defaultSize()) : QSizeF();
}

QPixmap ImageRegistry::pixmap(const QString& name, const QSizeF& size, qreal devicePixelRatio)
{
    Registry& r = registry();
    const qreal ratio = effectiveRatio(devicePixelRatio);
    const auto registered = r.registered.constFind(name);
    const bool isRegistered = registered != r.registered.constEnd();
    if (isRegistered && (size.isEmpty() || size == registered->deviceIndependentSize()))
        return *registered;
    const auto svg = isRegistered ? nullptr : renderer(name);
    if (!isRegistered && !svg) {
        reportMissing(name);
        return {};
    }
    const QSizeF points = size.isEmpty() ? QSizeF(svg->defaultSize()) : size;
    const QString key =
        QStringLiteral("%1|%2x%3@%4").arg(name).arg(points.width()).arg(points.height()).arg(ratio);
    if (auto it = r.cache.constFind(key); it != r.cache.constEnd())
        return *it;
    QPixmap pixmap;
    if (svg) {
        pixmap = render(*svg, points, ratio);
    } else {
        pixmap =
            registered->scaled((points * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        pixmap.setDevicePixelRatio(ratio);
    }
    r.cache.insert(key, pixmap);
    r.names.insert(pixmap.cacheKey(), name);
    return pixmap;
}

QString ImageRegistry::nameOf(const QPixmap& pixmap)
{
    return pixmap.isNull() ? QString() : registry().names.value(pixmap.cacheKey());
}

QPixmap ImageRegistry::variant(const QPixmap& base, const QString& suffix)
{
    const QString name = nameOf(base);
    if (name.isEmpty())
        return {};
    const QString variant = variantName(name, suffix);
    if (!contains(variant))
        return {};
    return pixmap(variant, base.deviceIndependentSize(), base.devicePixelRatio());
}

void ImageRegistry::registerPixmap(const QString& name, const QPixmap& image)
{
    if (name.isEmpty() || image.isNull())
        return;
    Registry& r = registry();
    r.registered.insert(name, image);
    r.names.insert(image.cacheKey(), name);
    // Sizes made from an image registered before under this name are stale now.
    const QString prefix = name + QLatin1Char('|');
    r.cache.removeIf([&prefix](const auto& entry) { return entry.key().startsWith(prefix); });
}

void ImageRegistry::draw(QPainter& painter, const QString& name, const QRectF& target, qreal opacity)
{
    if (target.isEmpty())
        return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    Drawing::drawPixmap(painter, target, pixmap(name, target.size(), ratio), opacity);
}

QIcon ImageRegistry::icon(const QString& name)
{
    if (!contains(name)) {
        reportMissing(name);
        return {};
    }
    return QIcon(new SvgIconEngine(name));
}

QIcon ImageRegistry::themeIcon(const QString& themeName, const QString& fallbackImage)
{
    if (!themeName.isEmpty() && QIcon::hasThemeIcon(themeName))
        return QIcon::fromTheme(themeName);
    return fallbackImage.isEmpty() ? QIcon() : icon(fallbackImage);
}

QIcon ImageRegistry::mimeTypeIcon(const QMimeType& type)
{
    if (type.isValid()) {
        for (const QString& name : {type.iconName(), type.genericIconName()})
            if (QIcon::hasThemeIcon(name))
                return QIcon::fromTheme(name);
        // A kind the theme does not know falls back to the theme's plain document.
        if (QIcon::hasThemeIcon(QStringLiteral("text-x-generic")))
            return QIcon::fromTheme(QStringLiteral("text-x-generic"));
    }
    return icon(kGenericDocument);
}

QIcon ImageRegistry::fileTypeIcon(const QString& fileName)
{
    return mimeTypeIcon(QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension));
}

QIcon ImageRegistry::folderIcon()
{
    return themeIcon(QStringLiteral("folder"), kGenericFolder);
}

QStringList ImageRegistry::names()
{
    QStringList found;
    for (const QString& folder : registry().searchPaths)
        for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*.svg")}, QDir::Files))
            if (!found.contains(file.completeBaseName()))
                found.append(file.completeBaseName());
    found.sort();
    return found;
}

void ImageRegistry::addSearchPath(const QString& directory)
{
    Registry& r = registry();
    if (!r.searchPaths.contains(directory)) {
        r.searchPaths.append(directory);
        r.renderers.clear();
    }
}

void ImageRegistry::clearCache()
{
    Registry& r = registry();
    r.renderers.clear();
    r.cache.clear();
    r.registered.clear();
    r.names.clear();
    r.reportedMissing.clear();
}

} // namespace tavrel
