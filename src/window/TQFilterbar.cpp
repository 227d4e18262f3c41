#include "window/TQFilterbar.h"

#include "controls/TQSwitchButtonCell.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"

#include <cmath>

namespace tavrel {

TQFilterbar::TQFilterbar(QWidget* parent) : TQRadioButtonbar(parent) {}

void TQFilterbar::awakeFromNib()
{
    const QList<QAbstractButton*> found = adoptSwitchButtons(this);
    if (!found.isEmpty())
        setButtons(found);
}

QList<QAbstractButton*> TQFilterbar::adoptSwitchButtons(QWidget* bar)
{
    QList<QAbstractButton*> found;
    for (QObject* child : bar->children()) {
        auto* button = qobject_cast<CellButton*>(child);
        auto* cell = button ? button->cellAs<TQSwitchButtonCell>() : nullptr;
        if (!cell)
            continue;
        const QString name = ImageRegistry::nameOf(cell->offImage());
        cell->setHighlightImage(ImageRegistry::pixmap(name + QStringLiteral("_active")));
        cell->setOnImage(ImageRegistry::pixmap(name + QStringLiteral("_on")));
        found.append(button);
    }
    return found;
}

void TQFilterbar::resizeEvent(QResizeEvent* event)
{
    TQRadioButtonbar::resizeEvent(event);
    layoutButtons();
}

void TQFilterbar::layoutButtons()
{
    const QList<QAbstractButton*> all = buttons();
    if (all.isEmpty())
        return;
    const float n = float(all.size());
    const float lastWidth = float(all.constLast()->width());
    const float gap = std::ceil((float(width()) - lastWidth * n) / (n + 1.0f));
    float x = gap;
    for (QAbstractButton* button : all) {
        button->setGeometry(int(x), (height() - kButtonSize) / 2, kButtonSize, kButtonSize);
        x += kButtonSize + gap;
    }
}

} // namespace tavrel
