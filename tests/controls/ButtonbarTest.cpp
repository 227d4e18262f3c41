#include "ControlTestSupport.h"
#include "controls/BasicButtonCell.h"
#include "controls/TQButtonbar.h"
#include "controls/TQRadioButtonbar.h"
#include "controls/TQTriStateDropButton.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

// The radio bar's delegate: writes down what it hears, "should:1", "will:-", "did:1", "re:1", and
// vetoes the buttons it is told to.
class RecordingDelegate : public QObject
{
    Q_OBJECT
public:
    QStringList heard;
    QList<int> vetoed;
    TQRadioButtonbar* bar = nullptr;

    Q_INVOKABLE bool radiobarShouldActivateButton(QObject*, QAbstractButton* button)
    {
        heard << QStringLiteral("should:%1").arg(index(button));
        return !vetoed.contains(index(button));
    }
    Q_INVOKABLE void radiobarWillDeactivateButton(QObject* sender, QAbstractButton* button)
    {
        EXPECT_EQ(sender, bar);
        heard << (button ? QStringLiteral("will:%1").arg(index(button)) : QStringLiteral("will:-"));
    }
    Q_INVOKABLE void radiobarDidActivateButton(QObject*, QAbstractButton* button)
    {
        heard << QStringLiteral("did:%1").arg(index(button));
    }
    Q_INVOKABLE void radiobarDidReactivateButton(QObject*, QAbstractButton* button)
    {
        heard << QStringLiteral("re:%1").arg(index(button));
    }

private:
    int index(QAbstractButton* button) const { return bar->indexOfButton(button); }
};

// A bar button: a cell that flips its state on each click, as the bars' buttons do.
CellButton* toggleButton()
{
    auto cell = std::make_shared<BasicButtonCell>(QStringLiteral("Mode"));
    cell->setButtonType(BasicButtonCell::PushOnPushOffButton);
    auto* button = new CellButton(cell);
    button->resize(40, 40);
    return button;
}

class RadioButtonbarTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        bar = std::make_unique<TQRadioButtonbar>();
        bar->resize(200, 40);
        delegate.bar = bar.get();
        bar->setDelegate(&delegate);
        for (int i = 0; i < 3; ++i) {
            buttons.append(toggleButton());
            buttons.last()->move(i * 50, 0);
        }
        bar->setButtons(buttons);
        ASSERT_TRUE(test::showAndExpose(bar.get()));
    }
    QList<int> states() const
    {
        QList<int> result;
        for (QAbstractButton* button : buttons)
            result << static_cast<CellButton*>(button)->state();
        return result;
    }
    void click(int index) { QTest::mouseClick(buttons[index], Qt::LeftButton, {}, QPoint(20, 20)); }

    RecordingDelegate delegate;
    std::unique_ptr<TQRadioButtonbar> bar;
    QList<QAbstractButton*> buttons;
};

TEST_F(RadioButtonbarTest, TheDelegateHearsEveryActivationAndMayVetoOne)
{
    struct Step
    {
        const char* what;
        std::function<void()> act;
        QStringList heard;
        QList<int> states;
        int active;
    };
    delegate.vetoed = {2};
    const std::vector<Step> steps{
        {"a click on another button", [&] { click(1); }, {"should:1", "will:0", "did:1"}, {0, 1, 0}, 1},
        {"a click on the active button", [&] { click(1); }, {"should:1", "re:1"}, {0, 1, 0}, 1},
        {"a vetoed click", [&] { click(2); }, {"should:2"}, {0, 1, 0}, 1},
        {"activation from code",
         [&] { bar->activateButtonAtIndex(0); },
         {"should:0", "will:1", "did:0"},
         {1, 0, 0},
         0},
        {"an index beyond the buttons", [&] { bar->activateButtonAtIndex(3); }, {}, {1, 0, 0}, 0},
    };
    // Installing the buttons activated the first one, from no active button.
    EXPECT_EQ(delegate.heard, (QStringList{"should:0", "will:-", "did:0"}));
    EXPECT_EQ(states(), (QList<int>{1, 0, 0}));
    for (const Step& step : steps) {
        delegate.heard.clear();
        step.act();
        EXPECT_EQ(delegate.heard, step.heard) << step.what;
        EXPECT_EQ(states(), step.states) << step.what;
        EXPECT_EQ(bar->activeButton(), buttons[step.active]) << step.what;
    }
}

TEST_F(RadioButtonbarTest, AVetoFromCodeFlipsTheButtonAsIfAClickHadToggledIt)
{
    delegate.vetoed = {2};
    bar->activateButtonAtIndex(2);
    EXPECT_EQ(states(), (QList<int>{1, 0, 1}));
    EXPECT_EQ(bar->activeButton(), buttons[0]);
}

TEST_F(RadioButtonbarTest, InstallingTheSameButtonsAgainResetsTheGroup)
{
    click(2);
    delegate.heard.clear();
    bar->setButtons(buttons);
    EXPECT_EQ(delegate.heard, (QStringList{"should:0", "will:-", "did:0"}));
    EXPECT_EQ(states(), (QList<int>{1, 0, 0}));
    EXPECT_EQ(bar->indexOfButton(buttons[2]), 2);
    EXPECT_EQ(bar->indexOfButton(nullptr), -1);
}

