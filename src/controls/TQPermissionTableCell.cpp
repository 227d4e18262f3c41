#include "controls/TQPermissionTableCell.h"

#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

namespace tavrel {

namespace {
qreal floorf(qreal value)
{
    return Drawing::floorf(value);
}
} // namespace

TQPermissionTableCell::TQPermissionTableCell(const QString& title) : TQContactTableCell(title) {}

void TQPermissionTableCell::setAuxiliaryView(QWidget* view)
{
    if (view == m_auxiliaryView)
        return;
    m_auxiliaryView = view;
    if (auto* toggle = qobject_cast<TQSwitchButton*>(view))
        toggle->setEnabled(isOnline());
}

void TQPermissionTableCell::onlineChanged()
{
    if (auto* toggle = qobject_cast<TQSwitchButton*>(m_auxiliaryView.data()))
        toggle->setEnabled(isOnline());
    followOnline(*this, m_actionFollowsOnline);
}

void TQPermissionTableCell::setDeletable(bool deletable)
{
    m_deletable = deletable;
    makeLeaveSharingButton(*this, deletable, m_actionFollowsOnline);
}

void TQPermissionTableCell::makeLeaveSharingButton(TQContactTableCell& row, bool deletable,
                                                   bool& followsOnline)
{
    TQHoverdButtonCell& action = row.actionCell();
    if (deletable) {
        if (auto* adaptor = dynamic_cast<TQHoverdAdaptorButtonCell*>(&action))
            adaptor->setHasLink(true);
        action.setHovered(true);
        action.setHoverImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-hover")));
        action.setRegularImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-regular")));
        action.setAlternateImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-active")));
        action.setButtonType(BasicButtonCell::MomentaryChangeButton);
        if (!followsOnline) {
            followsOnline = true;
            action.setEnabled(row.isOnline());
        }
    } else {
        action.setRegularImage(QPixmap());
    }
    action.setRepresentedObject(deletable ? QVariant(QStringLiteral("1")) : QVariant());
    row.setHoverActionButtonInFrameOnly(deletable);
}

void TQPermissionTableCell::followOnline(TQContactTableCell& row, bool followsOnline)
{
    if (followsOnline)
        row.actionCell().setEnabled(row.isOnline());
}

QRectF TQPermissionTableCell::frameForPhotoCellInBounds(const QRectF& b) const
{
    return {b.x() + 12, floorf(b.y() + (b.height() - 52) / 2), 52, 52};
}

QRectF TQPermissionTableCell::frameForActionCellInBounds(const QRectF& b) const
{
    return {b.x() + b.width() - 28 - 14, floorf(b.y() + (b.height() - 26) / 2), 28, 26};
}

QRectF TQPermissionTableCell::frameForAuxiliaryViewInBounds(const QRectF& b) const
{
    const QRectF action = frameForActionCellInBounds(b);
    const qreal width = auxiliaryWidth();
    return {action.x() - 8 - width, floorf(action.y() + (action.height() - kAuxiliaryHeight) / 2), width,
            kAuxiliaryHeight};
}

QRectF TQPermissionTableCell::frameForTitleCellInBounds(const QRectF& b, qreal* maxWidth) const
{
    qreal available = 0;
    QRectF title = TQContactTableCell::frameForTitleCellInBounds(b, &available);
    available -= auxiliaryWidth() + 8;
    if (title.width() > available)
        title.setWidth(available);
    if (!details().isEmpty())
        title.moveTop(title.y() + 8);
    if (maxWidth)
        *maxWidth = available;
    return title;
}

QRectF TQPermissionTableCell::frameForDetailsCellInBounds(const QRectF& b) const
{
    const QRectF details = TQContactTableCell::frameForDetailsCellInBounds(b);
    if (details.isNull())
        return details;
    qreal available = 0;
    frameForTitleCellInBounds(b, &available);
    return {details.x(), details.y() - 8, available, details.height()};
}

void TQPermissionTableCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    TQContactTableCell::paint(painter, frame, host);
    if (m_auxiliaryView) {
        const QRect target = frameForAuxiliaryViewInBounds(frame).toRect();
        if (m_auxiliaryView->geometry() != target)
            m_auxiliaryView->setGeometry(target);
    }
}

} // namespace tavrel
