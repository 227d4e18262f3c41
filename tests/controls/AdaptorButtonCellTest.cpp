#include "ControlTestSupport.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQTrackingButton.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"
#include "support/WaitUntil.h"
#include "support/ui/LoggingTest.h"
#include "support/ui/WidgetTesting.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

QString nameOf(const QPixmap& pixmap)
{
    return ImageRegistry::nameOf(pixmap);
}

TEST(AdaptorButtonCell, ARoleCodeGivesItsIconsAndTooltip)
{
    struct Case
    {
        int role;
        const char* image;
        const char* pressed;
        const char* tooltipKey;
    };
    const std::vector<Case> cases{
        {-1, "icon-comment-regular", "icon-comment-active", "CanComment"},
        {0, "icon-edit-regular", "icon-edit-active", "CanEdit"},
        {1, "icon-viewer-regular", "icon-viewer-active", "CanView"},
        {2, "icon-owner-regular", "icon-owner-active", "SortOwner"},
        {3, "", "", ""},
    };
    for (const Case& c : cases) {
        const auto cell = TQHoverdAdaptorButtonCell::permissionCellWithRole(c.role);
        EXPECT_EQ(nameOf(cell->image()), QLatin1String(c.image)) << c.role;
        EXPECT_EQ(nameOf(cell->regularImage()), QLatin1String(c.image)) << c.role;
        EXPECT_EQ(nameOf(cell->hoverImage()), QLatin1String(c.image)) << c.role;
        EXPECT_EQ(nameOf(cell->alternateImage()), QLatin1String(c.pressed)) << c.role;
        EXPECT_EQ(cell->tooltip(), *c.tooltipKey ? StringTable::text(QLatin1String(c.tooltipKey)) : QString())
            << c.role;
        EXPECT_TRUE(cell->hasLink()) << c.role;
        EXPECT_EQ(cell->buttonType(), BasicButtonCell::MomentaryChangeButton);
        EXPECT_EQ(cell->imagePosition(), BasicButtonCell::ImageOnly);
    }
}

TEST(AdaptorButtonCell, AGeneralAccessGivesItsLinkModeIconsAndTooltip)
{
    struct Case
    {
        const char* type;
        QVariant hasLink;
        const char* image;
        const char* pressed;
        const char* tooltipKey;
    };
    const std::vector<Case> cases{
        {"default", true, "icon_link_regular", "icon_link_active", "AnyoneWithLink"},
        {"default", false, "icon_public_regular", "icon_public_active", "PublicOnWeb"},
        {"default", QVariant(), "icon_public_regular", "icon_public_active", "PublicOnWeb"},
        {"domain", 1, "icon_domain_link_regular", "icon_domain_link_active", "DomainWithLink"},
        {"domain", 0, "icon_domain_regular", "icon_domain_active", "AnyoneOnDomain"},
    };
    for (const Case& c : cases) {
        GeneralACLPermissionAdapter access(QStringLiteral("ana@example.org"));
        access.setType(QLatin1String(c.type));
        access.setHasLink(c.hasLink);
        const auto cell = TQHoverdAdaptorButtonCell::linkCellWithPermission(access);
        EXPECT_EQ(nameOf(cell->image()), QLatin1String(c.image)) << c.type;
        EXPECT_EQ(nameOf(cell->alternateImage()), QLatin1String(c.pressed)) << c.type;
        EXPECT_EQ(cell->tooltip(), StringTable::text(QLatin1String(c.tooltipKey))) << c.type;
        EXPECT_TRUE(cell->hasLink());
    }
}

