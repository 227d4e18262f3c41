#include "chrome/TQFloatingTitlebar.h"

#include "controls/TQThreePartButtonCell.h"
#include "platform/ui/CellButton.h"

namespace tavrel {

void TQFloatingTitlebar::pushNavigationButton(QAbstractButton* button)
{
    if (auto* cellButton = qobject_cast<CellButton*>(button)) {
        const Cell* old = cellButton->cell();
        auto cell = std::make_shared<TQThreePartButtonCell>(old ? old->title() : button->text());
        if (old) {
            cell->setAction(old->action());
            cell->setCommand(old->command());
            cell->setTarget(old->target());
        }
        cellButton->setCell(cell);
        cellButton->resize(cellButton->sizeHint());
    }
    pushButton(button, false);
}

void TQFloatingTitlebar::popNavigationButton()
{
    popButtonAnimated(false);
}

} // namespace tavrel
