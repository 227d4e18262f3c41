#include "platform/ui/DocumentPrinter.h"

#include "platform/ui/StringTable.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QMimeDatabase>
#include <QPageSize>
#include <QPainter>
#include <QPdfDocument>
#include <QPrinter>
#include <QStringDecoder>
#include <QTextDocument>

namespace tavrel {

namespace {

// Pages are rendered at no more than this many dots per inch: enough for print, bounded in memory.
constexpr int kMaximumRenderResolution = 300;

void fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The rectangle of the size fitted into the area, centred.
QRectF fitted(const QSizeF& size, const QRectF& area)
{
    if (size.isEmpty())
        return area;
    const QSizeF scaled = size.scaled(area.size(), Qt::KeepAspectRatio);
    return QRectF(area.center() - QPointF(scaled.width() / 2, scaled.height() / 2), scaled);
}

bool printPdf(const QString& path, QPrinter* printer, QString* error)
{
    QPdfDocument document;
    const QPdfDocument::Error loaded = document.load(path);
    if (loaded != QPdfDocument::Error::None || document.pageCount() <= 0) {
        fail(error, QStringLiteral("the PDF file cannot be read (error %1)").arg(int(loaded)));
        return false;
    }
    // Each page on a sheet of its own size.
    printer->setPageSize(QPageSize(document.pagePointSize(0), QPageSize::Point));
    QPainter painter;
    if (!painter.begin(printer)) {
        fail(error, QStringLiteral("the printer cannot be started"));
        return false;
    }
    const int dpi = qMin(printer->resolution(), kMaximumRenderResolution);
    for (int page = 0; page < document.pageCount(); ++page) {
        const QSizeF points = document.pagePointSize(page);
        if (page > 0) {
            printer->setPageSize(QPageSize(points, QPageSize::Point));
            if (!printer->newPage()) {
                fail(error, QStringLiteral("the printer refused page %1").arg(page + 1));
                return false;
            }
        }
        const QSize pixels = (points * dpi / 72.0).toSize();
        const QImage image = document.render(page, pixels);
        if (image.isNull()) {
            fail(error, QStringLiteral("page %1 cannot be rendered").arg(page + 1));
            return false;
        }
        const QRectF area = printer->pageLayout().paintRectPixels(printer->resolution());
        painter.drawImage(fitted(image.size(), QRectF(QPointF(0, 0), area.size())), image);
    }
    return painter.end();
}

bool printImage(const QString& path, QPrinter* printer, QString* error)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        fail(error, QStringLiteral("the image cannot be read: %1").arg(reader.errorString()));
        return false;
    }
    printer->setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
    QPainter painter;
    if (!painter.begin(printer)) {
        fail(error, QStringLiteral("the printer cannot be started"));
        return false;
    }
    const QRectF area = printer->pageLayout().paintRectPixels(printer->resolution());
    painter.drawImage(fitted(image.size(), QRectF(QPointF(0, 0), area.size())), image);
    return painter.end();
}

bool printText(const QString& path, QPrinter* printer, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(error, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    // UTF-8 unless the file says otherwise; bytes that do not decode show as replacement characters.
    auto decoder = QStringDecoder::decoderForHtml(bytes);
    QString text = decoder.isValid() ? decoder.decode(bytes) : QString::fromUtf8(bytes);
    QTextDocument document;
    document.setPlainText(text);
    document.print(printer);
    return true;
}

} // namespace

DocumentPrinter::Kind DocumentPrinter::kindOfFile(const QString& path)
{
    static const QMimeDatabase types;
    const QMimeType type = types.mimeTypeForFile(path);
    if (type.inherits(QStringLiteral("application/pdf")))
        return Kind::Pdf;
    for (const QByteArray& image : QImageReader::supportedMimeTypes())
        if (type.inherits(QString::fromLatin1(image)))
            return Kind::Image;
    if (type.inherits(QStringLiteral("text/plain")))
        return Kind::Text;
    return Kind::Unsupported;
}

bool DocumentPrinter::printFile(const QString& path, QPrinter* printer, QString* error)
{
    if (!printer) {
        fail(error, QStringLiteral("no printer"));
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        fail(error, QStringLiteral("no file at %1").arg(path));
        return false;
    }
    switch (kindOfFile(path)) {
    case Kind::Pdf:
        return printPdf(path, printer, error);
    case Kind::Image:
        return printImage(path, printer, error);
    case Kind::Text:
        return printText(path, printer, error);
    case Kind::Unsupported:
        break;
    }
    fail(error, StringTable::format(QStringLiteral("CannotPrintKind"), QFileInfo(path).fileName()));
    return false;
}

} // namespace tavrel