TEST_F(RadioButtonbarTest, ADropButtonOfTheBarTakesDragsOnlyWhileItIsNotActive)
{
    auto* drop = new TQTriStateDropButton;
    drop->setDroppable(true);
    drop->awakeFromNib();
    bar->setButtons({buttons[0], drop});
    EXPECT_EQ(drop->delegate(), bar.get());
    EXPECT_TRUE(bar->acceptorCanAcceptDraggingInfo(drop, nullptr));
    bar->activateButtonAtIndex(1);
    EXPECT_FALSE(bar->acceptorCanAcceptDraggingInfo(drop, nullptr));
    // The old third and second buttons left the bar.
    EXPECT_EQ(bar->buttons().size(), 2);
}

TEST(Buttonbar, SettingTheButtonsItHoldsChangesNothingAndLayoutFollowsEveryChange)
{
    class CountingBar : public TQButtonbar
    {
    public:
        int layouts = 0;
        void layoutButtons() override { ++layouts; }
    };
    CountingBar bar;
    QPointer<QAbstractButton> first = new QPushButton(QStringLiteral("One"));
    QPointer<QAbstractButton> second = new QPushButton(QStringLiteral("Two"));
    bar.setButtons({first, second});
    EXPECT_EQ(bar.layouts, 1);
    bar.setButtons({first, second});
    EXPECT_EQ(bar.layouts, 1);
    EXPECT_EQ(first->parentWidget(), &bar);

    // A button that leaves the bar goes with it; one that stays is kept.
    bar.setButtons({second});
    EXPECT_EQ(bar.layouts, 2);
    ASSERT_TRUE(test::waitUntil([&] { return first.isNull(); }));
    EXPECT_EQ(second->parentWidget(), &bar);
}

TEST(Buttonbar, AwakeAdoptsItsButtonsInOrderAndGivesTriStateButtonsTheirVariants)
{
    TQButtonbar bar;
    auto* plain = new QPushButton(QStringLiteral("Plain"), &bar);
    auto* triState = new TQTriStateButton(&bar);
    triState->setImage(ImageRegistry::pixmap(QStringLiteral("mode_starred")));
    new QWidget(&bar); // not a button
    bar.awakeFromNib();
    EXPECT_EQ(bar.buttons(), (QList<QAbstractButton*>{plain, triState}));
    EXPECT_EQ(ImageRegistry::nameOf(triState->hoverImage()), QStringLiteral("mode_starred_active"));
    EXPECT_EQ(ImageRegistry::nameOf(triState->pressedImage()), QStringLiteral("mode_starred_on"));

    TQButtonbar empty;
    empty.awakeFromNib();
    EXPECT_TRUE(empty.buttons().isEmpty());
}

TEST(Buttonbar, DrawsOnlyItsBackgroundImageStretchedOverItself)
{
    TQButtonbar bar;
    bar.resize(60, 20);
    bar.setBackgroundImage(
        test::registerSolid(QStringLiteral("test-bar-background"), QColor(0x26, 0x5F, 0x99), QSize(4, 4)));
    const QImage image = bar.grab().toImage();
    for (const QPoint at : {QPoint(0, 0), QPoint(30, 10), QPoint(59, 19)})
        EXPECT_EQ(image.pixelColor(at), QColor(0x26, 0x5F, 0x99)) << at.x() << "," << at.y();
}

// Responders for the validation of the bar's buttons.
class Editor : public QObject
{
    Q_OBJECT
public:
    bool allowShare = true;
    Q_INVOKABLE void share(QObject*) {}
    Q_INVOKABLE void star(QObject*) {}
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item)
    {
        return allowShare || UserInterfaceItem::command(item) != QStringLiteral("share:");
    }
};

class Target : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void rename(QObject*) {}
};

TEST(Buttonbar, ButtonsFollowTheResponderChainOfTheBarsWindow)
{
    QWidget window;
    auto* field = new QLineEdit(&window);
    auto* bar = new TQButtonbar(&window);
    Editor editor;
    Target target;
    ResponderChain::insertResponder(field, &editor);

    const auto button = [](const QString& command, QObject* to) {
        auto* made = new CellButton(std::make_shared<BasicButtonCell>(command));
        made->cell()->setCommand(command);
        made->cell()->setTarget(to);
        return made;
    };
    CellButton* share = button(QStringLiteral("share:"), nullptr);
    CellButton* star = button(QStringLiteral("star:"), nullptr);
    CellButton* nobody = button(QStringLiteral("publish:"), nullptr);
    CellButton* targeted = button(QStringLiteral("rename:"), &target);
    CellButton* wrongTarget = button(QStringLiteral("share:"), &target);
    bar->setButtons({share, star, nobody, targeted, wrongTarget});
    ASSERT_TRUE(test::showAndExpose(&window));
    window.activateWindow();
    field->setFocus();

    bar->validateButtons();
    EXPECT_TRUE(share->isEnabled());
    EXPECT_TRUE(star->isEnabled());
    EXPECT_FALSE(nobody->isEnabled());
    EXPECT_TRUE(targeted->isEnabled());
    EXPECT_FALSE(wrongTarget->isEnabled());

    editor.allowShare = false;
    bar->validateButtons();
    EXPECT_FALSE(share->isEnabled());
    EXPECT_TRUE(star->isEnabled());
}

} // namespace
} // namespace tavrel

#include "ButtonbarTest.moc"
