#include "controls/TQBigDocumentTableCell.h"

#include "controls/DelayedPerform.h"
#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQHoverableCell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQHoveredPopUpButtonCell.h"
#include "controls/TQLinkTitleSubcell.h"
#include "controls/TQStateItemCell.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QAction>
#include <QPainter>

namespace tavrel {

namespace {

qreal floorf(qreal value)
{
    return Drawing::floorf(value);
}

} // namespace

TQBigDocumentTableCell::TQBigDocumentTableCell(const QString& title) : TQBigContactTableCell(title) {}

TQBigDocumentTableCell::TQBigDocumentTableCell(const TQBigDocumentTableCell& other)
    : TQBigContactTableCell(other), m_group(other.m_group), m_stateCell(other.m_stateCell),
      m_permissionCell(other.m_permissionCell), m_staticActionCell(other.m_staticActionCell),
      m_controlView(other.m_controlView)
{}

TQBigDocumentTableCell::~TQBigDocumentTableCell() = default;

// --- Subcells ---

int TQBigDocumentTableCell::itemState() const
{
    return m_stateCell ? m_stateCell->itemState() : TQStateItemCell::StateNone;
}

void TQBigDocumentTableCell::setItemState(int state)
{
    if (!m_stateCell) {
        m_stateCell = std::make_shared<TQStateItemCell>();
        m_stateCell->setTitle(QStringLiteral(""));
        m_stateCell->setButtonType(BasicButtonCell::MomentaryLightButton);
        m_stateCell->setControlView(m_controlView);
        m_stateCell->setEnabled(isOnline());
    }
    m_stateCell->setItemState(state);
}

int TQBigDocumentTableCell::itemPermission() const
{
    return m_permissionCell ? m_permissionCell->indexOfSelectedItem() : -1;
}

void TQBigDocumentTableCell::setItemPermission(int index)
{
    if (!m_permissionCell) {
        m_permissionCell = std::make_shared<TQHoveredPopUpButtonCell>(QStringLiteral(""), true);
        m_permissionCell->setArrowPosition(BasicPopUpButtonCell::NoArrow);
        m_permissionCell->setUsesItemFromMenu(false);
        auto item = std::make_shared<QAction>();
        item->setIcon(ImageRegistry::icon(kPrivateImage));
        m_permissionCell->setMenuItem(item);
        m_permissionCell->setControlView(m_controlView);
        m_permissionCell->setEnabled(isOnline());
    }
    m_permissionCell->selectItemAtIndex(index);
}

std::shared_ptr<TQHoverdAdaptorButtonCell> TQBigDocumentTableCell::sharedStaticActionCell() const
{
    if (!m_staticActionCell) {
        auto button = std::make_shared<TQHoverdAdaptorButtonCell>(QStringLiteral(""));
        button->setButtonType(BasicButtonCell::SwitchButton);
        button->setBezeled(false);
        button->setBordered(false);
        button->setHovered(false);
        button->setHasLink(true);
        button->setControlView(m_controlView);
        button->setHoverImage(ImageRegistry::pixmap(QStringLiteral("add_share_hover")));
        button->setRegularImage(ImageRegistry::pixmap(QStringLiteral("add_share_regular")));
        button->setAlternateImage(ImageRegistry::pixmap(QStringLiteral("add_share_active")));
        m_staticActionCell = button;
        m_staticActionCell->setEnabled(isOnline());
    }
    return m_staticActionCell;
}

void TQBigDocumentTableCell::onlineChanged()
{
    if (m_stateCell)
        m_stateCell->setEnabled(isOnline());
    if (m_permissionCell)
        m_permissionCell->setEnabled(isOnline());
    if (m_staticActionCell)
        m_staticActionCell->setEnabled(isOnline());
}

TQHoverdAdaptorButtonCell& TQBigDocumentTableCell::staticActionCell() const
{
    return *sharedStaticActionCell();
}

TQHoverdAdaptorButtonCell& TQBigDocumentTableCell::moreItemsCell() const
{
    TQHoverdAdaptorButtonCell& more = TQBigContactTableCell::moreItemsCell();
    if (more.regularImage().isNull()) {
        more.setImagePosition(BasicButtonCell::ImageOnly);
        more.setRegularBackground(QPixmap());
        more.setHoverBackground(QPixmap());
        more.setShouldDrawBorder(false);
        more.setRegularImage(ImageRegistry::pixmap(QStringLiteral("sharing")));
        more.setAlternateImage(ImageRegistry::pixmap(QStringLiteral("sharing_active")));
        more.setHoverImage(ImageRegistry::pixmap(QStringLiteral("sharing_hover")));
    }
    return more;
}

void TQBigDocumentTableCell::setPhoto(const QPixmap& photo)
{
    if (photo.isNull()) {
        setPhotoCell(nullptr);
        return;
    }
    if (const auto existing = photoCell()) {
        existing->setImage(photo);
        return;
    }
    auto thumbnail = TQDynamicPhotoSubcell::cell();
    thumbnail->setHighlightsBy(BasicButtonCell::NoCellMask);
    thumbnail->setControlView(m_controlView);
    thumbnail->setImage(photo);
    setPhotoCell(thumbnail);
}

void TQBigDocumentTableCell::setControlView(QWidget* view)
{
    TQBigContactTableCell::setControlView(view);
    m_controlView = view;
    if (m_stateCell)
        m_stateCell->setControlView(view);
    if (m_permissionCell)
        m_permissionCell->setControlView(view);
    staticActionCell().setControlView(view);
    if (auto* photo = dynamic_cast<BasicButtonCell*>(photoCell().get()))
        photo->setControlView(view);
}

// --- Layout ---

QRectF TQBigDocumentTableCell::frameForStateCellInBounds(const QRectF& b) const
{
    return {b.x() + 4, floorf(b.y() + 18), 23, 26};
}

QRectF TQBigDocumentTableCell::frameForPermissionCellInBounds(const QRectF& b) const
{
    return {b.x() + 8, floorf(b.y() + b.height() - 16 - 22), 23, 16};
}

QRectF TQBigDocumentTableCell::frameForPhotoCellInBounds(const QRectF& b) const
{
    return {b.x() + 33, floorf(b.y() + (b.height() - 72) / 2), 72, 72};
}

QRectF TQBigDocumentTableCell::frameForStaticActionCellInBounds(const QRectF& b) const
{
    const QRectF button(b.x() + b.width() - 20 - 10, floorf(b.y() + (b.height() - 18) / 2), 20, 18);
    return button.adjusted(-1, -1, 1, 1);
}

QString TQBigDocumentTableCell::pileBackgroundName() const
{
    switch (actionCells().size()) {
    case 0:
        return {};
    case 1:
        return QStringLiteral("one_background");
    case 2:
        return QStringLiteral("two_background");
    default:
        return QStringLiteral("more_background");
    }
}

// --- Drawing ---

void TQBigDocumentTableCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    auto* thumbnail = dynamic_cast<TQDynamicPhotoSubcell*>(photoCell().get());
    const bool pressed = isSelected() && thumbnail;
    if (pressed)
        thumbnail->setPressInShadow(true);
    TQBigContactTableCell::paint(painter, frame, host);
    if (pressed)
        thumbnail->setPressInShadow(false);

