#pragma once

#include "controls/BasicButtonCell.h"

namespace tavrel {

// An image with a bold centred caption under it; while pressed, the alternate image and a blue
// caption. The rest of its look (the dashed border) is in its two images.
class TQDashBorderedCell : public BasicButtonCell
{
    TAVREL_CELL(TQDashBorderedCell)
public:
    explicit TQDashBorderedCell(const QString& title = QStringLiteral(""));

    // The caption in its normal and in its pressed colour.
    AttributedText styler() const { return m_styler; }
    AttributedText highlighter() const { return m_highlighter; }

    // Rebuilds both captions.
    void setTitle(const QString& title) override;
    // The image above, the caption along the bottom.
    QRectF imageRectForBounds(const QRectF& bounds) const override;
    QRectF titleRectForBounds(const QRectF& bounds) const override;
    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    void setup();

    AttributedText m_styler;
    AttributedText m_highlighter;
};

} // namespace tavrel
