#include "controls/TQHoverdAdaptorButtonCell.h"

#include "controls/ControlServices.h"
#include "controls/DelayedPerform.h"
#include "controls/SystemColors.h"
#include "controls/TQUISettings.h"
#include "model/IGeneralACLPermission.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

namespace tavrel {

TQHoverdAdaptorButtonCell::TQHoverdAdaptorButtonCell(const QString& title)
{
    setTitle(title);
}

// A copy holds the same values, but no pending request of the original.
TQHoverdAdaptorButtonCell::TQHoverdAdaptorButtonCell(const TQHoverdAdaptorButtonCell& other) = default;

TQHoverdAdaptorButtonCell::~TQHoverdAdaptorButtonCell()
{
    DelayedPerform::cancelPreviousPerformRequests(this);
}

std::shared_ptr<TQHoverdAdaptorButtonCell> TQHoverdAdaptorButtonCell::linkStyleCell(const QString& regular,
                                                                                    const QString& active,
                                                                                    const QString& tooltip)
{
    auto cell = std::make_shared<TQHoverdAdaptorButtonCell>(QStringLiteral(""));
    cell->setButtonType(MomentaryChangeButton);
    cell->setBezeled(false);
    cell->setBordered(false);
    cell->setImagePosition(ImageOnly);
    if (!regular.isEmpty())
        cell->setImages(regular, active);
    cell->setTooltip(tooltip);
    cell->setHasLink(true);
    return cell;
}

std::shared_ptr<TQHoverdAdaptorButtonCell> TQHoverdAdaptorButtonCell::permissionCellWithRole(int role)
{
    switch (role) {
    case -1:
        return linkStyleCell(QStringLiteral("icon-comment-regular"), QStringLiteral("icon-comment-active"),
                             StringTable::text(QStringLiteral("CanComment")));
    case 0:
        return linkStyleCell(QStringLiteral("icon-edit-regular"), QStringLiteral("icon-edit-active"),
                             StringTable::text(QStringLiteral("CanEdit")));
    case 1:
        return linkStyleCell(QStringLiteral("icon-viewer-regular"), QStringLiteral("icon-viewer-active"),
                             StringTable::text(QStringLiteral("CanView")));
    case 2:
        return linkStyleCell(QStringLiteral("icon-owner-regular"), QStringLiteral("icon-owner-active"),
                             StringTable::text(QStringLiteral("SortOwner")));
    default:
        return linkStyleCell(QString(), QString(), QString());
    }
}

std::shared_ptr<TQHoverdAdaptorButtonCell>
TQHoverdAdaptorButtonCell::linkCellWithPermission(const IGeneralACLPermission& permission)
{
    const bool anyone = permission.type() == QStringLiteral("default");
    const bool withLink = permission.hasLink().toBool();
    if (anyone && withLink)
        return linkStyleCell(QStringLiteral("icon_link_regular"), QStringLiteral("icon_link_active"),
                             StringTable::text(QStringLiteral("AnyoneWithLink")));
    if (anyone)
        return linkStyleCell(QStringLiteral("icon_public_regular"), QStringLiteral("icon_public_active"),
                             StringTable::text(QStringLiteral("PublicOnWeb")));
    if (withLink)
        return linkStyleCell(QStringLiteral("icon_domain_link_regular"),
                             QStringLiteral("icon_domain_link_active"),
                             StringTable::text(QStringLiteral("DomainWithLink")));
    return linkStyleCell(QStringLiteral("icon_domain_regular"), QStringLiteral("icon_domain_active"),
                         StringTable::text(QStringLiteral("AnyoneOnDomain")));
}

Cell::Action TQHoverdAdaptorButtonCell::showQuickDialogAction()
{
    return [](Cell& sender) {
        if (auto* cell = dynamic_cast<TQHoverdAdaptorButtonCell*>(&sender))
            cell->showQuickDialog();
    };
}

Cell::Action TQHoverdAdaptorButtonCell::showLinkDialogAction()
{
    return [](Cell& sender) {
        if (auto* cell = dynamic_cast<TQHoverdAdaptorButtonCell*>(&sender))
            cell->showLinkDialog();
    };
}

void TQHoverdAdaptorButtonCell::setImages(const QString& regular, const QString& active)
{
    const QPixmap image = ImageRegistry::pixmap(regular);
    setRegularImage(image);
    setHoverImage(image);
    setAlternateImage(ImageRegistry::pixmap(active));
}

void TQHoverdAdaptorButtonCell::setTitle(const QString& title)
{
    AttributedText text;
    text.text = title.isNull() ? QStringLiteral("") : title;
    text.font = font();
    text.color = TQUISettings::stateOnButtonTitleTextColor();
    text.alignment = Qt::AlignHCenter;
    setAttributedTitle(text);
}

QRectF TQHoverdAdaptorButtonCell::titleRectForBounds(const QRectF& bounds) const
{
    return bounds.translated(0, -1);
}

void TQHoverdAdaptorButtonCell::setHovered(bool hovered)
{
    if (!isEnabled())
        return;
    if (hovered != isHovered() && m_hasLink) {
        if (QWidget* view = controlView()) {
            if (hovered && view->cursor().shape() != Qt::PointingHandCursor)
                view->setCursor(Qt::PointingHandCursor);
            else if (!hovered && view->cursor().shape() == Qt::PointingHandCursor)
                view->unsetCursor();
        }
        if (!m_tooltip.isEmpty()) {
            if (hovered) {
                QuickPermissionPort* permission = ControlPopovers::permissionController();
                if (!permission || !permission->isWindowVisible()) {
                    const QPointF point(lastFrame().center().x(), lastFrame().top());
                    DelayedPerform::perform(this, kLabelDelay.milliseconds(),
                                            [this, point] { showLabelAt(point); });
                }
            } else {
                DelayedPerform::cancelPreviousPerformRequests(this);
                if (FloatingLabelPort* label = ControlPopovers::labelController())
                    label->closeWindow();
            }
        }
    }
    if (m_autoBorderOnHover)
        m_shouldDrawBorder = hovered;
    TQHoverdButtonCell::setHovered(hovered);
}

void TQHoverdAdaptorButtonCell::showLabelAt(const QPointF& point)
{
    if (ControlPopovers::presentModalContentController() || point.isNull())
        return;
    QWidget* view = controlView();
    if (!view || !visibleRect(view).contains(point))
        return;
    FloatingLabelPort* label = ControlPopovers::labelController();
    if (!label)
        return;
    label->closeWindow();
    QWidget* window = view->window();
    if (!window || !window->isVisible()) {
        ControlServices::log(QStringLiteral("E: Wrong location condition for label"));
        return;
    }
    label->setLabel(m_tooltip);
    label->attachToWindow(window, view->mapTo(window, point));
}

PopoverOwner TQHoverdAdaptorButtonCell::ownerIdentity() const
{
    return {controlView(), lastFrame()};
}

void TQHoverdAdaptorButtonCell::showQuickDialog()
{
    QuickPermissionPort* permission = ControlPopovers::permissionController();
    if (!permission)
        return;
    permission->setDeletable(false);
    const PopoverOwner me = ownerIdentity();
    if (permission->owner() == me) {
        // A second click closes it (the popover closed on the way here) and leaves it closed.
        permission->setOwner({});
        return;
    }
    permission->setItem(m_accompanyObject);
    permission->setEmail(representedObject());
    permission->setOwner(me);
    if (QuickLinkPort* link = ControlPopovers::linkController())
        link->setOwner({});
    attachPopover(*permission);
}

void TQHoverdAdaptorButtonCell::showLinkDialog()
{
    QuickLinkPort* link = ControlPopovers::linkController();
    if (!link)
        return;
    const PopoverOwner me = ownerIdentity();
    if (link->owner() == me) {
        link->setOwner({});
        return;
    }
    link->setItem(representedObject());
    link->setOwner(me);
    if (QuickPermissionPort* permission = ControlPopovers::permissionController())
        permission->setOwner({});
    attachPopover(*link);
}

void TQHoverdAdaptorButtonCell::attachPopover(FloatingControllerPort& popover)
{
    QWidget* view = controlView();
    if (!view)
        return;
    QWidget* window = view->window();
    const QRectF frame = lastFrame();
    popover.attachToWindow(window, view->mapTo(window, QPointF(frame.center().x(), frame.top())));
    // When it closes: a click on this very button is on its way to the action, which will only clear
    // the owner; any other close forgets the owner now. The cell may be a copy gone by then, so the
    // handler holds what it needs.
    FloatingControllerPort* observed = &popover;
    const QPointer<QWidget> guardedView = view;
    popover.observeWindowWillClose([observed, guardedView, frame] {
        const bool clickOnOwner = CurrentEvent::type() == QEvent::MouseButtonPress &&
                                  CurrentEvent::button() == Qt::LeftButton && guardedView &&
                                  Cell::frameContains(frame, CurrentEvent::mousePosition(guardedView));
        if (!clickOnOwner)
            observed->setOwner({});
    });
}

void TQHoverdAdaptorButtonCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost& host)
{
    const QRectF inset = frame.adjusted(1, 1, -1, -1);
    QPainterPath outline;
    outline.addRoundedRect(inset, 4, 4);
    painter.save();
    if (m_shouldDrawBorder)
        fillPathWithImage(painter, outline, isHighlighted() ? m_hoverBackground : m_regularBackground, inset);
    setLastFrame(frame);
    if (m_autoBorderOnHover && !isHovered()) {
        drawImage(painter, image(), imageRectForBounds(frame), 0.5);
    } else {
        if (image().isNull() && !title().isEmpty()) {
            AttributedText text = attributedTitle();
            text.font = font();
            text.color = Drawing::grey(isHovered() ? 0.59765625 : 0.796875);
            setAttributedTitle(text);
            text.color = QColor::fromRgbF(0.28515625f, 0.56640625f, 0.8046875f);
            setAttributedAlternateTitle(text);
        }
        TQHoverdButtonCell::drawInterior(painter, frame, host);
    }
    if (m_shouldDrawBorder)
        strokeInside(painter, inset, 4, SystemColors::controlShadowColor());
    painter.restore();
}

} // namespace tavrel
