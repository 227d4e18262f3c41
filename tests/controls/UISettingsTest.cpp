#include "ControlTestSupport.h"
#include "controls/ColorComponents.h"
#include "controls/TQShadowedCell.h"
#include "controls/TQUISettings.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(UISettings, ThePaletteHoldsTheListColoursOnceEach)
{
    struct Entry
    {
        const char* name;
        const QColor& (*color)();
        int red, green, blue; // n/256
        TQUISettings::ColorSpace space;
    };
    using Space = TQUISettings::ColorSpace;
    const std::vector<Entry> palette{
        {"rowTitleTextColor", &TQUISettings::rowTitleTextColor, 63, 63, 63, Space::CalibratedRGB},
        {"rowSubtitleTextColor", &TQUISettings::rowSubtitleTextColor, 165, 165, 165, Space::CalibratedRGB},
        {"stateOnButtonTitleTextColor", &TQUISettings::stateOnButtonTitleTextColor, 108, 108, 108,
         Space::CalibratedRGB},
        {"stateOffButtonTitleTextColor", &TQUISettings::stateOffButtonTitleTextColor, 139, 139, 139,
         Space::CalibratedRGB},
        {"rowBackgroundColor", &TQUISettings::rowBackgroundColor, 253, 253, 253, Space::CalibratedRGB},
        {"selectedRowBackgroundColor", &TQUISettings::selectedRowBackgroundColor, 242, 242, 242,
         Space::DeviceRGB},
        {"gridBackgroundColor", &TQUISettings::gridBackgroundColor, 233, 233, 233, Space::CalibratedRGB},
        {"selectedGridBackgroundColor", &TQUISettings::selectedGridBackgroundColor, 220, 220, 220,
         Space::CalibratedRGB},
        {"selectedIconBackgroundColor", &TQUISettings::selectedIconBackgroundColor, 215, 214, 214,
         Space::CalibratedRGB},
        {"selectedIconBorderColor", &TQUISettings::selectedIconBorderColor, 204, 204, 204,
         Space::CalibratedRGB},
    };
    for (const Entry& entry : palette) {
        const QColor& color = entry.color();
        EXPECT_EQ(&color, &entry.color()) << entry.name;
        EXPECT_NEAR(color.redF(), entry.red / 256.0, 1e-4) << entry.name;
        EXPECT_NEAR(color.greenF(), entry.green / 256.0, 1e-4) << entry.name;
        EXPECT_NEAR(color.blueF(), entry.blue / 256.0, 1e-4) << entry.name;
        EXPECT_EQ(color.alphaF(), 1.0f) << entry.name;
        EXPECT_EQ(TQUISettings::colorSpaceOf(color), entry.space) << entry.name;
    }
    // An equal colour that is not the palette's own object is not the device one.
    const QColor copy = TQUISettings::selectedRowBackgroundColor();
    EXPECT_EQ(TQUISettings::colorSpaceOf(copy), TQUISettings::ColorSpace::CalibratedRGB);
}

TEST(UISettings, AColourGivesItsComponentsAlphaLast)
{
    const ColorComponents::Value value = ColorComponents::newCGColor(TQUISettings::rowTitleTextColor());
    EXPECT_EQ(value.spec, QColor::Rgb);
    ASSERT_EQ(value.components.size(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(value.components[i], 0.24609375, 1e-4);
    EXPECT_EQ(value.components[3], 1.0);
    EXPECT_TRUE(ColorComponents::newCGColor(QColor()).components.isEmpty());
}

// The cell is drawn for a row 20 high at the top of a white image: the border and the band lie in the
// point rows just under it.
QImage drawRow(bool border, bool shadow)
{
    TQShadowedCell cell(QStringLiteral("Quarterly report"));
    cell.setShouldDrawBorder(border);
    cell.setShouldDrawShadow(shadow);
    QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    const QImage drawn = test::renderCell(cell, QSize(40, 30), QRectF(0, 0, 40, 20));
    painter.drawImage(0, 0, drawn);
    return image;
}

TEST(ShadowedCell, DrawsItsBorderAndShadowBandInThePointRowsUnderItsFrame)
{
    const QImage plain = drawRow(false, false);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(plain.pixelColor(20, y), QColor(Qt::white)) << "row " << y;

    const QImage both = drawRow(true, true);
    for (int y = 0; y < 20; ++y)
        EXPECT_EQ(both.pixelColor(20, y), QColor(Qt::white)) << "row " << y;
    // The border's grey 0.796875 (204/256) is 203 of 255.
    const QColor border(203, 203, 203);
    EXPECT_EQ(both.pixelColor(0, 20), border);
    EXPECT_EQ(both.pixelColor(39, 20), border);
    // The band: four rows from the shadow colour towards white, each lighter than the one above.
    int previous = both.pixelColor(20, 20).red();
    for (int y = 21; y <= 24; ++y) {
        const int level = both.pixelColor(20, y).red();
        EXPECT_LT(level, 255) << "row " << y;
        EXPECT_GT(level, y == 21 ? 0 : previous) << "row " << y;
        previous = level;
    }
    EXPECT_LT(both.pixelColor(20, 21).red(), 180);
    for (int y = 25; y < 30; ++y)
        EXPECT_EQ(both.pixelColor(20, y), QColor(Qt::white)) << "row " << y;

    const QImage borderOnly = drawRow(true, false);
    EXPECT_EQ(borderOnly.pixelColor(20, 20), border);
    EXPECT_EQ(borderOnly.pixelColor(20, 21), QColor(Qt::white));
}

} // namespace
} // namespace tavrel
