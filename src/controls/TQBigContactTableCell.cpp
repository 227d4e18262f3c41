#include "controls/TQBigContactTableCell.h"

#include "controls/TQHoverableCell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQLinkTitleSubcell.h"
#include "controls/TQPhotoSubcell.h"
#include "controls/TQSubtitleSubcell.h"
#include "controls/TQUISettings.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/Drawing.h"

#include <QPainter>
#include <cfloat>

namespace tavrel {

namespace {

qreal floorf(qreal value)
{
    return Drawing::floorf(value);
}

void giveControlView(Cell* cell, QWidget* view)
{
    if (auto* button = dynamic_cast<BasicButtonCell*>(cell))
        button->setControlView(view);
    else if (auto* text = dynamic_cast<RowTextCell*>(cell))
        text->setControlView(view);
}

} // namespace

TQBigContactTableCell::TQBigContactTableCell(const QString& title) : TQShadowedCell(title)
{
    setFont(Drawing::font(13, QFont::Bold));
    if (!title.isEmpty())
        setTitle(title);
}

// --- Content ---

QPixmap TQBigContactTableCell::photo() const
{
    return m_photoCell ? m_photoCell->image() : QPixmap();
}

void TQBigContactTableCell::setPhoto(const QPixmap& photo)
{
    if (photo.isNull()) {
        m_photoCell.reset();
        return;
    }
    if (!m_photoCell) {
        auto cell = TQPhotoSubcell::cell();
        cell->setPressInShadow(true);
        m_photoCell = cell;
    }
    m_photoCell->setImage(photo);
}

QString TQBigContactTableCell::title() const
{
    return m_titleCell ? m_titleCell->title() : QString();
}

void TQBigContactTableCell::setTitle(const QString& title)
{
    if (title.isNull()) {
        m_titleCell.reset();
    } else if (m_titleCell) {
        m_titleCell->setTitle(title);
    } else {
        m_titleCell = std::make_shared<TQLinkTitleSubcell>(title);
        m_titleCell->setHasLink(true);
    }
    TQShadowedCell::setTitle(title);
}

namespace {
void setLine(std::shared_ptr<TQSubtitleSubcell>& cell, const QString& text)
{
    if (text.isNull())
        cell.reset();
    else if (cell)
        cell->setTitle(text);
    else
        cell = std::make_shared<TQSubtitleSubcell>(text);
}
} // namespace

QString TQBigContactTableCell::subtitle() const
{
    return m_subtitleCell ? m_subtitleCell->title() : QString();
}

void TQBigContactTableCell::setSubtitle(const QString& subtitle)
{
    setLine(m_subtitleCell, subtitle);
}

QString TQBigContactTableCell::details() const
{
    return m_detailsCell ? m_detailsCell->title() : QString();
}

void TQBigContactTableCell::setDetails(const QString& details)
{
    setLine(m_detailsCell, details);
}

void TQBigContactTableCell::setActionCells(const QList<std::shared_ptr<Cell>>& cells)
{
    if (cells == m_actionCells)
        return;
    m_actionCells = cells;
    if (m_titleCell)
        for (const auto& cell : m_actionCells)
            giveControlView(cell.get(), m_titleCell->controlView());
}

QFont TQBigContactTableCell::moreItemsCellFont() const
{
    return Drawing::font(12, QFont::Bold);
}

TQHoverdAdaptorButtonCell& TQBigContactTableCell::moreItemsCell() const
{
    if (!m_moreItemsCell) {
        m_moreItemsCell = std::make_shared<TQHoverdAdaptorButtonCell>(QStringLiteral(""));
        m_moreItemsCell->setButtonType(BasicButtonCell::MomentaryChangeButton);
        m_moreItemsCell->setBezeled(false);
        m_moreItemsCell->setBordered(false);
        m_moreItemsCell->setHovered(false);
        m_moreItemsCell->setHasLink(true);
        m_moreItemsCell->setFont(moreItemsCellFont());
        m_moreItemsCell->setTitle(QStringLiteral("\u2022\u2022\u2022"));
        m_moreItemsCell->setImagePosition(BasicButtonCell::NoImage);
    }
    return *m_moreItemsCell;
}

void TQBigContactTableCell::setControlView(QWidget* view)
{
    for (Cell* cell : std::initializer_list<Cell*>{m_photoCell.get(), m_titleCell.get(), m_subtitleCell.get(),
                                                   m_detailsCell.get(), &moreItemsCell()})
        giveControlView(cell, view);
    for (const auto& cell : m_actionCells)
        giveControlView(cell.get(), view);
}

// --- Layout ---

qreal TQBigContactTableCell::actionSubcellStartForBounds(const QRectF& b) const
{
    return floorf(0.75 * b.width()) + 10;
}

QRectF TQBigContactTableCell::frameForPhotoCellInBounds(const QRectF& b) const
{
    return {b.x() + 12, floorf(b.y() + (b.height() - 68) / 2), 68, 68};
}

QRectF TQBigContactTableCell::frameForTitleCellInBounds(const QRectF& b, qreal* maxWidth) const
{
    const QRectF photo = frameForPhotoCellInBounds(b);
    const qreal x = photo.x() + photo.width() + 9;
    const qreal available = b.width() - (photo.x() + photo.width() + 9 + 10 + 0.25 * b.width());
    if (maxWidth)
        *maxWidth = Drawing::ceilf(available);
    if (b == m_lastBounds)
        return m_titleFrame;
    const QSizeF measured = m_titleCell ? m_titleCell->cellSize(QSizeF(FLT_MAX, 26)) : QSizeF();
    const qreal th = measured.height();
    const qreal width = Drawing::ceilf(available) > measured.width() ? measured.width() : available;
    const bool hasSubtitle = !subtitle().isEmpty();
    const bool hasDetails = !details().isEmpty();
    qreal y;
    if (hasSubtitle && hasDetails)
        y = floorf(photo.y() + (photo.height() / 2 - th) / 2) - 2;
    else if (hasSubtitle || hasDetails)
        y = floorf(b.y() + (b.height() - th - 21) / 2);
    else
        y = floorf(b.y() + (b.height() - th) / 2);
    m_lastBounds = b;
    m_titleFrame = QRectF(x, y, width, th);
    return m_titleFrame;
}

QRectF TQBigContactTableCell::frameForSubtitleCellInBounds(const QRectF& b) const
{
    if (subtitle().isEmpty())
        return {};
    qreal maxWidth = 0;
    const QRectF title = frameForTitleCellInBounds(b, &maxWidth);
    const qreal sh = m_subtitleCell->cellSize(title.size()).height();
    const qreal y = !details().isEmpty() ? floorf(b.y() + (b.height() - sh) / 2)
                                         : floorf(b.y() + (b.height() - sh + 21) / 2);
    return {title.x(), y, maxWidth, sh};
}

QRectF TQBigContactTableCell::frameForDetailsCellInBounds(const QRectF& b) const
{
    if (details().isEmpty())
        return {};
    qreal maxWidth = 0;
    const QRectF title = frameForTitleCellInBounds(b, &maxWidth);
    const QRectF photo = frameForPhotoCellInBounds(b);
    const qreal dh = m_detailsCell->cellSize(title.size()).height();
    const qreal y = !subtitle().isEmpty() ? floorf(photo.y() + (1.5 * photo.height() - dh) / 2) + 2
                                          : floorf(b.y() + (b.height() - dh + 21) / 2);
    return {title.x(), y, maxWidth, dh};
}

QRectF TQBigContactTableCell::frameForStaticActionCellInBounds(const QRectF& b) const
{
    return {b.x() + b.width() - actionSubcellOffset(), b.y() + b.height(), 0, 0};
}

QRectF TQBigContactTableCell::frameForActionCellInBounds(const QRectF& b, int index) const
{
    const qreal e = actionSubcellEdge();
    const QRectF anchor = frameForStaticActionCellInBounds(b);
    QRectF frame(anchor.x() - (index + 1) * (e + actionSubcellPadding()),
                 floorf(b.y() + (b.height() - e) / 2), e, e);
    if (index >= 0 && index < m_actionCells.size() &&
        dynamic_cast<TQHoverdButtonCell*>(m_actionCells[index].get()))
        frame.adjust(-1, -1, 1, 1);
    return frame;
}

QRectF TQBigContactTableCell::frameForMoreItemsCellInBounds(const QRectF& b) const
{
    const qreal x = b.x() + b.width() - 27 - (m_shouldAlwaysShowMoreItems ? 15 : 0);
    return {x, floorf(b.y() + (b.height() - 27) / 2), 27, 27};
}

QSizeF TQBigContactTableCell::cellSize(const QSizeF&) const
{
    return {186, 87};
}

TQBigContactTableCell::ActionLayout TQBigContactTableCell::actionLayout(const QRectF& frame) const
{
    ActionLayout layout;
    QRectF r = frame;
    const qreal start = actionSubcellStartForBounds(r);
    const int n = int(m_actionCells.size());
    bool overflow = false;
    for (int i = 0; i < n; ++i) {
        const QRectF f = frameForActionCellInBounds(r, i);
        const QRectF next = i + 1 < n ? frameForActionCellInBounds(r, i + 1) : f;
        if (next.x() < start) {
            // Only room for the more-items cell in the next slot lets this subcell stay.
            bool fits = false;
            if (i + 1 < n) {
                QRectF cut = r;
                cut.setWidth(next.x() + next.width() - r.x());
                fits = start <= frameForMoreItemsCellInBounds(cut).x();
            }
            if (!fits) {
                overflow = true;
                r.setWidth(f.x() + f.width() - r.x());
                break;
            }
        }
        layout.shown.append({m_actionCells[i], f});
    }
    layout.row = r;
    if (overflow || m_shouldAlwaysShowMoreItems) {
        layout.showsMoreItems = true;
        layout.moreItems = frameForMoreItemsCellInBounds(r);
    }
    return layout;
}

// --- Editing ---

QRectF TQBigContactTableCell::editingFrame(const QRectF& cellFrame) const
{
    qreal maxWidth = 0;
    const QRectF title = frameForTitleCellInBounds(cellFrame, &maxWidth);
    return {title.x(), title.y(), maxWidth, title.height()};
}

QFont TQBigContactTableCell::editingFont() const
{
    return m_titleCell ? m_titleCell->font() : font();
}

// --- Drawing ---

void TQBigContactTableCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    if (m_photoCell)
        m_photoCell->paint(painter, frameForPhotoCellInBounds(frame), host);
    qreal maxWidth = 0;
    const QRectF title = frameForTitleCellInBounds(frame, &maxWidth);
    if (m_showsEditor)
        drawEditingRing(painter,
                        QRectF(title.x(), title.y(), maxWidth, title.height()).adjusted(-3, -3, 3, 3));
    else if (m_titleCell)
        m_titleCell->paint(painter, title, host);
    if (m_subtitleCell)
        m_subtitleCell->paint(painter, frameForSubtitleCellInBounds(frame), host);
    if (m_detailsCell)
        m_detailsCell->paint(painter, frameForDetailsCellInBounds(frame), host);
    if (!m_shouldHideActionButtons)
        drawActionControls(painter, frame, host);
    TQShadowedCell::drawInterior(painter, frame, host);
}

