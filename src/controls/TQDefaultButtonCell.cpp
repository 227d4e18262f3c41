#include "controls/TQDefaultButtonCell.h"

#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

namespace tavrel {

namespace {
const QColor kBlue = QColor::fromRgbF(0.1484375f, 0.37890625f, 0.59765625f);
}

TQDefaultButtonCell::TQDefaultButtonCell(const QString& title)
{
    setTitle(title);
}

QPixmap TQDefaultButtonCell::activeImage() const
{
    return ImageRegistry::pixmap(QStringLiteral("default_active"));
}

QPixmap TQDefaultButtonCell::regularImage() const
{
    return ImageRegistry::pixmap(isEnabled() ? QStringLiteral("default_regular")
                                             : QStringLiteral("default_disable"));
}

QColor TQDefaultButtonCell::titleColor() const
{
    return isEnabled() ? QColor(Qt::white) : QColor::fromRgbF(0.93359375f, 0.96875f, 0.98828125f);
}

QColor TQDefaultButtonCell::titleShadowColor() const
{
    if (isEnabled())
        return kBlue;
    QColor color = borderColor();
    color.setAlphaF(0.6f);
    return color;
}

QColor TQDefaultButtonCell::borderColor() const
{
    return isEnabled() ? titleShadowColor() : kBlue;
}

void TQDefaultButtonCell::setEnabled(bool enabled)
{
    TQNormalButtonCell::setEnabled(enabled);
    if (QWidget* view = controlView())
        view->update();
}

void TQDefaultButtonCell::drawTitle(QPainter& painter, const AttributedText& title, const QRectF& rect)
{
    if (isEnabled()) {
        TQNormalButtonCell::drawTitle(painter, title, rect);
        return;
    }
    // The title recoloured over its whole length, so that it is not greyed.
    Drawing::drawText(painter, rect, title.text, title.font, titleColor(),
                      title.alignment | Qt::AlignVCenter);
}

} // namespace tavrel