    const QPointF mouse = host.mousePosition();
    const auto drawSubcell = [&](Cell* cell, const QRectF& cellFrame) {
        if (!cell)
            return;
        if (TQHoverableCell* hoverable = TQHoverableCell::from(cell))
            hoverable->setHovered(frameContains(cellFrame, mouse));
        cell->paint(painter, cellFrame, host);
    };
    drawSubcell(m_stateCell.get(), frameForStateCellInBounds(frame));
    drawSubcell(m_permissionCell.get(), frameForPermissionCellInBounds(frame));
    drawSubcell(m_staticActionCell.get(), frameForStaticActionCellInBounds(frame));
}

void TQBigDocumentTableCell::drawActionControls(QPainter& painter, const QRectF& frame, CellHost& host)
{
    const QList<std::shared_ptr<Cell>> pile = actionCells();
    if (pile.isEmpty())
        return;
    const QRectF first = frameForActionCellInBounds(frame, 0);
    const QString background = pileBackgroundName();
    const QSizeF size = ImageRegistry::naturalSize(background);
    if (!size.isEmpty()) {
        const QPointF origin(floorf(first.center().x() - size.width() / 2),
                             floorf(first.center().y() - size.height() / 2));
        ImageRegistry::draw(painter, background, QRectF(origin, size));
    }
    const std::shared_ptr<Cell>& cell = pile.first();
    const bool clicking = (CurrentEvent::type() == QEvent::MouseButtonPress ||
                           CurrentEvent::type() == QEvent::MouseButtonRelease) &&
                          CurrentEvent::button() == Qt::LeftButton;
    if (!clicking)
        if (TQHoverableCell* hoverable = TQHoverableCell::from(cell.get()))
            hoverable->setHovered(frameContains(first, host.mousePosition()));
    cell->setLastFrame(first);
    cell->paint(painter, first, host);
}

