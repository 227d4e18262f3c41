#include "chrome/TQTextFilterbar.h"

#include "controls/TQHoverdTextButtonCell.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"

#include <cmath>

namespace tavrel {

void TQTextFilterbar::awakeFromNib()
{
    QList<QAbstractButton*> collected;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        auto* button = qobject_cast<CellButton*>(child);
        auto* cell = button ? button->cellAs<TQHoverdTextButtonCell>() : nullptr;
        if (!cell)
            continue;
        cell->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background_selected")));
        collected << button;
    }
    if (!collected.isEmpty())
        setButtons(collected);
}

void TQTextFilterbar::layoutButtons()
{
    const QList<QAbstractButton*> buttons = this->buttons();
    if (buttons.isEmpty())
        return;
    const double width = this->width();
    const double height = this->height();
    double sum = 0;
    for (const QAbstractButton* button : buttons)
        sum += button->width();
    // The quotient in single precision, then its ceiling.
    const double gap = std::ceil(double(float((width - sum) / double(buttons.size() + 1))));
    double x = gap;
    for (QAbstractButton* button : buttons) {
        button->setGeometry(
            QRectF(x, (height - button->height()) / 2, button->width(), button->height()).toRect());
        x += button->width() + gap;
    }
}

void TQTextFilterbar::resizeEvent(QResizeEvent* event)
{
    TQRadioButtonbar::resizeEvent(event);
    layoutButtons();
}

} // namespace tavrel
