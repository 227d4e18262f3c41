#include "controls/ImageLayerView.h"

#include "platform/ui/Drawing.h"

#include <QPainter>
#include <QtMath>

namespace tavrel {

ImageLayerView::ImageLayerView(const QPixmap& image, QWidget* parent) : QWidget(parent), m_image(image)
{
    setAttribute(Qt::WA_TranslucentBackground);
    resize(image.isNull() ? QSize() : image.deviceIndependentSize().toSize());
}

void ImageLayerView::setRotation(double radians)
{
    m_rotation = radians;
    update();
}

void ImageLayerView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPointF centre = QRectF(rect()).center();
    painter.translate(centre);
    painter.rotate(qRadiansToDegrees(m_rotation));
    painter.translate(-centre);
    Drawing::drawPixmap(painter, QRectF(rect()), m_image);
}

} // namespace tavrel
