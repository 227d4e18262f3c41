#include "ControlTestSupport.h"
#include "controls/SystemColors.h"
#include "controls/TQArrowButtonCell.h"
#include "controls/TQBigDefaultButtonCell.h"
#include "controls/TQDefaultButtonCell.h"
#include "controls/TQFlatButtonCell.h"
#include "controls/TQHoverdTextButtonCell.h"
#include "controls/TQOwnerButtonCell.h"
#include "controls/TQThreePartButtonCell.h"
#include "controls/TQUISettings.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QFontInfo>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

QColor rgb(double r, double g, double b, double a = 1.0)
{
    return QColor::fromRgbF(float(r), float(g), float(b), float(a));
}

QString nameOf(const QPixmap& pixmap)
{
    return ImageRegistry::nameOf(pixmap);
}

TEST(NormalButtonCell, EachLookOverridesOnlyItsOwnOperations)
{
    struct Look
    {
        const char* cell;
        std::shared_ptr<TQNormalButtonCell> make;
        int fontSize;
        bool bold;
        QColor title;
        QColor border;
        bool borderShadow;
        bool titleShadow;
        const char* regular;
        const char* active;
    };
    const QColor controlShadow = SystemColors::controlShadowColor();
    const QColor blue = rgb(0.1484375, 0.37890625, 0.59765625);
    auto noShadow = std::make_shared<TQFlatButtonCell>();
    noShadow->setNoShadow(true);
    const std::vector<Look> looks{
        {"normal", std::make_shared<TQNormalButtonCell>(), 13, true, rgb(0.296875, 0.296875, 0.29296875),
         controlShadow, true, true, "normal_regular", "normal_active"},
        {"default", std::make_shared<TQDefaultButtonCell>(), 13, true, Qt::white, blue, true, true,
         "default_regular", "default_active"},
        {"big default", std::make_shared<TQBigDefaultButtonCell>(), 14, true, Qt::white, blue, true, true,
         "default_regular", "default_active"},
        {"flat", std::make_shared<TQFlatButtonCell>(), 12, false, rgb(0.296875, 0.296875, 0.29296875),
         controlShadow, true, true, "normal_regular", "normal_active"},
        {"flat without shadow", noShadow, 12, false, rgb(0.296875, 0.296875, 0.29296875), controlShadow,
         false, true, "normal_regular", "normal_active"},
        {"owner", std::make_shared<TQOwnerButtonCell>(), 10, false, rgb(0.59765625, 0.59765625, 0.59765625),
         rgb(0.65234375, 0.65234375, 0.66015625), false, true, "owner_background", "normal_active"},
    };
    for (const Look& look : looks) {
        TQNormalButtonCell& cell = *look.make;
        EXPECT_EQ(cell.titleFont().pixelSize(), look.fontSize) << look.cell;
        EXPECT_EQ(cell.titleFont().bold(), look.bold) << look.cell;
        EXPECT_TRUE(test::sameColor(cell.titleColor(), look.title, 1)) << look.cell;
        EXPECT_TRUE(test::sameColor(cell.borderColor(), look.border, 1)) << look.cell;
        EXPECT_EQ(cell.borderShadowColor().isValid(), look.borderShadow) << look.cell;
        EXPECT_EQ(cell.titleShadowColor().isValid(), look.titleShadow) << look.cell;
        EXPECT_EQ(nameOf(cell.regularImage()), QLatin1String(look.regular)) << look.cell;
        EXPECT_EQ(nameOf(cell.activeImage()), QLatin1String(look.active)) << look.cell;
        // The title takes the look when it is set.
        cell.setTitle(QStringLiteral("Share"));
        EXPECT_EQ(cell.attributedTitle().font.pixelSize(), look.fontSize) << look.cell;
        EXPECT_TRUE(test::sameColor(cell.attributedTitle().color, look.title, 1)) << look.cell;
        EXPECT_EQ(cell.title(), QStringLiteral("Share"));
    }
    TQNormalButtonCell cleared(QStringLiteral("Share"));
    cleared.setTitle(QString());
    EXPECT_TRUE(cleared.attributedTitle().isEmpty());
}

