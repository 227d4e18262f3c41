#include "controls/TQTitledGroupTableCell.h"

#include "controls/RowTextCell.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QPainter>

namespace tavrel {

TQTitledGroupTableCell::TQTitledGroupTableCell(const QString& title)
    : Cell(title), m_titleCell(std::make_unique<RowTextCell>(title, Drawing::font(12, QFont::Bold),
                                                             Drawing::grey(0.4921875)))
{}

TQTitledGroupTableCell::TQTitledGroupTableCell(const TQTitledGroupTableCell& other)
    : Cell(other), m_titleCell(std::make_unique<RowTextCell>(*other.m_titleCell)),
      m_shouldHaveTopBorder(other.m_shouldHaveTopBorder)
{}

TQTitledGroupTableCell::~TQTitledGroupTableCell() = default;

QSizeF TQTitledGroupTableCell::cellSize(const QSizeF& bounds) const
{
    return {bounds.width(), minCellHeight()};
}

QRectF TQTitledGroupTableCell::titleRectForBounds(const QRectF& bounds) const
{
    const QSizeF size = m_titleCell->cellSize(bounds.size());
    return {6, Drawing::floorf((bounds.height() - size.height()) / 2), size.width(), size.height()};
}

void TQTitledGroupTableCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    ImageRegistry::draw(painter, QStringLiteral("header_background"), frame);
    const QColor line = Drawing::grey(0.73046875);
    painter.fillRect(QRectF(frame.x(), frame.bottom() - 1, frame.width(), 1), line);
    if (m_shouldHaveTopBorder)
        painter.fillRect(QRectF(frame.x(), frame.y(), frame.width(), 1), line);

    m_titleCell->setTitle(title());
    const QSizeF size = m_titleCell->cellSize(frame.size());
    // The title is not limited to the row's width.
    const QRectF text(6, frame.y() + 4, size.width(), size.height());
    // The engraving: the same text in white one point lower, under it.
    const QColor ink = m_titleCell->textColor();
    m_titleCell->setTextColor(Qt::white);
    m_titleCell->paint(painter, text.translated(0, 1), host);
    m_titleCell->setTextColor(ink);
    m_titleCell->paint(painter, text, host);
}

Cell::HitResults TQTitledGroupTableCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    return frameContains(frame, point) ? ContentArea : None;
}

} // namespace tavrel
