#include "controls/SoftShadow.h"

#include <QPaintDevice>
#include <QPainter>
#include <cmath>
#include <vector>

namespace tavrel {

namespace {

// One pass of a box blur along the rows (or the columns) of a premultiplied image.
void boxBlur(QImage& image, int radius, bool horizontal)
{
    const int lines = horizontal ? image.height() : image.width();
    const int length = horizontal ? image.width() : image.height();
    const int window = 2 * radius + 1;
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
        for (int i = 0; i < length; ++i) {
            add(i + radius, 1);
            at(i) = qRgba(sums[1] / window, sums[2] / window, sums[3] / window, sums[0] / window);
            add(i - radius, -1);
        }
    }
}

} // namespace

void SoftShadow::blur(QImage& image, int radius)
{
    if (radius <= 0)
        return;
    for (int pass = 0; pass < 3; ++pass) {
        boxBlur(image, radius, true);
        boxBlur(image, radius, false);
    }
}

QImage SoftShadow::render(const QPainterPath& path, Shape shape, const QColor& color, qreal blurRadius,
                          qreal penWidth, qreal devicePixelRatio, QPointF* topLeft)
{
    const int margin = int(std::ceil(blurRadius * 2 + penWidth));
    const QRectF area = path.boundingRect().adjusted(-margin, -margin, margin, margin);
    QImage image((area.size() * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(devicePixelRatio, devicePixelRatio);
        painter.translate(-area.topLeft());
        if (shape == Shape::Fill) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(color);
        } else {
            painter.setPen(QPen(color, penWidth));
            painter.setBrush(Qt::NoBrush);
        }
        painter.drawPath(path);
    }
    // A blur radius r spreads about r either way; three boxes of r/3 come close to that Gaussian.
    blur(image, qMax(1, int(std::lround(blurRadius * devicePixelRatio / 3))));
    image.setDevicePixelRatio(devicePixelRatio);
    if (topLeft)
        *topLeft = area.topLeft();
    return image;
}

void SoftShadow::draw(QPainter& painter, const QPainterPath& path, Shape shape, const QColor& color,
                      const QPointF& offset, qreal blurRadius, qreal penWidth)
{
    if (path.isEmpty() || !color.isValid())
        return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QPointF topLeft;
    const QImage image = render(path, shape, color, blurRadius, penWidth, ratio, &topLeft);
    painter.drawImage(topLeft + offset, image);
}

} // namespace tavrel
