#include "DocumentsFixture.h"
#include "controls/BasicPopUpButton.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQGroupWrapper.h"
#include "controls/TQTableView.h"
#include "controls/TQTitledGroupTableCell.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "lists/TQTimeGroupedFilesController.h"
#include "model/GeneralACLPermission.h"
#include "platform/runtime/Clock.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "support/WaitUntil.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPaintEvent>
#include <QPointer>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// The all-items provider, counting the fetches it arranges.
class CountingProvider : public TQTimeGroupedFilesController
{
public:
    using TQTimeGroupedFilesController::TQTimeGroupedFilesController;
    int arranged = 0;

protected:
    QList<ManagedObjectID> arrangeFetchedRows(const QList<ManagedObjectID>& ids,
                                              const QList<QVariantList>& values) override
    {
        ++arranged;
        return TQTimeGroupedFilesController::arrangeFetchedRows(ids, values);
    }
};

// A background fetch that, once it has read the store, waits until the test lets it finish.
class PausedFetch : public ListFetch
{
public:
    PausedFetch(const ListFetch& fetch, std::shared_ptr<QSemaphore> read, std::shared_ptr<QSemaphore> go)
        : ListFetch(fetch), m_read(std::move(read)), m_go(std::move(go))
    {}
    bool run() override
    {
        const bool ran = ListFetch::run();
        m_read->release();
        m_go->acquire();
        return ran;
    }

private:
    std::shared_ptr<QSemaphore> m_read;
    std::shared_ptr<QSemaphore> m_go;
};

// The counting provider whose fetches pause after reading the store.
class PausingProvider : public CountingProvider
{
public:
    using CountingProvider::CountingProvider;
    const std::shared_ptr<QSemaphore> read = std::make_shared<QSemaphore>();
    const std::shared_ptr<QSemaphore> go = std::make_shared<QSemaphore>();
    ListFetchPtr makeFetch() override
    {
        return std::make_shared<PausedFetch>(*CountingProvider::makeFetch(), read, go);
    }
};

class AllItemsListTest : public test::DocumentsFixture
{
protected:
    void SetUp() override
    {
        DocumentsFixture::SetUp();
        // Noon on a fixed day, in one calendar: the groups do not move with the time the test runs.
        TQGroupWrapper::setCalendarTimeZoneForTesting(QTimeZone::utc());
        m_now = QDateTime(QDate(2026, 6, 17), QTime(12, 0), QTimeZone::utc());
        Clock::setNowForTesting(m_now);
    }
    void TearDown() override
    {
        m_view.reset();
        Clock::setNowForTesting(std::nullopt);
        TQGroupWrapper::setCalendarTimeZoneForTesting(std::nullopt);
        DocumentsFixture::TearDown();
    }

    // The filtering view around the all-items list, installed, once its first fetch is done.
    TQAllItemsController* install(ListModel* provider = nullptr)
    {
        m_view = std::make_unique<TQAllItemsFilteringViewController>();
        if (provider)
            m_view->list()->setDataProvider(provider);
        m_view->view()->resize(700, 900);
        m_view->viewDidInstall();
        TQAllItemsController* list = m_view->list();
        EXPECT_TRUE(test::waitUntil([list] { return !list->isFetching(); }));
        QCoreApplication::processEvents();
        return list;
    }

    // Each row as the list shows it: "# header" for a group row, "title | subtitle" for a document.
    static QStringList rows(TQAllItemsController* list)
    {
        QStringList shown;
        for (int row = 0; row < list->dataProvider()->count(); ++row) {
            Cell* cell = list->dataCellForRow(row);
            if (auto* header = dynamic_cast<TQTitledGroupTableCell*>(cell))
                shown << QStringLiteral("# ") + header->title();
            else if (auto* document = dynamic_cast<TQBigDocumentTableCell*>(cell))
                shown << document->title() + QStringLiteral(" | ") + document->subtitle();
            else
                shown << QStringLiteral("?");
        }
        return shown;
    }

