#include "controls/TextFieldCell.h"

#include "platform/ui/CellHost.h"
#include "platform/ui/Drawing.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace tavrel {

QColor TextFieldCell::linkColor()
{
    return {0x26, 0x5F, 0x99};
}

void TextFieldCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    QColor color = textColor();
    if (!color.isValid()) {
        const QWidget* widget = host.hostWidget();
        color = (widget ? widget->palette() : QApplication::palette()).color(QPalette::Text);
    }
    QFont textFont = font();
    if (isHovered() && isEnabled()) {
        color = linkColor();
        textFont.setUnderline(true);
    }
    if (!isEnabled())
        color.setAlphaF(color.alphaF() * 0.45f);
    Drawing::drawText(painter, frame.adjusted(kPadding, 0, -kPadding, 0), title(), textFont, color);
}

QSizeF TextFieldCell::cellSize(const QSizeF&) const
{
    const QSizeF text = Drawing::textSize(title(), font());
    return {Drawing::ceilf(text.width() + 2 * kPadding), Drawing::ceilf(text.height())};
}

} // namespace tavrel
