#pragma once

#include "platform/ui/Cell.h"

#include <QPointer>
#include <QWidget>

namespace tavrel {

// One line of text as the row cells draw their titles, details, dates and group headings: a font, a
// colour and an optional single underline, cut at the end of its frame with an ellipsis. Its natural
// size is the text on one line with two points of padding on each side. It remembers the view it was
// last drawn in, for the parts that change the cursor.
class RowTextCell : public Cell
{
    TAVREL_CELL(RowTextCell)
public:
    RowTextCell() = default;
    RowTextCell(const QString& text, const QFont& font, const QColor& color);

    // The whole underline attribute of the text: on or off.
    bool underlined() const { return m_underlined; }
    void setUnderlined(bool underlined) { m_underlined = underlined; }

    QWidget* controlView() const { return m_controlView; }
    void setControlView(QWidget* view) { m_controlView = view; }

    // One line of the text, whatever the bounds; an empty text is as high as a line.
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    // Content inside the frame; nothing outside.
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;

    static constexpr qreal kPadding = 2;

private:
    bool m_underlined = false;
    QPointer<QWidget> m_controlView;
};

} // namespace tavrel
