#include "controls/TQShadowedDivider.h"

#include "platform/ui/Drawing.h"

#include <QLinearGradient>
#include <QPainter>

namespace tavrel {

TQShadowedDivider::TQShadowedDivider(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TQShadowedDivider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds(rect());
    const QColor darkGrey = Drawing::grey(1.0 / 3.0);
    painter.fillRect(QRectF(bounds.x(), bounds.y(), bounds.width(), 1), darkGrey);
    if (!m_shouldDrawShadow)
        return;
    // Dark under the line, fading to white four points down.
    const QRectF band(bounds.x(), bounds.y() + 1, bounds.width(), 4);
    QLinearGradient gradient(band.topLeft(), band.bottomLeft());
    gradient.setColorAt(0, Drawing::grey(1.0 / 3.0, double(0.7f)));
    gradient.setColorAt(1, Qt::white);
    painter.fillRect(band, gradient);
}

} // namespace tavrel
