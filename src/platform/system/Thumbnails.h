#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace tavrel {

// Small pictures of files' content: an image scaled (decoded at the size where the format allows), a
// PDF's first page rendered. Safe on any thread.
class Thumbnails
{
public:
    // The picture, scaled to fit the size with its proportions kept; a null image when the file is
    // neither an image nor a PDF that can be read.
    static QImage thumbnailForFile(const QString& path, const QSize& size);
};

} // namespace tavrel
