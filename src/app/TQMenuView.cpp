#include "app/TQMenuView.h"

#include <QEnterEvent>
#include <QMetaObject>
#include <QPainter>
#include <QStyleOption>

namespace tavrel {

TQMenuView::TQMenuView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
}

void TQMenuView::forward(const char* method)
{
    if (!m_delegate)
        return;
    const QMetaObject* meta = m_delegate->metaObject();
    if (meta->indexOfMethod(QMetaObject::normalizedSignature(QByteArray(method) + "()")) >= 0)
        QMetaObject::invokeMethod(m_delegate, method, Qt::DirectConnection);
}

void TQMenuView::enterEvent(QEnterEvent* event)
{
    m_hovered = true;
    update();
    forward("mouseEntered");
    QWidget::enterEvent(event);
}

void TQMenuView::leaveEvent(QEvent* event)
{
    m_hovered = false;
    update();
    forward("mouseExited");
    QWidget::leaveEvent(event);
}

void TQMenuView::paintEvent(QPaintEvent*)
{
    // A row with a submenu shows the menu's highlight under the pointer, as plain items do.
    if (!m_hovered || !property("highlightsOnHover").toBool())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Highlight).lighter(170));
}

} // namespace tavrel
