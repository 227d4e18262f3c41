#include "controls/TQSwitchButtonCell.h"

#include "controls/ControlPopovers.h"
#include "controls/ControlServices.h"
#include "controls/DelayedPerform.h"
#include "platform/ui/StringTable.h"

#include <QWidget>

namespace tavrel {

TQSwitchButtonCell::TQSwitchButtonCell(const QString& titleKey) : BasicButtonCell(titleKey)
{
    setButtonType(ToggleButton);
    setImagePosition(ImageOnly);
    setBordered(false);
}

// A copy has no pending requests of its own.
TQSwitchButtonCell::TQSwitchButtonCell(const TQSwitchButtonCell& other)
    : BasicButtonCell(other), TQHoverableCell(other), m_highlightImage(other.m_highlightImage)
{}

TQSwitchButtonCell::~TQSwitchButtonCell()
{
    DelayedPerform::cancelPreviousPerformRequests(this);
}

void TQSwitchButtonCell::setHovered(bool hovered)
{
    if (hovered == isHovered())
        return;
    FloatingLabelPort* tooltip = ControlPopovers::tooltipController();
    DelayedPerform::cancelPreviousPerformRequests(this);
    if (tooltip)
        DelayedPerform::cancelPreviousPerformRequests(tooltip);
    BasicButtonCell::setHovered(hovered);
    if (hovered) {
        const QPointF centre = lastFrame().center();
        const bool visible = tooltip && tooltip->isWindowVisible();
        DelayedPerform::perform(this, visible ? 0 : kTooltipDelay.milliseconds(),
                                [this, centre] { showTooltipAt(centre); });
    } else if (tooltip) {
        DelayedPerform::perform(tooltip, kTooltipLinger.milliseconds(), [] {
            if (FloatingLabelPort* current = ControlPopovers::tooltipController())
                current->closeWindow();
        });
    }
}

void TQSwitchButtonCell::showTooltipAt(const QPointF& point)
{
    QWidget* view = controlView();
    if (point.isNull() || !view || !visibleRect(view).contains(point))
        return;
    FloatingLabelPort* tooltip = ControlPopovers::tooltipController();
    if (!tooltip)
        return;
    tooltip->closeWindow();
    const QString text = StringTable::text(title());
    QWidget* window = view->window();
    if (!window || !window->isVisible()) {
        ControlServices::log(QStringLiteral("E: Wrong location condition for tooltip"));
        return;
    }
    tooltip->setLabel(text);
    // Four points right of the superview's right edge, at the point's height.
    QWidget* superview = view->parentWidget() ? view->parentWidget() : view;
    QPointF inSuperview = view == superview ? point : view->mapTo(superview, point);
    inSuperview.setX(superview->rect().x() + superview->rect().width() + 4);
    tooltip->attachToWindow(window, superview->mapTo(window, inSuperview));
}

void TQSwitchButtonCell::drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host)
{
    setLastFrame(frame);
    if (isHighlighted()) {
        const QPixmap on = alternateImage();
        setAlternateImage(m_highlightImage);
        drawInterior(painter, frame, host);
        setAlternateImage(on);
        return;
    }
    drawInterior(painter, frame, host);
}

} // namespace tavrel
