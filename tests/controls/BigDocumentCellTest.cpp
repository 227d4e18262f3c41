#include "ControlTestSupport.h"
#include "RowFixture.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQHoveredPopUpButtonCell.h"
#include "controls/TQLinkTitleSubcell.h"
#include "controls/TQMailToImageTransformer.h"
#include "controls/TQStateItemCell.h"
#include "model/Contact.h"
#include "model/ContactCachedAvatar.h"
#include "model/GeneralACLPermission.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/ImageRegistry.h"
#include "support/ui/WidgetTesting.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <functional>
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

class BigDocumentCellTest : public test::RowFixture
{
protected:
    void SetUp() override
    {
        RowFixture::SetUp();
        window = std::make_unique<QWidget>();
        window->resize(820, 120);
        host = std::make_unique<PointerHost>(window.get());
    }
    void TearDown() override
    {
        host.reset();
        window.reset();
        RowFixture::TearDown();
    }
    // The flag the list's view hands the rows it draws (offline until a test says).
    bool online = false;
    // A row as the lists make it: every subcell present, a pile of the given cells.
    std::unique_ptr<TQBigDocumentTableCell> fullRow(QList<std::shared_ptr<Cell>> pile)
    {
        auto cell = std::make_unique<TQBigDocumentTableCell>(QString());
        cell->setOnline(online);
        cell->setControlView(window.get());
        cell->setTitle(QStringLiteral("Quarterly plan"));
        cell->setSubtitle(QStringLiteral("Today by me"));
        cell->setDetails(QStringLiteral("Work"));
        cell->setPhoto(QPixmap(8, 8));
        cell->setItemState(TQStateItemCell::StateFavoriteOff);
        cell->setItemPermission(0);
        menu = std::make_unique<QMenu>();
        for (int i = 0; i < 6; ++i)
            menu->addAction(QStringLiteral("choice %1").arg(i));
        cell->permissionCell()->setMenu(menu.get());
        cell->setItemPermission(2);
        cell->staticActionCell().setAction([](Cell&) {});
        if (!pile.isEmpty())
            cell->setActionCells(pile);
        return cell;
    }

    std::unique_ptr<QWidget> window;
    std::unique_ptr<PointerHost> host;
    std::unique_ptr<QMenu> menu;
};

std::shared_ptr<Cell> person()
{
    auto cell = TQDynamicPhotoSubcell::cell();
    cell->setAction([](Cell&) {});
    return cell;
}

