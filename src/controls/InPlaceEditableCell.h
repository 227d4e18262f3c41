#pragma once

#include <QFont>
#include <QRectF>

class QPainter;

namespace tavrel {

class Cell;

// A row cell whose title can be renamed in place: the table asks it where the field editor goes and
// tells it while the editor shows (the cell then draws a focus ring instead of its title).
class InPlaceEditableCell
{
public:
    virtual ~InPlaceEditableCell() = default;

    // The rectangle of the editor for a row drawn in the frame: the title's whole available width.
    virtual QRectF editingFrame(const QRectF& cellFrame) const = 0;
    // The title's font, for the editor.
    virtual QFont editingFont() const = 0;
    virtual bool showsEditor() const = 0;
    virtual void setShowsEditor(bool shows) = 0;

    static InPlaceEditableCell* from(Cell* cell);
    // The focus ring a cell draws around the editing area instead of its title.
    static void drawEditingRing(QPainter& painter, const QRectF& rect);
};

} // namespace tavrel
