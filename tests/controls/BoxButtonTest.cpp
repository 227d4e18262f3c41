#include "ControlTestSupport.h"
#include "controls/TQBoxButton.h"
#include "controls/TQButtonCell.h"
#include "controls/TQHoverdButtonCell.h"
#include "controls/TQTrackingButton.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/ImageRegistry.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

class ClickTarget : public QObject
{
    Q_OBJECT
public:
    QStringList received;
    Q_INVOKABLE void open(QObject* sender)
    {
        received << QStringLiteral("open");
        EXPECT_NE(sender, nullptr);
    }
    Q_INVOKABLE void openTwice(QObject*) { received << QStringLiteral("double"); }
};

class BoxButtonTest : public ::testing::Test
{
protected:
    // A box button whose cell may have a double action; single and double clicks go to the target.
    std::unique_ptr<TQBoxButton> makeButton(bool withDoubleAction)
    {
        auto cell = std::make_shared<TQButtonCell>();
        cell->setCommand(QStringLiteral("open:"));
        cell->setTarget(&target);
        if (withDoubleAction)
            cell->setDoubleCommand(QStringLiteral("openTwice:"));
        auto button = std::make_unique<TQBoxButton>(cell);
        button->resize(48, 48);
        EXPECT_TRUE(test::showAndExpose(button.get()));
        return button;
    }
    ClickTarget target;
    const QPoint middle{24, 24};
};

TEST_F(BoxButtonTest, ASingleClickWaitsForASecondOneOnlyWhenThereIsADoubleAction)
{
    Timing::Override delay(QStringLiteral("boxButtonConfirmClick"), 60);
    struct Case
    {
        const char* what;
        bool doubleAction;
        int clicks;
        QStringList atOnce;
        QStringList afterTheDelay;
    };
    const std::vector<Case> cases{
        {"single click, no double action", false, 1, {"open"}, {"open"}},
        {"double click, no double action", false, 2, {"open", "open"}, {"open", "open"}},
        {"single click", true, 1, {}, {"open"}},
        {"double click", true, 2, {"double"}, {"double"}},
    };
    for (const Case& c : cases) {
        target.received.clear();
        auto button = makeButton(c.doubleAction);
        test::multiClick(button.get(), middle, c.clicks);
        EXPECT_EQ(target.received, c.atOnce) << c.what;
        EXPECT_TRUE(test::waitUntil([&] { return !button->hasPendingConfirmation(); }, 2000)) << c.what;
        EXPECT_EQ(target.received, c.afterTheDelay) << c.what;
    }
}

TEST_F(BoxButtonTest, ASecondClickAfterTheConfirmationGivesTheSingleThenTheDoubleAction)
{
    // The second click lands within the double-click interval but after the confirmation fired.
    Timing::Override delay(QStringLiteral("boxButtonConfirmClick"), 0);
    auto button = makeButton(true);
    int timestamp = QTest::lastMouseTimestamp + 1000;
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(middle), QPointF(button->mapToGlobal(middle)), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        event.setTimestamp(ulong(timestamp += 10));
        QSpontaneKeyEvent::setSpontaneous(&event);
        qApp->notify(button.get(), &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    ASSERT_TRUE(test::waitUntil([&] { return target.received.size() == 1; }));
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    QTest::lastMouseTimestamp = timestamp + 1000;
    EXPECT_EQ(target.received, (QStringList{"open", "double"}));
}

TEST_F(BoxButtonTest, TheOwnersActionAndTargetChangeWhereTheClickGoesNotHowItIsRouted)
{
    auto button = makeButton(false);
    ClickTarget other;
    button->setTarget(&other);
    button->setAction(QStringLiteral("openTwice:"));
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(other.received, (QStringList{"double"}));
    EXPECT_TRUE(target.received.isEmpty());

    // A new cell brings its own action and target, and the routing stays the button's.
    auto cell = std::make_shared<TQButtonCell>();
    cell->setCommand(QStringLiteral("open:"));
    cell->setTarget(&target);
    button->setCell(cell);
    EXPECT_EQ(button->externalAction(), QStringLiteral("open:"));
    EXPECT_TRUE(cell->command().isEmpty());
    QTest::mouseClick(button.get(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(target.received, (QStringList{"open"}));
}

TEST_F(BoxButtonTest, TheTileIsDrawnUnlessHiddenAndTheCellSitsInTheMiddle)
{
    auto cell = std::make_shared<TQButtonCell>();
    cell->setImagePosition(BasicButtonCell::ImageOnly);
    cell->setImage(
        test::registerSolid(QStringLiteral("test-box-cell"), QColor(0xD9, 0x3B, 0x3B), QSize(32, 32)));
    TQBoxButton button(cell);
    button.resize(48, 48);
    const QColor red(0xD9, 0x3B, 0x3B);
    QImage shown = button.grab().toImage();
    EXPECT_EQ(shown.pixelColor(8, 8), red);
    EXPECT_EQ(shown.pixelColor(39, 39), red);
    EXPECT_NE(shown.pixelColor(40, 24), red);
    const QColor tile = shown.pixelColor(4, 24);

    button.setHiddenBackground(true);
    const QImage hidden = button.grab().toImage();
    EXPECT_EQ(hidden.pixelColor(8, 8), red);
    EXPECT_NE(hidden.pixelColor(4, 24), tile);
}

TEST(TrackingButton, TellsItsHoverCellWhileEnabledOnly)
{
    auto cell = std::make_shared<TQHoverdButtonCell>();
    cell->setRegularImage(ImageRegistry::pixmap(QStringLiteral("remove_regular")));
    cell->setHoverImage(ImageRegistry::pixmap(QStringLiteral("remove_hover")));
    TQTrackingButton button(cell);
    button.resize(20, 20);
    ASSERT_EQ(button.hoverCell(), cell.get());
    test::enterWidget(&button, QPoint(5, 5));
    EXPECT_TRUE(cell->hovered());
    button.setEnabled(false);
    test::leaveWidget(&button);
    EXPECT_TRUE(cell->hovered());
    button.setEnabled(true);
    test::leaveWidget(&button);
    EXPECT_FALSE(cell->hovered());
    EXPECT_EQ(ImageRegistry::nameOf(cell->image()), QStringLiteral("remove_regular"));
}

} // namespace
} // namespace tavrel

#include "BoxButtonTest.moc"
