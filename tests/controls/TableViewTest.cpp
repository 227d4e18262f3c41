#include "ControlTestSupport.h"
#include "TableFixture.h"
#include "controls/TQAnimatingBar.h"
#include "controls/TQUISettings.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/Animations.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/DragBus.h"
#include "support/WaitUntil.h"
#include "support/ui/LoggingTest.h"
#include "support/ui/WidgetTesting.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class TableViewTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(300, 300);
        table = new TQTableView(window.get());
        table->setGeometry(0, 0, 300, 300);
        model = test::rowsModel(40);
        table->setModel(model.get());
        table->setTableDelegate(&controller);
        ASSERT_TRUE(test::showAndExpose(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        LoggingTest::TearDown();
    }
    void sectioned(const QSet<int>& groups)
    {
        controller.groupRows = groups;
        table->noteHeightOfRows(QList<int>(groups.begin(), groups.end()));
    }
    QImage picture() { return table->viewport()->grab().toImage(); }
    QColor pixel(int x, int y)
    {
        const QImage image = picture();
        return image.pixelColor(QPoint(x, y) * image.devicePixelRatio());
    }
    void focus()
    {
        window->activateWindow();
        table->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(test::waitUntil([&] { return table->hasFocus(); }));
    }

    Animations::FactorOverride instant{0};
    test::TableController controller;
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QWidget> window;
    TQTableView* table = nullptr;
};

TEST_F(TableViewTest, HoverSkipsGroupRowsAndTheHeaderStrip)
{
    sectioned({0, 5});
    // Row 0 is a 23-point header, rows 1 to 4 are 48 high from y 23.
    const struct
    {
        const char* where;
        QPoint point;
        int row;
    } cases[] = {
        {"a row", {100, 23 + 48 + 10}, 2},           {"the header strip over a row", {100, 23}, -1},
        {"a row again", {100, 23 + 48 * 3 + 10}, 4}, {"a group row", {100, 23 + 48 * 4 + 10}, -1},
        {"below the strip", {100, 30}, 1},
    };
    for (const auto& c : cases) {
        test::moveMouse(table->viewport(), c.point);
        EXPECT_EQ(table->trackedRow(), c.row) << c.where;
    }
    test::leaveWidget(table->viewport());
    EXPECT_EQ(table->trackedRow(), -1);
}

TEST_F(TableViewTest, HoverSelectionAndGridPixels)
{
    const QColor background = TQUISettings::rowBackgroundColor();
    const QColor grid = TQUISettings::gridBackgroundColor();
    // (230, 3) of a row is empty in a contact cell; a row's last point row is its grid line.
    EXPECT_TRUE(test::sameColor(pixel(230, 48 + 3), background));
    EXPECT_TRUE(test::sameColor(pixel(230, 47), grid));
    test::moveMouse(table->viewport(), QPoint(100, 48 + 20));
    EXPECT_TRUE(test::sameColor(pixel(230, 48 + 3), Qt::white));

    table->selectRowIndexes({2}, false);
    // Without focus the selection stays visible, in grey.
    table->clearFocus();
    EXPECT_TRUE(test::sameColor(pixel(230, 96 + 3), TQUISettings::selectedGridBackgroundColor()));
    EXPECT_TRUE(test::sameColor(pixel(230, 96 + 47), grid));
    // With focus, in a light tint of the palette's highlight (blue in the default palette).
    focus();
    const QColor selected = pixel(230, 96 + 3);
    EXPECT_FALSE(test::sameColor(selected, background));
    EXPECT_GT(selected.blue() - selected.red(), 30) << selected.name().toStdString();
    // The lines above and below a selected row.
    EXPECT_TRUE(test::sameColor(pixel(230, 96 - 1), TQUISettings::selectedGridBackgroundColor()));
    EXPECT_TRUE(test::sameColor(pixel(230, 96 + 47), TQUISettings::selectedGridBackgroundColor()));
    EXPECT_TRUE(test::sameColor(pixel(230, 48 - 1), grid));
    table->setShouldHighlightSelection(false);
    EXPECT_TRUE(test::sameColor(pixel(230, 96 + 3), background));
}

