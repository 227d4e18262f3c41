#include "ControlTestSupport.h"
#include "RowFixture.h"
#include "controls/TQBigContactTableCell.h"
#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQItemPermissionTableCell.h"
#include "controls/TQLinkTitleSubcell.h"
#include "controls/TQPhotoSubcell.h"
#include "controls/TQSimpleBigContactTableCell.h"
#include "controls/ValueTransformer.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/DMTracker.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"
#include "support/WaitUntil.h"
#include "support/ui/LoggingTest.h"
#include "support/ui/WidgetTesting.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using test::PointerHost;

CellMouseEvent at(const QPointF& point, int clicks = 1)
{
    CellMouseEvent event;
    event.position = point;
    event.clickCount = clicks;
    return event;
}

QList<std::shared_ptr<Cell>> thumbnails(int count)
{
    QList<std::shared_ptr<Cell>> cells;
    for (int i = 0; i < count; ++i)
        cells.append(TQDynamicPhotoSubcell::cell());
    return cells;
}

class BigRowCellsTest : public test::LoggingTest
{
protected:
    PointerHost host;
};

TEST_F(BigRowCellsTest, TheFittingWalkDecidesWhatShowsAtTheRightEnd)
{
    const struct
    {
        const char* what;
        qreal width;
        int subcells;
        bool alwaysMore;
        QList<qreal> shownX;
        qreal moreX; // -1: no more-items cell
    } cases[] = {
        // Slots at 742, 689, 636, 583; start line 610.
        {"three fit", 800, 3, false, {742, 689, 636}, -1},
        {"four: two and the more-items cell", 800, 4, false, {742, 689}, 653},
        {"six: the same", 800, 6, false, {742, 689}, 653},
        {"none", 800, 0, false, {}, -1},
        {"none, more-items always", 800, 0, true, {}, 758},
        {"all fit, more-items always, moved left", 800, 2, true, {742, 689}, 758},
        // Start line 160, slot 0 at 142: the only subcell gives way to the more-items cell.
        {"a single subcell that does not fit", 200, 1, false, {}, 159},
    };
    for (const auto& c : cases) {
        TQBigContactTableCell cell(QStringLiteral("Ann"));
        cell.setActionCells(thumbnails(c.subcells));
        cell.setShouldAlwaysShowMoreItems(c.alwaysMore);
        const auto layout = cell.actionLayout(QRectF(0, 0, c.width, 87));
        QList<qreal> xs;
        for (const auto& shown : layout.shown)
            xs.append(shown.second.x());
        EXPECT_EQ(xs, c.shownX) << c.what;
        EXPECT_EQ(layout.showsMoreItems, c.moreX >= 0) << c.what;
        if (c.moreX >= 0) {
            EXPECT_EQ(layout.moreItems.x(), c.moreX) << c.what;
        }
    }
}

TEST_F(BigRowCellsTest, LinesSitOnThePhotosQuarterLines)
{
    const QRectF row(0, 0, 600, 87);
    TQBigContactTableCell cell(QStringLiteral("Ann"));
    EXPECT_EQ(cell.frameForPhotoCellInBounds(row), QRectF(12, 9, 68, 68));
    EXPECT_EQ(cell.cellSize(QSizeF(5, 5)), QSizeF(186, 87));
    cell.setSubtitle(QStringLiteral("ann@example.com"));
    cell.setDetails(QStringLiteral("3 items"));
    qreal maxWidth = 0;
    const QRectF title = cell.frameForTitleCellInBounds(row, &maxWidth);
    const QRectF subtitle = cell.frameForSubtitleCellInBounds(row);
    const QRectF details = cell.frameForDetailsCellInBounds(row);
    EXPECT_EQ(title.x(), 89);
    EXPECT_EQ(maxWidth, std::ceil(600 - (80 + 9 + 10 + 150)));
    // Quarter, half and three-quarter lines of the photo (y 9 to 77), within the rounding.
    EXPECT_NEAR(title.center().y(), 9 + 17 - 2, 1.5);
    EXPECT_NEAR(subtitle.center().y(), 43.5, 1);
    EXPECT_NEAR(details.center().y(), 9 + 51 + 2, 1.5);
    EXPECT_EQ(subtitle.width(), maxWidth);

    // An empty text keeps its subcell but counts as absent.
    TQBigContactTableCell two(QStringLiteral("Bob"));
    two.setSubtitle(QStringLiteral("bob@example.com"));
    two.setDetails(QStringLiteral(""));
    EXPECT_TRUE(two.detailsCell());
    EXPECT_TRUE(two.frameForDetailsCellInBounds(row).isNull());
    const QRectF twoTitle = two.titleRectForBounds(row);
    const QRectF twoSubtitle = two.frameForSubtitleCellInBounds(row);
    EXPECT_NEAR((twoTitle.center().y() + twoSubtitle.center().y()) / 2, 43.5, 1.5);
}

