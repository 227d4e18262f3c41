#include "SharingFixture.h"
#include "controls/ControlPopovers.h"
#include "controls/ControlServices.h"
#include "controls/RowTextCell.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/TQACLEntry.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/StringTable.h"
#include "sharing/QuickPopoverSupport.h"
#include "sharing/SharingPermissions.h"
#include "sharing/TQLinkPermissionTableCell.h"
#include "sharing/TQPermissionTableCell2.h"
#include "sharing/TQQuickLinkPermissionController.h"
#include "sharing/TQQuickPermissionController.h"
#include "support/WaitUntil.h"
#include "window/ActionRequests.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class QuickPopoversTest : public test::SharingFixture
{
protected:
    void SetUp() override
    {
        SharingFixture::SetUp();
        me = mail(kUser);
        ann = mail(QStringLiteral("ann@example.com"), QStringLiteral("Ann Lee"));
        omar = mail(QStringLiteral("omar@example.com"));
        doc = file(QStringLiteral("doc"), me);
        doc->setEditors({ann});
        doc->setViewers({omar});
        comments = file(QStringLiteral("comments"), me);
        comments->setHasCommenterSupport(true);
        comments->setCommenters({ann});
        access(comments, QStringLiteral("default"), QStringLiteral("commenter"), true);
    }
    static QVariant value(const std::shared_ptr<ManagedObject>& record)
    {
        return QVariant::fromValue(record);
    }
    static bool closed(TQModalContentController* popover)
    {
        return test::waitUntil([&] { return !popover->window()->isVisible(); }, 3000);
    }
    void open(TQModalContentController* popover)
    {
        popover->window()->attachToWindow(nullptr, QPoint(200, 200));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popover->window()));
    }

    std::shared_ptr<Mail> me, ann, omar;
    std::shared_ptr<File> doc, comments;
    Timing::Override fastClose{QStringLiteral("quickPopoverCloseDelay"), 10};
};

TEST_F(QuickPopoversTest, ThePopoverShowsWhoThePersonIsAndTheirRole)
{
    TQQuickPermissionController* popover = TQQuickPermissionController::permisssionController();
    EXPECT_EQ(ControlPopovers::permissionController(), popover);
    const struct
    {
        std::shared_ptr<File> item;
        std::shared_ptr<Mail> person;
        bool deletable;
        const char* content;
        QString title;
        int state; // -9: no role control
    } rows[] = {
        {doc, ann, true, "regularView", QStringLiteral("Ann Lee"), 0},
        {doc, omar, false, "nonDeleteViewEdit", QStringLiteral("omar@example.com"), 1},
        {comments, ann, true, "commenterView", QStringLiteral("Ann Lee"), -1},
        {comments, omar, false, "nonDeleteComment", QStringLiteral("omar@example.com"), -1},
        {doc, me, true, "readonlyView", StringTable::text(QStringLiteral("OnlyME")), -9},
        {comments, nullptr, false, "nonDeleteComment",
         StringTable::text(QStringLiteral("DefaultACLWithLink")), -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.content);
        popover->setDeletable(row.deletable);
        popover->setItem(value(row.item));
        popover->setEmail(row.person ? value(row.person) : QVariant());
        ASSERT_TRUE(popover->currentContent());
        EXPECT_EQ(popover->currentContent()->objectName(), QLatin1String(row.content));
        EXPECT_EQ(popover->heading()->text(), row.title);
        if (row.state == -9) {
            EXPECT_FALSE(popover->role());
        } else {
            ASSERT_TRUE(popover->role());
            EXPECT_EQ(popover->role()->state(), row.state);
        }
    }
}