TEST(NormalButtonCell, AFlatCellWithoutShadowPlacesItsTitleHigherAndKeepsItsWholeFace)
{
    const QRectF bounds(0, 0, 80, 24);
    TQFlatButtonCell flat;
    EXPECT_EQ(flat.titleRectForBounds(bounds), bounds.translated(0, 0.5));
    flat.setNoShadow(true);
    EXPECT_EQ(flat.titleRectForBounds(bounds), bounds.translated(0, -0.5));

    // The face fills the frame down to its last row only without the border shadow.
    const auto lastRowFilled = [&](bool noShadow) {
        TQFlatButtonCell cell(QStringLiteral(""));
        cell.setNoShadow(noShadow);
        const QImage image = test::renderCell(cell, QSize(80, 24));
        return image.pixelColor(40, 23).alpha() == 255;
    };
    EXPECT_TRUE(lastRowFilled(true));
    EXPECT_FALSE(lastRowFilled(false));
}

TEST(NormalButtonCell, ADisabledDefaultButtonKeepsANearWhiteTitleOnItsPaleFace)
{
    TQDefaultButtonCell cell(QStringLiteral("OK"));
    cell.setEnabled(false);
    EXPECT_EQ(nameOf(cell.regularImage()), QStringLiteral("default_disable"));
    EXPECT_TRUE(test::sameColor(cell.titleColor(), rgb(0.93359375, 0.96875, 0.98828125), 1));
    EXPECT_TRUE(test::sameColor(cell.titleShadowColor(), rgb(0.1484375, 0.37890625, 0.59765625, 0.6), 1));
    EXPECT_TRUE(test::sameColor(cell.borderColor(), rgb(0.1484375, 0.37890625, 0.59765625), 1));
    cell.setEnabled(true);
    EXPECT_EQ(nameOf(cell.regularImage()), QStringLiteral("default_regular"));
    EXPECT_EQ(cell.titleColor(), QColor(Qt::white));
}

TEST(NormalButtonCell, AHoverTextCellShowsItsBackgroundOnlyWhenOnAndDarkensItsTitleWhenHovered)
{
    TQHoverdTextButtonCell cell(QStringLiteral("Favourites"));
    cell.setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background_selected")));
    const QColor off = TQUISettings::stateOffButtonTitleTextColor();
    const QColor on = TQUISettings::stateOnButtonTitleTextColor();
    EXPECT_TRUE(cell.regularImage().isNull());
    EXPECT_EQ(cell.borderColor().alpha(), 0);
    EXPECT_EQ(cell.attributedTitle().color, off);
    EXPECT_EQ(test::renderCell(cell, QSize(90, 22)).pixelColor(3, 11).alpha(), 0);

    cell.setHovered(true);
    EXPECT_EQ(cell.attributedTitle().color, on);
    EXPECT_EQ(cell.state(), Cell::Off);
    EXPECT_TRUE(cell.regularImage().isNull());
    cell.setHovered(false);
    EXPECT_EQ(cell.attributedTitle().color, off);

    cell.setState(Cell::On);
    EXPECT_EQ(cell.attributedTitle().color, on);
    EXPECT_EQ(nameOf(cell.regularImage()), QStringLiteral("filter_background_selected"));
    EXPECT_EQ(cell.borderColor(), SystemColors::controlShadowColor());
    EXPECT_EQ(test::renderCell(cell, QSize(90, 22)).pixelColor(3, 11).alpha(), 255);
    cell.setSelected(true);
    EXPECT_FALSE(cell.isSelected());
    EXPECT_EQ(cell.drawingRectForBounds(QRectF(0, 0, 90, 22)), QRectF(1, 1, 88, 20));
}

