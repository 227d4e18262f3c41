#pragma once

#include "controls/TQNormalButtonCell.h"

namespace tavrel {

// A flat push button with a regular-weight title; optionally without the border shadow, and drawn
// inset within its frame (the owner badges of the sharing lists).
class TQFlatButtonCell : public TQNormalButtonCell
{
    TAVREL_CELL(TQFlatButtonCell)
public:
    explicit TQFlatButtonCell(const QString& title = QStringLiteral("")) { setTitle(title); }

    bool shouldUseInset() const { return m_shouldUseInset; }
    void setShouldUseInset(bool inset) { m_shouldUseInset = inset; }
    bool noShadow() const { return m_noShadow; }
    void setNoShadow(bool noShadow) { m_noShadow = noShadow; }

    QFont titleFont() const override;
    QRectF titleRectForBounds(const QRectF& bounds) const override;
    QColor borderShadowColor() const override;
    // With shouldUseInset, the frame shrinks by half the inset attribute on every side first.
    void drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    bool m_shouldUseInset = false;
    bool m_noShadow = false;
};

} // namespace tavrel