// Rows of role buttons in a window, with the popovers registered.
class AdaptorPopoverTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(300, 200);
        for (int row = 0; row < 2; ++row) {
            auto cell = TQHoverdAdaptorButtonCell::permissionCellWithRole(0);
            cell->setRepresentedObject(QStringLiteral("person %1").arg(row));
            cell->setAccompanyObject(QStringLiteral("document %1").arg(row));
            cell->setAction(TQHoverdAdaptorButtonCell::showQuickDialogAction());
            auto* button = new TQTrackingButton(cell, window.get());
            button->setGeometry(100, 20 + row * 40, 20, 20);
            buttons.append(button);
        }
        auto link = TQHoverdAdaptorButtonCell::linkCellWithPermission(access);
        link->setRepresentedObject(QStringLiteral("document 0"));
        link->setAction(TQHoverdAdaptorButtonCell::showLinkDialogAction());
        linkButton = new TQTrackingButton(link, window.get());
        linkButton->setGeometry(140, 20, 20, 20);
        ASSERT_TRUE(test::showAndExpose(window.get()));
        window->repaint();
    }
    void TearDown() override
    {
        window.reset();
        LoggingTest::TearDown();
    }
    TQHoverdAdaptorButtonCell* cellOf(QWidget* button)
    {
        return static_cast<CellButton*>(button)->cellAs<TQHoverdAdaptorButtonCell>();
    }
    // A click on a button; an open popover closes first, as a click outside a popover does.
    void click(QWidget* button)
    {
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
        popovers.permission.closeWindow();
        popovers.link.closeWindow();
        QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    }

    test::RegisteredPopovers popovers;
    GeneralACLPermissionAdapter access{QStringLiteral("ana@example.org")};
    std::unique_ptr<QWidget> window;
    QList<QWidget*> buttons;
    TQTrackingButton* linkButton = nullptr;
};

TEST_F(AdaptorPopoverTest, ASecondClickOnTheSameButtonClosesThePopoverAndAnotherButtonMovesIt)
{
    click(buttons[0]);
    ASSERT_EQ(popovers.permission.attachments.size(), 1);
    EXPECT_TRUE(popovers.permission.visible);
    EXPECT_FALSE(popovers.permission.deletable);
    EXPECT_EQ(popovers.permission.item, QStringLiteral("document 0"));
    EXPECT_EQ(popovers.permission.email, QStringLiteral("person 0"));
    // The arrow points at the middle of the button's top edge.
    EXPECT_EQ(popovers.permission.attachments[0].point, QPointF(110, 20));
    EXPECT_EQ(popovers.permission.attachments[0].window, window.get());

    click(buttons[0]);
    EXPECT_FALSE(popovers.permission.visible);
    EXPECT_EQ(popovers.permission.attachments.size(), 1);
    EXPECT_TRUE(popovers.permission.owner().isNull());

    click(buttons[0]);
    EXPECT_TRUE(popovers.permission.visible);
    click(buttons[1]);
    EXPECT_TRUE(popovers.permission.visible);
    EXPECT_EQ(popovers.permission.attachments.size(), 3);
    EXPECT_EQ(popovers.permission.attachments.last().point, QPointF(110, 60));
    EXPECT_EQ(popovers.permission.email, QStringLiteral("person 1"));
}

TEST_F(AdaptorPopoverTest, OpeningOnePopoverForgetsTheOwnerOfTheOther)
{
    click(buttons[0]);
    EXPECT_FALSE(popovers.permission.owner().isNull());
    click(linkButton);
    EXPECT_TRUE(popovers.link.visible);
    EXPECT_EQ(popovers.link.item, QStringLiteral("document 0"));
    EXPECT_TRUE(popovers.permission.owner().isNull());
    EXPECT_FALSE(popovers.link.owner().isNull());
    click(buttons[1]);
    EXPECT_TRUE(popovers.link.owner().isNull());
}

TEST_F(AdaptorPopoverTest, APopoverClosedElsewhereForgetsItsOwner)
{
    click(buttons[0]);
    // Closed by a key, not by a click on its button.
    QTest::keyClick(window.get(), Qt::Key_Escape);
    popovers.permission.closeWindow();
    EXPECT_TRUE(popovers.permission.owner().isNull());
    click(buttons[0]);
    EXPECT_TRUE(popovers.permission.visible);
}

TEST_F(AdaptorPopoverTest, TheLabelShowsAfterAShortRestAndNeverOverAnOpenPopover)
{
    Timing::Override delay(QStringLiteral("hoverLabelDelay"), 60);
    test::enterWidget(buttons[0], QPoint(10, 10));
    EXPECT_EQ(buttons[0]->cursor().shape(), Qt::PointingHandCursor);
    test::letTimePass(20);
    test::leaveWidget(buttons[0]);
    EXPECT_NE(buttons[0]->cursor().shape(), Qt::PointingHandCursor);
    test::letTimePass(150);
    EXPECT_TRUE(popovers.label.labels.isEmpty());

    test::enterWidget(buttons[0], QPoint(10, 10));
    ASSERT_TRUE(test::waitUntil([&] { return !popovers.label.labels.isEmpty(); }));
    EXPECT_EQ(popovers.label.labels.last(), StringTable::text(QStringLiteral("CanEdit")));
    EXPECT_EQ(popovers.label.attachments.last().point, QPointF(110, 20));
    test::leaveWidget(buttons[0]);
    EXPECT_FALSE(popovers.label.visible);

    click(buttons[0]);
    test::leaveWidget(buttons[0]);
    test::enterWidget(buttons[1], QPoint(10, 10));
    test::letTimePass(150);
    EXPECT_EQ(popovers.label.labels.size(), 1);
    // Nor when the link popover is up.
    cellOf(buttons[1])->showLabelAt(QPointF(10, 0));
    EXPECT_EQ(popovers.label.labels.size(), 1);
}

