#include "controls/TQHostView.h"

#include "platform/ui/CurrentEvent.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ResponderChain.h"

#include <QMouseEvent>
#include <QPainter>

namespace tavrel {

TQHostView::TQHostView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TQHostView::setBackgroundImage(const QPixmap& image)
{
    m_backgroundImage = image;
    update();
}

QColor TQHostView::backgroundColor() const
{
    return m_backgroundColor.isValid() ? m_backgroundColor : QColor(Qt::white);
}

void TQHostView::setBackgroundColor(const QColor& color)
{
    m_backgroundColor = color;
    update();
}

void TQHostView::setDrawProportionally(bool proportionally)
{
    m_drawProportionally = proportionally;
    update();
}

void TQHostView::setBorder(const QSizeF& border)
{
    m_border = border;
    update();
}

QRectF TQHostView::imageRect() const
{
    if (m_backgroundImage.isNull())
        return {};
    const QRectF bounds(rect());
    const QRectF inset =
        bounds.adjusted(m_border.width(), m_border.height(), -m_border.width(), -m_border.height());
    if (!m_drawProportionally)
        return inset;

    const QSizeF image = m_backgroundImage.deviceIndependentSize();
    const qreal ratio = image.height() / image.width();
    qreal width = 0;
    qreal height = 0;
    if (ratio <= 1) {
        width = inset.width();
        height = inset.width() * ratio;
        if (height > inset.height()) {
            height = inset.height();
            width = inset.height() / ratio;
        }
    } else {
        height = inset.height();
        width = inset.height() / ratio;
        if (width > inset.width()) {
            width = inset.width();
            height = inset.width() * ratio;
        }
    }
    // Centred in the bounds, the gap below rounded down as the design measures it from the bottom.
    const qreal x = Drawing::floorf((bounds.width() - width) / 2);
    const qreal below = Drawing::floorf((bounds.height() - height) / 2);
    return {x, bounds.height() - height - below, width, height};
}

void TQHostView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawRect(painter);
}

void TQHostView::drawRect(QPainter& painter)
{
    painter.fillRect(rect(), backgroundColor());
    if (!m_backgroundImage.isNull())
        Drawing::drawPixmap(painter, imageRect(), m_backgroundImage);
}

void TQHostView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Exactly the second click: a triple click's third press is not another double click.
    if (CurrentEvent::clickCount() == 2 && !m_doubleAction.isEmpty())
        ResponderChain::send(m_doubleAction, this, m_target);
    event->accept();
}

void TQHostView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

} // namespace tavrel
