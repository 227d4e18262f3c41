#pragma once

#include "controls/TQSwitchButton.h"

namespace tavrel {

// The role switch of an item that admits commenters: the track in three equal thirds, left 0
// ("button_edit"), centre 1 ("button_view"), right -1 ("button_comment"). Its state changes without a
// click and without an action; the action goes out once, a quarter of a second after every mouse-up.
class TQTriSwitchButton : public TQSwitchButton
{
    Q_OBJECT
public:
    // The delay between a mouse-up and the action.
    static inline const Timing kActionDelay{"triSwitchActionDelay", 250};

    explicit TQTriSwitchButton(QWidget* parent = nullptr);
    ~TQTriSwitchButton() override;

    static void precacheButtonImages();
    // ceil(width / 3) in single precision.
    static qreal third(qreal width);

    void setState(int state) override;
    QSize sizeHint() const override { return {108, 28}; }

protected:
    QRectF initialKnobRect(const QRectF& interior) const override;
    void drawTrack(QPainter& painter, const QRectF& track) override;
    void applyStateForPoint(const QPointF& point) override;
    QString faceForState(int state) const override;
    qreal knobCenterForState(int state) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace tavrel
