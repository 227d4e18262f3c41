#include "ControlTestSupport.h"
#include "controls/TQDashBorderedCell.h"
#include "controls/TQHoveredBackgroundButtonCell.h"
#include "controls/TQShadowedLabelCell.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(HoveredBackgroundButtonCell, ShowsTheHoverBackgroundOnlyWhileHoveredAndNotPressed)
{
    TQHoveredBackgroundButtonCell cell;
    cell.setRegularBackground(
        test::registerSolid(QStringLiteral("test-holder-regular"), Qt::white, QSize(4, 4)));
    cell.setHoverBackground(
        test::registerSolid(QStringLiteral("test-holder-hover"), Qt::yellow, QSize(4, 4)));
    struct Case
    {
        bool hovered;
        bool pressed;
        QColor background;
    };
    const std::vector<Case> cases{
        {false, false, Qt::white},
        {true, false, Qt::yellow},
        {true, true, Qt::white},
        {false, true, Qt::white},
    };
    for (const Case& c : cases) {
        cell.setHovered(c.hovered);
        cell.setHighlighted(c.pressed);
        const QImage image = test::renderCell(cell, QSize(40, 20));
        EXPECT_EQ(image.pixelColor(20, 10), c.background) << c.hovered << c.pressed;
        // The one-point black frame along the inside.
        EXPECT_EQ(image.pixelColor(0, 10), QColor(Qt::black));
        EXPECT_EQ(image.pixelColor(20, 19), QColor(Qt::black));
    }
}

TEST(DashBorderedCell, ANewTitleRebuildsBothCaptions)
{
    TQDashBorderedCell cell(QStringLiteral("New Contact"));
    cell.setTitle(QStringLiteral("New Group"));
    EXPECT_EQ(cell.styler().text, QStringLiteral("New Group"));
    EXPECT_EQ(cell.highlighter().text, QStringLiteral("New Group"));
    EXPECT_TRUE(
        test::sameColor(cell.highlighter().color, QColor::fromRgbF(0.1640625f, 0.59375f, 0.85546875f), 1));
    EXPECT_TRUE(
        test::sameColor(cell.styler().color, QColor::fromRgbF(0.37890625f, 0.37890625f, 0.37890625f), 1));
    EXPECT_EQ(cell.styler().font.pixelSize(), 12);
    EXPECT_TRUE(cell.styler().font.bold());
    EXPECT_EQ(cell.attributedTitle().text, QStringLiteral("New Group"));
    EXPECT_EQ(cell.highlightsBy(), BasicButtonCell::PushInCellMask | BasicButtonCell::ChangeGrayCellMask);
}

TEST(DashBorderedCell, ShowsThePressedImageWhilePressedAndNothingWhenTooLow)
{
    TQDashBorderedCell cell(QStringLiteral("New Contact"));
    cell.setImage(test::registerSolid(QStringLiteral("test-dash-regular"), Qt::gray, QSize(20, 10)));
    cell.setAlternateImage(test::registerSolid(QStringLiteral("test-dash-pressed"), Qt::blue, QSize(20, 10)));
    EXPECT_EQ(test::renderCell(cell, QSize(120, 80)).pixelColor(60, 30), QColor(Qt::gray));
    cell.setHighlighted(true);
    EXPECT_EQ(test::renderCell(cell, QSize(120, 80)).pixelColor(60, 30), QColor(Qt::blue));

    // 28 points or lower: the working frame is empty.
    const QImage low = test::renderCell(cell, QSize(120, 28));
    for (int y = 0; y < low.height(); ++y)
        for (int x = 0; x < low.width(); ++x)
            ASSERT_EQ(low.pixelColor(x, y).alpha(), 0) << x << "," << y;
}

TEST(ShadowedLabelCell, DrawsItsTextOverASoftDarkShadow)
{
    TQShadowedLabelCell cell(QStringLiteral("Shared"));
    cell.setTextColor(Qt::white);
    EXPECT_TRUE(test::sameColor(cell.titleShadowColor(), QColor(0, 0, 0, 179), 1));
    const QImage image = test::renderCell(cell, QSize(80, 20));
    bool white = false;
    bool dark = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            white = white || (c.alpha() == 255 && c.red() > 240);
            dark = dark || (c.alpha() > 0 && c.red() < 40);
        }
    EXPECT_TRUE(white);
    EXPECT_TRUE(dark);
}

} // namespace
} // namespace tavrel