    static QStringList titles(TQAllItemsController* list)
    {
        QStringList shown;
        for (int row = 0; row < list->dataProvider()->count(); ++row)
            if (ManagedObjectPtr record = list->recordAtRow(row))
                shown << record->valueForKey(QStringLiteral("title")).toString();
        return shown;
    }

    QDateTime m_now;
    std::unique_ptr<TQAllItemsFilteringViewController> m_view;
};

TEST_F(AllItemsListTest, GroupRowsOpenEachDateGroupAndDocumentRowsShowTheirGroupsDateTextAndEditor)
{
    auto me = mail(kUser);
    auto ann = mail(QStringLiteral("ann@example.org"), QStringLiteral("Ann Lee"));
    auto bare = mail(QStringLiteral("bob@example.org"));
    file(QStringLiteral("Budget"), m_now.addSecs(-600), me);
    file(QStringLiteral("Plan"), m_now.addSecs(-3 * 3600), ann);
    file(QStringLiteral("Minutes"), m_now.addDays(-1), bare);
    file(QStringLiteral("Old notes"), m_now.addDays(-400));
    save();

    TQAllItemsController* list = install();
    TQTimeGroupedFilesController* grouped = list->groupedProvider();
    ASSERT_TRUE(grouped);
    const QList<TQGroupWrapperPtr> groups = grouped->groups();
    ASSERT_EQ(groups.size(), 3);

    const QString by = StringTable::text(QStringLiteral("ByFormat"));
    auto text = [&](const TQGroupWrapperPtr& group, int seconds, const QString& name) {
        return group->stringRepresentationOfDate(m_now.addSecs(seconds)) + by.arg(name);
    };
    const QStringList expected{
        QStringLiteral("# ") + groups[0]->title(),
        QStringLiteral("Budget | ") +
            text(groups[0], -600, StringTable::text(QStringLiteral("OnlyME")).toLower()),
        QStringLiteral("Plan | ") + text(groups[0], -3 * 3600, QStringLiteral("Ann Lee")),
        QStringLiteral("# ") + groups[1]->title(),
        QStringLiteral("Minutes | ") + text(groups[1], -24 * 3600, QStringLiteral("bob@example.org")),
        QStringLiteral("# ") + groups[2]->title(),
        QStringLiteral("Old notes | ") +
            text(groups[2], -400 * 24 * 3600, StringTable::text(QStringLiteral("UnknownUser"))),
    };
    EXPECT_EQ(rows(list), expected);

    // Group rows are never selected, tracked or edited, and are 23 points high.
    for (int row : {0, 3, 5}) {
        EXPECT_TRUE(list->isGroupRow(row));
        EXPECT_FALSE(list->tableViewShouldSelectRow(list->tableView(), row));
        EXPECT_FALSE(list->shouldTrackCellOfRow(row));
        EXPECT_FALSE(list->shouldEditRow(row));
        EXPECT_EQ(list->heightOfRow(row), 23);
        EXPECT_EQ(list->table()->visualRect(list->dataProvider()->index(row, 0)).height(), 23);
    }
    EXPECT_FALSE(list->isGroupRow(-1));
    EXPECT_FALSE(list->isGroupRow(99));
    EXPECT_EQ(list->dataCellForRow(-1), nullptr);
    EXPECT_GT(list->heightOfRow(1), 23);
    // The first row is a header: the first document is selected.
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
}