TEST_F(TableViewTest, TheFloatingHeaderStaysUntilTheNextOnePushesItUp)
{
    sectioned({0, 4, 8});
    const QColor line = QColor::fromRgbF(0.73046875f, 0.73046875f, 0.73046875f);
    // Scrolled into the first section's rows: its header is drawn at the top, its line at y 22.
    table->verticalScrollBar()->setValue(60);
    EXPECT_TRUE(test::sameColor(pixel(250, 22), line));
    EXPECT_TRUE(test::sameColor(pixel(250, 22 + 3), Qt::white) == false);
    // The second header (at 23 + 3 * 48 = 167) coming up to y 10 pushes the first one up with it.
    table->verticalScrollBar()->setValue(167 - 10);
    const QImage image = picture();
    EXPECT_TRUE(test::sameColor(image.pixelColor(250, 10 + 22), line));
    EXPECT_TRUE(test::sameColor(image.pixelColor(250, 9), line));
}

TEST_F(TableViewTest, SelectingARowAboveTheTopOfASectionedListShowsItUnderTheHeader)
{
    sectioned({0, 10});
    table->verticalScrollBar()->setValue(300);
    table->selectRowIndexes({3}, false);
    EXPECT_EQ(table->rectOfRow(3).top(), TQTableView::kGroupHeaderHeight);
}

TEST_F(TableViewTest, KeyActions)
{
    focus();
    const struct
    {
        const char* what;
        quint32 methods;
        int key;
        Qt::KeyboardModifiers modifiers;
        QStringList actions;
    } cases[] = {
        {"space",
         TQTableViewDelegate::ActivateQuickLook,
         Qt::Key_Space,
         {},
         {QStringLiteral("activateQuickLook:")}},
        {"space without quick look", 0, Qt::Key_Space, {}, {}},
        {"control-o", TQTableViewDelegate::Open, Qt::Key_O, Qt::ControlModifier, {QStringLiteral("open:")}},
        {"shift-control-o",
         TQTableViewDelegate::Open,
         Qt::Key_O,
         Qt::ControlModifier | Qt::ShiftModifier,
         {}},
        {"o alone", TQTableViewDelegate::Open, Qt::Key_O, {}, {}},
        {"delete", TQTableViewDelegate::DeleteEntity, Qt::Key_Delete, {}, {QStringLiteral("deleteEntity:")}},
        {"backspace",
         TQTableViewDelegate::DeleteEntity,
         Qt::Key_Backspace,
         {},
         {QStringLiteral("deleteEntity:")}},
    };
    for (const auto& c : cases) {
        controller.actions.clear();
        controller.methods = TQTableViewDelegate::DataCell | c.methods;
        QTest::keyClick(table, Qt::Key(c.key), c.modifiers);
        EXPECT_EQ(controller.actions, c.actions) << c.what;
    }
}

