#pragma once

#include "documents/TQTopFilesViewController.h"

namespace tavrel {

// The top-files view over the collections only, its lists being collections lists (with their drops).
class TQTopCollectionsViewController : public TQTopFilesViewController
{
    Q_OBJECT
public:
    using TQTopFilesViewController::TQTopFilesViewController;

    QList<TQViewController*> filteredControllers() override;
};

} // namespace tavrel
