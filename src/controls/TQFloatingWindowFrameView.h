#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

namespace tavrel {

class TQFloatingWindow;

// The view that fills a floating window and draws all of it: the rounded outline with the pointer
// arrow, the background colour or image inside it, and the title band with the window's title. It
// holds the window's content view inside the outline, hides the arrow for good once the user drags
// the window, remembers where a floating window was last moved to ("QSDLastPositionPoint"), and closes
// the window on Escape.
//
// Geometry is in widget coordinates (y downwards): the title band is at the top, a bottom arrow takes
// space at the bottom.
class TQFloatingWindowFrameView : public QWidget
{
    Q_OBJECT
public:
    // Arrow sides: the table of the floating window.
    enum PointerPosition { PointerLeft = -1, PointerNone = 0, PointerRight = 1, PointerBottom = 2 };

    static constexpr qreal kTitleBandHeight = 29;
    // The side arrow's upper edge lies this far below the title band.
    static constexpr qreal kArrowBelowTitle = 10;
    static inline const QString kLastPositionKey = QStringLiteral("QSDLastPositionPoint");

    explicit TQFloatingWindowFrameView(QWidget* parent = nullptr);
    ~TQFloatingWindowFrameView() override;

    // The top-left corner, on the screen, of the floating window the user moved last; (0, 0) when none
    // is remembered (or the setting cannot be read).
    static QPoint lastKnownPlainQSDLocation();
    // The point as the setting stores it: "{x, y}".
    static QString stringFromPoint(const QPoint& point);
    static QPoint pointFromString(const QString& text);

    bool shouldDrawTitle() const { return m_shouldDrawTitle; }
    void setShouldDrawTitle(bool draw) { m_shouldDrawTitle = draw; }
    int pointerPosition() const { return m_pointerPosition; }
    // Re-places the content view and redraws.
    void setPointerPosition(int position);
    bool shouldHidePointer() const { return m_shouldHidePointer; }
    // With an arrow, redraws the view and its window's shadow at once.
    void setShouldHidePointer(bool hide);

    // The window's content, placed in contentRectForFrameRect(bounds) and resized with the view. The
    // view owns it; a replaced content view is deleted.
    QWidget* contentView() const { return m_contentView; }
    void setContentView(QWidget* view);

    // White unless set.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color) { m_backgroundColor = color; }
    QPixmap backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const QPixmap& image) { m_backgroundImage = image; }
    qreal arrowHeight() const { return m_arrowHeight; }
    void setArrowHeight(qreal height) { m_arrowHeight = height; }
    qreal arrowBaseLength() const { return m_arrowBaseLength; }
    void setArrowBaseLength(qreal length) { m_arrowBaseLength = length; }

    // The size of the window it fills (0 regular, 1 small, 2 medium); 0 outside a floating window.
    int windowSize() const;
    // 4 for small windows, else 8.
    qreal cornerRadius() const;
    // How high above the bottom edge the arrow's tip lies.
    qreal pointerYOffset() const;
    // The title band: the top 29 points, beside a side arrow; empty without a title.
    QRectF titlebarFrame() const;

    // The content's rectangle within a frame rectangle, and the exact inverse. The arrow's space is
    // kept even while the arrow is hidden.
    QRectF contentRectForFrameRect(const QRectF& frame) const;
    QRectF frameRectForContentRect(const QRectF& content) const;

    // The same for any geometry (a floating window computes its first frame before it has a frame view
    // of its size).
    struct Geometry
    {
        int windowSize = 0;
        bool shouldDrawTitle = true;
        int pointerPosition = PointerLeft;
        qreal arrowHeight = 11;
    };
    Geometry layoutGeometry() const;
    static qreal cornerRadius(int windowSize) { return windowSize == 1 ? 4 : 8; }
    static QRectF contentRectForFrameRect(const QRectF& frame, const Geometry& geometry);
    static QRectF frameRectForContentRect(const QRectF& content, const Geometry& geometry);

    // The outline: the rectangle with round corners and, unless hidden, the arrow.
    QPainterPath borderPathInRect(const QRectF& rect) const;
    // The outline of the whole view as it is drawn.
    QPainterPath outlinePath() const;

    // Places the content view in the content rectangle of the bounds (also done on every resize).
    void layoutContentView();

    // Space at the bottom the content view leaves free (the drawer's, while it slides out).
    qreal reservedBottom() const { return m_reservedBottom; }
    void setReservedBottom(qreal height);

    // Escape (whatever the modifiers) asks the window to close, as its close button does.
    bool performKeyEquivalent(QKeyEvent* event);

    // The window's move observations, started once it first becomes key: a drag hides the arrow for
    // good; a move stores the window's top-left corner.
    void onWindowDidBecomeKey();
    void onWindowWillMove();
    void onWindowDidMove();
    bool isObservingMoves() const { return m_observingMoves; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TQFloatingWindow* floatingWindow() const;

    bool m_shouldDrawTitle = true;
    int m_pointerPosition = PointerLeft;
    QPointer<QWidget> m_contentView;
    bool m_shouldHidePointer = false;
    QColor m_backgroundColor = Qt::white;
    QPixmap m_backgroundImage;
    qreal m_arrowHeight = 11;
    qreal m_arrowBaseLength = 22;
    qreal m_reservedBottom = 0;
    bool m_observingMoves = false;
};

} // namespace tavrel
