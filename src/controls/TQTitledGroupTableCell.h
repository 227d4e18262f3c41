#pragma once

#include "platform/ui/Cell.h"

#include <memory>

namespace tavrel {

class RowTextCell;

// The header row of a group in the grouped lists (by time, owner, visibility or collection): a band
// from a background image, a one-point line at its bottom and optionally at its top, and a bold grey
// title with a white engraved shadow near the left edge. Copies get their own title cell.
class TQTitledGroupTableCell : public Cell
{
public:
    static qreal minCellHeight() { return 23; }

    explicit TQTitledGroupTableCell(const QString& title = QStringLiteral(""));
    TQTitledGroupTableCell(const TQTitledGroupTableCell& other);
    TQTitledGroupTableCell& operator=(const TQTitledGroupTableCell&) = delete;
    ~TQTitledGroupTableCell() override;
    std::unique_ptr<Cell> clone() const override { return std::make_unique<TQTitledGroupTableCell>(*this); }

    bool shouldHaveTopBorder() const { return m_shouldHaveTopBorder; }
    void setShouldHaveTopBorder(bool border) { m_shouldHaveTopBorder = border; }
    RowTextCell& titleCell() const { return *m_titleCell; }

    // The bounds' width, 23 high.
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;
    // x 6 in the view, y measured from 0: the bounds' origin is not added.
    QRectF titleRectForBounds(const QRectF& bounds) const;
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;
    // A header is never tracked.
    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;

private:
    std::unique_ptr<RowTextCell> m_titleCell;
    bool m_shouldHaveTopBorder = false;
};

} // namespace tavrel
