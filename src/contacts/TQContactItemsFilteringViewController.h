#pragma once

#include "chrome/TQFilteringViewController.h"

namespace tavrel {

// The search-and-sort bar over the documents shared with one person: sorts by owner, by last
// modification (newest first) and by sharing (most first).
class TQContactItemsFilteringViewController : public TQFilteringViewController
{
    Q_OBJECT
public:
    explicit TQContactItemsFilteringViewController(QObject* parent = nullptr);

protected:
    QMap<QString, SortDescriptorRef> searchDescriptorsWithOrderedKeys(QStringList* orderedKeys) override;
};

} // namespace tavrel
