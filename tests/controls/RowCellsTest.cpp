#include "ControlTestSupport.h"
#include "RowFixture.h"
#include "controls/RowCheckBoxCell.h"
#include "controls/RowTextCell.h"
#include "controls/TQCollectionTableCell.h"
#include "controls/TQContactTableCell.h"
#include "controls/TQDocumentTableCell.h"
#include "controls/TQHoverdButtonCell.h"
#include "controls/TQPermissionTableCell.h"
#include "controls/TQPhotoSubcell.h"
#include "controls/TQStateItemCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTitledGroupTableCell.h"
#include "platform/ui/ImageRegistry.h"
#include "support/ui/LoggingTest.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using test::PointerHost;

CellMouseEvent press(const QPointF& point, int clicks = 1)
{
    CellMouseEvent event;
    event.position = point;
    event.clickCount = clicks;
    return event;
}

// Press and release at the point; answers what the release answered.
bool click(Cell& cell, const QRectF& frame, const QPointF& point, CellHost& host, int clicks = 1)
{
    if (!cell.mousePressed(press(point, clicks), frame, host))
        return false;
    return cell.mouseReleased(press(point, clicks), host);
}

struct Counter
{
    int count = 0;
    Cell* sender = nullptr;
    Cell::Action action()
    {
        return [this](Cell& cell) {
            ++count;
            sender = &cell;
        };
    }
};

class RowCellsTest : public test::LoggingTest
{
protected:
    const QRectF row{0, 0, 300, 48};
    PointerHost host;
};

TEST_F(RowCellsTest, ContactRowGeometryFollowsTheDetails)
{
    TQContactTableCell cell(QStringLiteral("Ann"));
    cell.setDetails(QStringLiteral("ann@example.com"));
    qreal available = 0;
    const QRectF title = cell.frameForTitleCellInBounds(row, &available);
    EXPECT_EQ(cell.frameForPhotoCellInBounds(row), QRectF(10, 4, 40, 40));
    EXPECT_EQ(cell.frameForActionCellInBounds(row), QRectF(254, 7, 32, 33));
    EXPECT_EQ(title.x(), 58);
    EXPECT_EQ(title.y(), 8);
    EXPECT_EQ(available, 176);
    const QRectF details = cell.frameForDetailsCellInBounds(row);
    EXPECT_EQ(details.bottom(), 40);
    EXPECT_EQ(details.width(), 176);
    EXPECT_EQ(cell.cellSize(QSizeF(999, 999)), QSizeF(172, 48));

    // Without details the title is centred and there is no details line.
    cell.setDetails(QString());
    const QRectF centred = cell.titleRectForBounds(row);
    EXPECT_EQ(centred.y(), std::floor((48 - centred.height()) / 2));
    EXPECT_TRUE(cell.frameForDetailsCellInBounds(row).isNull());
}

TEST_F(RowCellsTest, AContactTitleIsOnlyAsWideAsItsTextUpToTheAvailableWidth)
{
    TQContactTableCell cell(QStringLiteral("Al"));
    const QRectF shortTitle = cell.titleRectForBounds(row);
    EXPECT_LT(shortTitle.width(), 176);
    // Right of a short title is not the title.
    EXPECT_EQ(cell.hitTest(QPointF(shortTitle.right() + 20, 24), row), Cell::ContentArea);
    cell.setTitle(QString(200, QLatin1Char('W')));
    EXPECT_EQ(cell.titleRectForBounds(row).width(), 176);
}

TEST_F(RowCellsTest, ContactHitBitsByPart)
{
    TQContactTableCell cell(QStringLiteral("Ann"));
    cell.setDetails(QStringLiteral("ann@example.com"));
    const QRectF title = cell.titleRectForBounds(row);
    const QRectF details = cell.frameForDetailsCellInBounds(row);
    struct Case
    {
        const char* part;
        QPointF point;
        Cell::HitResults expected;
    } cases[] = {
        // The photo area is a link even before a photo is set.
        {"photo", {30, 24}, Cell::ContentArea | Cell::TrackableArea},
        {"title", title.center(), Cell::ContentArea | Cell::TrackableArea},
        {"details", details.center(), Cell::ContentArea},
        {"action", {270, 24}, Cell::ContentArea | Cell::TrackableArea | Cell::NoSelect},
        {"elsewhere", {235, 2}, Cell::ContentArea},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cell.hitTest(c.point, row), c.expected) << c.part;
}

