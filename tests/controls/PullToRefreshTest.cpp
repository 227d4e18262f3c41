#include "controls/PullToRefreshClipView.h"
#include "controls/PullToRefreshScrollView.h"
#include "platform/runtime/Timing.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace tavrel {
namespace {

// Records the refresh as the list controller would be told of it.
class RefreshListener : public QObject
{
    Q_OBJECT
public:
    explicit RefreshListener(std::vector<std::string>* calls, std::string name)
        : m_calls(calls), m_name(std::move(name))
    {}
    Q_INVOKABLE void ptrScrollViewDidTriggerRefresh(QObject* scrollView)
    {
        m_calls->push_back(m_name + " delegate");
        sender = scrollView;
    }
    Q_INVOKABLE void refreshList(QObject* scrollView)
    {
        m_calls->push_back(m_name + " target");
        sender = scrollView;
    }
    QObject* sender = nullptr;

private:
    std::vector<std::string>* m_calls;
    std::string m_name;
};

// A touchpad gesture's events (content moved down by the points) or a mouse wheel's.
void scroll(QWidget* widget, Qt::ScrollPhase phase, int pointsDown)
{
    const QPointF position(40, 40);
    QWheelEvent event(position, widget->mapToGlobal(position), QPoint(0, pointsDown),
                      QPoint(0, pointsDown * 2), Qt::NoButton, Qt::NoModifier, phase, false);
    QCoreApplication::sendEvent(widget, &event);
}

void pull(QWidget* widget, int points, bool letGo)
{
    scroll(widget, Qt::ScrollBegin, 0);
    scroll(widget, Qt::ScrollUpdate, points);
    if (letGo)
        scroll(widget, Qt::ScrollEnd, 0);
}

class PullToRefreshTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        view = std::make_unique<PullToRefreshScrollView>();
        view->resize(320, 240);
        document = new QWidget;
        document->setFixedHeight(600);
        view->setDocumentView(document);
        ASSERT_TRUE(test::showAndExpose(view.get()));
        clip = view->contentView();
    }
    double originY() const { return clip->boundsOrigin().y(); }

    std::unique_ptr<PullToRefreshScrollView> view;
    QWidget* document = nullptr;
    PullToRefreshClipView* clip = nullptr;
};

TEST_F(PullToRefreshTest, LettingGoAtFiftyFourPointsOrMoreStartsARefresh)
{
    struct Row
    {
        int pull;
        bool over;
        double restsAt;
    };
    const std::vector<Row> rows{{30, false, 0}, {53, false, 0}, {54, true, -44}, {90, true, -44}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.pull);
        Timing::Override longRefresh("ptrRefreshDuration", 60000);
        view = std::make_unique<PullToRefreshScrollView>();
        view->resize(320, 240);
        view->setDocumentView(document = new QWidget);
        document->setFixedHeight(600);
        ASSERT_TRUE(test::showAndExpose(view.get()));
        clip = view->contentView();

        pull(clip, row.pull, false);
        EXPECT_EQ(originY(), -row.pull);
        EXPECT_EQ(view->overHeaderView(), row.over);
        // The arrow turns over: the pull arrow gives way to the release arrow.
        EXPECT_EQ(view->refreshArrow()->isHidden(), row.over);
        EXPECT_EQ(view->releaseArrow()->isHidden(), !row.over);
        EXPECT_DOUBLE_EQ(view->refreshArrow()->rotation(), row.over ? M_PI : 2 * M_PI);
        EXPECT_DOUBLE_EQ(view->releaseArrow()->rotation(), row.over ? 2 * M_PI : M_PI / 2);
        // The header lies right above the document's top.
        EXPECT_EQ(view->refreshHeader()->geometry(), QRect(0, row.pull - 44, clip->width(), 44));

        scroll(clip, Qt::ScrollEnd, 0);
        EXPECT_EQ(view->isRefreshing(), row.over);
        EXPECT_EQ(originY(), row.restsAt);
        if (row.over) {
            EXPECT_TRUE(view->refreshSpinner()->isAnimating());
            EXPECT_TRUE(view->refreshArrow()->isHidden());
            EXPECT_TRUE(view->releaseArrow()->isHidden());
            // At rest the whole header shows.
            EXPECT_EQ(view->refreshHeader()->geometry(), QRect(0, 0, clip->width(), 44));
        }
    }
}

TEST_F(PullToRefreshTest, TheRefreshIsReportedOneDurationLaterAndTheHeaderLeaves)
{
    Timing::Override quick("ptrRefreshDuration", 40);
    std::vector<std::string> calls;
    RefreshListener controller(&calls, "controller");
    view->setDelegate(&controller);
    view->setTarget(&controller);
    view->setSelector(QStringLiteral("refreshList:"));
    QSignalSpy refreshing(view.get(), &PullToRefreshScrollView::isRefreshingChanged);

    pull(clip, 60, true);
    ASSERT_EQ(refreshing.count(), 1);
    EXPECT_TRUE(refreshing.at(0).at(0).toBool());
    // Nobody is told at the start.
    EXPECT_TRUE(calls.empty());

    ASSERT_TRUE(test::waitUntil([&] { return !view->isRefreshing(); }));
    ASSERT_EQ(refreshing.count(), 2);
    EXPECT_FALSE(refreshing.at(1).at(0).toBool());
    EXPECT_EQ(calls, (std::vector<std::string>{"controller target", "controller delegate"}));
    EXPECT_EQ(controller.sender, view.get());
    // Over: the spinner stops, the pull arrow is back, the header has scrolled away.
    EXPECT_FALSE(view->refreshSpinner()->isAnimating());
    EXPECT_FALSE(view->refreshArrow()->isHidden());
    EXPECT_EQ(originY(), 0);
    EXPECT_LE(view->refreshHeader()->geometry().bottom(), 0);
}

