#include "ControlTestSupport.h"
#include "TableFixture.h"
#include "controls/TQDraggingMatrix.h"
#include "controls/TQFlyerTableView.h"
#include "controls/TQOutlineView.h"
#include "controls/TQUISettings.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/Animations.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/Drawing.h"
#include "support/WaitUntil.h"
#include "support/ui/LoggingTest.h"
#include "support/ui/WidgetTesting.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class FlyerTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(300, 300);
        table = new TQFlyerTableView(window.get());
        table->setGeometry(0, 0, 300, 300);
        model = test::rowsModel(20);
        table->setModel(model.get());
        table->setTableDelegate(&controller);
        table->setDropDelegate(&drops);
        table->setDropTarget(TQTableView::DropOnRow);
        flyer = new QWidget;
        matrix = new TQDraggingMatrix(flyer);
        matrix->setGeometry(150, 0, 150, 48);
        matrix->setCells({std::make_shared<Cell>(QStringLiteral("edit")),
                          std::make_shared<Cell>(QStringLiteral("comment")),
                          std::make_shared<Cell>(QStringLiteral("view"))});
        matrix->setDropDelegate(&drops);
        table->setFlyer(flyer);
        files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
        ASSERT_TRUE(test::showAndExpose(window.get()));
    }
    void TearDown() override
    {
        if (flyer && !flyer->parentWidget())
            delete flyer;
        window.reset();
        LoggingTest::TearDown();
    }
    template <typename Event> Qt::DropAction send(QWidget* target, const QPoint& point, QMimeData* data)
    {
        Event event(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    }
    bool shownOver(int row) { return table->isFlyerShown() && flyer->geometry() == table->rectOfRow(row); }

    test::TableController controller;
    test::DropController drops;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QWidget> window;
    TQFlyerTableView* table = nullptr;
    QPointer<QWidget> flyer;
    TQDraggingMatrix* matrix = nullptr;
    QMimeData files;
};

TEST_F(FlyerTest, TheFlyerFollowsTheRowOnceItsFadeHasFinished)
{
    Animations::FactorOverride normal{1};
    EXPECT_EQ(send<QDragEnterEvent>(table->viewport(), {50, 60}, &files), Qt::IgnoreAction);
    EXPECT_TRUE(shownOver(1));
    EXPECT_EQ(table->dropRow(), 1);
    // To the next row: the flyer fades out and is not shown there while it fades.
    send<QDragMoveEvent>(table->viewport(), {50, 110}, &files);
    EXPECT_TRUE(shownOver(1));
    EXPECT_EQ(table->dropRow(), 2);
    ASSERT_TRUE(test::waitUntil([&] { return !table->isFlyerShown(); }));
    send<QDragMoveEvent>(table->viewport(), {50, 112}, &files);
    EXPECT_TRUE(shownOver(2));
}

TEST_F(FlyerTest, MovesOntoTheFlyerKeepItAndEverythingElseRemovesIt)
{
    Animations::FactorOverride instant{0};
    send<QDragEnterEvent>(table->viewport(), {50, 60}, &files);
    ASSERT_TRUE(shownOver(1));
    // The matrix leaving back over the drop row keeps it.
    const QPoint overRow = table->viewport()->mapTo(window.get(), QPoint(50, 70));
    NotificationCenter::defaultCenter().post(TQFlyerTableView::kTQUninstallFlyerNotification,
                                             QVariant::fromValue<QObject*>(flyer.data()),
                                             {{TQFlyerTableView::kDropLocationKey, overRow}});
    EXPECT_EQ(table->isFlyerShown(), window->isActiveWindow());
    // Leaving for another row removes it.
    send<QDragEnterEvent>(table->viewport(), {50, 60}, &files);
    const QPoint otherRow = table->viewport()->mapTo(window.get(), QPoint(50, 200));
    NotificationCenter::defaultCenter().post(TQFlyerTableView::kTQUninstallFlyerNotification,
                                             QVariant::fromValue<QObject*>(flyer.data()),
                                             {{TQFlyerTableView::kDropLocationKey, otherRow}});
    EXPECT_FALSE(table->isFlyerShown());
    // The application going inactive removes it.
    send<QDragEnterEvent>(table->viewport(), {50, 60}, &files);
    ASSERT_TRUE(table->isFlyerShown());
    emit qApp->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(table->isFlyerShown());
    // A drop on the table itself does nothing.
    send<QDragEnterEvent>(table->viewport(), {50, 60}, &files);
    send<QDropEvent>(table->viewport(), {50, 60}, &files);
    EXPECT_FALSE(table->isFlyerShown());
}

TEST_F(FlyerTest, ADropOnTheMatrixSelectsItsCellFirst)
{
    Animations::FactorOverride instant{0};
    send<QDragEnterEvent>(table->viewport(), {50, 60}, &files);
    int uninstalls = 0;
    NotificationCenter::defaultCenter().addObserver(window.get(),
                                                    TQFlyerTableView::kTQUninstallFlyerNotification,
                                                    QVariant(), [&](const Notification&) { ++uninstalls; });
    EXPECT_EQ(send<QDragEnterEvent>(matrix, {60, 20}, &files), Qt::CopyAction);
    EXPECT_TRUE(matrix->cells()[1]->isHighlighted());
    EXPECT_EQ(send<QDropEvent>(matrix, {60, 20}, &files), Qt::CopyAction);
    EXPECT_EQ(matrix->selectedColumn(), 1);
    EXPECT_EQ(drops.processed, 1);
    EXPECT_FALSE(matrix->cells()[1]->isHighlighted());
    EXPECT_EQ(uninstalls, 1);
    EXPECT_FALSE(table->isFlyerShown());
    NotificationCenter::defaultCenter().removeObserver(window.get());
}