TEST_F(RowCellsTest, ContactClickCountRules)
{
    TQContactTableCell cell(QStringLiteral("Ann"));
    cell.setPhoto(ImageRegistry::pixmap(QStringLiteral("user49")));
    Counter link;
    Counter button;
    Counter photo;
    cell.setLinkAction(link.action());
    cell.setButtonAction(button.action());
    cell.photoCell()->setAction(photo.action());
    const QPointF titlePoint = cell.titleRectForBounds(row).center();

    struct Case
    {
        const char* what;
        QPointF point;
        int clicks;
        int links;
        int buttons;
    } cases[] = {
        {"single click on the title", titlePoint, 1, 1, 0},
        {"double click on the title", titlePoint, 2, 0, 0},
        {"single click on the photo", {30, 24}, 1, 1, 0},
        {"double click on the photo", {30, 24}, 2, 0, 0},
        {"click on the button", {270, 24}, 1, 0, 1},
        {"click on nothing", {235, 2}, 1, 0, 0},
    };
    for (const auto& c : cases) {
        link = {};
        button = {};
        click(cell, row, c.point, host, c.clicks);
        EXPECT_EQ(link.count, c.links) << c.what;
        EXPECT_EQ(button.count, c.buttons) << c.what;
    }
    // The actions get the row cell; the photo's own action went with its single click.
    click(cell, row, titlePoint, host);
    EXPECT_EQ(link.sender, &cell);
    EXPECT_EQ(photo.count, 1);
}

TEST_F(RowCellsTest, AButtonPressReleasedOutsideTheRowSendsNothing)
{
    TQContactTableCell cell(QStringLiteral("Ann"));
    Counter button;
    cell.setButtonAction(button.action());
    ASSERT_TRUE(cell.mousePressed(press({270, 24}), row, host));
    EXPECT_TRUE(cell.isTracking());
    cell.mouseDragged(press({270, 80}), host);
    EXPECT_FALSE(cell.mouseReleased(press({270, 80}), host));
    EXPECT_EQ(button.count, 0);
    // Released elsewhere inside the row it counts, as the button tracks within the whole row.
    ASSERT_TRUE(cell.mousePressed(press({270, 24}), row, host));
    EXPECT_TRUE(cell.mouseReleased(press({100, 40}), host));
    EXPECT_EQ(button.count, 1);
}

TEST_F(RowCellsTest, CopiesShareTheirSubcells)
{
    TQContactTableCell cell(QStringLiteral("Ann"));
    cell.setPhoto(QPixmap(4, 4));
    auto copy = cell.clone();
    auto* contact = dynamic_cast<TQContactTableCell*>(copy.get());
    ASSERT_TRUE(contact);
    contact->setTitle(QStringLiteral("Bob"));
    EXPECT_EQ(cell.title(), QStringLiteral("Bob"));
    EXPECT_EQ(contact->photoCell(), cell.photoCell());
    EXPECT_EQ(&contact->actionCell(), &cell.actionCell());
}

TEST_F(RowCellsTest, CountAndShareImagesOfTheActionButton)
{
    TQContactTableCell cell;
    cell.setCount(QStringLiteral("3"));
    EXPECT_EQ(cell.count(), QStringLiteral("3"));
    EXPECT_EQ(ImageRegistry::nameOf(cell.actionCell().hoverImage()), QStringLiteral("files_hover"));
    EXPECT_EQ(ImageRegistry::nameOf(cell.actionCell().alternateImage()), QStringLiteral("files_active"));
    cell.setCount(QString());
    EXPECT_EQ(cell.count(), QStringLiteral("3"));
    EXPECT_EQ(ImageRegistry::nameOf(cell.actionCell().hoverImage()), QStringLiteral("share2_hover"));
}

