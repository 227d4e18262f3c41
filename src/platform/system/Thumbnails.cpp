#include "platform/system/Thumbnails.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QPdfDocument>

namespace tavrel {

namespace {

QSize fitted(QSizeF source, const QSize& box)
{
    if (source.isEmpty())
        return {};
    const QSize size = source.scaled(QSizeF(box), Qt::KeepAspectRatio).toSize();
    return size.expandedTo(QSize(1, 1));
}

QImage imageThumbnail(const QString& path, const QSize& box)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return {};
    QSize size = reader.size();
    // Rotated pictures swap their sides once transformed.
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    const QSize target = fitted(size, box);
    if (target.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize) &&
        !(reader.transformation() & QImageIOHandler::TransformationRotate90))
        reader.setScaledSize(target);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.size() != fitted(image.size(), box))
        image = image.scaled(fitted(image.size(), box), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

// Only a file that says it is a PDF is handed to the PDF reader, which reads a file whole.
bool looksLikePDF(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(1024).contains("%PDF-");
}

QImage pdfThumbnail(const QString& path, const QSize& box)
{
    if (!looksLikePDF(path))
        return {};
    QPdfDocument document;
    if (document.load(path) != QPdfDocument::Error::None || document.pageCount() < 1)
        return {};
    const QSize target = fitted(document.pagePointSize(0), box);
    if (!target.isValid())
        return {};
    QImage page = document.render(0, target);
    if (page.isNull())
        return {};
    // A page is paper: white where the document paints nothing.
    QImage paper(page.size(), QImage::Format_ARGB32_Premultiplied);
    paper.fill(Qt::white);
    QPainter(&paper).drawImage(0, 0, page);
    return paper;
}

} // namespace

QImage Thumbnails::thumbnailForFile(const QString& path, const QSize& size)
{
    if (path.isEmpty() || size.isEmpty())
        return {};
    QImage image = imageThumbnail(path, size);
    if (image.isNull())
        image = pdfThumbnail(path, size);
    return image;
}

} // namespace tavrel