TEST_F(BigDocumentCellTest, SubcellFramesFollowTheBounds)
{
    const struct
    {
        const char* what;
        QRectF bounds;
        bool linkFirst; // the pile's first cell is a link button, which grows by a point
        bool hideActions;
        QRectF state, permission, photo, share, first;
    } cases[] = {
        {"a wide row",
         {0, 0, 800, 87},
         false,
         false,
         {4, 18, 23, 26},
         {8, 49, 23, 16},
         {33, 7, 72, 72},
         {769, 33, 22, 20},
         {723, 27, 32, 32}},
        {"moved and narrower",
         {10, 100, 600, 87},
         false,
         false,
         {14, 118, 23, 26},
         {18, 149, 23, 16},
         {43, 107, 72, 72},
         {579, 133, 22, 20},
         {533, 127, 32, 32}},
        {"half a point down: every y rounded down",
         {0, 10.5, 500, 87},
         false,
         false,
         {4, 28, 23, 26},
         {8, 59, 23, 16},
         {33, 18, 72, 72},
         {469, 44, 22, 20},
         {423, 38, 32, 32}},
        {"taller",
         {0, 0, 800, 90},
         false,
         false,
         {4, 18, 23, 26},
         {8, 52, 23, 16},
         {33, 9, 72, 72},
         {769, 35, 22, 20},
         {723, 29, 32, 32}},
        {"a link leads the pile",
         {0, 0, 800, 87},
         true,
         false,
         {4, 18, 23, 26},
         {8, 49, 23, 16},
         {33, 7, 72, 72},
         {769, 33, 22, 20},
         {722, 26, 34, 34}},
        {"action buttons hidden: the same frames",
         {0, 0, 800, 87},
         false,
         true,
         {4, 18, 23, 26},
         {8, 49, 23, 16},
         {33, 7, 72, 72},
         {769, 33, 22, 20},
         {723, 27, 32, 32}},
    };
    for (const auto& c : cases) {
        std::shared_ptr<Cell> first =
            c.linkFirst ? TQHoverdAdaptorButtonCell::permissionCellWithRole(5) : person();
        auto cell = fullRow({first, person()});
        cell->setShouldHideActionButtons(c.hideActions);
        EXPECT_EQ(cell->frameForStateCellInBounds(c.bounds), c.state) << c.what;
        EXPECT_EQ(cell->frameForPermissionCellInBounds(c.bounds), c.permission) << c.what;
        EXPECT_EQ(cell->frameForPhotoCellInBounds(c.bounds), c.photo) << c.what;
        EXPECT_EQ(cell->frameForStaticActionCellInBounds(c.bounds), c.share) << c.what;
        EXPECT_EQ(cell->frameForActionCellInBounds(c.bounds, 0), c.first) << c.what;
        // The pile's second slot lies one step further left.
        EXPECT_EQ(cell->frameForActionCellInBounds(c.bounds, 1).x(), c.share.x() - 2 * 46) << c.what;
        // The lines start right of the thumbnail, as the base lays them out.
        const QRectF title = cell->titleRectForBounds(c.bounds);
        EXPECT_EQ(title.x(), c.photo.right() + 9) << c.what;
        EXPECT_EQ(cell->frameForSubtitleCellInBounds(c.bounds).x(), title.x()) << c.what;
        // The in-place editor takes the title's place.
        EXPECT_EQ(cell->editingFrame(c.bounds).topLeft(), title.topLeft()) << c.what;
        EXPECT_EQ(cell->frameForDetailsCellInBounds(c.bounds).x(), title.x()) << c.what;
        EXPECT_LT(title.top(), cell->frameForSubtitleCellInBounds(c.bounds).top()) << c.what;
        EXPECT_LT(cell->frameForSubtitleCellInBounds(c.bounds).top(),
                  cell->frameForDetailsCellInBounds(c.bounds).top())
            << c.what;
    }
    EXPECT_EQ(TQBigDocumentTableCell::minCellHeight(), 87);
}

TEST_F(BigDocumentCellTest, TheHitTableAndWhichSubcellTracks)
{
    online = true;
    const QRectF row(0, 0, 800, 87);
    auto cell = fullRow({person(), person(), person()});
    const QPointF title = cell->titleRectForBounds(row).center();
    constexpr auto content = Cell::ContentArea;
    constexpr auto button = Cell::ContentArea | Cell::TrackableArea | Cell::NoSelect;
    const struct
    {
        const char* what;
        QPointF point;
        Cell::HitResults hit;
        bool tracks;
        int part;
    } cases[] = {
        {"state badge", {15, 31}, button, true, TQBigDocumentTableCell::StatePart},
        {"general-access pop-up: its menu takes the mouse", {19, 57}, button, false, -1},
        {"share button", {780, 43}, button, true, TQBigDocumentTableCell::ShareButtonPart},
        {"thumbnail: content, yet tracked when pressed",
         {69, 43},
         content,
         true,
         TQBigDocumentTableCell::PhotoPart},
        {"title", title, Cell::ContentArea | Cell::TrackableArea, true, TQBigDocumentTableCell::TitlePart},
        {"first of the pile", {739, 43}, button, true, TQBigDocumentTableCell::PilePart},
        {"second of the pile: never hit", {693, 43}, content, false, -1},
        {"between the badge and the pop-up", {15, 46}, content, false, -1},
        {"beside everything", {650, 10}, content, false, -1},
        {"the far edge of the share button lies outside it", {791, 43}, content, false, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cell->hitTest(c.point, row), c.hit) << c.what;
        EXPECT_EQ(cell->mousePressed(at(c.point), row, *host), c.tracks) << c.what;
        EXPECT_EQ(cell->trackedPart(), c.part) << c.what;
        if (c.tracks)
            cell->mouseReleased(at(c.point), *host);
        menu->close();
    }
    // Without the subcells that are made on demand, their places are plain content.
    TQBigDocumentTableCell bare(QStringLiteral("Plan"));
    EXPECT_EQ(bare.hitTest({15, 31}, row), content);
    EXPECT_EQ(bare.hitTest({19, 57}, row), content);
    EXPECT_EQ(bare.hitTest({739, 43}, row), content);
    EXPECT_FALSE(bare.mousePressed(at({69, 43}), row, *host));
}

