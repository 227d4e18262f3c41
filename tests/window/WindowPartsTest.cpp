#include "controls/TQSwitchButtonCell.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"
#include "window/TQFilterbar.h"
#include "window/TQNotificationController.h"
#include "window/TQTextFilterHostView.h"

#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// The banner's delegate: writes down the actions it is asked for.
class ActionRecorder : public QObject
{
    Q_OBJECT
public:
    QStringList performed;
    Q_INVOKABLE void notificationController(QObject*, const QString& action) { performed << action; }
};

class BannerTest : public ::testing::Test
{
protected:
    BannerTest()
    {
        window.resize(500, 400);
        referral = new QWidget(&window);
        referral->setGeometry(80, 40, 420, 360);
        banner()->setReferralView(referral);
        banner()->setDelegate(&recorder);
        test::showAndExpose(&window);
    }
    ~BannerTest() override
    {
        banner()->hideNotificationArea();
        banner()->setDelegate(nullptr);
    }
    static TQNotificationController* banner()
    {
        return TQNotificationController::sharedNotificationController();
    }

    QWidget window;
    QWidget* referral = nullptr;
    ActionRecorder recorder;
};

TEST_F(BannerTest, TextOfMessagesAndLinks)
{
    struct Row
    {
        const char* message;
        const char* action;
        const char* title;
        const char* expected;
    };
    const Row rows[] = {
        {"Could not share.", "", "", "Could not share. "},
        {"Could not share.", "moreDetail", "More details", "Could not share. More details"},
        {"Could not share.", "moreDetail", "", "Could not share. moreDetail"},
        {"", "other", "Other", "Could not share. moreDetail"}, // empty: the previous text stays
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        banner()->setMessage(QString::fromUtf8(row.message), QString::fromUtf8(row.action),
                             QString::fromUtf8(row.title));
        EXPECT_EQ(banner()->plainText(), QString::fromUtf8(row.expected));
    }
}

TEST_F(BannerTest, ShowsOverTheColumnAndGoesAfterItsTime)
{
    Timing::Override shortDisplay(QStringLiteral("bannerDisplayTime"), 60);
    banner()->setMessage(QStringLiteral("The document could not be renamed."));
    banner()->showNotification();
    ASSERT_TRUE(banner()->isShown());
    QWidget* view = banner()->view();
    EXPECT_EQ(view->parentWidget(), &window);
    EXPECT_EQ(view->x(), referral->x());
    EXPECT_EQ(view->y(), referral->y());
    EXPECT_EQ(view->width(), referral->width()); // the referral's width, whatever the banner had
    EXPECT_GT(view->height(), 10);
    EXPECT_TRUE(banner()->hasPendingHide());
    ASSERT_TRUE(test::waitUntil([] { return !banner()->isShown(); }, 3000));
    EXPECT_EQ(view->parentWidget(), nullptr);
}

TEST_F(BannerTest, ASecondMessageReplacesOnlyTheText)
{
    Timing::Override shortDisplay(QStringLiteral("bannerDisplayTime"), 400);
    banner()->setMessage(QStringLiteral("First"));
    banner()->showNotification();
    QElapsedTimer shown;
    shown.start();
    QWidget* view = banner()->view();
    const QRect frame = view->geometry();
    banner()->setMessage(QStringLiteral("Second"));
    banner()->showNotification();
    EXPECT_EQ(banner()->plainText(), QStringLiteral("Second "));
    EXPECT_EQ(view->geometry(), frame); // no new slide
    ASSERT_TRUE(test::waitUntil([] { return !banner()->isShown(); }, 3000));
    // The first banner's timer decided, not a fresh one.
    EXPECT_LT(shown.elapsed(), 750);
}

