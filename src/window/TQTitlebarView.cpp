#include "window/TQTitlebarView.h"

#include "controls/BezierPathExtensions.h"
#include "platform/system/Settings.h"

#include <QEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace tavrel {

namespace {
QColor grey(double level)
{
    return QColor::fromRgbF(float(level), float(level), float(level), 1.0f);
}
} // namespace

TQTitlebarView::TQTitlebarView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TQTitlebarView::setCornerRadius(double radius)
{
    m_cornerRadius = radius;
    update();
}

void TQTitlebarView::setTitle(const QString& title)
{
    m_title = title;
    update();
}

// The lighter levels of a system with popovers.
QColor TQTitlebarView::topActiveColor()
{
    return grey(0.686);
}
QColor TQTitlebarView::bottomActiveColor()
{
    return grey(0.906);
}
QColor TQTitlebarView::borderActiveColor()
{
    return grey(0.408);
}
QColor TQTitlebarView::topNotActiveColor()
{
    return grey(0.878);
}
QColor TQTitlebarView::bottomNotActiveColor()
{
    return grey(0.976);
}
QColor TQTitlebarView::borderNotActiveColor()
{
    return grey(0.655);
}

bool TQTitlebarView::drawsActive() const
{
    return window() && window()->isActiveWindow();
}

void TQTitlebarView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool active = drawsActive();
    // The top row stays unpainted; the bottom line is the border.
    const QRectF body(0, 1, width(), height() - 1);
    painter.save();
    painter.setClipPath(BezierPathExtensions::halfRoundPathWithRect(body, m_cornerRadius));
    QLinearGradient gradient(body.topLeft(), body.bottomLeft());
    // The light colour at the top edge, the darker one along the bottom.
    gradient.setColorAt(0.0, active ? bottomActiveColor() : bottomNotActiveColor());
    gradient.setColorAt(1.0, active ? topActiveColor() : topNotActiveColor());
    painter.fillRect(body, gradient);
    painter.restore();
    painter.fillRect(QRectF(0, height() - 1, width(), 1),
                     active ? borderActiveColor() : borderNotActiveColor());
    if (m_title.isEmpty())
        return;
    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(14);
    painter.setFont(font);
    const QString text = painter.fontMetrics().elidedText(m_title, Qt::ElideMiddle, width() / 2);
    painter.setPen(QColor(255, 255, 255, 200));
    painter.drawText(rect().translated(0, 1), Qt::AlignCenter, text);
    painter.setPen(QColor(0x40, 0x40, 0x40));
    painter.drawText(rect(), Qt::AlignCenter, text);
}

void TQTitlebarView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && Settings::boolValue(kMiniaturizeOnDoubleClickKey) && window()) {
        window()->showMinimized();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void TQTitlebarView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange)
        update();
    QWidget::changeEvent(event);
}

} // namespace tavrel