TEST_F(QuickPopoversTest, ARoleChangeSendsTheEntryAndClosesAMomentLater)
{
    TQQuickPermissionController* popover = TQQuickPermissionController::permisssionController();
    popover->setDeletable(true);
    popover->setItem(value(comments));
    popover->setEmail(value(omar));
    open(popover);
    ActionRequests::Recorder requests;
    popover->role()->setCellState(SharingPermissions::Commenter);
    popover->togglePermission(popover->role());
    EXPECT_TRUE(popover->window()->isVisible()) << "not at once";
    ASSERT_EQ(requests.requests.size(), 1);
    const ActionRequests::Request& sent = requests.requests.first();
    EXPECT_EQ(sent.action, QStringLiteral("SetPermissions"));
    EXPECT_TRUE(sent.parameters.value(QStringLiteral("modified")).toBool());
    EXPECT_TRUE(sent.parameters.value(QStringLiteral("statusID"))
                    .toString()
                    .startsWith(QLatin1String("changeowner_")));
    const TQACLEntry entry =
        sent.parameters.value(QStringLiteral("ACLEntries")).toList().first().value<TQACLEntry>();
    EXPECT_EQ(entry.role(), 1);
    EXPECT_EQ(entry.value(), QStringLiteral("omar@example.com"));
    EXPECT_TRUE(closed(popover));

    // Removing closes at once.
    open(popover);
    popover->removePermission(nullptr);
    EXPECT_FALSE(popover->window()->isVisible());
    ASSERT_EQ(requests.requests.size(), 2);
    EXPECT_EQ(requests.requests.last().action, QStringLiteral("RemovePermission"));
    EXPECT_EQ(requests.requests.last().parameters.value(QStringLiteral("mailAddress")),
              QStringLiteral("omar@example.com"));
}

TEST_F(QuickPopoversTest, WithoutAPersonTheGeneralPermissionChanges)
{
    TQQuickPermissionController* popover = TQQuickPermissionController::permisssionController();
    popover->setDeletable(false);
    popover->setItem(value(comments));
    popover->setEmail(QVariant());
    open(popover);
    ActionRequests::Recorder requests;
    popover->role()->setCellState(SharingPermissions::Writer);
    popover->toggleACLPermission(popover->role());
    ASSERT_EQ(requests.requests.size(), 1);
    const ActionRequests::Request& sent = requests.requests.first();
    EXPECT_EQ(sent.action, QStringLiteral("SetGeneralACLPermission"));
    const auto permission = sent.parameters.value(QStringLiteral("generalACLPermission"))
                                .value<std::shared_ptr<GeneralACLPermissionAdapter>>();
    ASSERT_TRUE(permission);
    EXPECT_EQ(permission->role(), QStringLiteral("writer"));
    EXPECT_EQ(permission->type(), QStringLiteral("default"));
    EXPECT_TRUE(permission->hasLink().toBool());
    EXPECT_TRUE(closed(popover));
}

TEST_F(QuickPopoversTest, TheLinkPopoverCopiesChangesAndRemovesTheLink)
{
    TQQuickLinkPermissionController* popover = TQQuickLinkPermissionController::linkController();
    EXPECT_EQ(ControlPopovers::linkController(), popover);
    popover->setItem(value(comments));
    EXPECT_EQ(popover->currentContent()->objectName(), QStringLiteral("commenterView"));
    EXPECT_EQ(popover->heading()->text(), StringTable::text(QStringLiteral("DefaultACLWithLink")));
    EXPECT_EQ(popover->linkField()->text(), comments->alternateLink());
    EXPECT_EQ(popover->linkField()->selectedText(), comments->alternateLink());
    EXPECT_EQ(popover->role()->state(), -1);

    open(popover);
    popover->copyLink(nullptr);
    EXPECT_EQ(Clipboard::urls(), QList<QUrl>{QUrl(comments->alternateLink())});
    EXPECT_FALSE(popover->window()->isVisible());

    ActionRequests::Recorder requests;
    open(popover);
    popover->role()->setCellState(SharingPermissions::Reader);
    popover->togglePermission(popover->role());
    open(popover);
    popover->removePermission(nullptr);
    EXPECT_FALSE(popover->window()->isVisible());
    ASSERT_EQ(requests.requests.size(), 2);
    EXPECT_EQ(requests.requests.first()
                  .parameters.value(QStringLiteral("generalACLPermission"))
                  .value<std::shared_ptr<GeneralACLPermissionAdapter>>()
                  ->role(),
              QStringLiteral("reader"));
    EXPECT_EQ(requests.requests.last().action, QStringLiteral("SetGeneralACLPermission"));
    EXPECT_FALSE(requests.requests.last().parameters.contains(QStringLiteral("generalACLPermission")))
        << "no general permission: private";
}