void TQBigContactTableCell::drawActionControls(QPainter& painter, const QRectF& frame, CellHost& host)
{
    const QPointF mouse = host.mousePosition();
    const ActionLayout layout = actionLayout(frame);
    for (const auto& [cell, cellFrame] : layout.shown) {
        if (TQHoverableCell* hoverable = TQHoverableCell::from(cell.get()))
            hoverable->setHovered(frameContains(cellFrame, mouse));
        cell->setLastFrame(cellFrame);
        cell->paint(painter, cellFrame, host);
    }
    if (layout.showsMoreItems) {
        TQHoverdAdaptorButtonCell& more = moreItemsCell();
        more.setHovered(frameContains(layout.moreItems, mouse));
        more.setLastFrame(layout.moreItems);
        more.paint(painter, layout.moreItems, host);
    }
}

// --- The mouse ---

Cell::HitResults TQBigContactTableCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (frameContains(frameForPhotoCellInBounds(frame), point))
        return ContentArea;
    const QRectF title = titleRectForBounds(frame);
    if (frameContains(title, point))
        return m_titleCell ? m_titleCell->hitTest(point, title) : None;
    const ActionLayout layout = actionLayout(frame);
    for (const auto& [cell, cellFrame] : layout.shown)
        if (frameContains(cellFrame, point))
            return cell->hitTest(point, cellFrame);
    if (layout.showsMoreItems && frameContains(layout.moreItems, point))
        return moreItemsCell().hitTest(point, layout.moreItems);
    return ContentArea;
}