TEST_F(BannerTest, LinkHidesAndAsksTheDelegate)
{
    banner()->setMessage(QStringLiteral("Upload failed."), QStringLiteral("moreDetail"),
                         QStringLiteral("More"));
    banner()->showNotification();
    ASSERT_TRUE(banner()->isShown());
    emit banner()->notificationArea()->anchorClicked(QUrl(QStringLiteral("moreDetail")));
    EXPECT_EQ(recorder.performed, QStringList{QStringLiteral("moreDetail")});
    EXPECT_FALSE(banner()->isShown());
    EXPECT_FALSE(banner()->hasPendingHide());
    // Without a delegate a click only hides.
    banner()->setDelegate(nullptr);
    banner()->showNotification();
    emit banner()->notificationArea()->anchorClicked(QUrl(QStringLiteral("moreDetail")));
    EXPECT_EQ(recorder.performed.size(), 1);
    EXPECT_FALSE(banner()->isShown());
}

TEST(FilterbarTest, ButtonsSpreadEvenly)
{
    TQFilterbar bar;
    bar.resize(120, 30);
    bar.layoutButtons(); // no buttons: nothing
    for (int i = 0; i < 3; ++i) {
        auto cell = std::make_shared<TQSwitchButtonCell>();
        cell->setOffImage(ImageRegistry::pixmap(QStringLiteral("mode_trash")));
        auto* button = new CellButton(cell, &bar);
        button->resize(24, 24);
    }
    bar.awakeFromNib();
    ASSERT_EQ(bar.buttons().size(), 3);
    QList<int> xs;
    for (QAbstractButton* button : bar.buttons()) {
        xs << button->x();
        EXPECT_EQ(button->geometry().size(), QSize(24, 24));
        EXPECT_EQ(button->y(), 3);
    }
    EXPECT_EQ(xs, (QList<int>{12, 48, 84}));
    EXPECT_EQ(UserInterfaceItem::state(bar.buttons().constFirst()), 1);
    auto* cell = static_cast<CellButton*>(bar.buttons().constFirst())->cellAs<TQSwitchButtonCell>();
    EXPECT_EQ(ImageRegistry::nameOf(cell->onImage()), QStringLiteral("mode_trash_on"));
    EXPECT_EQ(ImageRegistry::nameOf(cell->highlightImage()), QStringLiteral("mode_trash_active"));
}

class FilterStripTest : public ::testing::Test
{
protected:
    FilterStripTest()
    {
        host.resize(400, 300);
        list = new QLineEdit(&host); // any focusable view stands for the list
        list->setReadOnly(true);
        list->setGeometry(0, 0, 400, 300);
        strip = new QWidget;
        strip->resize(400, 32);
        field = new QLineEdit(strip);
        host.setTextFilter(strip);
        host.setReferredView(list);
        host.setSearchField(field);
        host.awakeFromNib();
        test::showAndExpose(&host);
        list->setFocus();
    }
    TQTextFilterHostView host;
    QLineEdit* list = nullptr;
    QWidget* strip = nullptr;
    QLineEdit* field = nullptr;
};

TEST_F(FilterStripTest, CtrlFShowsAndEscapeHides)
{
    EXPECT_FALSE(host.isFilterVisible());
    QTest::keyClick(list, Qt::Key_Escape); // hidden: Escape is not the strip's
    EXPECT_FALSE(host.isFilterVisible());

    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(host.isFilterVisible());
    EXPECT_EQ(strip->geometry(), QRect(0, 0, 400, 32));
    EXPECT_EQ(list->geometry(), QRect(0, 32, 400, 268));
    EXPECT_TRUE(field->hasFocus());

    // Shown: Ctrl+F is not consumed again.
    QKeyEvent again(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier, QStringLiteral("f"));
    EXPECT_FALSE(host.performKeyEquivalent(&again));

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(host.isFilterVisible());
    EXPECT_EQ(list->geometry(), QRect(0, 0, 400, 300)); // exactly its former height
}

TEST(FilterStripWithoutListTest, CtrlFIsTakenButShowsNothing)
{
    TQTextFilterHostView host;
    auto* strip = new QWidget;
    host.setTextFilter(strip);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_F, Qt::ControlModifier, QStringLiteral("f"));
    EXPECT_TRUE(host.performKeyEquivalent(&key));
    EXPECT_FALSE(host.isFilterVisible());
}

} // namespace
} // namespace tavrel

#include "WindowPartsTest.moc"
