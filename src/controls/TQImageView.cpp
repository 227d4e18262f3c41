#include "controls/TQImageView.h"

#include "platform/ui/Drawing.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <vector>

namespace tavrel {

namespace {

// The rim's shadow: offset (0, 0), the system grey, a blur radius of 4 points.
constexpr qreal kRimBlurRadius = 4;

// One pass of a box blur along rows (or columns) of a premultiplied image.
void boxBlur(QImage& image, int radius, bool horizontal)
{
    const int width = image.width();
    const int height = image.height();
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    std::vector<QRgb> source(static_cast<size_t>(length));
    for (int line = 0; line < lines; ++line) {
        const auto at = [&](int i) -> QRgb& {
            return reinterpret_cast<QRgb*>(image.scanLine(horizontal ? line : i))[horizontal ? i : line];
        };
        for (int i = 0; i < length; ++i)
            source[size_t(i)] = at(i);
        int sums[4] = {0, 0, 0, 0};
        const auto add = [&](int i, int sign) {
            if (i < 0 || i >= length)
                return;
            const QRgb p = source[size_t(i)];
            sums[0] += sign * qAlpha(p);
            sums[1] += sign * qRed(p);
            sums[2] += sign * qGreen(p);
            sums[3] += sign * qBlue(p);
        };
        for (int i = -radius; i < radius; ++i)
            add(i, 1);
        const int window = 2 * radius + 1;
        for (int i = 0; i < length; ++i) {
            add(i + radius, 1);
            at(i) = qRgba(sums[1] / window, sums[2] / window, sums[3] / window, sums[0] / window);
            add(i - radius, -1);
        }
    }
}

} // namespace

TQImageView::TQImageView(QWidget* parent) : QWidget(parent)
{
    // Nothing may be dropped on a picture.
    setAcceptDrops(false);
}

void TQImageView::setImage(const QPixmap& image)
{
    m_image = image;
    update();
}

void TQImageView::drawPressedInRim(QPainter& painter, const QPainterPath& path)
{
    // A Gaussian blur of the stroked line, as three box passes each way, drawn under the line.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int margin = int(std::ceil(kRimBlurRadius * 2));
    const QRectF area = path.boundingRect().adjusted(-margin, -margin, margin, margin);
    QImage shadow((area.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    {
        QPainter shadowPainter(&shadow);
        shadowPainter.setRenderHint(QPainter::Antialiasing);
        shadowPainter.scale(ratio, ratio);
        shadowPainter.translate(-area.topLeft());
        shadowPainter.setPen(QPen(Drawing::grey(0.5), 1));
        shadowPainter.drawPath(path);
    }
    const int radius = qMax(1, int(std::lround(kRimBlurRadius * ratio / 3)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(shadow, radius, true);
        boxBlur(shadow, radius, false);
    }
    shadow.setDevicePixelRatio(ratio);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(area.topLeft(), shadow);
    painter.setPen(QPen(Drawing::grey(2.0 / 3.0), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.restore();
}

void TQImageView::paintEvent(QPaintEvent*)
{
    // Without an image the view draws nothing, whatever its flags.
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
    if (m_rounded)
        painter.setClipPath(path);
    // Stretched over the bounds: the aspect ratio is not kept.
    Drawing::drawPixmap(painter, QRectF(rect()), m_image);
    if (m_bordered)
        drawPressedInRim(painter, path);
}

} // namespace tavrel
