#include "ControlTestSupport.h"
#include "controls/BasicPopUpButton.h"
#include "controls/TQHoveredPopupButton.h"
#include "controls/TQHoveredPopupHolder.h"
#include "controls/TQInvertableMenuItem.h"
#include "controls/TQInvertedPopupCell.h"
#include "controls/TQNormalPulldownCell.h"
#include "controls/TQPopUpButtonCell.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

// A menu whose items carry registered one-colour images.
QAction* addItem(QMenu& menu, const QString& title, const QString& image = QString())
{
    QAction* item = menu.addAction(title);
    if (!image.isEmpty())
        item->setIcon(ImageRegistry::icon(image));
    return item;
}

TEST(InvertedPopupCell, ShowsTheWhiteVariantOfTheItemsImageWhenThereIsOne)
{
    test::registerSolid(QStringLiteral("test-item"), Qt::red, QSize(12, 12));
    test::registerSolid(QStringLiteral("test-item-plain"), Qt::green, QSize(12, 12));
    test::registerSolid(QStringLiteral("test-item_white"), Qt::blue, QSize(12, 12));
    QMenu menu;
    addItem(menu, QStringLiteral("Anyone with the link"), QStringLiteral("test-item"));
    addItem(menu, QStringLiteral("Public on the web"), QStringLiteral("test-item-plain"));
    TQInvertedPopupCell cell;
    cell.setMenu(&menu);
    // The icon 8 points in, centred down the frame and one point up.
    EXPECT_EQ(test::renderCell(cell, QSize(200, 22)).pixelColor(14, 10), QColor(Qt::blue));
    cell.selectItemAtIndex(1);
    EXPECT_EQ(test::renderCell(cell, QSize(200, 22)).pixelColor(14, 10), QColor(Qt::green));
}

TEST(InvertedPopupCell, AHoveredButPressedPopupShowsItsRegularBackground)
{
    TQInvertedPopupCell cell;
    cell.setRegularBackground(test::registerSolid(QStringLiteral("test-dark"), Qt::darkGray, QSize(4, 4)));
    cell.setHoverBackground(test::registerSolid(QStringLiteral("test-dark-hover"), Qt::gray, QSize(4, 4)));
    const auto background = [&] { return test::renderCell(cell, QSize(200, 22)).pixelColor(2, 2); };
    EXPECT_EQ(background(), QColor(Qt::darkGray));
    cell.setHovered(true);
    EXPECT_EQ(background(), QColor(Qt::gray));
    cell.setHighlighted(true);
    EXPECT_EQ(background(), QColor(Qt::darkGray));
}

class Validator : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item)
    {
        return item->objectName() != QLatin1String("no");
    }
};

TEST(NormalPulldownCell, OpeningTheMenuEnablesEachItemAfterTheFirstByItsTarget)
{
    Validator validator;
    QObject silent;
    QMenu menu;
    QAction* titleItem = addItem(menu, QStringLiteral("Can edit"));
    titleItem->setEnabled(false);
    const auto item = [&](const char* name, QObject* target) {
        QAction* action = addItem(menu, QString::fromLatin1(name));
        action->setObjectName(QString::fromLatin1(name));
        UserInterfaceItem::setTarget(action, target);
        return action;
    };
    QAction* yes = item("yes", &validator);
    QAction* no = item("no", &validator);
    QAction* untargeted = item("untargeted", nullptr);
    QAction* unanswered = item("unanswered", &silent);
    no->setEnabled(true);

    auto cell = std::make_shared<TQNormalPulldownCell>();
    cell->setMenu(&menu);
    QWidget window;
    auto* button = new BasicPopUpButton(cell, &window);
    button->setGeometry(10, 10, 120, 24);
    ASSERT_TRUE(test::showAndExpose(&window));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(20, 12));
    ASSERT_TRUE(test::waitUntil([&] { return menu.isVisible(); }));
    EXPECT_FALSE(titleItem->isEnabled());
    EXPECT_TRUE(yes->isEnabled());
    EXPECT_FALSE(no->isEnabled());
    EXPECT_FALSE(untargeted->isEnabled());
    EXPECT_FALSE(unanswered->isEnabled());
    EXPECT_TRUE(cell->isHighlighted());
    // A pull-down opens under the button.
    EXPECT_EQ(menu.pos(), button->mapToGlobal(QPoint(0, 24)));
    menu.hide();
    EXPECT_FALSE(cell->isHighlighted());
}

TEST(PopUpButtonCell, AFixedTitleStaysWhateverIsChosenAndLeavesTheImageOut)
{
    test::registerSolid(QStringLiteral("test-sort"), Qt::red, QSize(12, 12));
    QMenu menu;
    addItem(menu, QStringLiteral("Name"), QStringLiteral("test-sort"));
    addItem(menu, QStringLiteral("Size"), QStringLiteral("test-sort"));
    TQPopUpButtonCell cell;
    cell.setMenu(&menu);
    EXPECT_EQ(test::renderCell(cell, QSize(120, 24)).pixelColor(5, 9), QColor(Qt::red));
    cell.setFixedTitle(QStringLiteral("Sort"));
    cell.selectItemAtIndex(1);
    EXPECT_EQ(test::renderCell(cell, QSize(120, 24)).pixelColor(5, 9).alpha(), 0);
    EXPECT_EQ(cell.titleOfSelectedItem(), QStringLiteral("Size"));
}

