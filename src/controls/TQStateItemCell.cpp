#include "controls/TQStateItemCell.h"

#include "platform/ui/CellHost.h"
#include "platform/ui/ImageRegistry.h"

#include <QPainter>
#include <QWidget>

namespace tavrel {

namespace {
QPixmap named(const char* name)
{
    return ImageRegistry::pixmap(QString::fromLatin1(name));
}
} // namespace

TQStateItemCell::TQStateItemCell()
{
    setButtonType(MomentaryLightButton);
    setImagePosition(ImageOnly);
    setTrackable(false);
}

void TQStateItemCell::setItemState(int state)
{
    if (state == m_itemState)
        return;
    m_itemState = state;
    setTrackable(false);
    switch (state) {
    case StateNew:
        setImage(named("new"));
        setAlternateImage(named("new"));
        setTrackable(true);
        break;
    case StateModified:
        setImage(named("modified"));
        setAlternateImage(named("modified"));
        break;
    case StateFavoriteOff:
    case StateFavoriteOn:
        setImage(named("favorite_off"));
        setAlternateImage(named("favorite_on"));
        setState(state == StateFavoriteOn ? On : Off);
        setTrackable(true);
        break;
    default:
        break;
    }
}

void TQStateItemCell::setHovered(bool hovered)
{
    if (!isTrackable() || !isEnabled())
        return;
    TQHoverdButtonCell::setHovered(hovered);
    if (hovered) {
        setImage(named("favorite_off_hover"));
        setAlternateImage(named("favorite_on_hover"));
    } else if (m_itemState == StateNew) {
        setImage(named("new"));
        setAlternateImage(named("new"));
    } else {
        setImage(named("favorite_off"));
        setAlternateImage(named("favorite_on"));
    }
}

bool TQStateItemCell::mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host)
{
    if (!isTrackable())
        return false;
    return TQHoverdButtonCell::mousePressed(event, frame, host);
}

bool TQStateItemCell::startTracking(const QPointF& point, CellHost& host)
{
    if (!isTrackable())
        return false;
    return TQHoverdButtonCell::startTracking(point, host);
}

void TQStateItemCell::stopTracking(const QPointF&, const QPointF&, CellHost& host, bool)
{
    setHighlighted(false);
    if (QWidget* view = host.hostWidget())
        view->update();
}

void TQStateItemCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    const QPixmap shown = state() == On ? alternateImage() : this->image();
    painter.save();
    drawImage(painter, shown, frame);
    painter.restore();
}

} // namespace tavrel
