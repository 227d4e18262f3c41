#pragma once

#include "platform/ui/Cell.h"

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QWidget>

class QPainterPath;

namespace tavrel {

// The platform's button cell, as the design's button cells build on it: a button type that decides
// whether a click flips the on/off state and what highlighting and the state show, an attributed
// title (text, font, colour, alignment fixed when it is set), an alternate title, the image position,
// the rectangles of its parts, and the ordinary interior (image and title). It remembers the view it
// was last drawn in (its control view) so that it can ask for redraws outside a drawing pass.
class BasicButtonCell : public Cell
{
    TAVREL_CELL(BasicButtonCell)
public:
    enum ButtonType {
        MomentaryLightButton = 0,
        PushOnPushOffButton = 1,
        ToggleButton = 2,
        SwitchButton = 3,
        RadioButton = 4,
        MomentaryChangeButton = 5, // the alternate image and title show while pressed
        OnOffButton = 6,
        MomentaryPushInButton = 7,
    };
    // What highlighting (pressed) and the on state show.
    enum CellMask {
        NoCellMask = 0,
        ContentsCellMask = 1, // the alternate image and title
        PushInCellMask = 2,
        ChangeGrayCellMask = 4,
        ChangeBackgroundCellMask = 8,
    };
    enum ImagePosition { NoImage = 0, ImageOnly = 1, ImageLeft = 2, ImageRight = 3, ImageOverlaps = 6 };

    struct AttributedText
    {
        QString text;
        QFont font;
        QColor color;
        Qt::Alignment alignment = Qt::AlignHCenter;
        bool isEmpty() const { return text.isEmpty(); }
    };

    explicit BasicButtonCell(const QString& title = QString());

    ButtonType buttonType() const { return m_buttonType; }
    // Sets the type and with it the highlight and state masks.
    void setButtonType(ButtonType type);
    int highlightsBy() const { return m_highlightsBy; }
    void setHighlightsBy(int mask) { m_highlightsBy = mask; }
    int showsStateBy() const { return m_showsStateBy; }
    void setShowsStateBy(int mask) { m_showsStateBy = mask; }
    ImagePosition imagePosition() const { return m_imagePosition; }
    void setImagePosition(ImagePosition position) { m_imagePosition = position; }
    bool isBordered() const { return m_bordered; }
    void setBordered(bool bordered) { m_bordered = bordered; }
    bool isBezeled() const { return m_bezeled; }
    void setBezeled(bool bezeled) { m_bezeled = bezeled; }
    bool wraps() const { return m_wraps; }
    void setWraps(bool wraps) { m_wraps = wraps; }
    // The "is inset button" attribute: how far an inset button's face lies inside its frame, twice.
    int insetButtonAttribute() const { return m_insetButtonAttribute; }
    void setInsetButtonAttribute(int inset) { m_insetButtonAttribute = inset; }

    // The title: its plain text is title(). setTitle makes it in the cell's font and text colour.
    void setTitle(const QString& title) override;
    AttributedText attributedTitle() const { return m_attributedTitle; }
    virtual void setAttributedTitle(const AttributedText& title);
    AttributedText attributedAlternateTitle() const { return m_attributedAlternateTitle; }
    void setAttributedAlternateTitle(const AttributedText& title) { m_attributedAlternateTitle = title; }

    // Whether the alternate image and title show now (the masks, the state and the highlight).
    bool showsAlternate() const;
    // The state a click gives: on and off alternate for the toggling types, a radio stays on.
    int nextState() const;

    // The view the cell was last drawn or tracked in.
    QWidget* controlView() const { return m_controlView; }
    void setControlView(QWidget* view) { m_controlView = view; }

    // --- Geometry ---
    virtual QRectF drawingRectForBounds(const QRectF& bounds) const { return bounds; }
    virtual QRectF titleRectForBounds(const QRectF& bounds) const { return bounds; }
    virtual QRectF imageRectForBounds(const QRectF& bounds) const;
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;

    // --- Drawing ---
    // Records the control view, then drawWithFrame.
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) final;
    // The whole cell; the base draws only the interior.
    virtual void drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host);
    // Image and title.
    virtual void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host);
    // The title in the rectangle, vertically centred; a disabled cell dims it.
    virtual void drawTitle(QPainter& painter, const AttributedText& title, const QRectF& rect);
    // Draws a pixmap scaled into a rectangle; one of our small images is rendered afresh at that size.
    static void drawImage(QPainter& painter, const QPixmap& image, const QRectF& rect, qreal opacity = 1.0);
    // Fills a path with an image stretched over a rectangle, the path's edge antialiased (what drawing
    // the image inside a clip to the path gives).
    static void fillPathWithImage(QPainter& painter, const QPainterPath& path, const QPixmap& image,
                                  const QRectF& rect);
    // What a one-point line stroked along a rounded rectangle leaves inside a clip to that rectangle.
    static void strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color);
    // The part of a view's bounds that its ancestors do not clip away, whether or not it is shown.
    static QRectF visibleRect(const QWidget* view);

    // --- Mouse ---
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;
    // A click sets the next state, then sends the action.
    void trackingDidEndInside(CellHost& host) override;
    void performClick(CellHost& host) override;

private:
    ButtonType m_buttonType = MomentaryPushInButton;
    int m_highlightsBy = PushInCellMask | ChangeGrayCellMask;
    int m_showsStateBy = NoCellMask;
    ImagePosition m_imagePosition = ImageLeft;
    bool m_bordered = true;
    bool m_bezeled = false;
    bool m_wraps = false;
    int m_insetButtonAttribute = 0;
    AttributedText m_attributedTitle;
    AttributedText m_attributedAlternateTitle;
    QPointer<QWidget> m_controlView;
};

} // namespace tavrel
