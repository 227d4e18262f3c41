#include "controls/TQShadowedBox.h"

#include "controls/TQGradientView.h"
#include "platform/ui/Drawing.h"

#include <QPainter>

namespace tavrel {

TQShadowedBox::TQShadowedBox(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::NoFrame);
}

TQShadowedBox::~TQShadowedBox() = default;

TQGradientView* TQShadowedBox::shadowBand()
{
    if (!m_shadowBand) {
        // Never shown: the box asks it to draw into its own strip.
        m_shadowBand = std::make_unique<TQGradientView>();
        m_shadowBand->setAngle(-90);
        // The desktop's control shadow grey.
        m_shadowBand->setStartColor(Drawing::grey(0.5, 0.8));
        m_shadowBand->setEndColor(Qt::white);
    }
    return m_shadowBand.get();
}

QColor TQShadowedBox::lineColor()
{
    if (!m_lineColor.isValid())
        m_lineColor = QColor::fromRgbF(0.91015625f, 0.91015625f, 0.91015625f, 1.0f);
    return m_lineColor;
}

void TQShadowedBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds(rect());
    shadowBand()->drawRect(painter, QRectF(bounds.x(), bounds.y(), bounds.width(), kShadowHeight));
    painter.fillRect(QRectF(bounds.x(), bounds.bottom() - 1, bounds.width(), 1), lineColor());
}

} // namespace tavrel