TEST_F(BigDocumentCellTest, AClickSendsTheSubcellsActionAndThePopUpOpensItsChoices)
{
    online = true;
    const QRectF row(0, 0, 800, 87);
    int stars = 0;
    int shares = 0;
    int people = 0;
    auto first = person();
    first->setAction([&](Cell&) { ++people; });
    auto cell = fullRow({first});
    cell->stateCell()->setAction([&](Cell&) { ++stars; });
    cell->staticActionCell().setAction([&](Cell&) { ++shares; });
    for (const QPointF& point : {QPointF(15, 31), QPointF(780, 43), QPointF(739, 43)}) {
        ASSERT_TRUE(cell->mousePressed(at(point), row, *host));
        EXPECT_TRUE(cell->mouseReleased(at(point), *host));
    }
    EXPECT_EQ(stars, 1);
    EXPECT_EQ(shares, 1);
    EXPECT_EQ(people, 1);

    // The pop-up pulls down: its title item stays out of the menu, the chosen index is checked.
    ASSERT_TRUE(test::showAndExpose(window.get()));
    EXPECT_EQ(cell->itemPermission(), 2);
    EXPECT_FALSE(cell->mousePressed(at({19, 57}), row, *host));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(cell->permissionCell()->isHighlighted());
    const QList<QAction*> items = menu->actions();
    EXPECT_FALSE(items[0]->isVisible());
    for (int i = 0; i < items.size(); ++i)
        EXPECT_EQ(items[i]->isChecked(), i == 2) << i;
    menu->close();
    EXPECT_FALSE(cell->permissionCell()->isHighlighted());
}

TEST_F(BigDocumentCellTest, TheBadgeThePopUpAndTheShareButtonWorkOnlyOnline)
{
    auto cell = fullRow({});
    const std::shared_ptr<Cell> parts[] = {cell->stateCell(), cell->permissionCell(),
                                           cell->sharedStaticActionCell()};
    for (const auto& part : parts)
        EXPECT_FALSE(part->isEnabled());
    // A copy shares the subcells: the flag it is handed reaches them with the original gone.
    auto copy = cell->clone();
    cell.reset();
    copy->setOnline(true);
    for (const auto& part : parts)
        EXPECT_TRUE(part->isEnabled());
    copy->setOnline(false);
    for (const auto& part : parts)
        EXPECT_FALSE(part->isEnabled());
    // Disabled, the pop-up opens nothing.
    EXPECT_FALSE(copy->mousePressed(at({19, 57}), QRectF(0, 0, 800, 87), *host));
    EXPECT_FALSE(menu->isVisible());
}

// The cell holds no record: it draws the picture its list gives it for the row (the list redraws the
// row when the model says its thumbnail changed), through one thumbnail subcell.
TEST_F(BigDocumentCellTest, TheThumbnailIsThePictureGivenInOneSubcell)
{
    TQBigDocumentTableCell cell(QStringLiteral("Plan"));
    QPixmap red(4, 4);
    red.fill(Qt::red);
    QPixmap blue(8, 8);
    blue.fill(Qt::blue);
    cell.setPhoto(red);
    const auto thumbnail = std::dynamic_pointer_cast<TQDynamicPhotoSubcell>(cell.photoCell());
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->image().cacheKey(), red.cacheKey());
    cell.setPhoto(blue);
    EXPECT_EQ(cell.photoCell(), thumbnail);
    EXPECT_EQ(thumbnail->image().cacheKey(), blue.cacheKey());
    cell.setPhoto(QPixmap());
    EXPECT_FALSE(cell.photoCell());
}

TEST_F(BigDocumentCellTest, OnlyTheFirstOfThePileIsDrawnOnABackgroundThatCounts)
{
    const QRectF row(0, 0, 800, 87);
    const struct
    {
        int people;
        QString background;
    } cases[] = {{0, QString()},
                 {1, QStringLiteral("one_background")},
                 {2, QStringLiteral("two_background")},
                 {3, QStringLiteral("more_background")},
                 {7, QStringLiteral("more_background")}};
    for (const auto& c : cases) {
        TQBigDocumentTableCell cell(QStringLiteral("Plan"));
        QList<std::shared_ptr<Cell>> pile;
        for (int i = 0; i < c.people; ++i) {
            auto face = TQDynamicPhotoSubcell::cell();
            face->setImage(test::registerSolid(QStringLiteral("pile-face-%1").arg(i), i ? Qt::blue : Qt::red,
                                               QSize(32, 32)));
            face->setHasRoundCorners(false);
            pile.append(face);
        }
        if (!pile.isEmpty())
            cell.setActionCells(pile);
        EXPECT_EQ(cell.pileBackgroundName(), c.background) << c.people;
        if (!c.background.isEmpty()) {
            EXPECT_TRUE(ImageRegistry::contains(c.background)) << c.people;
        }
        for (const bool hidden : {false, true}) {
            cell.setShouldHideActionButtons(hidden);
            const QImage image = test::renderCell(cell, QSize(800, 87), row);
            // The first face is drawn in its slot, the second slot stays free of faces.
            const bool firstShown = test::sameColor(image.pixelColor(739, 43), Qt::red);
            EXPECT_EQ(firstShown, c.people > 0 && !hidden) << c.people << hidden;
            EXPECT_FALSE(test::sameColor(image.pixelColor(693, 43), Qt::blue)) << c.people << hidden;
        }
    }
}

