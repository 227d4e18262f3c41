#include "controls/TQTableHoverRowView.h"

#include "controls/TQUISettings.h"

#include <QPaintEvent>
#include <QPainter>

namespace tavrel {

TQTableHoverRowView::TQTableHoverRowView(QWidget* parent) : QWidget(parent) {}

void TQTableHoverRowView::setSelected(bool selected)
{
    m_selected = selected;
    update();
}

void TQTableHoverRowView::paintEvent(QPaintEvent* event)
{
    if (rect().isEmpty())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), m_selected ? QColor(Qt::white) : TQUISettings::rowBackgroundColor());
    const QRect separator = QRect(0, height() - 1, width(), 1).intersected(event->rect());
    if (!separator.isEmpty())
        painter.fillRect(separator, TQUISettings::gridBackgroundColor());
}

} // namespace tavrel