// Rows are built in the order they are drawn: a row reached by a jump, below a header not built yet,
// still reads its own group's date text.
TEST_F(AllItemsListTest, ARowBuiltBeforeItsHeaderShowsItsOwnGroupsDateText)
{
    file(QStringLiteral("Budget"), m_now.addSecs(-600), mail(kUser));
    file(QStringLiteral("Minutes"), m_now.addDays(-1), mail(QStringLiteral("bob@example.org")));
    save();

    TQAllItemsController* list = install();
    const QList<TQGroupWrapperPtr> groups = list->groupedProvider()->groups();
    ASSERT_EQ(groups.size(), 2);
    ASSERT_TRUE(list->isGroupRow(2));
    list->dataCellForRow(0);
    auto* minutes = dynamic_cast<TQBigDocumentTableCell*>(list->dataCellForRow(3));
    ASSERT_TRUE(minutes);
    const QString by = StringTable::text(QStringLiteral("ByFormat")).arg(QStringLiteral("bob@example.org"));
    EXPECT_EQ(minutes->subtitle(), groups[1]->stringRepresentationOfDate(m_now.addDays(-1)) + by);
    EXPECT_NE(minutes->subtitle(), groups[0]->stringRepresentationOfDate(m_now.addDays(-1)) + by);
}

TEST_F(AllItemsListTest, SortedBySizeEveryDocumentShowsItsReadableSize)
{
    auto big = file(QStringLiteral("Big"), m_now.addSecs(-60));
    big->setQuotaBytesUsed(qint64(3) * 1024 * 1024);
    auto small = file(QStringLiteral("Small"), m_now.addSecs(-120));
    small->setQuotaBytesUsed(qint64(2048));
    save();
    TQAllItemsController* list = install();
    const QList<QAction*> entries = m_view->sortControl()->menu()->actions();
    m_view->changeSortDescriptor(entries.at(7)); // "SortSize"
    QCoreApplication::processEvents();
    const QStringList shown = rows(list);
    ASSERT_EQ(shown.size(), 2) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Big | 3")));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Small | 2")));
    EXPECT_FALSE(shown[0].contains(StringTable::text(QStringLiteral("UnknownUser"))));
}

TEST_F(AllItemsListTest, EveryRowShowsAPictureNativeDocumentsAndCollectionsIncluded)
{
    // Native documents carry no file name with an extension; a collection has no cached icon.
    file(QStringLiteral("Native"), m_now.addSecs(-60));
    file(QStringLiteral("Upload.pdf"), m_now.addSecs(-120));
    collection(QStringLiteral("Folder"), m_now.addSecs(-180));
    save();
    TQAllItemsController* list = install();
    int documents = 0;
    for (int row = 0; row < list->dataProvider()->count(); ++row) {
        auto* cell = dynamic_cast<TQBigDocumentTableCell*>(list->dataCellForRow(row));
        if (!cell)
            continue;
        ++documents;
        ASSERT_TRUE(cell->photoCell()) << cell->title().toStdString();
        EXPECT_FALSE(cell->photoCell()->image().isNull()) << cell->title().toStdString();
    }
    EXPECT_EQ(documents, 3);
}

namespace {
// The rectangles the viewport was asked to paint.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget* viewport) : m_viewport(viewport) { viewport->installEventFilter(this); }
    ~PaintRecorder() override
    {
        if (m_viewport)
            m_viewport->removeEventFilter(this);
    }
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QPointer<QWidget> m_viewport;
};
} // namespace