TEST_F(BigRowCellsTest, TheTitleFrameIsKeptForTheSameBounds)
{
    const QRectF row(0, 0, 600, 87);
    TQBigContactTableCell cell(QStringLiteral("Al"));
    const QRectF first = cell.titleRectForBounds(row);
    cell.setTitle(QStringLiteral("A much longer name than before"));
    EXPECT_EQ(cell.titleRectForBounds(row), first);
    EXPECT_GT(cell.titleRectForBounds(row.adjusted(0, 0, 1, 0)).width(), first.width());
}

TEST_F(BigRowCellsTest, HitsAndTrackingGoToThePartUnderTheMouse)
{
    const QRectF row(0, 0, 800, 87);
    TQBigContactTableCell cell(QStringLiteral("Ann"));
    int titleClicks = 0;
    int thumbClicks = 0;
    int moreClicks = 0;
    cell.titleCell()->setAction([&](Cell&) { ++titleClicks; });
    auto cells = thumbnails(4);
    for (auto& thumb : cells)
        thumb->setAction([&](Cell&) { ++thumbClicks; });
    cell.setActionCells(cells);
    cell.moreItemsCell().setAction([&](Cell&) { ++moreClicks; });
    const QPointF titlePoint = cell.titleRectForBounds(row).center();

    EXPECT_EQ(cell.hitTest({40, 40}, row), Cell::ContentArea);
    EXPECT_EQ(cell.hitTest(titlePoint, row), Cell::ContentArea | Cell::TrackableArea);
    EXPECT_EQ(cell.hitTest({760, 43}, row), Cell::ContentArea | Cell::TrackableArea | Cell::NoSelect);
    EXPECT_EQ(cell.hitTest({600, 43}, row), Cell::ContentArea); // the hidden slot
    // No photo: nothing is tracked there.
    EXPECT_FALSE(cell.mousePressed(at({40, 40}), row, host));

    // A press on the title released elsewhere in the row still counts.
    ASSERT_TRUE(cell.mousePressed(at(titlePoint), row, host));
    EXPECT_TRUE(cell.mouseReleased(at({500, 80}), host));
    EXPECT_EQ(titleClicks, 1);
    ASSERT_TRUE(cell.mousePressed(at({760, 43}), row, host));
    EXPECT_TRUE(cell.mouseReleased(at({760, 43}), host));
    EXPECT_EQ(thumbClicks, 1);
    ASSERT_TRUE(cell.mousePressed(at({665, 43}), row, host));
    EXPECT_TRUE(cell.mouseReleased(at({665, 43}), host));
    EXPECT_EQ(moreClicks, 1);
}

TEST_F(BigRowCellsTest, TheSimpleCellKeepsItsTitleClearOfTheMoreItemsButton)
{
    const QRectF row(0, 0, 400, 87);
    TQSimpleBigContactTableCell cell(QString(300, QLatin1Char('W')));
    cell.setSharedItemsCount(3);
    EXPECT_TRUE(cell.shouldAlwaysShowMoreItems());
    EXPECT_EQ(cell.moreItemsCell().title(), StringTable::format(QStringLiteral("SharedItems"), 3));
    const QRectF more = cell.frameForMoreItemsCellInBounds(row);
    EXPECT_EQ(more.right(), 400 - 15);
    EXPECT_EQ(more.width(), cell.moreItemsCell().cellSize().width() + 8);
    EXPECT_EQ(cell.titleRectForBounds(row).right(), more.x() - 10);
    cell.setSharedItemsCount(1);
    EXPECT_EQ(cell.moreItemsCell().title(), StringTable::text(QStringLiteral("OneSharedItem")));
    cell.setSharedItemsCount(0);
    EXPECT_FALSE(cell.shouldAlwaysShowMoreItems());
}

