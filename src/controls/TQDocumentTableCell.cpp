#include "controls/TQDocumentTableCell.h"

#include "controls/RowTextCell.h"
#include "controls/TQHoverableCell.h"
#include "controls/TQHoverdButtonCell.h"
#include "controls/TQStateItemCell.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

namespace tavrel {

namespace {
qreal floorf(qreal value)
{
    return Drawing::floorf(value);
}
} // namespace

namespace {
const qreal kDateWidth = 52;
const qreal kDateGap = 14;
} // namespace

TQDocumentTableCell::TQDocumentTableCell(const QString& title) : TQContactTableCell(title) {}

QString TQDocumentTableCell::date() const
{
    return m_dateCell ? m_dateCell->title() : QString();
}

void TQDocumentTableCell::setDate(const QString& date)
{
    if (date.isNull()) {
        m_dateCell.reset();
        return;
    }
    if (!m_dateCell)
        m_dateCell =
            std::make_shared<RowTextCell>(QStringLiteral(""), Drawing::font(12), Drawing::grey(0.73046875));
    m_dateCell->setTitle(date);
}

int TQDocumentTableCell::itemState() const
{
    return stateItemCell().itemState();
}

void TQDocumentTableCell::setItemState(int state)
{
    stateItemCell().setItemState(state);
}

int TQDocumentTableCell::sharingState() const
{
    return ImageRegistry::nameOf(actionCell().hoverImage()) == QStringLiteral("share_hover") ? ShareState
                                                                                             : SharingsState;
}

void TQDocumentTableCell::setSharingState(int state)
{
    TQHoverdButtonCell& action = actionCell();
    if (state == ShareState) {
        action.setHoverImage(ImageRegistry::pixmap(QStringLiteral("share_hover")));
        action.setAlternateImage(ImageRegistry::pixmap(QStringLiteral("share_active")));
        setAllowedSharings(true);
    } else if (state == SharingsState) {
        action.setHoverImage(ImageRegistry::pixmap(QStringLiteral("sharings_hover")));
        action.setRegularImage(ImageRegistry::pixmap(QStringLiteral("sharings_regular")));
        action.setAlternateImage(ImageRegistry::pixmap(QStringLiteral("sharings_active")));
    }
    action.setSelected(isSelected());
}

void TQDocumentTableCell::setAllowedSharings(bool allowed)
{
    m_allowedSharings = allowed;
    actionCell().setRepresentedObject(allowed ? QVariant(QStringLiteral("1")) : QVariant());
}

TQStateItemCell& TQDocumentTableCell::stateItemCell() const
{
    if (!m_stateCell) {
        m_stateCell = std::make_shared<TQStateItemCell>();
        m_stateCell->setButtonType(BasicButtonCell::MomentaryLightButton);
    }
    return *m_stateCell;
}

std::shared_ptr<Cell> TQDocumentTableCell::stateCell() const
{
    stateItemCell();
    return m_stateCell;
}

void TQDocumentTableCell::setControlView(QWidget* view)
{
    TQContactTableCell::setControlView(view);
    if (auto* button = dynamic_cast<BasicButtonCell*>(stateCell().get()))
        button->setControlView(view);
    if (RowTextCell* date = dateCell())
        date->setControlView(view);
}

void TQDocumentTableCell::stateClicked()
{
    if (const Action action = m_stateAction)
        action(*this);
}

// --- Layout ---

QRectF TQDocumentTableCell::frameForStateCellInBounds(const QRectF& b) const
{
    return {b.x() + 6, floorf(b.y() + (b.height() - 26) / 2), 23, 26};
}

QRectF TQDocumentTableCell::frameForPhotoCellInBounds(const QRectF& b) const
{
    const QRectF state = frameForStateCellInBounds(b);
    return {state.x() + state.width() + 3, floorf(b.y() + (b.height() - 16) / 2), 16, 16};
}

QRectF TQDocumentTableCell::frameForDateCellInBounds(const QRectF& b) const
{
    const QRectF action = frameForActionCellInBounds(b);
    const qreal height = dateCell() ? dateCell()->cellSize(b.size()).height() : 0;
    return {action.x() - kDateGap - kDateWidth, floorf(b.y() + (b.height() - height) / 2), kDateWidth,
            height};
}

QRectF TQDocumentTableCell::frameForTitleCellInBounds(const QRectF& b, qreal* maxWidth) const
{
    qreal available = 0;
    QRectF title = TQContactTableCell::frameForTitleCellInBounds(b, &available);
    // Whether a date cell exists decides, not whether its text is empty.
    if (dateCell()) {
        available -= kDateWidth + kDateGap;
        if (title.width() > available)
            title.setWidth(available);
    }
    if (maxWidth)
        *maxWidth = available;
    return title;
}

// --- Drawing and the mouse ---

void TQDocumentTableCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    TQContactTableCell::paint(painter, frame, host);
    const QRectF stateFrame = frameForStateCellInBounds(frame);
    const std::shared_ptr<Cell> state = stateCell();
    if (TQHoverableCell* hoverable = TQHoverableCell::from(state.get()))
        hoverable->setHovered(mouseIn(stateFrame, host));
    state->paint(painter, stateFrame, host);
    if (RowTextCell* date = dateCell())
        date->paint(painter, frameForDateCellInBounds(frame), host);
}

TQContactTableCell::Part TQDocumentTableCell::partAt(const QPointF& point, const QRectF& frame) const
{
    if (frameContains(frameForStateCellInBounds(frame), point))
        return StatePart;
    return TQContactTableCell::partAt(point, frame);
}

Cell::HitResults TQDocumentTableCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (partAt(point, frame) == StatePart)
        return stateCell()->hitTest(point, frameForStateCellInBounds(frame));
    return TQContactTableCell::hitTest(point, frame);
}

bool TQDocumentTableCell::pressPart(Part part, const CellMouseEvent& event, const QRectF& frame,
                                    CellHost& host)
{
    if (part != StatePart)
        return TQContactTableCell::pressPart(part, event, frame, host);
    const std::shared_ptr<Cell> state = stateCell();
    state->setLastFrame(frameForStateCellInBounds(frame));
    return tracker().press(state, part, event, frame, host);
}

void TQDocumentTableCell::partReleased(Part part, bool inside)
{
    if (part == StatePart) {
        if (inside)
            stateClicked();
        return;
    }
    TQContactTableCell::partReleased(part, inside);
}

} // namespace tavrel
