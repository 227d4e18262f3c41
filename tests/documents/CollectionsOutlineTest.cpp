#include "DocumentsFixture.h"
#include "controls/RowCheckBoxCell.h"
#include "controls/TQCollectionTableCell.h"
#include "controls/TQOutlineView.h"
#include "documents/TQCollectionsViewController.h"
#include "documents/TQOrganizeItemsController.h"
#include "lists/CollectionsOutlineModel.h"
#include "lists/ListModel.h"
#include "platform/ui/OnlineFlag.h"
#include "platform/ui/StringTable.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"
#include "window/ActionRequests.h"

#include <QAbstractItemModelTester>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

const QDateTime kDay = QDateTime(QDate(2026, 3, 10), QTime(12, 0), Qt::UTC);

class CollectionsOutlineTest : public test::DocumentsFixture
{
protected:
    void SetUp() override
    {
        DocumentsFixture::SetUp();
        me = mail(kUser);
        bob = mail(QStringLiteral("bob@example.com"));
    }
    void TearDown() override
    {
        ApplicationServices::instance()->resetForTesting();
        DocumentsFixture::TearDown();
    }
    // A collection of the owner, some hours old (newer ones first at the top).
    std::shared_ptr<Category> owned(const QString& title, int hoursAgo, const std::shared_ptr<Mail>& owner,
                                    const std::shared_ptr<Category>& parent = nullptr)
    {
        auto record = collection(title, kDay.addSecs(-3600 * hoursAgo), parent);
        record->setOwner(owner);
        return record;
    }
    // The outline as text: a title per row, children indented, with the box ([x] on, [-] mixed, [ ] off).
    static QStringList outlineText(const QAbstractItemModel& model, const QModelIndex& parent = {},
                                   int depth = 0)
    {
        QStringList lines;
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex index = model.index(row, 0, parent);
            QString line = QString(depth * 2, u' ');
            const QVariant check = index.data(Qt::CheckStateRole);
            if (check.isValid())
                line += check.toInt() == Qt::Checked            ? QStringLiteral("[x] ")
                        : check.toInt() == Qt::PartiallyChecked ? QStringLiteral("[-] ")
                                                                : QStringLiteral("[ ] ");
            lines << line + index.data(ListModel::TitleRole).toString();
            lines += outlineText(model, index, depth + 1);
        }
        return lines;
    }

    std::shared_ptr<Mail> me;
    std::shared_ptr<Mail> bob;
};

