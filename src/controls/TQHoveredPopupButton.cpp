#include "controls/TQHoveredPopupButton.h"

#include "controls/TQHoverableCell.h"
#include "controls/TQInvertedPopupCell.h"

#include <QPainter>

namespace tavrel {

TQHoveredPopupButton::TQHoveredPopupButton(QWidget* parent)
    : TQHoveredPopupButton(std::make_shared<TQInvertedPopupCell>(), parent)
{}

TQHoveredPopupButton::TQHoveredPopupButton(std::shared_ptr<BasicPopUpButtonCell> cell, QWidget* parent)
    : BasicPopUpButton(std::move(cell), parent)
{}

QRectF TQHoveredPopupButton::cellFrame() const
{
    return {0, (height() - 22) / 2.0, qreal(width()), 22};
}

void TQHoveredPopupButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    if (isEnabled()) {
        m_hovered = true;
        update();
    }
}

void TQHoveredPopupButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    if (isEnabled()) {
        m_hovered = false;
        update();
    }
}

void TQHoveredPopupButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (auto* hoverable = dynamic_cast<TQHoverableCell*>(cell()))
        hoverable->setHovered(m_hovered);
    cell()->paint(painter, cellFrame(), *this);
}

} // namespace tavrel