TEST_F(FlyerTest, EscapeOverTheMatrixPostsTheRemovalAndTheCancel)
{
    Animations::FactorOverride instant{0};
    int uninstalls = 0;
    int cancels = 0;
    NotificationCenter::defaultCenter().addObserver(window.get(),
                                                    TQFlyerTableView::kTQUninstallFlyerNotification,
                                                    QVariant(), [&](const Notification&) { ++uninstalls; });
    NotificationCenter::defaultCenter().addObserver(window.get(), DragBus::kDragDidCancelNotification,
                                                    QVariant(), [&](const Notification&) { ++cancels; });
    send<QDragEnterEvent>(matrix, {60, 20}, &files);
    QTest::keyPress(window.get(), Qt::Key_Escape);
    ASSERT_TRUE(CurrentEvent::isCancel());
    QDragLeaveEvent leave;
    QApplication::sendEvent(matrix, &leave);
    EXPECT_EQ(uninstalls, 1);
    EXPECT_EQ(cancels, 1);
    NotificationCenter::defaultCenter().removeObserver(window.get());
}

// Remembers whether it drew each title as selected.
class RecordingCell : public TQContactTableCell
{
public:
    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override
    {
        selectedByTitle[title()] = isSelected();
        TQContactTableCell::paint(painter, frame, host);
    }
    QMap<QString, bool> selectedByTitle;
};

class OutlineTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(300, 400);
        outline = new TQOutlineView(window.get());
        outline->setGeometry(0, 0, 300, 400);
        // A group, two collections, the second with two children.
        auto* group = new QStandardItem(QStringLiteral("Mine"));
        auto* work = new QStandardItem(QStringLiteral("Work"));
        auto* home = new QStandardItem(QStringLiteral("Home"));
        home->appendRow(new QStandardItem(QStringLiteral("Bills")));
        home->appendRow(new QStandardItem(QStringLiteral("Trips")));
        model.appendRow(group);
        model.appendRow(work);
        model.appendRow(home);
        outline->setModel(&model);
        outline->setGroupTest(
            [](const QModelIndex& index) { return index.data().toString() == QStringLiteral("Mine"); });
        outline->setCellProvider([this](const QModelIndex& index) -> Cell* {
            if (index.data().toString() == QStringLiteral("Mine")) {
                header.setTitle(index.data().toString());
                return &header;
            }
            cell.setTitle(index.data().toString());
            return &cell;
        });
        ASSERT_TRUE(test::showAndExpose(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        LoggingTest::TearDown();
    }
    QImage picture() { return outline->viewport()->grab().toImage(); }

    QStandardItemModel model;
    TQTitledGroupTableCell header;
    RecordingCell cell;
    std::unique_ptr<QWidget> window;
    TQOutlineView* outline = nullptr;
};

TEST_F(OutlineTest, ExpansionHoverAndGroupClicks)
{
    EXPECT_EQ(outline->numberOfRows(), 3);
    outline->expand(model.index(2, 0));
    EXPECT_EQ(outline->numberOfRows(), 5);
    EXPECT_EQ(outline->itemAtRow(3).data().toString(), QStringLiteral("Bills"));
    outline->collapse(model.index(2, 0));
    EXPECT_EQ(outline->numberOfRows(), 3);

    const QRect work = outline->rectOfRow(1);
    test::moveMouse(outline->viewport(), work.center());
    EXPECT_EQ(outline->trackedRow(), 1);
    // Onto the group row: the hovered row stays.
    test::moveMouse(outline->viewport(), outline->rectOfRow(0).center());
    EXPECT_EQ(outline->trackedRow(), 1);
    test::moveMouse(outline->viewport(), QPoint(100, 390));
    EXPECT_EQ(outline->trackedRow(), -1);
    // A click on the group row selects nothing.
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, outline->rectOfRow(0).center());
    EXPECT_TRUE(outline->selectionModel()->selectedIndexes().isEmpty());
}

TEST_F(OutlineTest, TheLastRowCastsABandAndCellsOfSelectedRowsShowSelected)
{
    const QRect last = outline->rectOfRow(2);
    const QImage image = picture();
    const QColor band = image.pixelColor(150, last.bottom() + 2);
    EXPECT_FALSE(test::sameColor(band, Drawing::grey(0.98828125)));
    outline->selectionModel()->select(model.index(1, 0), QItemSelectionModel::ClearAndSelect);
    outline->clearFocus();
    picture();
    // Unfocused: no image, but the row's cell drew as selected.
    EXPECT_TRUE(cell.selectedByTitle.value(QStringLiteral("Work")));
    EXPECT_FALSE(cell.selectedByTitle.value(QStringLiteral("Home")));
    EXPECT_TRUE(test::sameColor(picture().pixelColor(230, outline->rectOfRow(1).top() + 3),
                                Drawing::grey(0.98828125)));
}

} // namespace
} // namespace tavrel