TEST_F(BigDocumentCellTest, SubcellsAreMadeOnceWithTheirImagesAndCopiesShareThem)
{
    TQBigDocumentTableCell cell(QStringLiteral("Plan"));
    EXPECT_FALSE(cell.stateCell());
    EXPECT_FALSE(cell.permissionCell());
    EXPECT_EQ(cell.itemState(), 0);
    EXPECT_EQ(cell.itemPermission(), -1);
    cell.setItemState(TQStateItemCell::StateFavoriteOn);
    cell.setItemPermission(0);
    const auto state = cell.stateCell();
    const auto permission = cell.permissionCell();
    cell.setItemState(TQStateItemCell::StateNew);
    EXPECT_EQ(cell.stateCell(), state);
    EXPECT_EQ(cell.itemState(), TQStateItemCell::StateNew);
    EXPECT_TRUE(permission->pullsDown());
    EXPECT_EQ(permission->arrowPosition(), BasicPopUpButtonCell::NoArrow);
    EXPECT_FALSE(permission->usesItemFromMenu());
    // No menu yet: the pop-up shows its own item.
    EXPECT_EQ(permission->faceImageName(), TQBigDocumentTableCell::kPrivateImage);

    TQHoverdAdaptorButtonCell& share = cell.staticActionCell();
    EXPECT_EQ(&cell.staticActionCell(), &share);
    EXPECT_EQ(share.buttonType(), BasicButtonCell::SwitchButton);
    EXPECT_TRUE(share.hasLink());
    EXPECT_EQ(ImageRegistry::nameOf(share.regularImage()), QStringLiteral("add_share_regular"));
    EXPECT_EQ(ImageRegistry::nameOf(share.hoverImage()), QStringLiteral("add_share_hover"));
    EXPECT_EQ(ImageRegistry::nameOf(share.alternateImage()), QStringLiteral("add_share_active"));

    TQHoverdAdaptorButtonCell& more = cell.moreItemsCell();
    EXPECT_EQ(more.imagePosition(), BasicButtonCell::ImageOnly);
    EXPECT_EQ(ImageRegistry::nameOf(more.regularImage()), QStringLiteral("sharing"));
    EXPECT_EQ(ImageRegistry::nameOf(more.hoverImage()), QStringLiteral("sharing_hover"));
    // A list that gives it another image keeps it.
    more.setRegularImage(ImageRegistry::pixmap(QStringLiteral("files_hover")));
    EXPECT_EQ(ImageRegistry::nameOf(cell.moreItemsCell().regularImage()), QStringLiteral("files_hover"));

    auto copy = cell.clone();
    auto* document = dynamic_cast<TQBigDocumentTableCell*>(copy.get());
    ASSERT_TRUE(document);
    EXPECT_EQ(document->stateCell(), state);
    EXPECT_EQ(document->permissionCell(), permission);
    EXPECT_EQ(&document->staticActionCell(), &share);
}

