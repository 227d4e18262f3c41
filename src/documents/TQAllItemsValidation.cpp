// The validation of the list's commands, its open-with and change-owner menus, and starring a
// selection.
#include "documents/TQAllItemsController.h"

namespace tavrel {

bool TQAllItemsController::validateUserInterfaceItem(QObject* item)
{
    return TQFirstLevelViewController::validateUserInterfaceItem(item);
}

void TQAllItemsController::setupApplicationMenu(QMenu*, const ManagedObjectPtr&) {}
void TQAllItemsController::setupOwnershipMenu(QObject*) {}
void TQAllItemsController::menuWillHighlightItem(QMenu*, QAction*) {}
void TQAllItemsController::menuDidClose(QMenu*) {}
void TQAllItemsController::toggleStarStateForSelection(const QList<ManagedObjectPtr>&) {}

} // namespace tavrel
