#pragma once

#include <QColor>
#include <QWidget>

namespace tavrel {

// A view that fills with a linear gradient from the start colour to the end colour at an angle
// (degrees, counter-clockwise from the right; 90 runs from the bottom up). It is never opaque, so what
// lies behind shows through where the colours are translucent or the gradient is hidden.
class TQGradientView : public QWidget
{
    Q_OBJECT
public:
    explicit TQGradientView(QWidget* parent = nullptr);

    QColor startColor() const { return m_startColor; }
    void setStartColor(const QColor& color);
    QColor endColor() const { return m_endColor; }
    void setEndColor(const QColor& color);
    double angle() const { return m_angle; }
    void setAngle(double degrees);
    bool shouldHideGradient() const { return m_shouldHideGradient; }
    void setShouldHideGradient(bool hide);

    // Fills the rectangle (not the bounds) with the gradient, unless it is hidden. Views that draw a
    // gradient view themselves pass the rectangle to fill.
    void drawRect(QPainter& painter, const QRectF& rect) const;

    // The end points of a gradient at the angle that spans the whole rectangle.
    static std::pair<QPointF, QPointF> gradientLine(const QRectF& rect, double degrees);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_startColor;
    QColor m_endColor;
    double m_angle = 90;
    bool m_shouldHideGradient = false;
};

} // namespace tavrel
