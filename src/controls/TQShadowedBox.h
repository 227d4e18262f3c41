#pragma once

#include <QColor>
#include <QFrame>
#include <memory>

namespace tavrel {

class TQGradientView;

// A box that draws a soft shadow band along its top edge and a hairline along its bottom, and no
// border or title of its own: the strip that separates a header from the content under it.
class TQShadowedBox : public QFrame
{
    Q_OBJECT
public:
    explicit TQShadowedBox(QWidget* parent = nullptr);
    ~TQShadowedBox() override;

    // Made on first use: a gradient from the control shadow colour (alpha 0.8) at the top to white.
    TQGradientView* shadowBand();
    // Made on first use: the hairline's grey.
    QColor lineColor();

    static constexpr int kShadowHeight = 3;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TQGradientView> m_shadowBand;
    QColor m_lineColor;
};

} // namespace tavrel
