#include "controls/TQShadowedCell.h"

#include "controls/SystemColors.h"
#include "platform/ui/Drawing.h"

#include <QLinearGradient>
#include <QPainter>

namespace tavrel {

void TQShadowedCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    drawInterior(painter, frame, host);
}

void TQShadowedCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    if (m_shouldDrawBorder) {
        // A one-point line on the first point row under the frame.
        painter.fillRect(QRectF(frame.x(), frame.bottom(), frame.width(), 1), Drawing::grey(0.796875));
    }
    if (m_shouldDrawShadow) {
        // Four point rows, one point under the frame: from the shadow colour at the top to white.
        const QRectF band(frame.x(), frame.bottom() + 1, frame.width(), 4);
        QColor start = SystemColors::controlShadowColor();
        start.setAlphaF(0.7f);
        QLinearGradient gradient(band.topLeft(), band.bottomLeft());
        gradient.setColorAt(0, start);
        gradient.setColorAt(1, Qt::white);
        painter.fillRect(band, gradient);
    }
}

} // namespace tavrel
