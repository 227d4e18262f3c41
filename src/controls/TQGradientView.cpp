#include "controls/TQGradientView.h"

#include <QLinearGradient>
#include <QPainter>
#include <QtMath>
#include <cmath>

namespace tavrel {

TQGradientView::TQGradientView(QWidget* parent)
    : QWidget(parent), m_startColor(Qt::white), m_endColor(QColor::fromRgbF(1, 1, 1, 0.05f))
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void TQGradientView::setStartColor(const QColor& color)
{
    m_startColor = color;
    update();
}

void TQGradientView::setEndColor(const QColor& color)
{
    m_endColor = color;
    update();
}

void TQGradientView::setAngle(double degrees)
{
    m_angle = degrees;
    update();
}

void TQGradientView::setShouldHideGradient(bool hide)
{
    m_shouldHideGradient = hide;
    update();
}

std::pair<QPointF, QPointF> TQGradientView::gradientLine(const QRectF& rect, double degrees)
{
    // y grows downwards here, so the angle's sine is negated.
    const double radians = qDegreesToRadians(degrees);
    const QPointF direction(std::cos(radians), -std::sin(radians));
    // Half the length of the rectangle's projection on the direction: every corner is reached.
    const double half =
        std::abs(rect.width() / 2 * direction.x()) + std::abs(rect.height() / 2 * direction.y());
    const QPointF centre = rect.center();
    return {centre - direction * half, centre + direction * half};
}

void TQGradientView::drawRect(QPainter& painter, const QRectF& rect) const
{
    if (m_shouldHideGradient || rect.isEmpty())
        return;
    const auto [start, end] = gradientLine(rect, m_angle);
    QLinearGradient gradient(start, end);
    gradient.setColorAt(0, m_startColor);
    gradient.setColorAt(1, m_endColor);
    painter.fillRect(rect, gradient);
}

void TQGradientView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawRect(painter, QRectF(rect()));
}

} // namespace tavrel
