#include "controls/TQLinkTitleSubcell.h"

#include "controls/TQUISettings.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/Drawing.h"

namespace tavrel {

TQLinkTitleSubcell::TQLinkTitleSubcell(const QString& text)
    : RowTextCell(text.isNull() ? QStringLiteral("") : text, Drawing::font(13, QFont::Bold),
                  TQUISettings::rowTitleTextColor())
{}

void TQLinkTitleSubcell::setHovered(bool hovered)
{
    if (hovered == isHovered())
        return;
    QWidget* view = controlView();
    const bool hand = view && view->cursor().shape() == Qt::PointingHandCursor;
    Cell::setHovered(hovered);
    if (!m_hasLink || !view)
        return;
    if (hovered && !hand)
        view->setCursor(Qt::PointingHandCursor);
    else if (!hovered && hand)
        view->unsetCursor();
}

Cell::HitResults TQLinkTitleSubcell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (!frameContains(frame, point))
        return None;
    return RowTextCell::hitTest(point, frame) | TrackableArea;
}

void TQLinkTitleSubcell::trackingDidEndInside(CellHost& host)
{
    if (CurrentEvent::clickCount() == 1)
        sendAction(host);
}

void TQLinkTitleSubcell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    setControlView(host.hostWidget());
    if (!m_noAutoHover)
        setHovered(frameContains(frame, host.mousePosition()));
    if (m_hasLink)
        setTitleAttributeLink(isHovered());
    RowTextCell::paint(painter, frame, host);
}

} // namespace tavrel
