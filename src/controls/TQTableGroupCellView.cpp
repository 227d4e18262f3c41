#include "controls/TQTableGroupCellView.h"

#include "controls/TQTitledGroupTableCell.h"
#include "controls/WidgetCellHost.h"
#include "platform/ui/CellHost.h"

#include <QPainter>

namespace tavrel {

TQTableGroupCellView::TQTableGroupCellView(QWidget* parent) : QWidget(parent) {}

TQTableGroupCellView::~TQTableGroupCellView() = default;

TQTitledGroupTableCell& TQTableGroupCellView::helper()
{
    if (!m_helper)
        m_helper = std::make_unique<TQTitledGroupTableCell>(QStringLiteral(""));
    return *m_helper;
}

void TQTableGroupCellView::setObjectValue(const QVariantMap& value)
{
    m_objectValue = value;
    update();
}

void TQTableGroupCellView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    helper().setTitle(m_objectValue.value(QStringLiteral("title")).toString());
    WidgetCellHost host(this);
    helper().paint(painter, QRectF(rect()), host);
}

} // namespace tavrel
