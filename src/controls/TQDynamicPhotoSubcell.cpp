#include "controls/TQDynamicPhotoSubcell.h"

#include "controls/ControlPopovers.h"
#include "controls/ControlServices.h"
#include "controls/DelayedPerform.h"
#include "controls/TQFileItemToImageTransformer.h"
#include "controls/TQUISettings.h"
#include "controls/ValueTransformer.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/StringTable.h"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

namespace tavrel {

TQDynamicPhotoSubcell::TQDynamicPhotoSubcell() : TQButtonCell(QStringLiteral(""))
{
    setButtonType(MomentaryChangeButton);
    setBezeled(false);
    setBordered(false);
    setImagePosition(ImageOnly);
}

TQDynamicPhotoSubcell::TQDynamicPhotoSubcell(const TQDynamicPhotoSubcell& other)
    : TQButtonCell(other), TQHoverableCell(other), m_transformer(other.m_transformer),
      m_hasLink(other.m_hasLink), m_labelKeyPath(other.m_labelKeyPath),
      m_accompanyObject(other.m_accompanyObject), m_pressInShadow(other.m_pressInShadow),
      m_hasRoundCorners(other.m_hasRoundCorners)
{}

TQDynamicPhotoSubcell::~TQDynamicPhotoSubcell()
{
    DelayedPerform::cancelPreviousPerformRequests(this);
}

void TQDynamicPhotoSubcell::setObject(const QVariant& object)
{
    setRepresentedObject(object);
    reloadImage();
}

void TQDynamicPhotoSubcell::reloadImage()
{
    setImage(m_transformer ? m_transformer->transformedValue(representedObject()).value<QPixmap>()
                           : QPixmap());
}

QPointF TQDynamicPhotoSubcell::labelAnchor() const
{
    const QRectF frame = lastFrame();
    return {frame.x() + frame.width() / 2, frame.y()};
}

void TQDynamicPhotoSubcell::setHovered(bool hovered)
{
    if (hovered == isHovered())
        return;
    DelayedPerform::cancelPreviousPerformRequests(this);
    QWidget* view = controlView();
    const bool hand = view && view->cursor().shape() == Qt::PointingHandCursor;
    TQButtonCell::setHovered(hovered);
    if (hovered) {
        if (m_hasLink && view && !hand)
            view->setCursor(Qt::PointingHandCursor);
        QuickPermissionPort* permission = ControlPopovers::permissionController();
        if (!permission || !permission->isWindowVisible()) {
            const QPointF anchor = labelAnchor();
            DelayedPerform::perform(this, kLabelDelay.milliseconds(),
                                    [this, anchor] { showLabelAt(anchor); });
        }
    } else {
        if (m_hasLink && hand)
            view->unsetCursor();
        if (FloatingLabelPort* label = ControlPopovers::labelController())
            label->closeWindow();
    }
}

QString TQDynamicPhotoSubcell::labelText() const
{
    const auto mail = std::dynamic_pointer_cast<Mail>(representedObject().value<ManagedObjectPtr>());
    if (mail && mail->address() == ControlServices::currentUserAddress())
        return StringTable::text(QStringLiteral("OnlyME"));
    const ManagedObjectPtr record = representedObject().value<ManagedObjectPtr>();
    return record ? record->valueForKeyPath(m_labelKeyPath).toString() : QString();
}

void TQDynamicPhotoSubcell::showLabelAt(const QPointF& point)
{
    QuickPermissionPort* permission = ControlPopovers::permissionController();
    if ((permission && permission->isWindowVisible()) || point.isNull())
        return;
    QWidget* view = controlView();
    if (!view || !visibleRect(view).contains(point))
        return;
    FloatingLabelPort* label = ControlPopovers::labelController();
    if (!label)
        return;
    label->closeWindow();
    const QString text = labelText();
    QWidget* window = view->window();
    if (!window || !window->isVisible()) {
        ControlServices::log(QStringLiteral("E: Wrong location condition for label"));
        return;
    }
    label->setLabel(text);
    label->attachToWindow(window, view->mapTo(window, point));
}

Cell::HitResults TQDynamicPhotoSubcell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (!frameContains(frame, point))
        return None;
    const bool hasAction = bool(action()) || !command().isEmpty();
    if (hasAction && CurrentEvent::clickCount() > 1) {
        // The double action goes to the subcell itself (a person's page), not to a list.
        if (const Action doubled = doubleAction())
            doubled(const_cast<TQDynamicPhotoSubcell&>(*this));
        return None;
    }
    return TQButtonCell::hitTest(point, frame) | TrackableArea | NoSelect;
}

