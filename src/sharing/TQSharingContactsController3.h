#pragma once

#include "sharing/TQSharingContactsController.h"

namespace tavrel {

// The people-with-access list of the document detail view: the same list, whose rows show a role icon
// that opens the quick permission popover for that person (or, on the link row, for the link)
// instead of a role switch over the row. Roles change only through the popover.
class TQSharingContactsController3 : public TQSharingContactsController
{
    Q_OBJECT
public:
    using TQSharingContactsController::TQSharingContactsController;

    QWidget* dynamicTableViewViewForRow(TQDynamicTableView*, int) override { return nullptr; }

protected:
    std::shared_ptr<Cell> makeCellForRow(int row) override;
};

} // namespace tavrel
