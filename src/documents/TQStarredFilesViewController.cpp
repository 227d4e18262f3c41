#include "documents/TQStarredFilesViewController.h"

#include "documents/TQAllItemsController.h"

namespace tavrel {

QList<TQViewController*> TQStarredFilesViewController::filteredControllers()
{
    return makeTabs([] { return new TQAllItemsController; },
                    Predicate::format(QStringLiteral("isStarred == %@"), true));
}

} // namespace tavrel