TEST(ArrowButtonCell, SizesItselfToItsTitleWithinItsBounds)
{
    const QString oneLetter = QStringLiteral("A");
    const QString middle = QStringLiteral("All Items");
    const QString longTitle = QStringLiteral("Quarterly planning meeting notes and the budget of the year");
    const auto width = [](const QString& title, const QFont& font) {
        return Drawing::ceilf(Drawing::textSize(title, font).width()) + 24;
    };
    struct Case
    {
        const char* what;
        std::shared_ptr<TQArrowButtonCell> cell;
        qreal width;
        qreal height;
    };
    const std::vector<Case> cases{
        {"one letter", std::make_shared<TQArrowButtonCell>(oneLetter), 35, 26},
        {"a mode's title", std::make_shared<TQArrowButtonCell>(middle),
         width(middle, Drawing::font(13, QFont::Bold)), 26},
        {"a long title", std::make_shared<TQArrowButtonCell>(longTitle), 125, 26},
        {"three-part, one letter", std::make_shared<TQThreePartButtonCell>(oneLetter), 35, 22},
        {"three-part, a mode's title", std::make_shared<TQThreePartButtonCell>(middle),
         width(middle, Drawing::font(11)), 22},
        {"three-part, a long title", std::make_shared<TQThreePartButtonCell>(longTitle), 125, 22},
    };
    for (const Case& c : cases) {
        const QSizeF size = c.cell->cellSize();
        EXPECT_EQ(size.width(), c.width) << c.what;
        EXPECT_EQ(size.height(), c.height) << c.what;
    }
    // The three-part cell's title is small and white whatever its look's font.
    TQThreePartButtonCell threePart(middle);
    EXPECT_EQ(threePart.attributedTitle().font.pixelSize(), 11);
    EXPECT_EQ(threePart.attributedTitle().color, QColor(Qt::white));
    EXPECT_FALSE(threePart.titleShadowColor().isValid());
}

TEST(ArrowButtonCell, DrawsItsThreePartsOnlyWhenThereAreThreeAndItsTitleAlways)
{
    const QPixmap left = test::registerSolid(QStringLiteral("test-arrow-left"), Qt::red, QSize(13, 26));
    const QPixmap middle = test::registerSolid(QStringLiteral("test-arrow-middle"), Qt::green, QSize(2, 26));
    const QPixmap right = test::registerSolid(QStringLiteral("test-arrow-right"), Qt::blue, QSize(5, 26));
    const QPixmap pressed =
        test::registerSolid(QStringLiteral("test-arrow-pressed"), Qt::black, QSize(5, 26));
    TQArrowButtonCell cell(QStringLiteral("All Items"));
    cell.setRegularBackgroundParts({left, middle, right});
    cell.setActiveBackgroundParts({pressed, pressed, pressed});
    QImage image = test::renderCell(cell, QSize(100, 26));
    EXPECT_EQ(image.pixelColor(5, 1), QColor(Qt::red));
    EXPECT_EQ(image.pixelColor(50, 1), QColor(Qt::green));
    EXPECT_EQ(image.pixelColor(97, 1), QColor(Qt::blue));
    cell.setHighlighted(true);
    EXPECT_EQ(test::renderCell(cell, QSize(100, 26)).pixelColor(50, 1), QColor(Qt::black));

    cell.setHighlighted(false);
    cell.setRegularBackgroundParts({left, right});
    image = test::renderCell(cell, QSize(100, 26));
    EXPECT_EQ(image.pixelColor(5, 1).alpha(), 0);
    bool anyText = false;
    for (int x = 9; x < 90 && !anyText; ++x)
        for (int y = 2; y < 24 && !anyText; ++y)
            anyText = image.pixelColor(x, y).alpha() > 0;
    EXPECT_TRUE(anyText);
}

TEST(OwnerButtonCell, AnInsetBadgeIsDrawnOnePointInsideItsFrame)
{
    TQOwnerButtonCell cell(QStringLiteral("OWNER"));
    cell.setShouldUseInset(true);
    cell.setInsetButtonAttribute(2);
    const QImage image = test::renderCell(cell, QSize(60, 18));
    EXPECT_EQ(image.pixelColor(30, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(0, 9).alpha(), 0);
    EXPECT_GT(image.pixelColor(30, 1).alpha(), 0);
    EXPECT_GT(image.pixelColor(1, 9).alpha(), 0);
}

} // namespace
} // namespace tavrel