// A row is drawn from its roles by one prototype cell: a change of one document's access list (its
// entry changed, replaced or removed) repaints that row alone, showing the new access, and the model
// says so with one dataChanged of that row and the access roles only.
TEST_F(AllItemsListTest, AChangeOfOneRecordsAccessListRepaintsThatRowWithItsNewAccessAndNoOther)
{
    struct Case
    {
        const char* name;
        std::function<void(const std::shared_ptr<File>&)> change;
        int access;
    };
    const auto entryOf = [this](const std::shared_ptr<File>& document) {
        auto entry = document->generalACL();
        if (!entry) {
            entry = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
            document->setGeneralACL(entry);
        }
        return entry;
    };
    const Case cases[] = {
        {"entry changed to a public link",
         [&](const std::shared_ptr<File>& d) {
             entryOf(d)->setType(QStringLiteral("default"));
             entryOf(d)->setHasLink(true);
         },
         2},
        {"entry replaced by the domain's",
         [&](const std::shared_ptr<File>& d) {
             auto replaced = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
             replaced->setType(QStringLiteral("domain"));
             replaced->setHasLink(false);
             d->setGeneralACL(replaced);
         },
         5},
        {"entry removed", [](const std::shared_ptr<File>& d) { d->setGeneralACL(nullptr); }, 1},
    };
    file(QStringLiteral("One"), m_now.addSecs(-60));
    auto two = file(QStringLiteral("Two"), m_now.addSecs(-120));
    file(QStringLiteral("Three"), m_now.addSecs(-180));
    auto access = moc()->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
    access->setType(QStringLiteral("default"));
    access->setHasLink(false);
    two->setGeneralACL(access);
    save();
    TQAllItemsController* list = install();
    ListModel* provider = list->dataProvider();
    QAbstractItemModelTester tester(provider, QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(titles(list), (QStringList{"One", "Two", "Three"}));
    const int row = list->rowOfRecord(two);
    ASSERT_EQ(row, 2);
    auto shownAccess = [list](int at) {
        auto* cell = dynamic_cast<TQBigDocumentTableCell*>(list->dataCellForRow(at));
        return cell ? cell->itemPermission() : -1;
    };
    EXPECT_EQ(shownAccess(row), 3);
    EXPECT_EQ(shownAccess(1), 1);

    m_view->view()->show();
    QWidget* viewport = list->table()->viewport();
    ASSERT_TRUE(test::waitUntil([viewport] { return viewport->isVisible(); }));
    QCoreApplication::processEvents();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QCoreApplication::processEvents();
        PaintRecorder recorder(viewport);
        QSignalSpy changed(provider, &QAbstractItemModel::dataChanged);
        QSignalSpy arranged(provider, &ListModel::arrangedObjectsChanged);
        c.change(two);
        save();
        moc()->processPendingChanges();
        ASSERT_TRUE(test::waitUntil([&recorder] { return !recorder.painted.isEmpty(); }));
        QCoreApplication::processEvents();

        ASSERT_EQ(changed.size(), 1);
        EXPECT_EQ(changed.first().at(0).value<QModelIndex>().row(), row);
        EXPECT_EQ(changed.first().at(1).value<QModelIndex>().row(), row);
        const QList<int> roles = changed.first().at(2).value<QList<int>>();
        EXPECT_TRUE(roles.contains(ListModel::AccessIndexRole));
        EXPECT_EQ(arranged.size(), 0);
        EXPECT_EQ(provider->data(provider->index(row), ListModel::AccessIndexRole).toInt(), c.access);
        // Only that row was painted again, and it shows the new access; the others kept theirs.
        const QRect painted = recorder.painted.boundingRect();
        EXPECT_TRUE(list->tableView()->rectOfRow(row).contains(painted))
            << painted.y() << "+" << painted.height() << " for the row at "
            << list->tableView()->rectOfRow(row).y();
        EXPECT_EQ(shownAccess(row), c.access);
        EXPECT_EQ(shownAccess(1), 1);
        EXPECT_EQ(shownAccess(3), 1);
    }
}

// Nothing is kept per row: the prototype shows whichever row was asked for last, and a press on a
// row's visibility button makes that row's menu then.
TEST_F(AllItemsListTest, RowsShareOnePrototypeCellAndTheVisibilityMenuIsMadeForThePressedRow)
{
    file(QStringLiteral("One"), m_now.addSecs(-60));
    auto two = file(QStringLiteral("Two"), m_now.addSecs(-120));
    save();
    TQAllItemsController* list = install();
    Cell* first = list->dataCellForRow(1);
    Cell* second = list->dataCellForRow(2);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second->title(), QStringLiteral("Two"));
    EXPECT_EQ(list->dataCellForRow(1)->title(), QStringLiteral("One"));

    // The button's menu is the template until pressed; a press (online) makes the pressed row's menu.
    if (!ApplicationServices::instance()->connectionStatus())
        ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
    ApplicationServices::instance()->connectionStatus()->setOnline(true);
    const auto offline = qScopeGuard([] { ApplicationServices::instance()->resetForTesting(); });
    m_view->view()->show();
    QWidget* viewport = list->table()->viewport();
    ASSERT_TRUE(test::waitUntil([viewport] { return viewport->isVisible(); }));
    auto* cell = dynamic_cast<TQBigDocumentTableCell*>(list->dataCellForRow(2));
    ASSERT_TRUE(cell && cell->permissionCell());
    const QRect rowRect = list->tableView()->rectOfRow(2);
    const QPoint button = cell->frameForPermissionCellInBounds(QRectF(rowRect)).center().toPoint();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, button);
    QMenu* opened = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->objectName(), QStringLiteral("visibilityMenu"));
    const QList<QAction*> items = opened->actions();
    ASSERT_GT(items.size(), 2);
    EXPECT_EQ(UserInterfaceItem::representedObject(items[2]).value<ManagedObjectPtr>(),
              ManagedObjectPtr(two));
    opened->close();
}