TEST_F(TableViewTest, RenameEndsWithReturnOrIsCancelledByEscape)
{
    focus();
    table->editRow(2);
    ASSERT_TRUE(table->isEditing());
    EXPECT_TRUE(controller.cell.showsEditor());
    QLineEdit* editor = table->editor();
    EXPECT_EQ(editor->text(), QStringLiteral("Row 2"));
    editor->setText(QStringLiteral("Renamed"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_FALSE(table->isEditing());
    ASSERT_EQ(controller.renamed.size(), 1);
    EXPECT_EQ(controller.renamed.first().second, QStringLiteral("Renamed"));
    EXPECT_FALSE(controller.cell.showsEditor());

    table->editRow(3);
    table->editor()->setText(QStringLiteral("Nope"));
    QTest::keyClick(table->editor(), Qt::Key_Escape);
    EXPECT_FALSE(table->isEditing());
    EXPECT_EQ(controller.renamed.size(), 1);
    EXPECT_FALSE(controller.cell.showsEditor());
}

TEST_F(TableViewTest, TheContextMenuSelectsTheClickedRowUnlessItIsSelected)
{
    QMenu menu;
    controller.cell.setMenu(&menu);
    sectioned({0});
    table->selectRowIndexes({2, 3}, false);
    EXPECT_EQ(table->menuForRow(3), &menu);
    EXPECT_EQ(controller.menuRows, (QList<int>{2, 3}));
    EXPECT_EQ(table->menuForRow(5), &menu);
    EXPECT_EQ(controller.menuRows, (QList<int>{5}));
    EXPECT_EQ(table->lastClickedRow(), 5);
    EXPECT_EQ(table->menuForRow(0), nullptr);
    EXPECT_FALSE(table->canDragRows({4, 0}));
    EXPECT_TRUE(table->canDragRows({4, 5}));
}

class DropTest : public TableViewTest
{
protected:
    void SetUp() override
    {
        TableViewTest::SetUp();
        table->setDropDelegate(&drops);
        NotificationCenter::defaultCenter().addObserver(window.get(), DragBus::kDragAreaHighlightNotification,
                                                        QVariant(),
                                                        [this](const Notification&) { ++highlights; });
        NotificationCenter::defaultCenter().addObserver(window.get(), DragBus::kDragAreaCleanNotification,
                                                        QVariant(),
                                                        [this](const Notification&) { ++cleans; });
        NotificationCenter::defaultCenter().addObserver(window.get(), DragBus::kDragDidCancelNotification,
                                                        QVariant(),
                                                        [this](const Notification&) { ++cancels; });
    }
    void TearDown() override
    {
        NotificationCenter::defaultCenter().removeObserver(window.get());
        TableViewTest::TearDown();
    }
    Qt::DropAction enter(const QPoint& point, QMimeData* data)
    {
        QDragEnterEvent event(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table->viewport(), &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    }
    Qt::DropAction move(const QPoint& point, QMimeData* data)
    {
        QDragMoveEvent event(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table->viewport(), &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    }
    bool drop(const QPoint& point, QMimeData* data)
    {
        QDropEvent event(point, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(table->viewport(), &event);
        return event.isAccepted();
    }
    void leave()
    {
        QDragLeaveEvent event;
        QApplication::sendEvent(table->viewport(), &event);
    }

    test::DropController drops;
    int highlights = 0;
    int cleans = 0;
    int cancels = 0;
};

TEST_F(DropTest, FramesByDropTarget)
{
    const QColor blue = QColor::fromRgbF(0.70703125f, 0.83203125f, 1.0f);
    QMimeData files;
    DragBus::setFileURLs(&files, {QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    const struct
    {
        int target;
        bool rowFramed;
        bool tableFramed;
    } cases[] = {
        {TQTableView::DropOnRow, true, false}, {TQTableView::DropOnTable, false, true}, {-1, false, false}};
    for (const auto& c : cases) {
        table->setDropTarget(c.target);
        highlights = 0;
        EXPECT_EQ(enter({100, 60}, &files), Qt::CopyAction);
        EXPECT_TRUE(table->hasDraggingProgress());
        const QImage image = picture();
        // Row 1 spans 48 to 95: its frame's left edge; the table's frame at the very top.
        EXPECT_EQ(test::sameColor(image.pixelColor(1, 70), blue), c.rowFramed || c.tableFramed) << c.target;
        EXPECT_EQ(test::sameColor(image.pixelColor(150, 1), blue), c.tableFramed) << c.target;
        EXPECT_EQ(highlights > 0, c.rowFramed || c.tableFramed) << c.target;
        EXPECT_GT(cleans, 0);
        leave();
        EXPECT_FALSE(table->hasDraggingProgress());
    }
    // The row frame follows the drag.
    table->setDropTarget(TQTableView::DropOnRow);
    enter({100, 60}, &files);
    move({100, 200}, &files);
    const QImage image = picture();
    EXPECT_TRUE(test::sameColor(image.pixelColor(1, 210), blue));
    EXPECT_FALSE(test::sameColor(image.pixelColor(1, 70), blue));
}

TEST_F(DropTest, OperationsRefusalsAndDrops)
{
    QMimeData files;
    DragBus::setFileURLs(&files, {QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt"))});
    QMimeData ours;
    DragBus::setFileItems(&ours, {QStringLiteral("doc1")});
    EXPECT_EQ(enter({100, 60}, &files), Qt::CopyAction);
    EXPECT_EQ(move({100, 60}, &ours), Qt::MoveAction);
    drops.accept = false;
    // A later refusal leaves the frame on.
    EXPECT_EQ(move({100, 60}, &ours), Qt::IgnoreAction);
    EXPECT_TRUE(table->hasDraggingProgress());
    drops.accept = true;
    drops.validate = false;
    EXPECT_FALSE(drop({100, 60}, &ours));
    EXPECT_EQ(drops.processed, 0);
    EXPECT_FALSE(table->hasDraggingProgress());
    drops.validate = true;
    enter({100, 60}, &ours);
    EXPECT_TRUE(drop({100, 60}, &ours));
    EXPECT_EQ(drops.processed, 1);
    EXPECT_FALSE(table->hasDraggingProgress());
    // A table without a drop delegate refuses every drag.
    table->setDropDelegate(nullptr);
    EXPECT_EQ(enter({100, 60}, &ours), Qt::IgnoreAction);
}

TEST_F(DropTest, OnlyADragLeftWithEscapeAnnouncesTheCancel)
{
    QMimeData ours;
    DragBus::setFileItems(&ours, {QStringLiteral("doc1")});
    CurrentEvent::reset();
    enter({100, 60}, &ours);
    leave();
    EXPECT_EQ(cancels, 0);
    enter({100, 60}, &ours);
    QTest::keyPress(window.get(), Qt::Key_Escape);
    leave();
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(table->hasDraggingProgress());
}

TEST_F(TableViewTest, TheOverlayFansOutAndGoesWithTheHover)
{
    test::moveMouse(table->viewport(), QPoint(100, 60));
    ASSERT_EQ(table->trackedRow(), 1);
    auto* bar = new TQAnimatingBar;
    bar->setGeometry(100, 48, 200, 48);
    QList<QWidget*> buttons;
    for (int i = 0; i < 3; ++i) {
        auto* button = new QWidget(bar);
        button->setGeometry(160, 8, 30, 30);
        buttons.append(button);
    }
    table->setShouldHighlightSelection(false);
    table->installOverlay(bar);
    bar->layoutSubviews();
    EXPECT_EQ(buttons[0]->x(), 160 - 72);
    EXPECT_EQ(buttons[1]->x(), 160 - 36);
    EXPECT_EQ(buttons[2]->x(), 160);
    EXPECT_EQ(table->overlayRow(), 1);
    // Onto the bar: the row stays hovered and the bar shown.
    test::moveMouse(table->viewport(), QPoint(150, 70));
    EXPECT_EQ(table->trackedRow(), 1);
    EXPECT_TRUE(table->installedOverlay());
    // A click on another row only takes the overlay away.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, QPoint(50, 150));
    EXPECT_FALSE(table->installedOverlay());
    EXPECT_TRUE(table->selectionModel()->selectedRows().isEmpty());
    // The buttons fold onto the last one and the bar leaves on the next turn.
    EXPECT_EQ(buttons[0]->x(), 160);
    QPointer<TQAnimatingBar> guard = bar;
    ASSERT_TRUE(test::waitUntil([&] { return !guard || !guard->parentWidget(); }));
    EXPECT_TRUE(table->shouldHighlightSelection());
}

TEST_F(TableViewTest, ABarOfOneButtonOnlyFades)
{
    auto* bar = new TQAnimatingBar;
    bar->setGeometry(100, 0, 200, 48);
    auto* button = new QWidget(bar);
    button->setGeometry(160, 8, 30, 30);
    table->installOverlay(bar);
    bar->layoutSubviews();
    EXPECT_EQ(button->x(), 160);
    table->uninstallOverlay();
    EXPECT_EQ(button->x(), 160);
    // Taken out before the removal step: nothing is removed twice.
    bar->setParent(nullptr);
    test::letTimePass(20);
    delete bar;
}

} // namespace
} // namespace tavrel