TEST_F(CollectionsOutlineTest, OwnAndSharedCollectionsWithSubCollectionsByTitleAndTheirBoxes)
{
    const auto work = owned(QStringLiteral("Work"), 1, me);
    const auto zeta = owned(QStringLiteral("zeta plans"), 5, me, work);
    const auto alpha = owned(QStringLiteral("Alpha reports"), 2, me, work);
    const auto home = owned(QStringLiteral("Home"), 3, me);
    // Trashed: never shown; its living sub-collection stands at the top instead.
    const auto old = owned(QStringLiteral("Old"), 4, me);
    old->setIsTrashed(true);
    const auto kept = owned(QStringLiteral("Kept"), 6, me, old);
    const auto binned = owned(QStringLiteral("Binned"), 7, me, home);
    binned->setIsTrashed(true);
    // Bob's, shared with the user in another letter case; and one that is not the user's at all.
    const auto bobs = owned(QStringLiteral("Bob's"), 8, bob);
    bobs->setEditors({mail(QStringLiteral("ME@Example.com"))});
    owned(QStringLiteral("Strangers"), 9, bob);

    const auto report = file(QStringLiteral("Report"), kDay);
    report->setCategories({alpha});
    const auto letter = file(QStringLiteral("Letter"), kDay);
    letter->setCategories({home, alpha});
    save();

    CollectionsOutlineModel model(moc());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setItems({report});
    const QString mine = StringTable::text(QStringLiteral("GroupMyCollections"));
    const QString shared = StringTable::text(QStringLiteral("GroupCollectionsShared"));
    // One item: on where it is, mixed where a sub-collection holds it.
    EXPECT_EQ(outlineText(model),
              (QStringList{mine, QStringLiteral("[-] Work"), QStringLiteral("  [x] Alpha reports"),
                           QStringLiteral("  [ ] zeta plans"), QStringLiteral("[ ] Home"),
                           QStringLiteral("[ ] Kept"), shared, QStringLiteral("[ ] Bob's")}));

    // Several items (Organize): on where all are, mixed where some are.
    model.setStateRule(CollectionsOutlineModel::StateRule::Selection);
    model.setItems({report, letter});
    EXPECT_EQ(outlineText(model),
              (QStringList{mine, QStringLiteral("[ ] Work"), QStringLiteral("  [x] Alpha reports"),
                           QStringLiteral("  [ ] zeta plans"), QStringLiteral("[-] Home"),
                           QStringLiteral("[ ] Kept"), shared, QStringLiteral("[ ] Bob's")}));
    // A single document in the Organize rule: on or off, never mixed.
    model.setItems({letter});
    EXPECT_EQ(model.data(model.indexOf(work), Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    EXPECT_EQ(model.data(model.indexOf(home), Qt::CheckStateRole).toInt(), int(Qt::Checked));

    // The shown collection is never in its own outline; a search keeps matching titles in any case.
    model.setStateRule(CollectionsOutlineModel::StateRule::Holds);
    model.setItems({work});
    EXPECT_FALSE(model.indexOf(work).isValid());
    EXPECT_TRUE(model.indexOf(alpha).isValid());
    model.setSearchString(QStringLiteral("BOB"));
    EXPECT_EQ(outlineText(model), (QStringList{shared, QStringLiteral("[ ] Bob's")}));
    model.setSearchString(QStringLiteral("nothing"));
    EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(CollectionsOutlineTest, BoxesAssignAndUnassignTheItemsAndFollowTheStore)
{
    ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
    ApplicationServices::instance()->connectionStatus()->setOnline(true);
    const auto box = owned(QStringLiteral("Box"), 1, me);
    const auto crate = owned(QStringLiteral("Crate"), 2, me);
    const auto one = file(QStringLiteral("One"), kDay);
    const auto two = file(QStringLiteral("Two"), kDay);
    one->setCategories({box});
    save();

    TQOrganizeItemsController organize;
    organize.setProperty("item", QVariantList{QVariant::fromValue(ManagedObjectPtr(one)),
                                              QVariant::fromValue(ManagedObjectPtr(two))});
    QWidget* view = organize.view();
    view->resize(420, 300);
    ASSERT_TRUE(test::showAndExpose(view));
    organize.viewDidInstall();
    CollectionsOutlineModel* model = organize.outline();
    ASSERT_EQ(model->data(model->indexOf(box), Qt::CheckStateRole).toInt(), int(Qt::PartiallyChecked));

    ActionRequests::Recorder requests;
    // A click on a box as the user makes it: mixed becomes on, which assigns both.
    TQOutlineView* outline = organize.outlineView();
    const QModelIndex boxRow = model->indexOf(box);
    auto* cell = dynamic_cast<TQCollectionTableCell*>(organize.cellForIndex(boxRow));
    ASSERT_TRUE(cell);
    const QPoint click = cell->frameForStateCellInBounds(outline->visualRect(boxRow)).center().toPoint();
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, click);
    ASSERT_EQ(requests.requests.size(), 1);
    const ActionRequests::Request assign = requests.requests[0];
    EXPECT_EQ(assign.action, QStringLiteral("AssignCollections"));
    EXPECT_EQ(assign.parameters.value(QStringLiteral("collectionEntity")).value<ManagedObjectPtr>(),
              ManagedObjectPtr(box));
    EXPECT_EQ(assign.parameters.value(QStringLiteral("documentEntities")).toList().size(), 2);
    EXPECT_TRUE(assign.parameters.value(QStringLiteral("statusID"))
                    .toString()
                    .startsWith(QStringLiteral("tocollection_")));
    ASSERT_TRUE(assign.callback);
    EXPECT_EQ(assign.callback->selector(), QStringLiteral("assignDidFinishWithResult:error:"));

    // The store says both are in: the box reads on; a click leaves it off and unassigns.
    two->setCategories({box});
    save();
    ASSERT_TRUE(test::waitUntil(
        [&] { return model->data(model->indexOf(box), Qt::CheckStateRole).toInt() == int(Qt::Checked); },
        3000));
    organize.cellForIndex(model->indexOf(box));
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, click);
    ASSERT_EQ(requests.requests.size(), 2);
    EXPECT_EQ(requests.requests[1].action, QStringLiteral("UnassignCollections"));

    // An unchecked collection assigns.
    const QModelIndex crateRow = model->indexOf(crate);
    const QPoint crateClick =
        cell->frameForStateCellInBounds(outline->visualRect(crateRow)).center().toPoint();
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, crateClick);
    ASSERT_EQ(requests.requests.size(), 3);
    EXPECT_EQ(requests.requests[2].action, QStringLiteral("AssignCollections"));
    EXPECT_EQ(
        requests.requests[2].parameters.value(QStringLiteral("collectionEntity")).value<ManagedObjectPtr>(),
        ManagedObjectPtr(crate));
}

