#include "RowFixture.h"
#include "TableFixture.h"
#include "controls/TQDynamicTableView.h"
#include "model/RecordListModel.h"
#include "platform/ui/Animations.h"
#include "support/ui/LoggingTest.h"
#include "support/ui/WidgetTesting.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using Range = TQTableViewDelegate::RowRange;

class DynamicTableTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(300, 240);
        table = new TQDynamicTableView(window.get());
        table->setGeometry(0, 0, 300, 240);
        model = test::rowsModel(30);
        table->setModel(model.get());
        controller.methods |= TQTableViewDelegate::ViewForRow | TQTableViewDelegate::ChangedVisibleRows;
        table->setTableDelegate(&controller);
        ASSERT_TRUE(test::showAndExpose(window.get()));
        table->viewport()->repaint();
    }
    void TearDown() override
    {
        window.reset();
        LoggingTest::TearDown();
    }
    void scrollTo(int y)
    {
        table->verticalScrollBar()->setValue(y);
        table->viewport()->repaint();
    }
    QList<int> sorted(QList<int> rows)
    {
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    Animations::FactorOverride instant{0};
    test::TableController controller;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QWidget> window;
    TQDynamicTableView* table = nullptr;
};

TEST_F(DynamicTableTest, RowWidgetsAreAskedOnceAsRowsFirstShow)
{
    // 240 high: rows 0 to 4 show.
    EXPECT_EQ(sorted(controller.viewRows), (QList<int>{0, 1, 2, 3, 4}));
    ASSERT_FALSE(controller.ranges.isEmpty());
    EXPECT_EQ(controller.ranges.last().second, (Range{0, 5}));
    EXPECT_TRUE(table->auxiliaryViews().value(2));
    EXPECT_EQ(table->auxiliaryViews().value(2)->parentWidget(), table->viewport());

    scrollTo(48 * 3);
    EXPECT_EQ(controller.ranges.last().first, (Range{0, 5}));
    EXPECT_EQ(controller.ranges.last().second, (Range{3, 5}));
    scrollTo(0);
    // Scrolling down and back asks no row twice.
    EXPECT_EQ(sorted(controller.viewRows), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(controller.ranges.last().second, (Range{0, 5}));
}

TEST_F(DynamicTableTest, ARowWithoutWidgetIsNotAskedAgainUntilItsEntryGoes)
{
    controller.rowsWithoutView = {7};
    scrollTo(48 * 3);
    scrollTo(0);
    scrollTo(48 * 3);
    EXPECT_EQ(controller.viewRows.count(7), 1);
    EXPECT_TRUE(table->auxiliaryViews().contains(7));
    EXPECT_FALSE(table->auxiliaryViews().value(7));
    // One row reloaded: only its widget is asked for again.
    controller.viewRows.clear();
    table->reloadDataForRowIndexes({4});
    table->viewport()->repaint();
    EXPECT_EQ(controller.viewRows, QList<int>{4});
}

TEST_F(DynamicTableTest, AReloadAsksForEveryVisibleRowAgain)
{
    controller.viewRows.clear();
    QPointer<QWidget> old = table->auxiliaryViews().value(1);
    table->reloadData();
    EXPECT_TRUE(table->auxiliaryViews().isEmpty());
    table->viewport()->repaint();
    EXPECT_EQ(sorted(controller.viewRows), (QList<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(controller.ranges.last().first.location, TQTableViewDelegate::kNotFound);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(old);
    // Emptying the cache alone brings nothing back until something marks the views.
    table->removeAllCachedViews();
    controller.viewRows.clear();
    table->viewport()->repaint();
    EXPECT_TRUE(controller.viewRows.isEmpty());
}

TEST_F(DynamicTableTest, ADelegateWithoutWidgetsIsOnlyToldTheRanges)
{
    controller.methods &= ~TQTableViewDelegate::ViewForRow;
    controller.viewRows.clear();
    table->reloadData();
    scrollTo(100);
    EXPECT_TRUE(controller.viewRows.isEmpty());
    EXPECT_TRUE(table->auxiliaryViews().isEmpty());
    EXPECT_FALSE(controller.ranges.isEmpty());
}

// A table of 100,000 records fetched in batches as the rows are drawn.
class LargeListTest : public test::RowFixture
{
};

TEST_F(LargeListTest, AHundredThousandRowsAskOnlyForWhatShows)
{
    Animations::FactorOverride instant{0};
    const int count = 100000;
    int fetchedRecords = 0;
    RecordListModel model;
    auto document = file(QStringLiteral("One"));
    model.setList(count, [&](int, int limit) {
        fetchedRecords += limit;
        return QList<ManagedObjectPtr>(limit, document);
    });
    test::TableController controller;
    QSet<int> askedRows;
    struct Cells : test::TableController
    {
        QSet<int>* asked = nullptr;
        RecordListModel* model = nullptr;
        Cell* tableViewDataCell(TQTableView* table, int row) override
        {
            asked->insert(row);
            model->record(row);
            return TableController::tableViewDataCell(table, row);
        }
    } cells;
    cells.asked = &askedRows;
    cells.model = &model;
    QWidget window;
    window.resize(400, 600);
    TQTableView table(&window);
    table.setGeometry(0, 0, 400, 600);
    table.setModel(&model);
    table.setTableDelegate(&cells);
    ASSERT_TRUE(test::showAndExpose(&window));
    table.viewport()->repaint();
    EXPECT_LT(askedRows.size(), 1000);
    EXPECT_LT(fetchedRecords, 1000);
    EXPECT_GT(askedRows.size(), 0);
    table.scrollTo(model.index(count / 2, 0), QAbstractItemView::PositionAtCenter);
    table.viewport()->repaint();
    EXPECT_TRUE(askedRows.contains(count / 2));
    EXPECT_LT(askedRows.size(), 1000);
    EXPECT_LT(fetchedRecords, 1000);
}

TEST_F(LargeListTest, AChangedRecordRedrawsItsRowAlone)
{
    QList<ManagedObjectPtr> records;
    for (int i = 0; i < 200; ++i)
        records.append(file(QStringLiteral("Doc %1").arg(i)));
    Error error;
    ASSERT_TRUE(moc()->ManagedObjectContext::save(&error));
    moc()->processPendingChanges();
    RecordListModel model;
    model.setContext(moc());
    model.setList(int(records.size()), [&](int offset, int limit) { return records.mid(offset, limit); });
    model.record(120);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    std::static_pointer_cast<File>(records[120])->setTitle(QStringLiteral("Renamed"));
    // Not fetched yet: nothing to redraw.
    std::static_pointer_cast<File>(records[10])->setIsStarred(true);
    moc()->processPendingChanges();
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.first().at(0).toModelIndex().row(), 120);
    EXPECT_EQ(changed.first().at(1).toModelIndex().row(), 120);
    EXPECT_EQ(model.rowOfRecord(records[120].get()), 120);
}

} // namespace
} // namespace tavrel