// --- The mouse ---

Cell::HitResults TQBigDocumentTableCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    const QRectF state = frameForStateCellInBounds(frame);
    if (m_stateCell && frameContains(state, point))
        return m_stateCell->hitTest(point, state);
    const QRectF permission = frameForPermissionCellInBounds(frame);
    if (m_permissionCell && frameContains(permission, point))
        return m_permissionCell->hitTest(point, permission);
    const QRectF share = frameForStaticActionCellInBounds(frame);
    if (m_staticActionCell && frameContains(share, point))
        return m_staticActionCell->hitTest(point, share);
    if (frameContains(frameForPhotoCellInBounds(frame), point))
        return ContentArea;
    const QRectF title = titleRectForBounds(frame);
    if (frameContains(title, point))
        return titleCell() ? titleCell()->hitTest(point, title) : ContentArea;
    const QList<std::shared_ptr<Cell>> pile = actionCells();
    if (!pile.isEmpty()) {
        const QRectF first = frameForActionCellInBounds(frame, 0);
        if (frameContains(first, point))
            return pile.first()->hitTest(point, first);
    }
    return ContentArea;
}

bool TQBigDocumentTableCell::mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host)
{
    const QPointF p = event.position;
    const QRectF state = frameForStateCellInBounds(frame);
    if (m_stateCell && frameContains(state, p)) {
        m_stateCell->setLastFrame(state);
        return m_tracker.press(m_stateCell, StatePart, event, frame, host);
    }
    const QRectF permission = frameForPermissionCellInBounds(frame);
    if (m_permissionCell && frameContains(permission, p))
        return m_tracker.press(m_permissionCell, PermissionPart, event, permission, host);
    const QRectF share = frameForStaticActionCellInBounds(frame);
    if (m_staticActionCell && frameContains(share, p)) {
        m_staticActionCell->setLastFrame(share);
        return m_tracker.press(m_staticActionCell, ShareButtonPart, event, share, host);
    }
    if (frameContains(frameForPhotoCellInBounds(frame), p))
        return photoCell() && m_tracker.press(photoCell(), PhotoPart, event, frame, host);
    if (frameContains(titleRectForBounds(frame), p))
        return titleCell() && m_tracker.press(titleCell(), TitlePart, event, frame, host);
    const QList<std::shared_ptr<Cell>> pile = actionCells();
    if (!pile.isEmpty()) {
        const QRectF first = frameForActionCellInBounds(frame, 0);
        if (frameContains(first, p)) {
            const std::shared_ptr<Cell>& cell = pile.first();
            cell->setLastFrame(first);
            // A label or profile request pending for it would come after the click.
            DelayedPerform::cancelPreviousPerformRequests(dynamic_cast<const void*>(cell.get()));
            return m_tracker.press(cell, PilePart, event, frame, host);
        }
    }
    return false;
}

void TQBigDocumentTableCell::mouseDragged(const CellMouseEvent& event, CellHost& host)
{
    m_tracker.drag(event, host);
}

bool TQBigDocumentTableCell::mouseReleased(const CellMouseEvent& event, CellHost& host)
{
    return m_tracker.release(event, host);
}

void TQBigDocumentTableCell::cancelTracking(CellHost& host)
{
    m_tracker.cancel(host);
}

} // namespace tavrel
