#include "ListFixture.h"
#include "controls/SpinningIndicator.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/Animations.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class TableViewControllerTest : public test::ListFixture
{
protected:
    std::unique_ptr<test::NoteListController> makeList(ListModel* provider = nullptr)
    {
        auto list = std::make_unique<test::NoteListController>(provider ? provider : makeProvider());
        list->view()->resize(320, 400);
        return list;
    }

    // Installs the list and waits for its first fetch.
    void installAndWait(TQTableViewController& list)
    {
        list.viewDidInstall();
        ASSERT_TRUE(test::waitUntil([&list] { return !list.isFetching(); }));
        QCoreApplication::processEvents();
    }
};

TEST_F(TableViewControllerTest, FirstInstallFetchesInTheBackgroundBehindTheSpinnerThenShowsTheRows)
{
    for (int i = 0; i < 5; ++i)
        insert(QStringLiteral("note %1").arg(i), i);
    auto list = makeList();
    list->viewDidInstall();
    // Nothing fetched yet on this thread: the spinner turns over the empty table, which is never
    // painted through an effect (left black on X) and never called empty while the rows are read.
    EXPECT_TRUE(list->isFetching());
    EXPECT_TRUE(list->spinner()->isAnimating());
    EXPECT_EQ(list->table()->graphicsEffect(), nullptr);
    EXPECT_EQ(list->dataProvider()->count(), 0);
    list->refresh();
    EXPECT_TRUE(list->noItemsView()->isHidden());

    ASSERT_TRUE(test::waitUntil([&] { return !list->isFetching(); }));
    EXPECT_FALSE(list->spinner()->isAnimating());
    EXPECT_EQ(list->table()->graphicsEffect(), nullptr);
    EXPECT_EQ(list->table()->model(), list->dataProvider());
    EXPECT_EQ(list->dataProvider()->count(), 5);
    // The second row is selected.
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
    EXPECT_TRUE(list->noItemsView()->isHidden());
    EXPECT_TRUE(list->noSearchView()->isHidden());

    // A second install changes nothing.
    list->viewDidInstall();
    EXPECT_FALSE(list->isFetching());
}

TEST_F(TableViewControllerTest, AFilledProviderSkipsTheSpinnerAndRefreshesOnTheNextTurn)
{
    insert(QStringLiteral("one"), 1);
    insert(QStringLiteral("two"), 2);
    ListModel* provider = makeProvider();
    provider->rearrangeObjects();
    auto list = makeList(provider);
    list->viewDidInstall();
    EXPECT_FALSE(list->isFetching());
    EXPECT_FALSE(list->spinner()->isAnimating());
    EXPECT_TRUE(list->selectedRows().isEmpty());
    ASSERT_TRUE(test::waitUntil([&] { return list->selectedRows() == QList<int>{1}; }));
    // Its rows show.
    EXPECT_EQ(list->table()->model(), provider);
}

TEST_F(TableViewControllerTest, AFailedFirstFetchIsLoggedAndTheListStillBecomesReady)
{
    auto list = makeList(makeProvider(QStringLiteral("Unknown")));
    installAndWait(*list);
    EXPECT_EQ(logCount("E: Cannot fetch Files from CoreData: "), 1);
    EXPECT_FALSE(list->spinner()->isAnimating());
    EXPECT_EQ(Animations::opacity(list->table()), 1.0);
    EXPECT_FALSE(list->noItemsView()->isHidden());
}

TEST_F(TableViewControllerTest, EmptyListsShowTheNoItemsOrTheNoSearchView)
{
    struct Row
    {
        int notes;
        QString search;
        bool noItems;
        bool noSearch;
    };
    const QList<Row> rows = {
        {0, QString(), true, false},
        {0, QStringLiteral("report"), false, true},
        {2, QString(), false, false},
        {2, QStringLiteral("note"), false, false},
        {2, QStringLiteral("nothing like it"), false, true},
    };
    for (const Row& row : rows) {
        for (const ManagedObjectPtr& note :
             m_context->executeFetchRequest(FetchRequest(QStringLiteral("Note"))))
            m_context->deleteObject(note);
        m_context->save();
        for (int i = 0; i < row.notes; ++i)
            insert(QStringLiteral("note %1").arg(i), i);
        auto list = makeList();
        list->setSearchString(row.search);
        installAndWait(*list);
        EXPECT_EQ(!list->noItemsView()->isHidden(), row.noItems) << row.notes << qPrintable(row.search);
        EXPECT_EQ(!list->noSearchView()->isHidden(), row.noSearch) << row.notes << qPrintable(row.search);
        if (row.noSearch) {
            EXPECT_EQ(list->noSearchView()->findChild<QLabel*>()->text(), list->noSearchString());
        }
    }
}