TEST_F(RowCellsTest, LinkFeedbackAndButtonHoverFollowTheMouse)
{
    QWidget view;
    PointerHost viewHost(&view);
    TQContactTableCell cell(QStringLiteral("Ann"));
    cell.setHasLink(true);
    QImage image(300, 48, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    struct Case
    {
        const char* where;
        QPointF mouse;
        bool inFrameOnly;
        bool underlined;
        Qt::CursorShape cursor;
        bool buttonHovered;
    } cases[] = {
        {"over the photo", {30, 24}, false, true, Qt::PointingHandCursor, true},
        {"over the title", cell.titleRectForBounds(row).center(), false, true, Qt::PointingHandCursor, true},
        {"elsewhere in the row", {235, 2}, false, false, Qt::ArrowCursor, true},
        {"elsewhere, button hovers in its frame only", {235, 2}, true, false, Qt::ArrowCursor, false},
        {"over the button, in its frame only", {270, 24}, true, false, Qt::ArrowCursor, true},
        {"outside the row", {235, 80}, false, false, Qt::ArrowCursor, false},
    };
    for (const auto& c : cases) {
        viewHost.mouse = c.mouse;
        cell.setHoverActionButtonInFrameOnly(c.inFrameOnly);
        cell.paint(painter, row, viewHost);
        EXPECT_EQ(cell.textCell().underlined(), c.underlined) << c.where;
        EXPECT_EQ(view.cursor().shape(), c.cursor) << c.where;
        EXPECT_EQ(cell.actionCell().isHovered(), c.buttonHovered) << c.where;
    }
}

TEST_F(RowCellsTest, TheEditorRingReplacesTheTitle)
{
    TQContactTableCell cell(QStringLiteral("Ann"));
    qreal available = 0;
    const QRectF title = cell.frameForTitleCellInBounds(row, &available);
    EXPECT_EQ(cell.editingFrame(row), QRectF(title.x(), title.y(), available, title.height()));
    cell.setShowsEditor(true);
    cell.setTextColor(Qt::black);
    const QImage image = test::renderCell(cell, QSize(300, 48));
    // The ring is drawn around the full available width, 3 points out; its far right is beyond the text.
    EXPECT_GT(qAlpha(image.pixel(int(title.x() + available + 1), int(title.center().y()))), 0);
}

TEST_F(RowCellsTest, DocumentRowGeometry)
{
    TQDocumentTableCell cell(QStringLiteral("Plan"));
    cell.setDate(QStringLiteral("12:30"));
    qreal available = 0;
    const QRectF title = cell.frameForTitleCellInBounds(row, &available);
    EXPECT_EQ(cell.frameForStateCellInBounds(row), QRectF(6, 11, 23, 26));
    EXPECT_EQ(cell.frameForPhotoCellInBounds(row), QRectF(32, 16, 16, 16));
    EXPECT_EQ(title.x(), 56);
    EXPECT_EQ(available, 112);
    EXPECT_EQ(cell.frameForDateCellInBounds(row).x(), 188);
    EXPECT_EQ(cell.frameForActionCellInBounds(row).x(), 254);

    struct Case
    {
        const char* what;
        QString date;
        qreal available;
    } cases[] = {
        {"empty date keeps its room", QStringLiteral(""), 112},
        {"no date gives it back", QString(), 178},
        {"a date again", QStringLiteral("Mon"), 112},
    };
    for (const auto& c : cases) {
        cell.setDate(c.date);
        cell.frameForTitleCellInBounds(row, &available);
        EXPECT_EQ(available, c.available) << c.what;
    }
}

TEST_F(RowCellsTest, DocumentSharingStatesAndImages)
{
    TQDocumentTableCell cell;
    EXPECT_EQ(cell.sharingState(), 3);
    cell.setSharingState(1);
    EXPECT_EQ(cell.sharingState(), 1);
    EXPECT_TRUE(cell.allowedSharings());
    EXPECT_EQ(cell.actionCell().representedObject(), QVariant(QStringLiteral("1")));
    cell.setSharingState(3);
    EXPECT_EQ(cell.sharingState(), 3);
    EXPECT_EQ(ImageRegistry::nameOf(cell.actionCell().regularImage()), QStringLiteral("sharings_regular"));
    // Not cleared by the other state.
    EXPECT_TRUE(cell.allowedSharings());
    cell.setSharingState(7);
    EXPECT_EQ(cell.sharingState(), 3);
    cell.setAllowedSharings(false);
    EXPECT_FALSE(cell.actionCell().representedObject().isValid());
}

TEST_F(RowCellsTest, TheStateBadgeIsTrackedBeforeEverythingElse)
{
    TQDocumentTableCell cell(QStringLiteral("Plan"));
    Counter state;
    Counter link;
    cell.setStateAction(state.action());
    cell.setLinkAction(link.action());
    struct Case
    {
        int itemState;
        int clicks;
    } cases[] = {
        {TQStateItemCell::StateFavoriteOff, 1},
        {TQStateItemCell::StateNew, 1},
        {TQStateItemCell::StateModified, 0}, // not trackable
    };
    for (const auto& c : cases) {
        state = {};
        cell.setItemState(c.itemState);
        click(cell, row, QPointF(15, 24), host);
        EXPECT_EQ(state.count, c.clicks) << c.itemState;
    }
    EXPECT_EQ(link.count, 0);
}

// The online flag reaches a row through its host (the list's view), which hands it in before it draws
// or presses the row; these tests hand it in themselves.
class OnlineRowCellsTest : public RowCellsTest
{
protected:
    static void setOnline(Cell& cell, bool online) { cell.setOnline(online); }
};

TEST_F(OnlineRowCellsTest, TheCollectionCheckBoxFollowsTheOnlineState)
{
    TQCollectionTableCell cell(QStringLiteral("Work"));
    Counter state;
    cell.setStateAction(state.action());
    // No host has told yet: offline.
    EXPECT_FALSE(cell.checkBox().isEnabled());
    setOnline(cell, true);
    EXPECT_TRUE(cell.checkBox().isEnabled());
    click(cell, row, QPointF(15, 24), host);
    EXPECT_EQ(cell.state(), Cell::On);
    EXPECT_EQ(state.count, 1);
    setOnline(cell, false);
    EXPECT_FALSE(cell.checkBox().isEnabled());
    click(cell, row, QPointF(15, 24), host);
    EXPECT_EQ(cell.state(), Cell::On);
    EXPECT_EQ(state.count, 1);
    // A collection never has a date.
    cell.setDate(QStringLiteral("Mon"));
    EXPECT_EQ(cell.dateCell(), nullptr);
    qreal available = 0;
    cell.frameForTitleCellInBounds(row, &available);
    EXPECT_EQ(available, 178);
}

TEST_F(OnlineRowCellsTest, PermissionRowGeometry)
{
    const QRectF bounds(0, 0, 400, 68);
    TQPermissionTableCell cell(QStringLiteral("Ann"));
    EXPECT_EQ(TQPermissionTableCell::minCellHeight(), 68);
    EXPECT_EQ(cell.frameForPhotoCellInBounds(bounds), QRectF(12, 8, 52, 52));
    EXPECT_EQ(cell.frameForActionCellInBounds(bounds), QRectF(358, 21, 28, 26));
    struct Case
    {
        bool isLong;
        QRectF control;
        qreal available;
    } cases[] = {{false, {270, 20, 80, 28}, 178}, {true, {242, 20, 108, 28}, 150}};
    for (const auto& c : cases) {
        cell.setHasLongAuxiliaryView(c.isLong);
        qreal available = 0;
        const QRectF title = cell.frameForTitleCellInBounds(bounds, &available);
        EXPECT_EQ(cell.frameForAuxiliaryViewInBounds(bounds), c.control) << c.isLong;
        EXPECT_EQ(title.x(), 72);
        EXPECT_EQ(available, c.available) << c.isLong;
    }
    cell.setDetails(QStringLiteral("ann@example.com"));
    const QRectF title = cell.titleRectForBounds(bounds);
    const QRectF details = cell.frameForDetailsCellInBounds(bounds);
    EXPECT_EQ(title.y(), 16);
    EXPECT_EQ(details.bottom(), 68 - 16);
}

TEST_F(OnlineRowCellsTest, PermissionRowPlacesAndBindsItsSwitch)
{
    QWidget table;
    PointerHost tableHost(&table);
    auto* toggle = new TQSwitchButton(&table);
    TQPermissionTableCell cell(QStringLiteral("Ann"));
    cell.setAuxiliaryView(toggle);
    cell.setAuxiliaryView(toggle);
    EXPECT_FALSE(toggle->isEnabled());
    setOnline(cell, true);
    EXPECT_TRUE(toggle->isEnabled());
    // A view that is not a switch is left alone.
    auto* label = new QWidget(&table);
    cell.setAuxiliaryView(label);
    setOnline(cell, false);
    EXPECT_TRUE(label->isEnabled());
    EXPECT_TRUE(toggle->isEnabled());
    cell.setAuxiliaryView(toggle);
    EXPECT_FALSE(toggle->isEnabled());
    QImage image(400, 200, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    cell.paint(painter, QRectF(0, 68, 400, 68), tableHost);
    EXPECT_EQ(toggle->geometry(), QRect(270, 88, 80, 28));
}

TEST_F(OnlineRowCellsTest, DeletablePermissionRows)
{
    TQPermissionTableCell cell(QStringLiteral("Ann"));
    cell.setDeletable(true);
    auto& action = cell.actionCell();
    EXPECT_EQ(ImageRegistry::nameOf(action.regularImage()), QStringLiteral("leave-sharing-regular"));
    EXPECT_EQ(action.representedObject(), QVariant(QStringLiteral("1")));
    EXPECT_TRUE(cell.hoverActionButtonInFrameOnly());
    EXPECT_FALSE(action.isEnabled()); // offline
    setOnline(cell, true);
    EXPECT_TRUE(action.isEnabled());
    cell.setDeletable(false);
    EXPECT_TRUE(action.regularImage().isNull());
    EXPECT_EQ(ImageRegistry::nameOf(action.hoverImage()), QStringLiteral("leave-sharing-hover"));
    EXPECT_FALSE(cell.hoverActionButtonInFrameOnly());
    EXPECT_FALSE(action.representedObject().isValid());
    // The button keeps following the flag.
    setOnline(cell, false);
    EXPECT_FALSE(action.isEnabled());
}

TEST_F(RowCellsTest, GroupRowLinesAndCopies)
{
    TQTitledGroupTableCell cell(QStringLiteral("Today"));
    EXPECT_EQ(cell.cellSize(QSizeF(300, 99)), QSizeF(300, 23));
    const QColor line = QColor::fromRgbF(0.73046875f, 0.73046875f, 0.73046875f);
    struct Case
    {
        bool top;
        bool lineAtTop;
    } cases[] = {{false, false}, {true, true}};
    for (const auto& c : cases) {
        cell.setShouldHaveTopBorder(c.top);
        const QImage image = test::renderCell(cell, QSize(300, 23));
        EXPECT_TRUE(test::sameColor(image.pixelColor(250, 22), line));
        EXPECT_EQ(test::sameColor(image.pixelColor(250, 0), line), c.lineAtTop) << c.top;
    }
    TQTitledGroupTableCell copy(cell);
    copy.setTitle(QStringLiteral("Yesterday"));
    test::renderCell(copy, QSize(300, 23));
    EXPECT_NE(&copy.titleCell(), &cell.titleCell());
    test::renderCell(cell, QSize(300, 23));
    EXPECT_EQ(cell.titleCell().title(), QStringLiteral("Today"));
}

} // namespace
} // namespace tavrel