TEST(PopUpButton, ChoosingAnItemSelectsItAndSendsTheAction)
{
    QWidget window;
    QMenu menu;
    addItem(menu, QStringLiteral("Can view"));
    QAction* edit = addItem(menu, QStringLiteral("Can edit"));
    auto* button = new BasicPopUpButton(&window);
    button->setMenu(&menu);
    int actions = 0;
    button->cell()->setAction([&](Cell&) { ++actions; });
    button->setGeometry(10, 10, 120, 24);
    ASSERT_TRUE(test::showAndExpose(&window));
    EXPECT_EQ(button->popUpCell()->titleOfSelectedItem(), QStringLiteral("Can view"));
    button->popUpMenu();
    ASSERT_TRUE(test::waitUntil([&] { return menu.isVisible(); }));
    edit->trigger();
    menu.hide();
    EXPECT_EQ(button->indexOfSelectedItem(), 1);
    EXPECT_EQ(actions, 1);
    button->setEnabled(false);
    button->popUpMenu();
    EXPECT_FALSE(menu.isVisible());
}

TEST(HoveredPopupButton, DrawsItsCellInABand22PointsHighAndFollowsTheMouseWhileEnabled)
{
    QWidget window;
    QMenu menu;
    addItem(menu, QStringLiteral("Anyone with the link"));
    auto* button = new TQHoveredPopupButton(&window);
    button->setMenu(&menu);
    button->setGeometry(0, 0, 160, 30);
    ASSERT_TRUE(test::showAndExpose(&window));
    EXPECT_EQ(button->cellFrame(), QRectF(0, 4, 160, 22));
    auto* cell = button->cellAs<TQInvertedPopupCell>();
    ASSERT_NE(cell, nullptr);
    test::enterWidget(button, QPoint(10, 10));
    EXPECT_TRUE(button->hovered());
    button->repaint();
    EXPECT_TRUE(cell->hovered());
    test::leaveWidget(button);
    button->setEnabled(false);
    test::enterWidget(button, QPoint(10, 10));
    EXPECT_FALSE(button->hovered());
}

TEST(HoveredPopupHolder, OpensThePopupsMenuAndStaysHighlightedWhileItIsOpen)
{
    QWidget window;
    QMenu firstMenu;
    QMenu secondMenu;
    addItem(firstMenu, QStringLiteral("Can edit"));
    addItem(secondMenu, QStringLiteral("Can view"));
    auto* first = new BasicPopUpButton(&window);
    first->setMenu(&firstMenu);
    auto* second = new BasicPopUpButton(&window);
    second->setMenu(&secondMenu);
    auto* holder = new TQHoveredPopupHolder(&window);
    holder->setGeometry(10, 10, 120, 24);
    holder->setPopup(first);
    ASSERT_TRUE(test::showAndExpose(&window));
    TQHoveredBackgroundButtonCell* cell = holder->hoverCell();
    EXPECT_EQ(ImageRegistry::nameOf(cell->regularBackground()), QStringLiteral("permission_bg_regular"));
    EXPECT_EQ(ImageRegistry::nameOf(cell->hoverBackground()), QStringLiteral("permission_bg_hover"));

    test::enterWidget(holder, QPoint(5, 5));
    EXPECT_TRUE(cell->hovered());
    QTest::mouseClick(holder, Qt::LeftButton, {}, QPoint(20, 12));
    ASSERT_TRUE(test::waitUntil([&] { return firstMenu.isVisible(); }));
    EXPECT_TRUE(cell->isHighlighted());
    firstMenu.hide();
    EXPECT_FALSE(cell->isHighlighted());

    // Replaced: only the new pop-up's menu counts.
    holder->setPopup(second);
    firstMenu.popup(QPoint(0, 0));
    EXPECT_FALSE(cell->isHighlighted());
    firstMenu.hide();
    secondMenu.popup(QPoint(0, 0));
    EXPECT_TRUE(cell->isHighlighted());
    secondMenu.hide();

    test::leaveWidget(holder);
    holder->setEnabled(false);
    test::enterWidget(holder, QPoint(5, 5));
    EXPECT_FALSE(cell->hovered());
}

TEST(InvertableMenuItem, ShowsTheWhiteVariantWhileHighlightedWhenThereIsOne)
{
    TQInvertableMenuItem item(QStringLiteral("Can edit"), nullptr);
    item.setImageName(QStringLiteral("icon-edit-regular"));
    item.setPreparingHighlight(true);
    EXPECT_EQ(item.imageName(), QStringLiteral("icon-edit-regular-white"));
    item.setPreparingHighlight(true);
    EXPECT_EQ(item.imageName(), QStringLiteral("icon-edit-regular-white"));
    item.setPreparingHighlight(false);
    EXPECT_EQ(item.imageName(), QStringLiteral("icon-edit-regular"));

    TQInvertableMenuItem owner(QStringLiteral("Owner"), nullptr);
    owner.setImageName(QStringLiteral("icon-owner-regular"));
    owner.setPreparingHighlight(true);
    EXPECT_EQ(owner.imageName(), QStringLiteral("icon-owner-regular"));

    TQInvertableMenuItem plain(QStringLiteral("Rename"), nullptr);
    plain.setPreparingHighlight(true);
    EXPECT_TRUE(plain.icon().isNull());
}

} // namespace
} // namespace tavrel

#include "PopupCellTest.moc"