class DynamicPhotoTest : public test::RowFixture
{
protected:
    void SetUp() override
    {
        RowFixture::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(300, 200);
        ASSERT_TRUE(test::showAndExpose(window.get()));
        subcell = TQDynamicPhotoSubcell::cell();
        subcell->setControlView(window.get());
        subcell->setLastFrame(QRectF(100, 50, 44, 44));
    }
    void TearDown() override
    {
        subcell.reset();
        window.reset();
        RowFixture::TearDown();
    }
    test::RegisteredPopovers popovers;
    Timing::Override labelDelay{QStringLiteral("photoLabelDelay"), 100};
    Timing::Override profileDelay{QStringLiteral("photoProfileDelay"), 10};
    std::unique_ptr<QWidget> window;
    std::shared_ptr<TQDynamicPhotoSubcell> subcell;
};

// Answers its call count as the image's width.
class CountingTransformer : public ValueTransformer
{
public:
    QVariant transformedValue(const QVariant&) const override
    {
        return QVariant::fromValue(QPixmap(++calls, 1));
    }
    mutable int calls = 0;
};

// The image is made from the object each time it is set (a list sets it whenever it draws the row),
// and a change of the record alone changes nothing: the subcell watches no record.
TEST_F(DynamicPhotoTest, TheImageComesFromTheTransformerEachTimeTheObjectIsSet)
{
    auto transformer = std::make_shared<CountingTransformer>();
    subcell->setTransformer(transformer);
    const auto ann = mail(QStringLiteral("ann@example.com"));
    const auto bob = mail(QStringLiteral("bob@example.com"));
    subcell->setObject(QVariant::fromValue<ManagedObjectPtr>(ann));
    EXPECT_EQ(subcell->image().width(), 1);
    ann->didChangeValueForKey(QStringLiteral("SELF"));
    EXPECT_EQ(transformer->calls, 1);
    subcell->setObject(QVariant::fromValue<ManagedObjectPtr>(ann));
    EXPECT_EQ(subcell->image().width(), 2);
    subcell->setObject(QVariant::fromValue<ManagedObjectPtr>(bob));
    EXPECT_EQ(subcell->representedObject().value<ManagedObjectPtr>(), ManagedObjectPtr(bob));
    EXPECT_EQ(transformer->calls, 3);
}

TEST_F(DynamicPhotoTest, TheLabelShowsOnlyAfterARest)
{
    const auto me = mail(kUser);
    const auto ann = mail(QStringLiteral("ann@example.com"));
    ann->setValueForKey(QStringLiteral("label"), QStringLiteral("Ann"));
    subcell->setLabelKeyPath(QStringLiteral("address"));

    subcell->setObject(QVariant::fromValue<ManagedObjectPtr>(ann));
    subcell->setHovered(true);
    subcell->setHovered(false);
    test::letTimePass(200);
    EXPECT_TRUE(popovers.label.labels.isEmpty());

    const struct
    {
        std::shared_ptr<Mail> mail;
        QString label;
    } cases[] = {{ann, QStringLiteral("ann@example.com")}, {me, StringTable::text(QStringLiteral("OnlyME"))}};
    for (const auto& c : cases) {
        popovers.label.labels.clear();
        subcell->setObject(QVariant::fromValue<ManagedObjectPtr>(c.mail));
        subcell->setHovered(true);
        ASSERT_TRUE(test::waitUntil([&] { return !popovers.label.labels.isEmpty(); }));
        EXPECT_EQ(popovers.label.labels.last(), c.label);
        EXPECT_EQ(popovers.label.attachments.last().point, QPointF(122, 50));
        subcell->setHovered(false);
    }
}

TEST_F(DynamicPhotoTest, ClicksNeverSelectTheRowAndADoubleClickRunsTheDoubleAction)
{
    int doubles = 0;
    subcell->setAction([](Cell&) {});
    subcell->setDoubleAction([&](Cell&) { ++doubles; });
    const QRectF frame(100, 50, 44, 44);
    test::multiClick(window.get(), QPoint(5, 5), 1);
    EXPECT_EQ(subcell->hitTest(QPointF(120, 70), frame),
              Cell::ContentArea | Cell::TrackableArea | Cell::NoSelect);
    EXPECT_EQ(doubles, 0);
    test::multiClick(window.get(), QPoint(5, 5), 2);
    EXPECT_EQ(subcell->hitTest(QPointF(120, 70), frame), Cell::None);
    EXPECT_EQ(doubles, 1);
}

