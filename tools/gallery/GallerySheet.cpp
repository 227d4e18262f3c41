#include "GallerySheet.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QWidget>

namespace tavrel::gallery {

namespace {

constexpr qreal kMargin = 32;
constexpr qreal kGapX = 28;
constexpr qreal kGapY = 28;
constexpr qreal kCardPadding = 16;
constexpr qreal kTitleBarHeight = 36;
constexpr qreal kCaptionGap = 8;
constexpr qreal kMinimumWidth = 880;

const QColor kBackground(0xF6, 0xF5, 0xF4);
const QColor kInk(0x2E, 0x34, 0x36);
const QColor kCaption(0x6B, 0x6F, 0x71);
const QColor kCardBorder(0xD6, 0xD4, 0xD1);

QFont font(qreal pixelSize, QFont::Weight weight)
{
    QFont f = QApplication::font();
    f.setPixelSize(int(pixelSize));
    f.setWeight(weight);
    return f;
}

struct Tile
{
    QPixmap pixmap;
    QString caption;
    bool window = false;
    QString windowTitle;
    QRectF rect; // the whole tile: card or frame and caption
    QSizeF body() const
    {
        const QSizeF content = pixmap.deviceIndependentSize();
        return window ? QSizeF(content.width() + 2, content.height() + kTitleBarHeight + 1)
                      : QSizeF(content.width() + 2 * kCardPadding, content.height() + 2 * kCardPadding);
    }
};

QPixmap grab(QWidget* widget)
{
    if (!widget->testAttribute(Qt::WA_Resized))
        widget->adjustSize();
    widget->show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    return widget->grab();
}

void drawShadow(QPainter& painter, const QRectF& rect, qreal radius)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        painter.setBrush(QColor(0, 0, 0, 7));
        painter.drawRoundedRect(rect.adjusted(-i, -i + 2, i, i + 2), radius + i, radius + i);
    }
    painter.restore();
}

void drawCard(QPainter& painter, const Tile& tile)
{
    const QRectF card(tile.rect.topLeft(), tile.body());
    drawShadow(painter, card, 8);
    painter.setPen(QPen(kCardBorder, 1));
    // The window colour the widget was drawn on, so its background and the card's are one.
    painter.setBrush(QApplication::palette().color(QPalette::Window));
    painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    painter.drawPixmap(card.topLeft() + QPointF(kCardPadding, kCardPadding), tile.pixmap);
}

void drawWindow(QPainter& painter, const Tile& tile)
{
    const QRectF frame(tile.rect.topLeft(), tile.body());
    constexpr qreal radius = 8;
    drawShadow(painter, frame, radius);
    QPainterPath outline;
    outline.addRoundedRect(frame, radius, radius);
    painter.save();
    painter.setClipPath(outline);
    painter.fillRect(frame, QApplication::palette().color(QPalette::Window));
    // The title bar, as a desktop's window manager would draw it.
    const QRectF bar(frame.x(), frame.y(), frame.width(), kTitleBarHeight);
    QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
    gradient.setColorAt(0, QColor(0xEE, 0xED, 0xEC));
    gradient.setColorAt(1, QColor(0xE3, 0xE2, 0xE0));
    painter.fillRect(bar, gradient);
    painter.fillRect(QRectF(bar.x(), bar.bottom() - 1, bar.width(), 1), QColor(0xCF, 0xCD, 0xCA));
    painter.setPen(kInk);
    painter.setFont(font(13, QFont::DemiBold));
    painter.drawText(
        bar.adjusted(48, 0, -48, 0), Qt::AlignCenter,
        QFontMetricsF(painter.font()).elidedText(tile.windowTitle, Qt::ElideRight, bar.width() - 96));
    const QPointF closeCentre(bar.right() - 20, bar.center().y());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xD8, 0xD6, 0xD3));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawEllipse(closeCentre, 10, 10);
    painter.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(closeCentre + QPointF(-3.5, -3.5), closeCentre + QPointF(3.5, 3.5));
    painter.drawLine(closeCentre + QPointF(3.5, -3.5), closeCentre + QPointF(-3.5, 3.5));
    painter.drawPixmap(QPointF(frame.x() + 1, bar.bottom()), tile.pixmap);
    painter.restore();
    painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(frame.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

} // namespace

GallerySheet::GallerySheet(QString title, QList<GallerySample> samples)
    : m_title(std::move(title)), m_samples(std::move(samples))
{}

GallerySheet::~GallerySheet()
{
    for (const GallerySample& sample : m_samples)
        delete sample.widget;
}

QImage GallerySheet::render(qreal devicePixelRatio)
{
    if (m_samples.isEmpty()) {
        m_error = QStringLiteral("the page has no samples");
        return {};
    }
    QList<Tile> tiles;
    for (const GallerySample& sample : m_samples) {
        if (!sample.widget) {
            m_error = QStringLiteral("the sample \"%1\" has no widget").arg(sample.caption);
            return {};
        }
        Tile tile;
        tile.pixmap = grab(sample.widget);
        if (tile.pixmap.isNull() || tile.pixmap.width() == 0) {
            m_error = QStringLiteral("the sample \"%1\" drew nothing").arg(sample.caption);
            return {};
        }
        tile.caption = sample.caption;
        tile.window =
            sample.isWindow || (sample.widget->isWindow() && sample.widget->windowType() == Qt::Dialog);
        tile.windowTitle =
            sample.widget->windowTitle().isEmpty() ? sample.caption : sample.widget->windowTitle();
        tiles.append(tile);
    }

    // Rows of tiles, as wide as the widest tile or the minimum sheet width.
    const QFont captionFont = font(12, QFont::Normal);
    const qreal captionHeight = QFontMetricsF(captionFont).height();
    qreal contentWidth = kMinimumWidth;
    for (const Tile& tile : tiles)
        contentWidth = qMax(contentWidth, tile.body().width());
    const QFont titleFont = font(22, QFont::DemiBold);
    const qreal titleHeight = QFontMetricsF(titleFont).height();
    qreal x = 0;
    qreal y = titleHeight + 20;
    qreal rowHeight = 0;
    for (Tile& tile : tiles) {
        const QSizeF body = tile.body();
        const qreal width = qMax(body.width(), QFontMetricsF(captionFont).horizontalAdvance(tile.caption));
        if (x > 0 && x + width > contentWidth) {
            x = 0;
            y += rowHeight + kGapY;
            rowHeight = 0;
        }
        tile.rect = QRectF(kMargin + x, kMargin + y, width, body.height() + kCaptionGap + captionHeight);
        x += width + kGapX;
        rowHeight = qMax(rowHeight, tile.rect.height());
    }
    const QSizeF size(contentWidth + 2 * kMargin, kMargin + y + rowHeight + kMargin);

    QImage image((size * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(kBackground);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(kInk);
    painter.setFont(titleFont);
    painter.drawText(QRectF(kMargin, kMargin, contentWidth, titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     m_title);
    for (const Tile& tile : tiles) {
        if (tile.window)
            drawWindow(painter, tile);
        else
            drawCard(painter, tile);
        painter.setPen(kCaption);
        painter.setFont(captionFont);
        painter.drawText(QRectF(tile.rect.x(), tile.rect.y() + tile.body().height() + kCaptionGap,
                                tile.rect.width(), captionHeight),
                         Qt::AlignLeft | Qt::AlignTop, tile.caption);
    }
    return image;
}

} // namespace tavrel::gallery
