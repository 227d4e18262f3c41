#include "DocumentViewsFixture.h"
#include "controls/PullToRefreshScrollView.h"
#include "controls/TQAnimatingBar.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQBoxButton.h"
#include "platform/ui/ResponderChain.h"

#include <QCoreApplication>
#include <QMenu>

namespace tavrel {
namespace {

// Crowd is shared with six people and has a link; Solo with nobody.
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "document:crowd", "kind": "document", "title": "Crowd",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "bob@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "cat@tavrel.test", "role": "reader"},
             {"scope": "user", "value": "dan@tavrel.test", "role": "reader"},
             {"scope": "user", "value": "eve@tavrel.test", "role": "reader"},
             {"scope": "user", "value": "fay@tavrel.test", "role": "reader"},
             {"scope": "default", "role": "reader", "key": "k123"}]},
    {"resourceId": "document:solo", "kind": "document", "title": "Solo"}
  ]
})";

class PhotoStripTest : public test::DocumentViewsFixture
{
protected:
    void SetUp() override
    {
        DocumentViewsFixture::SetUp();
        startWithSeed(kSeed, 2);
        // The rows' people come from the list's own provider, which groups them.
        list = std::make_unique<TQAllItemsController>();
        list->setSortDescriptor(SortDescriptor(QStringLiteral("title")));
        QWidget* view = list->view();
        view->resize(640, 480);
        ASSERT_TRUE(test::showAndExpose(view));
        list->viewDidInstall();
        ASSERT_TRUE(test::waitUntil([&] { return rowOf(QStringLiteral("document:crowd")) >= 0; }, 10000));
    }
    // Unwinds the strip of the row, as a click on one of its photos does.
    TQAnimatingBar* unwind(int row)
    {
        QMenu* menu = list->tableView()->menuForRow(row); // the table notes the row as clicked
        Q_UNUSED(menu);
        list->unwindPhotos(nullptr);
        QCoreApplication::processEvents(); // the bar lays its buttons out on the next turn
        return list->photoBar();
    }
    static QList<TQBoxButton*> buttonsOf(TQAnimatingBar* bar)
    {
        QList<TQBoxButton*> buttons;
        for (QWidget* child : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (auto* button = qobject_cast<TQBoxButton*>(child))
                buttons << button;
        return buttons;
    }
};

TEST_F(PhotoStripTest, TheStripUnwindsLeftwardsFromTheFirstPhotoAndEndsInMoreWhenShort)
{
    const int row = rowOf(QStringLiteral("document:crowd"));
    auto* cell = dynamic_cast<TQBigDocumentTableCell*>(list->dataCellForRow(row));
    ASSERT_TRUE(cell);
    const int cells = int(cell->actionCells().size());
    ASSERT_GE(cells, 6);
    const QRectF rowRect(list->tableView()->visualRect(list->tableView()->model()->index(row, 0)));
    const qreal d = rowRect.right() - cell->frameForStaticActionCellInBounds(rowRect).x();

    TQAnimatingBar* bar = unwind(row);
    ASSERT_TRUE(bar);
    EXPECT_FALSE(list->tableView()->shouldHighlightSelection());
    const QRect expected = rowRect.adjusted(1, 1, -1, -1).toRect().adjusted(0, 0, -int(d + 5), 0);
    EXPECT_EQ(bar->geometry().topLeft(), expected.topLeft());
    EXPECT_NEAR(bar->width(), expected.width(), 1);
    const int places = bar->width() / 54;
    const QList<TQBoxButton*> buttons = buttonsOf(bar);
    // Every cell and the hide button when they fit, else the places with "more" in the last.
    EXPECT_EQ(buttons.size(), qMin(cells + 1, places));
    // The hide button (on top) stays where the first photo was; the others step 54 points leftwards.
    TQBoxButton* hide = buttons.constLast();
    EXPECT_EQ(hide->externalAction(), QStringLiteral("rewindPhotos:"));
    for (int k = 1; k < buttons.size(); ++k)
        EXPECT_EQ(buttons[buttons.size() - 1 - k]->x(), hide->x() - 54 * k) << k;
    if (cells + 1 >= places)
        EXPECT_EQ(buttons.constFirst()->externalAction(), QStringLiteral("showItemContacts:"));

    list->rewindPhotos(nullptr);
    EXPECT_EQ(list->tableView()->overlay(), nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return list->tableView()->shouldHighlightSelection(); }, 5000));
}

TEST_F(PhotoStripTest, ANarrowRowShowsMoreInItsLastPlaceAndNothingAfterIt)
{
    list->view()->resize(420, 480);
    QCoreApplication::processEvents();
    const int row = rowOf(QStringLiteral("document:crowd"));
    TQAnimatingBar* bar = unwind(row);
    ASSERT_TRUE(bar);
    const int places = bar->width() / 54;
    ASSERT_LT(places, 8);
    const QList<TQBoxButton*> buttons = buttonsOf(bar);
    EXPECT_EQ(buttons.size(), places);
    EXPECT_EQ(buttons.constFirst()->externalAction(), QStringLiteral("showItemContacts:"));
}

// Takes the window's incremental update.
class UpdateCatcher : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void fastUpdate(QObject*) { ++updates; }
    int updates = 0;
};

TEST_F(PhotoStripTest, TheListLiesInAViewThatAPullRefreshes)
{
    auto* pulling = list->view()->findChild<PullToRefreshScrollView*>();
    ASSERT_TRUE(pulling);
    EXPECT_EQ(pulling->documentView(), list->tableView());
    EXPECT_EQ(pulling->delegate(), list.get());
    EXPECT_EQ(pulling->geometry(), list->view()->rect());
    UpdateCatcher window;
    ResponderChain::setApplicationDelegate(&window);
    list->ptrScrollViewDidTriggerRefresh(pulling);
    ResponderChain::setApplicationDelegate(nullptr);
    EXPECT_EQ(window.updates, 1);
}

} // namespace
} // namespace tavrel

#include "PhotoStripTest.moc"