// A host for a row cell: the mouse where the test says.
class Host : public CellHost
{
public:
    QWidget* hostWidget() const override { return nullptr; }
    QPointF mousePosition() const override { return mouse; }
    QPointF mouse{-100, -100};
};

TEST_F(QuickPopoversTest, PermissionRowsPlaceTheRoleIconLeftOfTheRemoveButton)
{
    TQPermissionTableCell2 cell(QStringLiteral("Ann Lee"));
    auto role = TQHoverdAdaptorButtonCell::permissionCellWithRole(0);
    cell.setActionCells({role});
    const QRectF row(0, 0, 300, 68);
    EXPECT_EQ(cell.frameForActionCellInBounds(row).x(), 258);
    EXPECT_EQ(cell.frameForActionCellInBounds(row, 0), QRectF(216, 17, 34, 34));
    EXPECT_EQ(TQPermissionTableCell2::actionSubcellStartForBounds(row), 235);
    EXPECT_EQ(cell.frameForPhotoCellInBounds(row), QRectF(12, 8, 52, 52));

    // Details move the title down and the details up by 8 points.
    const QRectF plainTitle = cell.frameForTitleCellInBounds(row, nullptr);
    cell.setDetails(QStringLiteral("ann@example.com"));
    TQContactTableCell base(QStringLiteral("Ann Lee"));
    base.setDetails(QStringLiteral("ann@example.com"));
    EXPECT_EQ(cell.frameForTitleCellInBounds(row, nullptr).y(),
              base.frameForTitleCellInBounds(row, nullptr).y() + 8);
    EXPECT_EQ(cell.frameForDetailsCellInBounds(row).y(), base.frameForDetailsCellInBounds(row).y() - 8);
    // The title gives up the icon's room: 300 - (12 + 52 + 8 + 20 + 28 + 14) - 41.
    qreal reduced = 0;
    cell.frameForTitleCellInBounds(row, &reduced);
    EXPECT_EQ(reduced, 125);
    EXPECT_LE(plainTitle.width(), reduced);

    // The icon is hit before the row, and a press anchors the popover at the icon.
    EXPECT_TRUE(cell.hitTest(QPointF(230, 34), row) & Cell::NoSelect);
    Host host;
    CellMouseEvent press;
    press.position = QPointF(230, 34);
    press.clickCount = 1;
    press.button = Qt::LeftButton;
    cell.mousePressed(press, row, host);
    EXPECT_EQ(role->lastFrame(), QRectF(216, 17, 34, 34));
    cell.cancelTracking(host);
}

TEST_F(QuickPopoversTest, RemovingIsOfferedOnlyWhileOnline)
{
    TQPermissionTableCell2 cell(QStringLiteral("Ann Lee"));
    cell.setDeletable(true);
    EXPECT_EQ(cell.actionCell().representedObject(), QVariant(QStringLiteral("1")));
    cell.setOnline(false);
    EXPECT_FALSE(cell.actionCell().isEnabled());
    cell.setOnline(true);
    EXPECT_TRUE(cell.actionCell().isEnabled());
    cell.setDeletable(false);
    EXPECT_FALSE(cell.actionCell().representedObject().isValid());
}

TEST_F(QuickPopoversTest, LinkRowsHaveNoPhotoAndABlueCentredTitle)
{
    const QRectF row(0, 0, 300, 68);
    TQLinkPermissionTableCell2 detail(QStringLiteral("https://docs.example.com/doc"));
    TQLinkPermissionTableCell list(QStringLiteral("https://docs.example.com/doc"));
    for (TQContactTableCell* cell :
         {static_cast<TQContactTableCell*>(&detail), static_cast<TQContactTableCell*>(&list)}) {
        cell->setPhoto(QPixmap(10, 10));
        EXPECT_TRUE(cell->photo().isNull());
        EXPECT_TRUE(cell->frameForPhotoCellInBounds(row).size().isEmpty());
        EXPECT_EQ(cell->textCell().textColor(), TQLinkPermissionTableCell::linkColor());
        const QRectF title = cell->frameForTitleCellInBounds(row, nullptr);
        const qreal height = cell->textCell().cellSize(row.size()).height();
        EXPECT_EQ(title.y(), std::floor((68 - height) / 2));
    }
}

} // namespace
} // namespace tavrel
