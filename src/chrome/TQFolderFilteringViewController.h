#pragma once

#include "chrome/TQFilteringViewController.h"

namespace tavrel {

// The filtering view around a collection's contents and a record's collections in the detail view:
// no sort entries of its own (its owner sets the sort), the record commands go to the list, and
// pressing its sidebar mode again clears the search. Main thread only.
class TQFolderFilteringViewController : public TQFilteringViewController
{
    Q_OBJECT
public:
    explicit TQFolderFilteringViewController(QObject* parent = nullptr);

    void awakeFromNib() override;
    // Nothing happens while the view is in no window.
    void viewDidInstall() override;
    void reactivate() override;

    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;
};

} // namespace tavrel
