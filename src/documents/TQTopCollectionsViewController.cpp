#include "documents/TQTopCollectionsViewController.h"

#include "documents/TQAllCollectionsController.h"
#include "documents/TQAllItemsFilteringViewController.h"

namespace tavrel {

QList<TQViewController*> TQTopCollectionsViewController::filteredControllers()
{
    return makeTabs([] { return new TQAllCollectionsController; },
                    Predicate::withBlock(&TQAllItemsFilteringViewController::isCollection));
}

} // namespace tavrel
