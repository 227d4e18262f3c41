#pragma once

#include <QColor>
#include <QFont>
#include <QMenu>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>

class QMouseEvent;
class QPainter;

namespace tavrel {

class CellHost;

// A mouse event as a cell sees it: the position in its host's coordinates, and the click count of the
// application's own counting (CurrentEvent::clickCount()).
struct CellMouseEvent
{
    QPointF position;
    Qt::MouseButton button = Qt::LeftButton;
    Qt::KeyboardModifiers modifiers;
    int clickCount = 1;

    // A widget's mouse event, with the click count of the current event.
    static CellMouseEvent from(const QMouseEvent& event);
};

// A passive piece of drawing and mouse handling. Its host (a CellButton, a list through
// CellItemDelegate, or a composite cell drawing its subcells) configures it, paints it into a frame and
// hands it the mouse: press, then moves, then release, always from the host's own event handlers,
// never from a nested event loop. A cell is not a QObject but a value: lists configure one cell per
// row just before drawing that row and track a click on a copy (clone()), so subcells are held by
// shared_ptr and shared between copies.
//
// Subclasses override the drawing (paint, cellSize), the hit test, and the tracking hooks
// startTracking / continueTracking / stopTracking / trackingDidEndInside; every subclass puts
// TAVREL_CELL(Class) in its declaration so that copies keep their class.
class Cell
{
public:
    // The answers of hitTest(), combined with |.
    enum HitResult : quint32 {
        None = 0,             // nothing hit: the host ignores the click
        ContentArea = 1,      // the cell's content
        EditableTextArea = 2, // text that can be edited in place
        TrackableArea = 4,    // the host hands the mouse to the cell until it is released
        NoSelect = 0x10000,   // a list must not select the row for this click
    };
    using HitResults = quint32;

    // The on/off state of buttons and check boxes.
    enum State : int { Off = 0, On = 1, Mixed = -1 };

    using Action = std::function<void(Cell& sender)>;

    Cell() = default;
    explicit Cell(const QString& title);
    virtual ~Cell() = default;
    Cell(const Cell&) = default;
    Cell& operator=(const Cell&) = default;

    // A copy of the same class; subcells stay shared.
    virtual std::unique_ptr<Cell> clone() const;

    // --- Drawing ---
    // Draws the cell into the frame. The base draws the image (the alternate image while highlighted or
    // on) and the title beside it, dimmed while disabled.
    virtual void paint(QPainter& painter, const QRectF& frame, CellHost& host);
    // The size the cell needs within the bounds (cellSizeForBounds:).
    virtual QSizeF cellSize(const QSizeF& bounds = QSizeF()) const;

    // --- Mouse ---
    // Whether a point lies in a frame: its far edges (right, bottom) lie outside, so cells side by
    // side never both hold a point.
    static bool frameContains(const QRectF& frame, const QPointF& point)
    {
        return point.x() >= frame.left() && point.x() < frame.right() && point.y() >= frame.top() &&
               point.y() < frame.bottom();
    }
    // What lies at the point (host coordinates) of a cell drawn in the frame. The base answers
    // ContentArea inside the frame, with TrackableArea while the cell is trackable and enabled.
    virtual HitResults hitTest(const QPointF& point, const QRectF& frame) const;

    // The tracking state machine, driven by the host. mousePressed answers whether the cell tracks
    // (then the host sends it every move and the release); mouseReleased answers whether the mouse
    // went up inside the frame, in which case the cell has sent its action. Composite cells override
    // these three to pass the mouse to the subcell under it.
    virtual bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host);
    virtual void mouseDragged(const CellMouseEvent& event, CellHost& host);
    virtual bool mouseReleased(const CellMouseEvent& event, CellHost& host);
    // Ends tracking without a release inside (the host lost the mouse, the row went away).
    virtual void cancelTracking(CellHost& host);
    // A composite cell that hands the mouse to a subcell answers for that subcell.
    virtual bool isTracking() const { return m_tracking; }
    // The frame the tracking started in.
    QRectF trackingFrame() const { return m_trackingFrame; }
    // Mouse moves without a button over the host (hover within the cell).
    virtual void mouseMoved(const QPointF& position, const QRectF& frame, CellHost& host);

    // The hooks of the default tracking. The base highlights the cell while the mouse is inside the
    // tracking frame and redraws that frame.
    virtual bool startTracking(const QPointF& point, CellHost& host);
    virtual bool continueTracking(const QPointF& last, const QPointF& current, CellHost& host);
    virtual void stopTracking(const QPointF& last, const QPointF& stop, CellHost& host, bool mouseIsUp);
    // Whether tracking goes on while the mouse is outside the frame (until it goes up).
    virtual bool prefersTrackingUntilMouseUp() const { return true; }
    // The mouse went up inside: sends the action.
    virtual void trackingDidEndInside(CellHost& host);
    // A click from the keyboard or from code: the action as if clicked.
    virtual void performClick(CellHost& host);