TEST_F(TableViewControllerTest, NextAndPreviousWrapAndStepOverOneGroupRow)
{
    // Rows: 0 header, 1 a, 2 b, 3 header, 4 c.
    insert(QStringLiteral("Today"), 0, true);
    insert(QStringLiteral("a"), 1);
    insert(QStringLiteral("b"), 2);
    insert(QStringLiteral("Earlier"), 3, true);
    insert(QStringLiteral("c"), 4);
    auto list = makeList();
    installAndWait(*list);
    struct Row
    {
        int from; // -1: nothing selected
        bool next;
        int expected;
    };
    const QList<Row> rows = {
        {-1, true, 1}, {1, true, 2},  {2, true, 4},  {4, true, 1},
        {1, false, 4}, {4, false, 2}, {2, false, 1}, {-1, false, 4},
    };
    for (const Row& row : rows) {
        list->selectRow(row.from);
        if (row.next)
            list->selectNext(nullptr);
        else
            list->selectPrevious(nullptr);
        EXPECT_EQ(list->selectedRows(), QList<int>{row.expected})
            << row.from << (row.next ? " next" : " previous");
    }
}

TEST_F(TableViewControllerTest, ClicksSelectRowsButNotThroughTheirButtonsOrOnHeaders)
{
    insert(QStringLiteral("Header"), 0, true);
    insert(QStringLiteral("first"), 1);
    insert(QStringLiteral("second"), 2);
    auto list = makeList();
    ASSERT_TRUE(test::showAndExpose(list->view()));
    installAndWait(*list);
    QAbstractItemView* table = list->table();
    auto centreOf = [&](int row, int x) {
        const QRect rect = table->visualRect(list->dataProvider()->index(row));
        return QPoint(x < 0 ? rect.right() + x : x, rect.center().y());
    };
    list->selectRow(1);

    // The row's button: the selection stays.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(2, -10));
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
    // The header: never.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(0, 20));
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
    // Elsewhere in the row: selected.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(2, 20));
    EXPECT_EQ(list->selectedRows(), QList<int>{2});

    // Arrow keys step over headers and stop at the ends.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Up);
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
    QTest::keyClick(table, Qt::Key_Up);
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
}

TEST_F(TableViewControllerTest, RefreshRequestsReachOnlyInstalledLists)
{
    auto list = makeList();
    list->view();
    // Never refreshed: both views stay as built.
    NotificationCenter::defaultCenter().post(TQTableViewController::kRefreshIfInstalledNotification);
    EXPECT_TRUE(list->noItemsView()->isHidden());
    installAndWait(*list);
    EXPECT_FALSE(list->noItemsView()->isHidden());

    // Uninstalled, it stops following its rows' changes and ignores the request.
    list->viewWillUninstall();
    list->viewDidUninstall();
    insert(QStringLiteral("late"), 1);
    m_context->processPendingChanges();
    list->dataProvider()->rearrangeObjects();
    NotificationCenter::defaultCenter().post(TQTableViewController::kRefreshIfInstalledNotification);
    EXPECT_FALSE(list->noItemsView()->isHidden());
    // Shown again: one refresh.
    list->viewDidInstall();
    ASSERT_TRUE(test::waitUntil([&] { return list->noItemsView()->isHidden(); }));
}

TEST_F(TableViewControllerTest, SharingDeletingAndEditingNeedTheTableToHaveTheKeyboard)
{
    insert(QStringLiteral("one"), 1);
    auto list = makeList();
    ASSERT_TRUE(test::showAndExpose(list->view()));
    installAndWait(*list);
    QAction share(QStringLiteral("Share"));
    UserInterfaceItem::setCommand(&share, QStringLiteral("share:"));
    QAction other(QStringLiteral("Refresh"));
    UserInterfaceItem::setCommand(&other, QStringLiteral("refresh:"));

    list->table()->setFocus();
    EXPECT_TRUE(list->validateUserInterfaceItem(&share));
    list->table()->clearFocus();
    auto* elsewhere = new QWidget(list->view());
    elsewhere->setFocusPolicy(Qt::StrongFocus);
    elsewhere->setFocus();
    EXPECT_FALSE(list->validateUserInterfaceItem(&share));
    EXPECT_TRUE(list->validateUserInterfaceItem(&other));
}

} // namespace
} // namespace tavrel