// Each list carries its own online flag, kept on the connection: its rows draw and answer by it.
TEST_F(CollectionsOutlineTest, EachListsBoxesFollowItsOwnOnlineFlagWhichFollowsTheConnection)
{
    ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
    ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
    status->setOnline(false);
    const auto box = owned(QStringLiteral("Box"), 1, me);
    const auto one = file(QStringLiteral("One"), kDay);
    save();

    TQOrganizeItemsController lists[2];
    for (TQOrganizeItemsController& list : lists) {
        list.setProperty("item", QVariantList{QVariant::fromValue(ManagedObjectPtr(one))});
        list.view()->resize(420, 300);
        ASSERT_TRUE(test::showAndExpose(list.view()));
        list.viewDidInstall();
    }
    ActionRequests::Recorder requests;
    const auto boxFrame = [&](TQOrganizeItemsController& list) {
        const QModelIndex row = list.outline()->indexOf(box);
        auto* cell = dynamic_cast<TQCollectionTableCell*>(list.cellForIndex(row));
        return cell ? cell->frameForStateCellInBounds(list.outlineView()->visualRect(row)).toRect() : QRect();
    };
    const auto click = [&](TQOrganizeItemsController& list) {
        const qsizetype before = requests.requests.size();
        QTest::mouseClick(list.outlineView()->viewport(), Qt::LeftButton, {}, boxFrame(list).center());
        return requests.requests.size() > before;
    };
    // Whether the list's box was drawn enabled last (the style may draw both alike).
    const auto shownEnabled = [&](TQOrganizeItemsController& list) {
        const QModelIndex row = list.outline()->indexOf(box);
        return dynamic_cast<TQCollectionTableCell*>(list.cellForIndex(row))->checkBox().isEnabled();
    };
    const auto drawnEnabled = [&](TQOrganizeItemsController& list) {
        list.outlineView()->viewport()->grab(boxFrame(list));
        return shownEnabled(list);
    };
    ASSERT_FALSE(boxFrame(lists[0]).isEmpty());

    // Offline: neither list's box does anything.
    EXPECT_FALSE(drawnEnabled(lists[0]));
    EXPECT_FALSE(click(lists[0]));
    EXPECT_FALSE(click(lists[1]));

    // The connection comes back: it reaches both shown lists, which draw the box anew.
    status->setOnline(true);
    EXPECT_TRUE(OnlineFlag::isOnline(lists[0].outlineView()));
    EXPECT_TRUE(OnlineFlag::isOnline(lists[1].outlineView()));
    EXPECT_TRUE(test::waitUntil([&] { return shownEnabled(lists[0]) && shownEnabled(lists[1]); }, 3000));
    EXPECT_TRUE(drawnEnabled(lists[0]));
    EXPECT_TRUE(drawnEnabled(lists[1]));
    EXPECT_TRUE(click(lists[0]));
    EXPECT_TRUE(click(lists[1]));

    // Two views, two flags: the second list offline on its own draws and answers as offline; the
    // first is untouched.
    OnlineFlag::of(lists[1].outlineView())->setOnline(false);
    EXPECT_FALSE(drawnEnabled(lists[1]));
    EXPECT_TRUE(drawnEnabled(lists[0]));
    EXPECT_FALSE(click(lists[1]));
    EXPECT_TRUE(click(lists[0]));

    // A later status reaches them too: without one they are offline, with one online, online.
    ApplicationServices::instance()->resetForTesting();
    EXPECT_FALSE(OnlineFlag::isOnline(lists[0].outlineView()));
    EXPECT_FALSE(click(lists[0]));
    ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
    ApplicationServices::instance()->connectionStatus()->setOnline(true);
    EXPECT_TRUE(OnlineFlag::isOnline(lists[0].outlineView()));
    EXPECT_TRUE(OnlineFlag::isOnline(lists[1].outlineView()));
    EXPECT_TRUE(click(lists[0]));
    EXPECT_TRUE(click(lists[1]));
}

} // namespace
} // namespace tavrel