TEST_F(AllItemsListTest, SearchMatchesTitlesInAnyCaseNeverTrashAndShowsTheNoSearchViewWhenNothingMatches)
{
    file(QStringLiteral("Annual REPORT"), m_now.addSecs(-60));
    file(QStringLiteral("reports"), m_now.addSecs(-120));
    file(QStringLiteral("Budget"), m_now.addSecs(-180));
    auto trashed = file(QStringLiteral("Old report"), m_now.addSecs(-240));
    trashed->setIsTrashed(true);
    auto owner = mail(QStringLiteral("report@example.org"));
    file(QStringLiteral("Letter"), m_now.addSecs(-300))->setOwner(owner);
    save();
    TQAllItemsController* list = install();
    EXPECT_EQ(titles(list), (QStringList{"Annual REPORT", "reports", "Budget", "Letter"}));

    m_view->searchField()->setText(QStringLiteral("report"));
    EXPECT_EQ(list->searchString(), QStringLiteral("report"));
    EXPECT_EQ(titles(list), (QStringList{"Annual REPORT", "reports"}));
    EXPECT_TRUE(list->noSearchView()->isHidden());

    m_view->searchField()->setText(QStringLiteral("zebra"));
    EXPECT_EQ(list->dataProvider()->count(), 0);
    EXPECT_FALSE(list->noSearchView()->isHidden());
    EXPECT_TRUE(list->noItemsView()->isHidden());
    EXPECT_EQ(list->noSearchView()->findChild<QLabel*>(QStringLiteral("labelField"))->text(),
              StringTable::text(QStringLiteral("NoSearchItems")));

    // Reactivating the mode clears the search.
    m_view->reactivate();
    EXPECT_TRUE(m_view->searchField()->text().isEmpty());
    EXPECT_EQ(titles(list).size(), 4);
    EXPECT_TRUE(list->noSearchView()->isHidden());
}

TEST_F(AllItemsListTest, HiddenFilesLeaveOutFilesInCollectionsAndNestedCollections)
{
    auto top = collection(QStringLiteral("Projects"), m_now.addSecs(-60));
    auto nested = collection(QStringLiteral("Archive"), m_now.addSecs(-120), top);
    auto inside = file(QStringLiteral("Inside"), m_now.addSecs(-180));
    inside->setCategories({top});
    file(QStringLiteral("Loose"), m_now.addSecs(-240));
    save();
    TQAllItemsController* list = install();
    list->setHiddenFiles(false);
    list->filterDidChange();
    EXPECT_EQ(titles(list), (QStringList{"Projects", "Archive", "Inside", "Loose"}));

    list->setHiddenFiles(true);
    list->filterDidChange();
    EXPECT_EQ(titles(list), (QStringList{"Projects", "Loose"}));
    // The search still applies on top.
    m_view->setSearchString(QStringLiteral("loo"));
    EXPECT_EQ(titles(list), QStringList{"Loose"});
}

