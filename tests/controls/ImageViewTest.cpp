#include "controls/TQImageView.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>
#include <vector>

namespace tavrel {
namespace {

QImage renderView(TQImageView& view)
{
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

const QRgb kRed = qRgb(0xD9, 0x3B, 0x3B);

TEST(ImageView, DrawsTheImageStretchedClippedAndRimmedAsItsFlagsSay)
{
    QPixmap tall(10, 40);
    tall.fill(QColor(kRed));
    struct Row
    {
        const char* name;
        bool image, rounded, bordered;
        bool cornerOpaque; // the corner pixel, outside the rounded rectangle
        bool cornerPure;
        bool centrePure; // the middle shows the image untouched
        bool edgePure;   // the pixel beside the left edge, mid-height
    };
    const std::vector<Row> rows{
        {"no image, whatever the flags", false, true, true, false, false, false, false},
        {"plain: stretched into every corner", true, false, false, true, true, true, true},
        {"rounded: the corners clipped", true, true, false, false, false, true, true},
        {"bordered and rounded: the rim inside only", true, true, true, false, false, true, false},
        {"bordered only: the full rim, its shadow spilling into the corners", true, false, true, true, false,
         true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TQImageView view;
        view.resize(100, 50);
        if (row.image)
            view.setImage(tall);
        view.setRounded(row.rounded);
        view.setBordered(row.bordered);
        const QImage image = renderView(view);

        if (!row.image) {
            EXPECT_EQ(image.pixel(50, 25), 0u);
            EXPECT_EQ(image.pixel(0, 0), 0u);
            continue;
        }
        EXPECT_EQ(image.pixel(50, 25) == kRed, row.centrePure);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)) == 255, row.cornerOpaque);
        EXPECT_EQ(image.pixel(0, 0) == kRed, row.cornerPure);
        EXPECT_EQ(image.pixel(1, 25) == kRed, row.edgePure);
        // The image reaches the far corner region unless clipped (distorted, not letterboxed).
        EXPECT_EQ(image.pixel(99, 25) == kRed, !row.bordered);
        EXPECT_EQ(image.pixel(5, 2) == kRed, !row.bordered);
    }
}

TEST(ImageView, RefusesEverythingDroppedOnIt)
{
    TQImageView view;
    view.resize(40, 40);
    EXPECT_FALSE(view.acceptDrops());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/photo.png"))});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&view, &enter);
    EXPECT_FALSE(enter.isAccepted());
}

} // namespace
} // namespace tavrel
