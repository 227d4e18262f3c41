#pragma once

#include "platform/ui/CellHost.h"

namespace tavrel {

// The host of cells a widget draws itself (headers, matrix cells): the widget, nothing more.
class WidgetCellHost : public CellHost
{
public:
    explicit WidgetCellHost(QWidget* widget) : m_widget(widget) {}
    QWidget* hostWidget() const override { return m_widget; }

private:
    QWidget* m_widget;
};

} // namespace tavrel
