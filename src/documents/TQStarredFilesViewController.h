#pragma once

#include "documents/TQTopFilesViewController.h"

namespace tavrel {

// The top-files view over the starred documents and collections only.
class TQStarredFilesViewController : public TQTopFilesViewController
{
    Q_OBJECT
public:
    using TQTopFilesViewController::TQTopFilesViewController;

    QList<TQViewController*> filteredControllers() override;
};

} // namespace tavrel
