#include "controls/TQImageView.h"

#include "controls/SoftShadow.h"
#include "platform/ui/Drawing.h"

#include <QPainter>
#include <QPainterPath>

namespace tavrel {

namespace {
// The rim's shadow: offset (0, 0), the system grey, a blur radius of 4 points.
constexpr qreal kRimBlurRadius = 4;
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
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    SoftShadow::draw(painter, path, SoftShadow::Shape::Stroke, Drawing::grey(0.5), QPointF(), kRimBlurRadius);
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
