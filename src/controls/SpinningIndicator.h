#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

namespace tavrel {

// The spinning progress indicator of the desktop's look (a circle of ticks turning once a second),
// which Qt has no widget for. It hides itself while stopped.
class SpinningIndicator : public QWidget
{
    Q_OBJECT
public:
    explicit SpinningIndicator(QWidget* parent = nullptr);

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const { return m_timer.isActive(); }
    // The tick drawn darkest (0 to 11), for pictures of a given moment.
    int step() const { return m_step; }
    void setStep(int step);
    // The ticks' colour: dark grey unless set (a light one on a dark background).
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

    QSize sizeHint() const override { return {kSize, kSize}; }
    static constexpr int kSize = 24;
    static constexpr int kTicks = 12;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_step = 0;
    QColor m_color;
};

} // namespace tavrel
