#include "controls/TQTriStateButton.h"

#include "platform/ui/Drawing.h"

#include <QPainter>

namespace tavrel {

TQTriStateButton::TQTriStateButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void TQTriStateButton::setNormalImage(const QPixmap& image)
{
    m_normalImage = image;
    updateGeometry();
    update();
}

void TQTriStateButton::setHoverImage(const QPixmap& image)
{
    m_hoverImage = image;
    update();
}

void TQTriStateButton::setPressedImage(const QPixmap& image)
{
    m_pressedImage = image;
    update();
}

QPixmap TQTriStateButton::currentImage() const
{
    if (isDown() && !m_pressedImage.isNull())
        return m_pressedImage;
    if (m_hovered && isEnabled() && !m_hoverImage.isNull())
        return m_hoverImage;
    return m_normalImage;
}

QSize TQTriStateButton::sizeHint() const
{
    return m_normalImage.isNull() ? QSize(12, 12) : m_normalImage.deviceIndependentSize().toSize();
}

void TQTriStateButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap image = currentImage();
    if (!image.isNull())
        Drawing::drawPixmap(painter, Drawing::centered(image.deviceIndependentSize(), QRectF(rect())), image);
}

void TQTriStateButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    m_hovered = true;
    update();
}

void TQTriStateButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    m_hovered = false;
    update();
}

} // namespace tavrel
