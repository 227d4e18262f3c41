#include "controls/SpinningIndicator.h"

#include "platform/ui/Drawing.h"

#include <QPainter>

namespace tavrel {

SpinningIndicator::SpinningIndicator(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    resize(sizeHint());
    // One turn a second.
    m_timer.setInterval(1000 / kTicks);
    connect(&m_timer, &QTimer::timeout, this, [this] { setStep(m_step + 1); });
    hide();
}

void SpinningIndicator::startAnimation()
{
    if (!m_timer.isActive())
        m_timer.start();
    show();
}

void SpinningIndicator::stopAnimation()
{
    m_timer.stop();
    hide();
}

void SpinningIndicator::setStep(int step)
{
    m_step = ((step % kTicks) + kTicks) % kTicks;
    update();
}

void SpinningIndicator::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void SpinningIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(width(), height());
    painter.translate(width() / 2.0, height() / 2.0);
    const qreal outer = side / 2 - 1;
    const qreal inner = outer * 0.5;
    QPen pen(m_color.isValid() ? m_color : Drawing::grey(0.24609375), qMax(1.5, side / 12), Qt::SolidLine,
             Qt::RoundCap);
    for (int i = 0; i < kTicks; ++i) {
        // The leading tick darkest, the ones behind it fading.
        const int behind = (m_step - i + kTicks) % kTicks;
        QColor color = pen.color();
        color.setAlphaF(1.0 - 0.75 * behind / (kTicks - 1));
        pen.setColor(color);
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / kTicks);
        painter.drawLine(QPointF(0, -inner), QPointF(0, -outer));
        painter.restore();
    }
}

} // namespace tavrel
