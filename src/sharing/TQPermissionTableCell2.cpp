#include "sharing/TQPermissionTableCell2.h"

#include "controls/RowTextCell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQPermissionTableCell.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "sharing/TQLinkPermissionTableCell.h"

#include <QPainter>

namespace tavrel {

namespace {
qreal floorf(qreal value)
{
    return Drawing::floorf(value);
}
} // namespace

TQPermissionTableCell2::TQPermissionTableCell2(const QString& title) : TQContactTableCell(title) {}

qreal TQPermissionTableCell2::actionSubcellStartForBounds(const QRectF& bounds)
{
    return floorf(bounds.width() * 0.75) + 10;
}

void TQPermissionTableCell2::setDeletable(bool deletable)
{
    m_deletable = deletable;
    // Removing someone is possible only while online.
    TQPermissionTableCell::makeLeaveSharingButton(*this, deletable, m_actionFollowsOnline);
}

void TQPermissionTableCell2::onlineChanged()
{
    TQPermissionTableCell::followOnline(*this, m_actionFollowsOnline);
}

void TQPermissionTableCell2::setActionCells(const QList<std::shared_ptr<Cell>>& cells)
{
    if (cells == m_actionCells)
        return;
    m_actionCells = cells;
    setRowControlView(actionCell().controlView());
}

void TQPermissionTableCell2::setRowControlView(QWidget* view)
{
    setControlView(view);
    for (const auto& cell : std::as_const(m_actionCells))
        if (auto* button = dynamic_cast<BasicButtonCell*>(cell.get()))
            button->setControlView(view);
}

QRectF TQPermissionTableCell2::frameForPhotoCellInBounds(const QRectF& b) const
{
    return {b.x() + 12, floorf(b.y() + (b.height() - 52) / 2), 52, 52};
}

QRectF TQPermissionTableCell2::frameForActionCellInBounds(const QRectF& b) const
{
    return {b.x() + b.width() - 28 - 14, floorf(b.y() + (b.height() - 26) / 2), 28, 26};
}

QRectF TQPermissionTableCell2::frameForActionCellInBounds(const QRectF& bounds, int index) const
{
    const qreal x =
        frameForActionCellInBounds(bounds).x() - (index + 1) * (kActionSubcellEdge + kActionSubcellPadding);
    QRectF frame(x, floorf(bounds.y() + (bounds.height() - kActionSubcellEdge) / 2), kActionSubcellEdge,
                 kActionSubcellEdge);
    if (index >= 0 && index < m_actionCells.size() &&
        dynamic_cast<TQHoverdButtonCell*>(m_actionCells.at(index).get()))
        frame.adjust(-1, -1, 1, 1);
    return frame;
}

QRectF TQPermissionTableCell2::frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const
{
    qreal available = 0;
    QRectF title = TQContactTableCell::frameForTitleCellInBounds(bounds, &available);
    available -= kActionSubcellEdge + kActionSubcellPadding;
    title.setWidth(qMin(title.width(), available));
    if (!details().isEmpty())
        title.translate(0, 8);
    if (maxWidth)
        *maxWidth = available;
    return title;
}

QRectF TQPermissionTableCell2::frameForDetailsCellInBounds(const QRectF& bounds) const
{
    const QRectF details = TQContactTableCell::frameForDetailsCellInBounds(bounds);
    return details.isNull() ? details : details.translated(0, -8);
}

void TQPermissionTableCell2::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    TQContactTableCell::paint(painter, frame, host);
    drawActionControls(painter, frame, host);
}

void TQPermissionTableCell2::drawActionControls(QPainter& painter, const QRectF& frame, CellHost& host)
{
    if (m_actionCells.isEmpty())
        return;
    const std::shared_ptr<Cell>& first = m_actionCells.constFirst();
    const QRectF cellFrame = frameForActionCellInBounds(frame, 0);
    const QString background = m_actionCells.size() == 1   ? QStringLiteral("one_background")
                               : m_actionCells.size() == 2 ? QStringLiteral("two_background")
                                                           : QStringLiteral("more_background");
    const QSizeF size = ImageRegistry::naturalSize(background);
    if (!size.isEmpty()) {
        const QPointF origin(floorf(cellFrame.center().x() - size.width() / 2),
                             floorf(cellFrame.center().y() - size.height() / 2));
        ImageRegistry::draw(painter, background, QRectF(origin, size));
    }
    const QEvent::Type type = CurrentEvent::type();
    const bool leftClick = CurrentEvent::button() == Qt::LeftButton &&
                           (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease);
    if (!leftClick)
        first->setHovered(frameContains(cellFrame, host.mousePosition()));
    first->setLastFrame(cellFrame);
    first->paint(painter, cellFrame, host);
}

int TQPermissionTableCell2::actionCellAt(const QPointF& point, const QRectF& frame) const
{
    for (int i = 0; i < m_actionCells.size(); ++i)
        if (frameContains(frameForActionCellInBounds(frame, i), point))
            return i;
    return -1;
}

Cell::HitResults TQPermissionTableCell2::hitTest(const QPointF& point, const QRectF& frame) const
{
    const int index = actionCellAt(point, frame);
    if (index >= 0)
        return m_actionCells.at(index)->hitTest(point, frameForActionCellInBounds(frame, index));
    return TQContactTableCell::hitTest(point, frame);
}

bool TQPermissionTableCell2::mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host)
{
    const int index = actionCellAt(event.position, frame);
    if (index < 0)
        return TQContactTableCell::mousePressed(event, frame, host);
    // The popover the role icon opens points at the icon.
    const QRectF cellFrame = frameForActionCellInBounds(frame, index);
    m_actionCells.at(index)->setLastFrame(cellFrame);
    return tracker().press(m_actionCells.at(index), kFirstActionCellPart + index, event, cellFrame, host);
}

// --- The link row ---

TQLinkPermissionTableCell2::TQLinkPermissionTableCell2(const QString& title) : TQPermissionTableCell2(title)
{
    textCell().setTextColor(TQLinkPermissionTableCell::linkColor());
}

void TQLinkPermissionTableCell2::setPhoto(const QPixmap&) {}

QRectF TQLinkPermissionTableCell2::frameForPhotoCellInBounds(const QRectF& bounds) const
{
    return {TQPermissionTableCell2::frameForPhotoCellInBounds(bounds).topLeft(), QSizeF()};
}

QRectF TQLinkPermissionTableCell2::frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const
{
    return TQLinkPermissionTableCell::centredTitleFrame(
        TQPermissionTableCell2::frameForTitleCellInBounds(bounds, maxWidth), bounds, textCell());
}

} // namespace tavrel
