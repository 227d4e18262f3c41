#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSizeF>
#include <QString>
#include <QStringList>

class QMimeType;
class QPainter;

namespace tavrel {

// The program's images by name: our own SVG files under resources/images (":/images/<name>.svg"),
// each variant of an image a file of its own ("share2" with "share2_hover", "share2_active",
// "favorite_off_hover", "close-white" ...). A pixmap is rendered for a name at a size in points and a
// device pixel ratio, cached, and remembered with its name, so that code holding a pixmap can find
// its name and its variants again. Images loaded from elsewhere (a contact's photo file) can be
// registered under a name of their own.
//
// File-type and generic icons (folders, document kinds, applications) come from the desktop's icon
// theme, with a freedesktop theme as Qt's fallback and our own SVG as the last resort.
//
// Main thread only.
class ImageRegistry
{
public:
    // Sets the freedesktop icon theme as the fallback (and as the theme when the desktop names none).
    static void setUpIconTheme();
    static QString fallbackIconTheme();

    // Whether an image of that name exists (an SVG of ours or a registered one).
    static bool contains(const QString& name);
    // The image's own size in points (its SVG's width and height); empty when unknown.
    static QSizeF naturalSize(const QString& name);
    // The image rendered at the size (its natural size when empty) for the device pixel ratio (the
    // application's when 0). A null pixmap for an unknown name, logged once per name.
    static QPixmap pixmap(const QString& name, const QSizeF& size = QSizeF(), qreal devicePixelRatio = 0);
    // The name of a pixmap this registry returned or registered; empty for any other.
    static QString nameOf(const QPixmap& pixmap);

    // "<name><suffix>": the naming of variants ("_active", "_hover", "_on", "-white", "_white").
    static QString variantName(const QString& name, const QString& suffix) { return name + suffix; }
    // The variant of a pixmap from this registry, at its size and ratio; null when there is none.
    static QPixmap variant(const QPixmap& pixmap, const QString& suffix);

    // Registers a pixmap under a name (a file's path, for images read from files).
    static void registerPixmap(const QString& name, const QPixmap& pixmap);
    // Draws the image into the rectangle, rendered for the painter's device.
    static void draw(QPainter& painter, const QString& name, const QRectF& target, qreal opacity = 1.0);
    // The image as an icon for actions and buttons, sharp at every size.
    static QIcon icon(const QString& name);

    // An icon of the desktop theme, else our image of the fallback name.
    static QIcon themeIcon(const QString& themeName, const QString& fallbackImage = QString());
    // The icon of a MIME type, of a file by its name (extension), of a folder.
    static QIcon mimeTypeIcon(const QMimeType& type);
    static QIcon fileTypeIcon(const QString& fileName);
    static QIcon folderIcon();

    // Every name of our own images, sorted.
    static QStringList names();
    // Another folder of SVG images, searched after the resources (tests).
    static void addSearchPath(const QString& directory);
    // Forgets rendered pixmaps and registered images (tests).
    static void clearCache();
};

} // namespace tavrel