void TQDynamicPhotoSubcell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_pressInShadow) {
        const QRectF grown = frame.adjusted(-2, -2, 2, 2);
        QPainterPath rim;
        rim.addRoundedRect(grown, 3, 3);
        painter.setClipPath(rim);
        painter.fillRect(grown, TQUISettings::selectedGridBackgroundColor());
        painter.setPen(QPen(TQUISettings::selectedIconBorderColor(), 1));
        painter.drawPath(rim);
    }
    if (m_hasRoundCorners) {
        QPainterPath corners;
        corners.addRoundedRect(frame, 3, 3);
        painter.setClipPath(corners, m_pressInShadow ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    setLastFrame(frame);
    const QPixmap picture = image();
    if (!picture.isNull()) {
        QSizeF size = picture.deviceIndependentSize();
        size.scale(frame.size(), Qt::KeepAspectRatio);
        Drawing::drawPixmap(painter, Drawing::centered(size, frame), picture);
    }
    painter.restore();
}

void TQDynamicPhotoSubcell::executeFile()
{
    const auto document =
        std::dynamic_pointer_cast<FileEntryAbstract>(representedObject().value<ManagedObjectPtr>());
    if (!document)
        return;
    ControlServices::log(QStringLiteral("Opening Document: ") + document->title());
    ControlServices::openDocument(representedObject());
}

void TQDynamicPhotoSubcell::showQuickDialog()
{
    QuickPermissionPort* permission = ControlPopovers::permissionController();
    if (!permission)
        return;
    permission->setDeletable(true);
    const PopoverOwner me{controlView(), lastFrame()};
    if (permission->owner() == me) {
        permission->setOwner({});
        return;
    }
    permission->setItem(m_accompanyObject);
    permission->setEmail(representedObject());
    permission->setOwner(me);
    if (QuickLinkPort* link = ControlPopovers::linkController())
        link->setOwner({});
    QWidget* view = controlView();
    if (!view)
        return;
    QWidget* window = view->window();
    const QRectF frame = lastFrame();
    permission->attachToWindow(window, view->mapTo(window, labelAnchor()));
    // A click on this very subcell that closes the popover finds it still the owner, and so does
    // not open it again; any other close forgets the owner.
    const QPointer<QWidget> guardedView = view;
    permission->observeWindowWillClose([permission, guardedView, frame] {
        const bool clickOnOwner = CurrentEvent::type() == QEvent::MouseButtonPress &&
                                  CurrentEvent::button() == Qt::LeftButton && guardedView &&
                                  Cell::frameContains(frame, CurrentEvent::mousePosition(guardedView));
        if (!clickOnOwner)
            permission->setOwner({});
    });
}

void TQDynamicPhotoSubcell::showEmailProfile()
{
    DelayedPerform::cancelPreviousPerformRequests(this);
    DelayedPerform::perform(this, kProfileDelay.milliseconds(), [this] { performShowEmailProfile(); });
}

void TQDynamicPhotoSubcell::performShowEmailProfile()
{
    NotificationCenter::defaultCenter().post(kTQShowEmailProfileNotification, representedObject());
    const auto mail = std::dynamic_pointer_cast<Mail>(representedObject().value<ManagedObjectPtr>());
    if (mail && mail->address() == ControlServices::currentUserAddress())
        ControlServices::track(QStringLiteral("Navigation"), QStringLiteral("PersonalProfile"),
                               QStringLiteral("Sharing"));
}

namespace {
template <void (TQDynamicPhotoSubcell::*method)()> Cell::Action subcellAction()
{
    return [](Cell& sender) {
        if (auto* cell = dynamic_cast<TQDynamicPhotoSubcell*>(&sender))
            (cell->*method)();
    };
}
} // namespace

Cell::Action TQDynamicPhotoSubcell::executeFileAction()
{
    return subcellAction<&TQDynamicPhotoSubcell::executeFile>();
}

Cell::Action TQDynamicPhotoSubcell::showQuickDialogAction()
{
    return subcellAction<&TQDynamicPhotoSubcell::showQuickDialog>();
}

Cell::Action TQDynamicPhotoSubcell::showEmailProfileAction()
{
    return subcellAction<&TQDynamicPhotoSubcell::showEmailProfile>();
}

} // namespace tavrel