TEST_F(DynamicPhotoTest, TheQuickPopoverTogglesWithItsOwner)
{
    const auto ann = mail(QStringLiteral("ann@example.com"));
    subcell->setObject(QVariant::fromValue<ManagedObjectPtr>(ann));
    subcell->setAccompanyObject(QStringLiteral("item"));
    subcell->showQuickDialog();
    EXPECT_EQ(popovers.permission.attachments.size(), 1);
    EXPECT_TRUE(popovers.permission.deletable);
    EXPECT_EQ(popovers.permission.item, QVariant(QStringLiteral("item")));
    EXPECT_EQ(popovers.permission.attachments.last().point, QPointF(122, 50));
    // The owner's second click only clears the owner; the next one opens it again.
    subcell->showQuickDialog();
    EXPECT_EQ(popovers.permission.attachments.size(), 1);
    EXPECT_TRUE(popovers.permission.owner().isNull());
    subcell->showQuickDialog();
    EXPECT_EQ(popovers.permission.attachments.size(), 2);
    // Another subcell takes it over.
    auto other = TQDynamicPhotoSubcell::cell();
    other->setControlView(window.get());
    other->setLastFrame(QRectF(150, 50, 44, 44));
    other->showQuickDialog();
    EXPECT_EQ(popovers.permission.attachments.size(), 3);
    EXPECT_EQ(popovers.permission.owner().frame, QRectF(150, 50, 44, 44));
}

TEST_F(DynamicPhotoTest, TheProfileRequestReportsTheUsersOwnPage)
{
    QList<QVariant> requested;
    NotificationCenter::defaultCenter().addObserver(
        window.get(), TQDynamicPhotoSubcell::kTQShowEmailProfileNotification, QVariant(),
        [&](const Notification& n) { requested.append(n.object()); });
    QStringList events;
    QObject::connect(DMTracker::defaultTracker(), &DMTracker::eventTracked, window.get(),
                     [&](const QString& category, const QString& name, const QString& value) {
                         events.append(category + QLatin1Char('/') + name + QLatin1Char('/') + value);
                     });
    const auto ann = mail(QStringLiteral("ann@example.com"));
    const auto me = mail(kUser);
    // Each subcell asks once: a second request of one subcell replaces its first.
    auto other = TQDynamicPhotoSubcell::cell();
    subcell->setObject(QVariant::fromValue<ManagedObjectPtr>(ann));
    subcell->showEmailProfile();
    subcell->showEmailProfile();
    other->setObject(QVariant::fromValue<ManagedObjectPtr>(me));
    other->showEmailProfile();
    ASSERT_TRUE(test::waitUntil([&] { return requested.size() == 2; }));
    test::letTimePass(50);
    EXPECT_EQ(requested.size(), 2);
    NotificationCenter::defaultCenter().removeObserver(window.get());
    EXPECT_EQ(events, QStringList{QStringLiteral("Navigation/PersonalProfile/Sharing")});
}

TEST_F(DynamicPhotoTest, AnItemRowAnnouncesEachChangeOfItsDocumentsIcon)
{
    const auto plan = file(QStringLiteral("Plan"), QStringLiteral("plan.pdf"));
    int announced = 0;
    NotificationCenter::defaultCenter().addObserver(window.get(),
                                                    TQItemPermissionTableCell::kFileItemDidUpdateNotification,
                                                    QVariant(), [&](const Notification& n) {
                                                        if (n.object().value<ManagedObjectPtr>() == plan)
                                                            ++announced;
                                                    });
    {
        TQItemPermissionTableCell cell(QStringLiteral("Plan"));
        cell.setRepresentedObject(QVariant::fromValue<ManagedObjectPtr>(plan));
        cell.setPhoto(QPixmap(4, 4));
        EXPECT_TRUE(std::dynamic_pointer_cast<TQDynamicPhotoSubcell>(cell.photoCell()));
        plan->didChangeValueForKey(QStringLiteral("iconPath"));
        plan->didChangeValueForKey(QStringLiteral("iconPath"));
        EXPECT_EQ(announced, 2);
        cell.setPhoto(QPixmap());
        EXPECT_FALSE(cell.photoCell());
    }
    // The watch ended with the cell.
    plan->didChangeValueForKey(QStringLiteral("iconPath"));
    NotificationCenter::defaultCenter().removeObserver(window.get());
    EXPECT_EQ(announced, 2);
}

} // namespace
} // namespace tavrel