bool TQBigContactTableCell::mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host)
{
    const QPointF p = event.position;
    if (frameContains(frameForPhotoCellInBounds(frame), p))
        return m_tracker.press(m_photoCell, 0, event, frame, host);
    if (frameContains(titleRectForBounds(frame), p))
        return m_tracker.press(m_titleCell, 1, event, frame, host);
    const ActionLayout layout = actionLayout(frame);
    for (const auto& [cell, cellFrame] : layout.shown) {
        if (frameContains(cellFrame, p)) {
            cell->setLastFrame(cellFrame);
            return m_tracker.press(cell, 2, event, frame, host);
        }
    }
    if (layout.showsMoreItems && frameContains(layout.moreItems, p)) {
        moreItemsCell().setLastFrame(layout.moreItems);
        return m_tracker.press(m_moreItemsCell, 3, event, layout.row, host);
    }
    return false;
}

void TQBigContactTableCell::mouseDragged(const CellMouseEvent& event, CellHost& host)
{
    m_tracker.drag(event, host);
}

bool TQBigContactTableCell::mouseReleased(const CellMouseEvent& event, CellHost& host)
{
    return m_tracker.release(event, host);
}

void TQBigContactTableCell::cancelTracking(CellHost& host)
{
    m_tracker.cancel(host);
}

} // namespace tavrel
