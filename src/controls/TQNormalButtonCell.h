#pragma once

#include "controls/BasicButtonCell.h"

namespace tavrel {

// The program's push button: a background image stretched into a rounded rectangle, a one-point
// border, an optional soft border shadow under it and a centred title with its own shadow. Every
// look of a push button is a subclass overriding only the look operations below; an invalid colour
// or a null image is an element that is not drawn.
//
// The title's font and colour are applied when it is set, so subclasses whose colours follow a
// state set the title again when that state changes.
class TQNormalButtonCell : public BasicButtonCell
{
    TAVREL_CELL(TQNormalButtonCell)
public:
    explicit TQNormalButtonCell(const QString& title = QStringLiteral(""));

    // The look.
    virtual QFont titleFont() const;
    virtual QColor titleColor() const;
    virtual QColor titleShadowColor() const;
    virtual QColor borderColor() const;
    virtual QColor borderShadowColor() const;
    // Drawn while highlighted (pressed).
    virtual QPixmap activeImage() const;
    virtual QPixmap regularImage() const;
    QRectF titleRectForBounds(const QRectF& bounds) const override;

    // A null title clears it; otherwise it is made in titleFont and titleColor, centred.
    void setTitle(const QString& title) override;
    // Sets the title again, so that a title given before the cell was configured gets its look.
    void awakeFromNib();

    void drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host) override;

protected:
    // The attributed title the look would make of a text, in a font.
    AttributedText makeTitle(const QString& title, const QFont& font) const;
};

} // namespace tavrel
