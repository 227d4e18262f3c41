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