TEST_F(AllItemsListTest, SortMenuStartsOnLastModifiedNewestFirstAndAnotherKeyRegroups)
{
    auto ann = mail(QStringLiteral("ann@example.org"), QStringLiteral("Ann Lee"));
    auto me = mail(kUser);
    file(QStringLiteral("Beta"), m_now.addSecs(-60))->setOwner(ann);
    file(QStringLiteral("Alpha"), m_now.addDays(-3))->setOwner(me);
    file(QStringLiteral("Gamma"), m_now.addDays(-40))->setOwner(ann);
    save();
    TQAllItemsController* list = install();

    QMenu* menu = m_view->sortControl()->menu();
    const QList<QAction*> entries = menu->actions();
    QStringList shown;
    for (QAction* entry : entries)
        shown << entry->text();
    const QStringList keys{"SortLastModified", "SortOwner", "SortVisibility", "SortSharings",
                           "SortName",         "SortClass", "SortSize",       "SortCollections"};
    QStringList expected{QString()};
    for (const QString& key : keys)
        expected << StringTable::text(key);
    EXPECT_EQ(shown, expected);

    auto checked = [&] {
        QStringList on;
        for (QAction* entry : entries) {
            if (!TQFilteringViewController::representedDescriptor(entry))
                continue;
            m_view->validateUserInterfaceItem(entry);
            if (UserInterfaceItem::state(entry) == 1)
                on << entry->text();
        }
        return on;
    };
    EXPECT_EQ(checked(), QStringList{StringTable::text(QStringLiteral("SortLastModified"))});
    ASSERT_TRUE(list->sortDescriptor());
    EXPECT_EQ(list->sortDescriptor()->key(), QStringLiteral("updatedDate"));
    EXPECT_FALSE(list->sortDescriptor()->ascending());
    EXPECT_EQ(titles(list), (QStringList{"Beta", "Alpha", "Gamma"}));
    EXPECT_EQ(list->groupedProvider()->groups().size(), 3);

    // By name: ascending, no groups.
    m_view->changeSortDescriptor(entries.at(5));
    EXPECT_EQ(checked(), QStringList{StringTable::text(QStringLiteral("SortName"))});
    EXPECT_TRUE(list->sortDescriptor()->ascending());
    EXPECT_EQ(titles(list), (QStringList{"Alpha", "Beta", "Gamma"}));
    EXPECT_TRUE(list->groupedProvider()->groups().isEmpty());
    EXPECT_FALSE(list->isGroupRow(0));

    // By owner: one group per owner, the rows rebuilt under them.
    m_view->changeSortDescriptor(entries.at(2));
    EXPECT_EQ(list->groupedProvider()->groups().size(), 2);
    EXPECT_TRUE(list->isGroupRow(0));
    const QStringList regrouped = rows(list);
    EXPECT_EQ(regrouped.size(), 5) << regrouped.join('\n').toStdString();
    EXPECT_EQ(regrouped.filter(QStringLiteral("# ")).size(), 2);
}

TEST_F(AllItemsListTest, ReactivatingSelectsTheFirstDocumentAndTheWindowMakesTheViewByName)
{
    file(QStringLiteral("One"), m_now.addSecs(-60));
    file(QStringLiteral("Two"), m_now.addDays(-2));
    save();
    TQAllItemsController* list = install();
    list->selectRow(3);
    list->reactivate();
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
    EXPECT_EQ(m_view->title(), StringTable::text(QStringLiteral("AllItemsBack")));
    EXPECT_EQ(m_view->contentType(), 1);
    EXPECT_EQ(list->owner(), m_view.get());
    EXPECT_EQ(list->contentType(), 1);
}

