#include "controls/TQGradientView.h"
#include "controls/TQHighlightHostView.h"
#include "controls/TQHostView.h"
#include "controls/TQShadowedBox.h"
#include "controls/TQWindowController.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/ResponderChain.h"
#include "support/ui/WidgetTesting.h"

#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace tavrel {
namespace {

QImage renderWidget(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

QPixmap solid(const QSize& size, const QColor& color)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    return pixmap;
}

const QColor kImageColor(0x26, 0x5F, 0x99);
const QColor kFill(0xF2, 0xF2, 0xF2);

TEST(HostView, FillsWithItsColourAndPlacesTheImageStretchedOrFitted)
{
    struct Row
    {
        const char* name;
        QColor colour;
        QSize image; // empty: none
        QSizeF border;
        bool proportionally;
        QRectF expected; // where the image lands
    };
    const std::vector<Row> rows{
        {"nothing set: white", QColor(), {}, {}, false, {}},
        {"a colour only", kFill, {}, {}, false, {}},
        {"stretched inside the border", kFill, {10, 30}, {10, 5}, false, {10, 5, 180, 90}},
        {"a square fitted: the smaller side of the inset, centred",
         kFill,
         {20, 20},
         {10, 10},
         true,
         {60, 10, 80, 80}},
        {"a tall image fitted to the height", kFill, {10, 40}, {0, 0}, true, {87, 0, 25, 100}},
        {"a wide image fitted to the width", kFill, {80, 20}, {0, 20}, true, {0, 25, 200, 50}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TQHostView view;
        view.resize(200, 100);
        if (row.colour.isValid())
            view.setBackgroundColor(row.colour);
        if (!row.image.isEmpty())
            view.setBackgroundImage(solid(row.image, kImageColor));
        view.setBorder(row.border);
        view.setDrawProportionally(row.proportionally);
        EXPECT_EQ(view.imageRect(), row.expected);

        const QImage image = renderWidget(view);
        const QColor background = row.colour.isValid() ? row.colour : QColor(Qt::white);
        EXPECT_EQ(image.pixelColor(0, 0), row.expected.contains(0.5, 0.5) ? kImageColor : background);
        EXPECT_EQ(image.pixelColor(199, 99), row.expected.contains(199.5, 99.5) ? kImageColor : background);
        if (!row.expected.isEmpty()) {
            EXPECT_EQ(image.pixelColor(row.expected.center().toPoint()), kImageColor);
        }
    }
}

// A window controller that counts the double-click command it receives.
class OpeningController : public TQWindowController
{
    Q_OBJECT
public:
    Q_INVOKABLE void openItem(QObject* sender)
    {
        ++opened;
        lastSender = sender;
    }
    int opened = 0;
    QObject* lastSender = nullptr;
};

TEST(HostView, OnlyTheSecondClickOfADoubleClickSendsTheDoubleAction)
{
    struct Row
    {
        const char* name;
        int clicks;
        bool withAction;
        int expected;
    };
    const std::vector<Row> rows{
        {"single click", 1, true, 0},
        {"double click", 2, true, 1},
        {"triple click: the third press is no double click", 3, true, 1},
        {"double click without an action", 2, false, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        OpeningController controller;
        auto* window = new QWidget;
        controller.setWindow(window);
        auto* layout = new QVBoxLayout(window);
        auto* field = new QLineEdit;
        auto* host = new TQHostView;
        host->setMinimumSize(120, 80);
        layout->addWidget(field);
        layout->addWidget(host);
        if (row.withAction)
            host->setDoubleAction(QStringLiteral("openItem:"));
        ASSERT_TRUE(test::showAndExpose(window));
        window->activateWindow();
        field->setFocus();

        test::multiClick(host, QPoint(30, 30), row.clicks);
        // No target: the command went from the focused field up to the window's controller.
        EXPECT_EQ(controller.opened, row.expected);
        if (row.expected) {
            EXPECT_EQ(controller.lastSender, host);
        }
    }
}

TEST(HostView, ADoubleClickGoesToItsTargetWhenOneIsSet)
{
    OpeningController target;
    TQHostView host;
    host.resize(100, 60);
    host.setTarget(&target);
    host.setDoubleAction(QStringLiteral("openItem:"));
    ASSERT_TRUE(test::showAndExpose(&host));
    test::multiClick(&host, QPoint(10, 10), 2);
    EXPECT_EQ(target.opened, 1);
}

TEST(HighlightHostView, OutlinesItselfBetweenAHighlightAndTheNextClean)
{
    QWidget parent;
    parent.resize(100, 80);
    auto* view = new TQHighlightHostView(&parent);
    view->setGeometry(0, 0, 100, 80);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    const QRgb outline = qRgb(0xB4, 0xD4, 0xFF);

    center.post(DragBus::kDragAreaHighlightNotification);
    EXPECT_TRUE(view->highlightDrag());
    QImage image = renderWidget(*view);
    // A 3-point frame inside the edges, the inside untouched.
    for (const QPoint& point : {QPoint(0, 0), QPoint(2, 40), QPoint(50, 77), QPoint(99, 79)})
        EXPECT_EQ(image.pixel(point), outline) << point.x() << "," << point.y();
    EXPECT_EQ(image.pixelColor(3, 40), QColor(Qt::white));

    center.post(DragBus::kDragAreaCleanNotification);
    EXPECT_FALSE(view->highlightDrag());
    image = renderWidget(*view);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));

    // Without a parent it no longer listens.
    view->setParent(nullptr);
    center.post(DragBus::kDragAreaHighlightNotification);
    EXPECT_FALSE(view->highlightDrag());
    view->setParent(&parent);
    center.post(DragBus::kDragAreaHighlightNotification);
    EXPECT_TRUE(view->highlightDrag());
}

TEST(GradientView, FillsTheGivenRectangleFromStartToEndUnlessHidden)
{
    TQGradientView view;
    view.resize(40, 100);
    view.setStartColor(Qt::black);
    view.setEndColor(Qt::white);

    // 90 degrees runs from the bottom up; -90 from the top down.
    QImage image = renderWidget(view);
    EXPECT_LT(image.pixelColor(20, 99).lightness(), 10);
    EXPECT_GT(image.pixelColor(20, 0).lightness(), 245);
    view.setAngle(-90);
    image = renderWidget(view);
    EXPECT_LT(image.pixelColor(20, 0).lightness(), 10);

    // Drawn into a rectangle of the caller's, it fills that rectangle only.
    QImage canvas(40, 100, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        view.drawRect(painter, QRectF(0, 0, 40, 10));
    }
    EXPECT_EQ(canvas.pixelColor(20, 5).alpha(), 255);
    EXPECT_EQ(canvas.pixelColor(20, 50).alpha(), 0);

    // Hidden, nothing at all is drawn: the view is not opaque, what lies behind shows.
    view.setShouldHideGradient(true);
    image = renderWidget(view);
    EXPECT_EQ(image.pixelColor(20, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(20, 99).alpha(), 0);
    EXPECT_FALSE(view.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST(ShadowedBox, DrawsAShadowBandOnTopAndAHairlineAtTheBottom)
{
    TQShadowedBox box;
    box.resize(60, 30);
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    box.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);

    // The band darkens towards the top edge, over three rows; the bottom row is the hairline.
    EXPECT_LT(image.pixelColor(30, 0).lightness(), image.pixelColor(30, 2).lightness());
    EXPECT_LT(image.pixelColor(30, 0).lightness(), 200);
    EXPECT_EQ(image.pixelColor(30, 3), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(30, 15), QColor(Qt::white));
    EXPECT_EQ(image.pixel(30, 29), qRgb(0xE8, 0xE8, 0xE8));
    EXPECT_EQ(image.pixelColor(30, 28), QColor(Qt::white));
    EXPECT_EQ(box.shadowBand()->angle(), -90);
}

TEST(WindowController, StandsBehindItsWindowAndOwnsIt)
{
    QPointer<QWidget> window = new QWidget;
    {
        OpeningController controller;
        controller.setWindow(window);
        auto* field = new QLineEdit(window);
        // A command nobody in the window answers reaches the controller.
        ASSERT_TRUE(ResponderChain::send(QStringLiteral("openItem:"), field, nullptr, field));
        EXPECT_EQ(controller.opened, 1);
    }
    EXPECT_TRUE(window.isNull());
}

} // namespace
} // namespace tavrel

#include "HostViewsTest.moc"
