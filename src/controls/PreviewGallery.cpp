// Gallery pages of the document preview: each kind it draws, the loading and error pages, and the card
// of a kind nothing here can draw. The files are made in a temporary folder of the gallery's own.

#include "controls/DocumentPreviewView.h"
#include "model/TQFolderPreviewContent.h"
#include "model/TQUtility.h"
#include "platform/ui/GalleryRegistry.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

namespace tavrel {

namespace {

const QSize kPreviewSize(560, 420);

QString galleryFolder()
{
    static QTemporaryDir folder;
    return folder.path();
}

QString writeFile(const QString& name, const QByteArray& content)
{
    const QString path = galleryFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

QString makePdf()
{
    const QString path = galleryFolder() + QStringLiteral("/Quarterly report.pdf");
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 22, QFont::Bold));
    painter.drawText(QRect(48, 48, 500, 40), QStringLiteral("Quarterly report"));
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 11));
    painter.drawText(QRect(48, 100, 500, 120), Qt::TextWordWrap,
                     QStringLiteral("Revenue grew in every region this quarter. The table below sums the "
                                    "figures by month; the notes that follow explain the changes."));
    const int bars[] = {120, 180, 150, 210, 260, 240};
    for (int i = 0; i < 6; ++i)
        painter.fillRect(QRect(60 + i * 70, 480 - bars[i], 44, bars[i]), QColor(0x4A, 0x8B, 0xD4));
    painter.drawLine(48, 480, 520, 480);
    writer.newPage();
    painter.drawText(QRect(48, 48, 500, 40), QStringLiteral("Notes"));
    painter.end();
    return path;
}

QString makeImage()
{
    QImage image(640, 420, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 420);
    sky.setColorAt(0, QColor(0x8D, 0xB4, 0xE0));
    sky.setColorAt(1, QColor(0xF2, 0xF2, 0xF2));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(0xF2, 0xB7, 0x05));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(480, 110), 50, 50);
    painter.setBrush(QColor(0x3B, 0x9B, 0x5A));
    painter.drawPolygon(QPolygon({QPoint(0, 420), QPoint(200, 200), QPoint(380, 420)}));
    painter.setBrush(QColor(0x2E, 0x7D, 0x48));
    painter.drawPolygon(QPolygon({QPoint(220, 420), QPoint(430, 240), QPoint(640, 420)}));
    painter.end();
    const QString path = galleryFolder() + QStringLiteral("/Hills.png");
    image.save(path);
    return path;
}

DocumentPreviewView* preview()
{
    auto* view = new DocumentPreviewView;
    view->resize(kPreviewSize);
    return view;
}

QList<GallerySample> previews()
{
    auto* pdf = preview();
    pdf->showFile(makePdf(), QStringLiteral("Quarterly report.pdf"));
    auto* image = preview();
    image->showFile(makeImage(), QStringLiteral("Hills.png"));
    auto* text = preview();
    text->showFile(writeFile(QStringLiteral("Packing list.txt"),
                             "Packing list for the offsite\n\n- laptop and charger\n- badge\n- notebook\n"
                             "- rain jacket\n\nTrain leaves at 08:12 from platform 4.\n"),
                   QStringLiteral("Packing list.txt"));
    TQFolderPreviewContent content;
    content.title = QStringLiteral("Projects");
    content.itemCount = 7;
    content.owner = {QStringLiteral("me@example.com"), QStringLiteral("Me")};
    content.updatedDate = QDateTime(QDate(2026, 11, 3), QTime(9, 30));
    content.lastModifiedBy = {QStringLiteral("ann.lee@example.org"), QStringLiteral("Ann Lee")};
    content.editors = {{QStringLiteral("ann.lee@example.org"), QStringLiteral("Ann Lee")}};
    content.viewers = {{QStringLiteral("omar@example.org"), QStringLiteral("Omar Haddad")}};
    auto* collection = preview();
    collection->resize(710, 444);
    collection->showFile(TQUtility::sharedInstance()
                             ->preparePreviewWithCategory(content, QStringLiteral("me@example.com"))
                             .toLocalFile(),
                         content.title);
    auto* office = preview();
    office->showFile(writeFile(QStringLiteral("Budget 2027.xlsx"), QByteArray(48 * 1024, 'x')),
                     QStringLiteral("Budget 2027.xlsx"));
    auto* loading = preview();
    loading->showLoading(QStringLiteral("Launch plan"));
    auto* error = preview();
    error->showError(QStringLiteral("Launch plan"));
    return {{QStringLiteral("A PDF"), pdf},
            {QStringLiteral("An image"), image},
            {QStringLiteral("Plain text"), text},
            {QStringLiteral("A collection's page (710 x 444)"), collection},
            {QStringLiteral("An office file: nothing here draws it"), office},
            {QStringLiteral("Loading while the copy downloads"), loading},
            {QStringLiteral("Nothing to show"), error}};
}

} // namespace

TAVREL_GALLERY_PAGE("document-preview", "Preview of each kind of document", previews)

} // namespace tavrel
