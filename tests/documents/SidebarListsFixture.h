#pragma once

#include "DocumentsFixture.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "window/ActionRequests.h"

#include <QStringList>
#include <memory>

namespace tavrel {

class TQAllItemsController;

namespace test {

// A store for the sidebar's lists, with the requests of the views recorded instead of run:
//   mine: Alpha (starred), Beta (shared with Ann), Linked (a link, no people), Epsilon (starred, in Box);
//   Bob's: Gamma (Me as a viewer, the address in other letter case), Theta (starred, Me an editor);
//   collections: Box, Inner (starred, inside Box);
//   trashed: Delta (starred), Zeta (in Box), the collection Gone.
class SidebarListsFixture : public DocumentsFixture
{
protected:
    void SetUp() override;
    void TearDown() override;

    ManagedObjectPtr record(const QString& title) const;
    // The titles of a list's record rows, in row order.
    static QStringList titles(TQAllItemsController* list);
    // A filtering view wrapping the list as the window does, sorted by name, shown and filled.
    TQAllItemsController* place(TQAllItemsController* list);
    // The same for a view of its own (the trash's), answering its list.
    TQAllItemsController* install(TQAllItemsFilteringViewController* view);

    std::unique_ptr<TQAllItemsFilteringViewController> m_view;
    std::unique_ptr<ActionRequests::Recorder> m_requests;
};

} // namespace test
} // namespace tavrel
