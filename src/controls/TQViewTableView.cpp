#include "controls/TQViewTableView.h"

#include "controls/SystemColors.h"

#include <QHeaderView>
#include <QLinearGradient>
#include <QPainter>

namespace tavrel {

TQViewTableView::TQViewTableView(QWidget* parent) : QTableView(parent)
{
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    setShowGrid(false);
    setFrameShape(QFrame::NoFrame);
}

void TQViewTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (!model() || model()->rowCount(rootIndex()) == 0)
        return;
    const QRect last = visualRect(model()->index(model()->rowCount(rootIndex()) - 1, 0, rootIndex()));
    if (!last.intersects(viewport()->rect()))
        return;
    const QRectF band(0, last.bottom() + 2, viewport()->width(), 4);
    QColor start = SystemColors::controlShadowColor();
    start.setAlphaF(0.7f);
    QLinearGradient gradient(band.topLeft(), band.bottomLeft());
    gradient.setColorAt(0, start);
    gradient.setColorAt(1, Qt::white);
    QPainter painter(viewport());
    painter.fillRect(band, gradient);
}

} // namespace tavrel
