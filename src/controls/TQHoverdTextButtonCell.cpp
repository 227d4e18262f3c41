#include "controls/TQHoverdTextButtonCell.h"

#include "controls/SystemColors.h"
#include "controls/TQUISettings.h"

namespace tavrel {

TQHoverdTextButtonCell::TQHoverdTextButtonCell(const QString& title)
{
    setTitle(title);
}

void TQHoverdTextButtonCell::setState(int state)
{
    TQFlatButtonCell::setState(state);
    setTitle(title());
}

void TQHoverdTextButtonCell::setHovered(bool hovered)
{
    TQFlatButtonCell::setHovered(hovered);
    setTitle(title());
}

QColor TQHoverdTextButtonCell::titleColor() const
{
    return isHovered() || state() == On ? TQUISettings::stateOnButtonTitleTextColor()
                                        : TQUISettings::stateOffButtonTitleTextColor();
}

QRectF TQHoverdTextButtonCell::titleRectForBounds(const QRectF& bounds) const
{
    return bounds.translated(0, -0.5);
}

QRectF TQHoverdTextButtonCell::drawingRectForBounds(const QRectF& bounds) const
{
    return bounds.adjusted(1, 1, -1, -1);
}

QColor TQHoverdTextButtonCell::borderColor() const
{
    return state() == On ? SystemColors::controlShadowColor() : QColor(Qt::transparent);
}

QPixmap TQHoverdTextButtonCell::regularImage() const
{
    return state() == On ? m_backgroundImage : QPixmap();
}

} // namespace tavrel