TEST_F(AllItemsListTest, ChangedRowsAreFetchedOnceAndTheViewsFollowThem)
{
    auto* provider = new CountingProvider(moc());
    TQAllItemsController* list = install(provider);
    ASSERT_EQ(list->dataProvider(), provider);
    EXPECT_EQ(list->dataProvider()->count(), 0);
    EXPECT_FALSE(list->noItemsView()->isHidden());

    // A saved document: the provider's one fetch for the change reaches the views.
    int changes = 0;
    QObject::connect(moc(), &ManagedObjectContext::objectsDidChange, list, [&changes] { ++changes; });
    provider->arranged = 0;
    file(QStringLiteral("First"), m_now.addSecs(-60));
    save();
    ASSERT_TRUE(test::waitUntil([list] { return list->dataProvider()->count() > 0; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(provider->arranged, changes);
    EXPECT_GE(changes, 1);
    EXPECT_TRUE(list->noItemsView()->isHidden());
    EXPECT_EQ(rows(list).value(0), "# " + StringTable::text(QStringLiteral("GroupModifiedToday")));
    EXPECT_EQ(titles(list), QStringList{"First"});

    // Another: the new rows show.
    changes = 0;
    provider->arranged = 0;
    file(QStringLiteral("Second"), m_now.addSecs(-30));
    save();
    ASSERT_TRUE(test::waitUntil([list] { return list->dataProvider()->count() == 3; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(provider->arranged, changes);
    EXPECT_EQ(titles(list), (QStringList{"Second", "First"}));

    // Another order: one fetch, the rows regrouped and shown afresh.
    list->dataCellForRow(1);
    provider->arranged = 0;
    m_view->changeSortDescriptor(m_view->sortControl()->menu()->actions().at(2));
    EXPECT_EQ(provider->arranged, 1);
    EXPECT_EQ(list->groupedProvider()->groupper(), TQTimeGroupedFilesController::Groupper::Owner);
    EXPECT_EQ(rows(list).filter(QStringLiteral("# ")).size(), 1);

    // Another order that keeps every row where it was still shows the rows afresh.
    list->dataCellForRow(1);
    provider->arranged = 0;
    m_view->changeSortDescriptor(m_view->sortControl()->menu()->actions().at(2));
    EXPECT_EQ(provider->arranged, 1);

    // An asked refresh still fetches.
    list->dataCellForRow(1);
    provider->arranged = 0;
    list->refresh();
    EXPECT_EQ(provider->arranged, 1);
}

TEST_F(AllItemsListTest, FirstFetchIsTakenAsItIsUnlessTheRowsMayHaveChangedWhileItRan)
{
    file(QStringLiteral("Kept"), m_now.addSecs(-60));
    save();

    // Nothing changes while the list fetches: its rows are fetched once.
    {
        auto* provider = new CountingProvider(moc());
        TQAllItemsController* list = install(provider);
        EXPECT_EQ(provider->arranged, 1);
        EXPECT_EQ(titles(list), QStringList{"Kept"});
        m_view.reset();
    }

    // A document saved, or only added to the main context, after the fetch has read the store and
    // before the list takes its rows is shown all the same.
    QStringList expected{"Kept"};
    for (const bool saved : {true, false}) {
        SCOPED_TRACE(saved ? "saved" : "unsaved");
        auto* provider = new PausingProvider(moc());
        const std::shared_ptr<QSemaphore> go = provider->go;
        // The fetch never stays waiting, whatever fails here.
        const auto finish = qScopeGuard([go] { go->release(100); });
        m_view = std::make_unique<TQAllItemsFilteringViewController>();
        m_view->list()->setDataProvider(provider);
        m_view->view()->resize(700, 900);
        m_view->viewDidInstall();
        TQAllItemsController* list = m_view->list();
        ASSERT_TRUE(list->isFetching());
        ASSERT_TRUE(provider->read->tryAcquire(1, 10000));
        const QString title = saved ? QStringLiteral("Saved meanwhile") : QStringLiteral("Added meanwhile");
        file(title, m_now.addSecs(saved ? -40 : -20));
        expected.prepend(title);
        if (saved)
            save();
        go->release(100);
        ASSERT_TRUE(test::waitUntil([list] { return !list->isFetching(); }));
        QCoreApplication::processEvents();
        EXPECT_EQ(titles(list), expected);
        EXPECT_EQ(rows(list).filter(QStringLiteral("# ")).size(), 1);
        m_view.reset();
        if (!saved)
            save();
    }
}

} // namespace
} // namespace tavrel
