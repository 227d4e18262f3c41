#include "platform/ui/Clipboard.h"
#include "platform/ui/FloatingWindows.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

class FloatingWindowsTest : public ::testing::Test
{
protected:
    void TearDown() override { FloatingWindows::setPlacementForTesting(FloatingWindows::Placement::Default); }
};

TEST_F(FloatingWindowsTest, EachKindGetsItsWindowTypeAndWaylandMakesEveryOneAPopup)
{
    using Kind = FloatingWindows::Kind;
    struct Row
    {
        Kind kind;
        Qt::WindowType freely;
    };
    const Row rows[]{{Kind::Panel, Qt::Tool}, {Kind::Popover, Qt::Popup}, {Kind::Label, Qt::ToolTip}};
    for (const Row& row : rows) {
        FloatingWindows::setPlacementForTesting(FloatingWindows::Placement::Free);
        const Qt::WindowFlags free = FloatingWindows::windowFlags(row.kind);
        EXPECT_EQ(free & Qt::WindowType_Mask, row.freely);
        EXPECT_TRUE(free & Qt::FramelessWindowHint);
        FloatingWindows::setPlacementForTesting(FloatingWindows::Placement::RelativeToParent);
        EXPECT_EQ(FloatingWindows::windowFlags(row.kind) & Qt::WindowType_Mask, Qt::Popup);
    }
    FloatingWindows::setPlacementForTesting(FloatingWindows::Placement::Free);
    EXPECT_TRUE(FloatingWindows::windowFlags(Kind::Label) & Qt::WindowDoesNotAcceptFocus);
}

TEST_F(FloatingWindowsTest, AFloatingWindowIsAttachedToItsParentsWindowAndShownWhereAsked)
{
    FloatingWindows::setPlacementForTesting(FloatingWindows::Placement::Free);
    QWidget main;
    auto* view = new QWidget(&main);
    auto* popover = new QWidget;
    FloatingWindows::prepare(popover, FloatingWindows::Kind::Panel, view);
    EXPECT_EQ(popover->parentWidget(), &main);
    EXPECT_TRUE(popover->isWindow());
    EXPECT_TRUE(popover->testAttribute(Qt::WA_TranslucentBackground));
    popover->resize(100, 80);
    FloatingWindows::show(popover, QPoint(40, 50));
    EXPECT_TRUE(popover->isVisible());
    EXPECT_EQ(popover->pos(), QPoint(40, 50));
}

TEST_F(FloatingWindowsTest, FramesAreFittedToTheAvailableArea)
{
    const QRect available(0, 24, 800, 576);
    const struct
    {
        const char* name;
        QRect frame;
        QRect fitted;
    } rows[] = {
        {"inside stays", QRect(40, 60, 500, 400), QRect(40, 60, 500, 400)},
        {"too large for the area shrinks to it", QRect(0, 24, 1920, 1200), available},
        {"past the right edge moves in", QRect(600, 100, 400, 300), QRect(400, 100, 400, 300)},
        {"above the area moves down", QRect(100, 0, 400, 300), QRect(100, 24, 400, 300)},
        {"on a screen that went is centred", QRect(2500, 1400, 600, 400), QRect(100, 112, 600, 400)},
        {"larger and mostly outside is centred at the area's size", QRect(1500, 1000, 2000, 900), available},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FloatingWindows::fittedFrame(row.frame, available), row.fitted);
    }
}

TEST_F(FloatingWindowsTest, AMenuDroppingFromAControlStaysInsideItsWindowAndOnTheScreen)
{
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint);
    auto* control = new QWidget(&window);
    control->resize(30, 20);
    window.show();
    const QRect screen = FloatingWindows::availableGeometry(&window);
    ASSERT_FALSE(screen.isEmpty());
    const QSize menu(200, 150);
    const struct
    {
        const char* name;
        QRect window;
        QPoint control;
        QPoint expected; // relative to the window's top-left corner
    } rows[] = {
        {"room below and right: under the control", QRect(50, 50, 400, 300), QPoint(10, 10), QPoint(10, 30)},
        {"at the window's right edge: right edges aligned", QRect(50, 50, 400, 300), QPoint(370, 10),
         QPoint(200, 30)},
        {"no room below: above the control", QRect(50, screen.bottom() - 99, 400, 100), QPoint(10, 60),
         QPoint(10, 60 - 150)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        window.setGeometry(row.window);
        control->move(row.control);
        const QPoint origin = window.mapToGlobal(QPoint(0, 0));
        const QPoint position = FloatingWindows::dropDownPosition(control, menu);
        EXPECT_EQ(position - origin, row.expected);
        EXPECT_TRUE(screen.contains(QRect(position, menu))) << position.x() << "," << position.y();
    }
}

TEST(Clipboard, LinksAreCopiedAsURLsAndAsLinesOfText)
{
    const QList<QUrl> links{QUrl(QStringLiteral("https://docs.example.org/d/1")),
                            QUrl(QStringLiteral("https://docs.example.org/d/2"))};
    Clipboard::writeURLs(links);
    EXPECT_EQ(Clipboard::urls(), links);
    EXPECT_EQ(Clipboard::text(),
              QStringLiteral("https://docs.example.org/d/1\nhttps://docs.example.org/d/2"));
    Clipboard::writeText(QStringLiteral("plain"));
    EXPECT_TRUE(Clipboard::urls().isEmpty());
}

} // namespace
} // namespace tavrel