TEST_F(PullToRefreshTest, DuringARefreshTheHeaderIsHeldAndNothingStartsAgain)
{
    Timing::Override longRefresh("ptrRefreshDuration", 60000);
    QSignalSpy refreshing(view.get(), &PullToRefreshScrollView::isRefreshingChanged);
    pull(clip, 60, true);
    ASSERT_TRUE(view->isRefreshing());

    // Pulled further than 54 points, it comes back to the header's full height.
    pull(clip, 40, false);
    EXPECT_EQ(originY(), -84);
    EXPECT_TRUE(view->refreshArrow()->isHidden()); // the arrows stay out of it
    EXPECT_TRUE(view->releaseArrow()->isHidden());
    scroll(clip, Qt::ScrollEnd, 0);
    EXPECT_EQ(originY(), -44);
    EXPECT_EQ(refreshing.count(), 1);

    // Pushed up part of the way, it stays there.
    pull(clip, -14, true);
    EXPECT_EQ(originY(), -30);
    // A mouse wheel reaches the header while refreshing, but no further.
    scroll(clip, Qt::NoScrollPhase, 200);
    EXPECT_EQ(originY(), -44);
    EXPECT_EQ(refreshing.count(), 1);
}

TEST_F(PullToRefreshTest, OnlyTheEndOfAGestureStartsARefresh)
{
    // A mouse wheel at the top does not pull at all.
    scroll(clip, Qt::NoScrollPhase, 120);
    EXPECT_EQ(originY(), 0);

    // A gesture past the threshold followed by a wheel's event: settled, no refresh.
    pull(clip, 70, false);
    EXPECT_TRUE(view->overHeaderView());
    scroll(clip, Qt::ScrollMomentum, 0);
    scroll(clip, Qt::NoScrollPhase, 0);
    EXPECT_FALSE(view->isRefreshing());
    EXPECT_EQ(originY(), 0);

    // Ordinary scrolling still works both ways.
    scroll(clip, Qt::NoScrollPhase, -100);
    EXPECT_GT(originY(), 0);
    EXPECT_EQ(view->verticalScrollBar()->value(), int(originY()));
}

TEST_F(PullToRefreshTest, TargetAndDelegateAreEachToldOnlyWhenTheyAnswer)
{
    struct Row
    {
        const char* name;
        bool delegate;
        bool target;
        const char* selector;
        std::vector<std::string> calls;
    };
    const std::vector<Row> rows{
        {"both", true, true, "refreshList:", {"target", "delegate"}},
        {"a target without that method: only the delegate", true, true, "reload:", {"delegate"}},
        {"no target", true, false, "refreshList:", {"delegate"}},
        {"no delegate", false, true, "refreshList:", {"target"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Timing::Override quick("ptrRefreshDuration", 10);
        std::vector<std::string> calls;
        RefreshListener delegate(&calls, "");
        RefreshListener target(&calls, "");
        QObject silent; // a delegate without the method
        view->setDelegate(row.delegate ? static_cast<QObject*>(&delegate) : &silent);
        view->setTarget(row.target ? &target : nullptr);
        view->setSelector(QString::fromLatin1(row.selector));
        pull(clip, 60, true);
        ASSERT_TRUE(test::waitUntil([&] { return !view->isRefreshing(); }));
        std::vector<std::string> expected;
        for (const std::string& call : row.calls)
            expected.push_back(" " + call);
        EXPECT_EQ(calls, expected);
    }
}

TEST_F(PullToRefreshTest, ShortContentCanBePulledToo)
{
    Timing::Override longRefresh("ptrRefreshDuration", 60000);
    document->setFixedHeight(50);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->verticalScrollBar()->maximum(), 0);
    pull(clip, 60, true);
    EXPECT_TRUE(view->isRefreshing());
    EXPECT_EQ(originY(), -44);
}

TEST_F(PullToRefreshTest, AListIsPulledOnlyAtItsTop)
{
    Timing::Override longRefresh("ptrRefreshDuration", 60000);
    auto* list = new QListWidget;
    for (int i = 0; i < 200; ++i)
        list->addItem(QStringLiteral("Row %1").arg(i));
    view->setDocumentView(list);
    QCoreApplication::processEvents();
    QScrollBar* bar = list->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(20);

    // Scrolled down, a gesture scrolls the list itself.
    pull(list->viewport(), 60, false);
    EXPECT_EQ(originY(), 0);
    EXPECT_LT(bar->value(), 20);
    scroll(list->viewport(), Qt::ScrollEnd, 0);
    EXPECT_FALSE(view->isRefreshing());

    // At the top it pulls the whole list down, header above it.
    bar->setValue(0);
    pull(list->viewport(), 60, false);
    EXPECT_EQ(originY(), -60);
    EXPECT_EQ(list->geometry().top(), 60);
    scroll(list->viewport(), Qt::ScrollEnd, 0);
    EXPECT_TRUE(view->isRefreshing());
    EXPECT_EQ(list->geometry().top(), 44);
    EXPECT_EQ(view->refreshHeader()->geometry(), QRect(0, 0, list->width(), 44));
}

} // namespace
} // namespace tavrel

#include "PullToRefreshTest.moc"
