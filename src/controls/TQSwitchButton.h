#pragma once

#include "platform/runtime/Timing.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>

class QVariantAnimation;

namespace tavrel {

// The two-position role switch of the sharing rows: a knob that slides between the left (state 0,
// face "button_edit") and the right (state 1, face "button_view"), centred for the mixed state (-1).
// Clicking the knob toggles it, clicking either half of the track chooses that side, and a drag moves
// the knob to the half under the pointer. Every change made through setState (the user's included)
// sends the action. Owners that only show a state use setCellState and synchronizeState.
//
// The track, the faint face labels and the knob are drawn from our images; the knob's faces are
// composed once per name for the whole process.
class TQSwitchButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int state READ state WRITE setState)
public:
    enum State { Off = 0, On = 1, Mixed = -1 };
    // How long a knob move takes.
    static constexpr double kKnobMoveSeconds = 0.25;

    explicit TQSwitchButton(QWidget* parent = nullptr);
    ~TQSwitchButton() override;

    static void precacheButtonImages();
    // The composed knob face: the regular or active base stretched over the bounds and the named image
    // centred on it (no name: the base only). Cached by name and flag: the first size asked is kept.
    static QPixmap imageNamed(const QString& name, bool active, const QRectF& bounds);

    int state() const { return m_state; }
    // A change clicks the switch: the next state (on and off swap, mixed becomes on) and the action.
    virtual void setState(int state);
    // The state without a click or an action (the cell's own state).
    void setCellState(int state) { m_state = state; }
    // Jumps the knob to the state's place without animation.
    void synchronizeState();
    void updateKnobPosition();
    virtual void updateKnobPositionWithDuration(double seconds);

    // The action, with the switch; also announced by activated().
    using Action = std::function<void(TQSwitchButton& sender)>;
    void setAction(Action action) { m_action = std::move(action); }

    QPointF clickedPoint() const { return m_clickedPoint; }
    void setClickedPoint(const QPointF& point) { m_clickedPoint = point; }
    // The knob holder's frame in the button, and the track's.
    QRectF knobFrame() const;
    QRectF trackFrame() const;
    // The name of the face the knob shows now, and whether it shows pressed.
    QString knobFace() const { return m_knobFace; }
    bool knobActive() const { return m_knobActive; }
    // Whether the track and knob exist (the switch has been shown in a window).
    bool hasLayers() const { return m_hasLayers; }

    QSize sizeHint() const override { return {80, 28}; }

signals:
    void activated();

protected:
    // The hooks the three-position switch changes.
    virtual QRectF initialKnobRect(const QRectF& interior) const;
    virtual void drawTrack(QPainter& painter, const QRectF& track);
    virtual void highlight(bool flag);
    virtual void applyStateForPoint(const QPointF& point);
    virtual QString faceForState(int state) const;
    virtual qreal knobCenterForState(int state) const;
    void moveKnob(qreal centerX, const QString& face, double seconds);
    void sendAction();
    void drawFace(QPainter& painter, const QRectF& rect, const QString& name);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

    void setupLayers();
    void dropLayers();
    bool onKnob(const QPointF& point) const { return knobFrame().contains(point); }

    int m_state = Off;
    QPointF m_clickedPoint;

private:
    Action m_action;
    bool m_hasLayers = false;
    qreal m_knobX = 2; // the knob holder's left edge
    QSizeF m_knobSize;
    QString m_knobFace;
    bool m_knobActive = false;
    QPointer<QVariantAnimation> m_knobAnimation;
};

} // namespace tavrel