    // --- Actions ---
    // The action runs the function when one is set; otherwise the command (a selector such as
    // "share:") goes to the target, or up the responder chain from the host when there is none.
    void setAction(Action action) { m_action = std::move(action); }
    const Action& action() const { return m_action; }
    void setCommand(const QString& selector) { m_command = selector; }
    QString command() const { return m_command; }
    void setDoubleAction(Action action) { m_doubleAction = std::move(action); }
    const Action& doubleAction() const { return m_doubleAction; }
    void setDoubleCommand(const QString& selector) { m_doubleCommand = selector; }
    QString doubleCommand() const { return m_doubleCommand; }
    bool hasDoubleAction() const { return bool(m_doubleAction) || !m_doubleCommand.isEmpty(); }
    void setTarget(QObject* target) { m_target = target; }
    QObject* target() const { return m_target; }
    // Answer whether an action ran.
    bool sendAction(CellHost& host);
    bool sendDoubleAction(CellHost& host);

    // --- State ---
    bool isEnabled() const { return m_enabled; }
    virtual void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isHovered() const { return m_hovered; }
    virtual void setHovered(bool hovered) { m_hovered = hovered; }
    bool isSelected() const { return m_selected; }
    virtual void setSelected(bool selected) { m_selected = selected; }
    bool isHighlighted() const { return m_highlighted; }
    virtual void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    int state() const { return m_state; }
    virtual void setState(int state) { m_state = state; }
    // Whether the base hit test offers the cell for tracking.
    bool isTrackable() const { return m_trackable; }
    void setTrackable(bool trackable) { m_trackable = trackable; }

    // --- Content ---
    QString title() const { return m_title; }
    virtual void setTitle(const QString& title) { m_title = title; }
    // An unset font is the application's.
    QFont font() const;
    void setFont(const QFont& font)
    {
        m_font = font;
        m_hasFont = true;
    }
    // An invalid colour is the palette's text colour.
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color) { m_textColor = color; }
    QPixmap image() const { return m_image; }
    virtual void setImage(const QPixmap& image) { m_image = image; }
    QPixmap alternateImage() const { return m_alternateImage; }
    virtual void setAlternateImage(const QPixmap& image) { m_alternateImage = image; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    QVariant representedObject() const { return m_representedObject; }
    // Virtual: a row cell may follow the record it shows.
    virtual void setRepresentedObject(const QVariant& object) { m_representedObject = object; }
    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString& toolTip) { m_toolTip = toolTip; }
    QMenu* menu() const { return m_menu; }
    void setMenu(QMenu* menu) { m_menu = menu; }
    // Where the owner last placed the cell, in host coordinates.
    QRectF lastFrame() const { return m_lastFrame; }
    void setLastFrame(const QRectF& frame) { m_lastFrame = frame; }

    // The online flag of the view the cell is drawn in (OnlineFlag): its host hands it in before it
    // draws or presses the cell. Parts usable only online follow it; offline until a host tells.
    bool isOnline() const { return m_online; }
    void setOnline(bool online);

protected:
    // isOnline() changed; a part made later takes isOnline() as it is made.
    virtual void onlineChanged() {}

private:
    QString m_title;
    QFont m_font;
    bool m_hasFont = false;
    QColor m_textColor;
    QPixmap m_image;
    QPixmap m_alternateImage;
    int m_tag = 0;
    int m_state = Off;
    QVariant m_representedObject;
    QString m_toolTip;
    QPointer<QMenu> m_menu;
    QRectF m_lastFrame;

    Action m_action;
    Action m_doubleAction;
    QString m_command;
    QString m_doubleCommand;
    QPointer<QObject> m_target;

    bool m_enabled = true;
    bool m_hovered = false;
    bool m_selected = false;
    bool m_highlighted = false;
    bool m_trackable = false;
    bool m_online = false;

    bool m_tracking = false;
    QRectF m_trackingFrame;
    QPointF m_lastTrackingPoint;
};

// Declares a cell subclass's clone(): put it in every class deriving from Cell.
#define TAVREL_CELL(Class)                                                                                   \
public:                                                                                                      \
    std::unique_ptr<::tavrel::Cell> clone() const override                                                   \
    {                                                                                                        \
        return std::make_unique<Class>(*this);                                                               \
    }                                                                                                        \
                                                                                                             \
private:

} // namespace tavrel