TEST_F(BigDocumentCellTest, ThePopUpFaceIsTheSelectedItemsImageInItsHoverOrRegularVariant)
{
    test::registerSolid(QStringLiteral("vis-link"), Qt::gray, QSize(16, 16));
    test::registerSolid(QStringLiteral("vis-link-white"), Qt::white, QSize(16, 16));
    test::registerSolid(QStringLiteral("vis-link_regular"), Qt::green, QSize(16, 16));
    test::registerSolid(QStringLiteral("vis-link_hover"), Qt::darkGreen, QSize(16, 16));
    test::registerSolid(QStringLiteral("vis-plain"), Qt::yellow, QSize(16, 16));
    TQHoveredPopUpButtonCell popUp(QStringLiteral(""), true);
    QMenu choices;
    choices.addAction(QString());
    choices.addAction(ImageRegistry::icon(QStringLiteral("vis-link")), QString());
    choices.addAction(ImageRegistry::icon(QStringLiteral("vis-link-white")), QString());
    choices.addAction(ImageRegistry::icon(QStringLiteral("vis-plain")), QString());
    popUp.setMenu(&choices);
    const struct
    {
        int index;
        bool hovered;
        bool highlighted;
        bool enabled;
        QString face;
    } cases[] = {
        {1, false, false, true, QStringLiteral("vis-link_regular")},
        {1, true, false, true, QStringLiteral("vis-link_hover")},
        {1, false, true, true, QStringLiteral("vis-link_hover")},
        {1, true, false, false, QStringLiteral("vis-link_regular")},
        {2, false, false, true, QStringLiteral("vis-link_regular")},
        {2, true, false, true, QStringLiteral("vis-link_hover")},
        {3, true, false, true, QStringLiteral("vis-plain")},
        {0, false, false, true, QString()},
    };
    for (const auto& c : cases) {
        popUp.selectItemAtIndex(c.index);
        popUp.setHovered(c.hovered);
        popUp.setHighlighted(c.highlighted);
        popUp.setEnabled(c.enabled);
        EXPECT_EQ(popUp.faceImageName(), c.face) << c.index << c.hovered << c.highlighted << c.enabled;
    }
    // The face is drawn at its natural size at the frame's origin.
    popUp.setEnabled(true);
    popUp.setHighlighted(false);
    popUp.setHovered(false);
    popUp.selectItemAtIndex(1);
    const QImage image = test::renderCell(popUp, QSize(40, 40), QRectF(4, 4, 23, 16));
    EXPECT_TRUE(test::sameColor(image.pixelColor(10, 10), Qt::green));
    EXPECT_EQ(image.pixelColor(24, 10).alpha(), 0);
}

// Asks the pop-up's hit test while each press is the current event, as a list does.
class PressProbe : public QWidget
{
public:
    std::function<void()> onPress;

protected:
    void mousePressEvent(QMouseEvent*) override { onPress(); }
};

TEST_F(BigDocumentCellTest, ADoubleClickOnThePopUpFallsThroughToTheRow)
{
    TQHoveredPopUpButtonCell popUp(QStringLiteral(""), true);
    const QRectF frame(8, 49, 23, 16);
    PressProbe probe;
    probe.resize(100, 100);
    QList<Cell::HitResults> inside;
    QList<Cell::HitResults> outside;
    probe.onPress = [&] {
        inside.append(popUp.hitTest({19, 57}, frame));
        outside.append(popUp.hitTest({40, 57}, frame));
    };
    ASSERT_TRUE(test::showAndExpose(&probe));
    test::multiClick(&probe, QPoint(5, 5), 2);
    const Cell::HitResults button = Cell::ContentArea | Cell::TrackableArea | Cell::NoSelect;
    EXPECT_EQ(inside, (QList<Cell::HitResults>{button, Cell::None}));
    EXPECT_EQ(outside, (QList<Cell::HitResults>{Cell::None, Cell::None}));
}

TEST_F(BigDocumentCellTest, APersonsPictureIsTheContactsPhotoOrThePlaceholder)
{
    const auto ann = mail(QStringLiteral("ann@example.com"), true);
    const auto bob = mail(QStringLiteral("bob@example.com"));
    test::registerSolid(QStringLiteral("/photos/ann.png"), Qt::red, QSize(32, 32));
    ASSERT_TRUE(ann->contact()->contactCachedAvatar());
    ann->contact()->contactCachedAvatar()->setValue(QStringLiteral("/photos/ann.png"));
    TQMailToImageTransformer transformer(32);
    const auto image = [&](const QVariant& value) {
        return ImageRegistry::nameOf(transformer.transformedValue(value).value<QPixmap>());
    };
    EXPECT_EQ(image(QVariant::fromValue<ManagedObjectPtr>(ann)), QStringLiteral("/photos/ann.png"));
    EXPECT_EQ(image(QVariant::fromValue<ManagedObjectPtr>(bob)), QStringLiteral("user32"));
    EXPECT_EQ(image(QVariant()), QStringLiteral("user32"));
}

} // namespace
} // namespace tavrel
