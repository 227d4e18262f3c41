#pragma once

#include "platform/store/ManagedObject.h"

#include <QList>

class QObject;

namespace tavrel {

class TQAllItemsController;

// The validation of the all-items list's commands: whether a menu item, button or key may act on the
// list's selection (or the row a contextual menu was opened on), with the titles that say what it
// will do ("Add Star" or "Remove Star") and the open-with and change-owner submenus made for it.
class TQAllItemsValidation
{
public:
    // `base` is what the list's base classes answer for the item.
    static bool validate(TQAllItemsController& list, QObject* item, bool base);
    // The records a validation is about: the selected ones, or the row a contextual menu was opened
    // on alone when it lies outside the selection.
    static QList<ManagedObjectPtr> items(TQAllItemsController& list);
};

} // namespace tavrel