TEST_F(AdaptorPopoverTest, ALabelOutsideAShownWindowIsDroppedWithALogLine)
{
    TQHoverdAdaptorButtonCell* cell = cellOf(buttons[0]);
    cell->showLabelAt(QPointF(10, 0));
    EXPECT_EQ(popovers.label.labels.size(), 1);
    window->hide();
    cell->showLabelAt(QPointF(10, 0));
    EXPECT_EQ(popovers.label.labels.size(), 1);
    EXPECT_EQ(logCount("E: Wrong location condition for label"), 1);
}

TEST_F(AdaptorPopoverTest, AButtonWithoutRoleStillShowsThePointingHand)
{
    auto* plain = new TQTrackingButton(TQHoverdAdaptorButtonCell::permissionCellWithRole(3), window.get());
    plain->setGeometry(200, 20, 20, 20);
    plain->show();
    plain->repaint();
    test::enterWidget(plain, QPoint(5, 5));
    EXPECT_EQ(plain->cursor().shape(), Qt::PointingHandCursor);
    test::letTimePass(500);
    EXPECT_TRUE(popovers.label.labels.isEmpty());
}

TEST(AdaptorButtonCell, AnAutoBorderFollowsHoverAndAnUnhoveredIconIsHalfShown)
{
    TQHoverdAdaptorButtonCell cell;
    cell.setImagePosition(BasicButtonCell::ImageOnly);
    const QPixmap icon =
        test::registerSolid(QStringLiteral("test-adaptor-icon"), QColor(0, 0, 255), QSize(8, 8));
    cell.setRegularImage(icon);
    cell.setHoverImage(icon);
    cell.setRegularBackground(
        test::registerSolid(QStringLiteral("test-adaptor-back"), Qt::white, QSize(4, 4)));
    cell.setAutoBorderOnHover(true);
    QImage image = test::renderCell(cell, QSize(24, 24));
    EXPECT_NEAR(image.pixelColor(12, 12).alpha(), 128, 2);
    EXPECT_EQ(image.pixelColor(4, 12).alpha(), 0);
    cell.setHovered(true);
    EXPECT_TRUE(cell.shouldDrawBorder());
    image = test::renderCell(cell, QSize(24, 24));
    EXPECT_EQ(image.pixelColor(12, 12), QColor(0, 0, 255));
    EXPECT_EQ(image.pixelColor(4, 12), QColor(Qt::white));
    cell.setHovered(false);
    EXPECT_FALSE(cell.shouldDrawBorder());
}

TEST(AdaptorButtonCell, ATitleOnlyCellIsLightGreyDarkerWhenHoveredAndBlueWhenPressed)
{
    TQHoverdAdaptorButtonCell cell(QStringLiteral("+3"));
    cell.setButtonType(BasicButtonCell::MomentaryChangeButton);
    const auto titleColor = [&] {
        test::renderCell(cell, QSize(30, 20));
        return cell.showsAlternate() ? cell.attributedAlternateTitle().color : cell.attributedTitle().color;
    };
    EXPECT_TRUE(test::sameColor(titleColor(), Drawing::grey(0.796875), 1));
    cell.setHovered(true);
    EXPECT_TRUE(test::sameColor(titleColor(), Drawing::grey(0.59765625), 1));
    cell.setHighlighted(true);
    EXPECT_TRUE(test::sameColor(titleColor(), QColor::fromRgbF(0.28515625f, 0.56640625f, 0.8046875f), 1));
    EXPECT_EQ(cell.titleRectForBounds(QRectF(0, 0, 30, 20)), QRectF(0, -1, 30, 20));
}

} // namespace
} // namespace tavrel
