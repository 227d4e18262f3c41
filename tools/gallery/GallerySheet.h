#pragma once

#include "platform/ui/GalleryRegistry.h"

#include <QImage>
#include <QList>
#include <QString>

namespace tavrel::gallery {

// Lays a page's samples out on one sheet, as they would look in a window of the program: widgets on
// a white card, dialogs and floating windows in a window frame, each with its caption.
class GallerySheet
{
public:
    GallerySheet(QString title, QList<GallerySample> samples);
    ~GallerySheet();
    GallerySheet(const GallerySheet&) = delete;
    GallerySheet& operator=(const GallerySheet&) = delete;

    // The sheet at the device pixel ratio; a null image when a sample could not be drawn.
    QImage render(qreal devicePixelRatio);
    QString error() const { return m_error; }

private:
    QString m_title;
    QList<GallerySample> m_samples;
    QString m_error;
};

} // namespace tavrel::gallery
