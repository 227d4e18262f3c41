#pragma once

#include "controls/TQNormalButtonCell.h"

#include <QList>

namespace tavrel {

// The arrow-shaped navigation (back) button, drawn from three-part images (left end, stretched
// middle, right end), with the title after the arrow, truncated at its end when too long. It sizes
// itself to its title within 35 to 125 points, 26 high.
class TQArrowButtonCell : public TQNormalButtonCell
{
    TAVREL_CELL(TQArrowButtonCell)
public:
    explicit TQArrowButtonCell(const QString& title = QStringLiteral(""));

    QList<QPixmap> regularBackgroundParts() const { return m_regularBackgroundParts; }
    void setRegularBackgroundParts(const QList<QPixmap>& parts) { m_regularBackgroundParts = parts; }
    QList<QPixmap> activeBackgroundParts() const { return m_activeBackgroundParts; }
    void setActiveBackgroundParts(const QList<QPixmap>& parts) { m_activeBackgroundParts = parts; }

    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;
    void drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host) override;
    // The parts for the state across the frame; nothing unless there are exactly three.
    void drawBackground(QPainter& painter, const QRectF& frame);
    void drawText(QPainter& painter, const QRectF& frame);

private:
    QList<QPixmap> m_regularBackgroundParts;
    QList<QPixmap> m_activeBackgroundParts;
};

} // namespace tavrel
