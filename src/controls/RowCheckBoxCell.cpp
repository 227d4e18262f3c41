#include "controls/RowCheckBoxCell.h"

#include "platform/ui/CellHost.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace tavrel {

RowCheckBoxCell::RowCheckBoxCell() : BasicButtonCell(QStringLiteral(""))
{
    setButtonType(SwitchButton);
    setBordered(false);
    setBezeled(false);
}

bool RowCheckBoxCell::startTracking(const QPointF& point, CellHost& host)
{
    return isEnabled() && BasicButtonCell::startTracking(point, host);
}

void RowCheckBoxCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost& host)
{
    QWidget* view = host.hostWidget();
    QStyle* style = view ? view->style() : QApplication::style();
    QStyleOptionButton option;
    const int edge = style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, view);
    const QPointF center = frame.center();
    option.rect = QRect(int(center.x() - edge / 2.0), int(center.y() - edge / 2.0), edge, edge);
    option.state = QStyle::State_Active;
    if (isEnabled())
        option.state |= QStyle::State_Enabled;
    if (isHighlighted())
        option.state |= QStyle::State_Sunken;
    option.state |= state() == On      ? QStyle::State_On
                    : state() == Mixed ? QStyle::State_NoChange
                                       : QStyle::State_Off;
    if (view)
        option.palette = view->palette();
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, view);
}

} // namespace tavrel
