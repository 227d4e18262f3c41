#include "platform/ui/CellHost.h"

#include "platform/ui/CurrentEvent.h"

#include <QWidget>

namespace tavrel {

void CellHost::updateCellRect(const QRectF& rect)
{
    // One point of slack: antialiased edges and shadows reach half a point outside the frame.
    if (QWidget* widget = hostWidget())
        widget->update(rect.toAlignedRect().adjusted(-1, -1, 1, 1));
}

QPointF CellHost::mousePosition() const
{
    return CurrentEvent::mousePosition(hostWidget());
}

bool CellHost::hostHasFocus() const
{
    const QWidget* widget = hostWidget();
    return widget && widget->hasFocus();
}

void CellHost::setHostCursor(Qt::CursorShape shape)
{
    if (QWidget* widget = hostWidget(); widget && widget->cursor().shape() != shape)
        widget->setCursor(shape);
}

void CellHost::unsetHostCursor()
{
    if (QWidget* widget = hostWidget())
        widget->unsetCursor();
}

Qt::CursorShape CellHost::hostCursor() const
{
    const QWidget* widget = hostWidget();
    return widget ? widget->cursor().shape() : Qt::ArrowCursor;
}

} // namespace tavrel
