#include "chrome/TQFilteringViewController.h"
#include "chrome/TQFolderFilteringViewController.h"
#include "controls/BasicPopUpButton.h"
#include "platform/system/Settings.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/TempHome.h"
#include "support/ui/WidgetTesting.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class FilteringViewTest : public test::TempHomeTest
{
};

// The wrapped list: notes what reaches it.
class RecordingList : public TQViewController
{
public:
    QStringList heard;
    bool allows = true;
    void viewDidInstall() override
    {
        TQViewController::viewDidInstall();
        heard << "install";
    }
    void viewWillUninstall() override { heard << "willUninstall"; }
    void viewDidUninstall() override
    {
        TQViewController::viewDidUninstall();
        heard << "didUninstall";
    }
    void reactivate() override { heard << "reactivate"; }
    void share(QObject*) override { heard << "share"; }
    void deleteEntity(QObject*) override { heard << "delete"; }
    bool validateUserInterfaceItem(QObject*) override { return allows; }
};

// Two entries that sort alike ("Name" and "Title"), and one that does not.
class ThreeSorts : public TQFilteringViewController
{
public:
    QMap<QString, SortDescriptorRef> searchDescriptorsWithOrderedKeys(QStringList* orderedKeys) override
    {
        *orderedKeys = {"Name", "Title", "Date"};
        return {{"Name", std::make_shared<const SortDescriptor>("title")},
                {"Title", std::make_shared<const SortDescriptor>("title")},
                {"Date", std::make_shared<const SortDescriptor>("updatedDate", false)}};
    }
};

// The check marks of the entries that carry a sort, in order, after validating each.
QString checks(TQFilteringViewController& view, const QList<QAction*>& entries)
{
    QString marks;
    for (QAction* entry : entries) {
        if (!TQFilteringViewController::representedDescriptor(entry))
            continue;
        view.validateUserInterfaceItem(entry);
        marks += UserInterfaceItem::state(entry) ? 'x' : '-';
    }
    return marks;
}

TEST_F(FilteringViewTest, SortEntriesAreCheckedByIdentityInThePullDownAndTheMirroredSubmenu)
{
    ThreeSorts view;
    auto* list = new RecordingList;
    view.setController(list);
    QMenu* pullDown = view.sortControl()->menu();
    ASSERT_EQ(pullDown->actions().size(), 4); // the face, then the entries
    EXPECT_EQ(pullDown->actions().first()->text(), QString());
    EXPECT_FALSE(TQFilteringViewController::representedDescriptor(pullDown->actions().first()));

    // The window's "Sort By" entry mirrors the pull-down on every validation.
    QMenu windowMenu;
    QAction* sortBy =
        UserInterfaceItem::makeAction("Sort By", TQFilteringViewController::kChangeSortDescriptorCommand,
                                      &windowMenu, TQFilteringViewController::kSortMenuItemTag);
    auto mirrored = [&] {
        EXPECT_TRUE(view.validateUserInterfaceItem(sortBy));
        return sortBy->menu() ? sortBy->menu()->actions() : QList<QAction*>();
    };

    struct Step
    {
        const char* what;
        std::function<void()> act;
        QString marks;
        std::optional<SortDescriptor> listSort;
    };
    const QList<Step> steps = {
        {"the first entry is in force from the start", [] {}, "x--", SortDescriptor("title")},
        {"an entry equal to the one in force", [&] { view.changeSortDescriptor(pullDown->actions().at(2)); },
         "-x-", SortDescriptor("title")},
        {"another entry", [&] { view.changeSortDescriptor(pullDown->actions().at(3)); }, "--x",
         SortDescriptor("updatedDate", false)},
        {"chosen from the mirrored submenu", [&] { view.changeSortDescriptor(mirrored().at(1)); }, "x--",
         SortDescriptor("title")},
        {"an equal sort set by the owner matches no entry",
         [&] { view.setSortDescriptor(SortDescriptor("title")); }, "---", SortDescriptor("title")},
        {"the face carries no sort and changes nothing",
         [&] { view.changeSortDescriptor(pullDown->actions().first()); }, "---", SortDescriptor("title")},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(checks(view, pullDown->actions()), step.marks) << step.what;
        const QList<QAction*> copies = mirrored();
        EXPECT_EQ(copies.size(), 4) << step.what;
        EXPECT_EQ(checks(view, copies), step.marks) << step.what << " (mirrored)";
        EXPECT_EQ(list->sortDescriptor(), step.listSort) << step.what;
    }
}

TEST_F(FilteringViewTest, TheChosenSortIsInForceInTheNextRun)
{
    {
        ThreeSorts view;
        view.setController(new RecordingList);
        view.changeSortDescriptor(view.sortControl()->menu()->actions().at(3));
    }
    ThreeSorts next;
    auto* list = new RecordingList;
    next.setController(list);
    EXPECT_EQ(checks(next, next.sortControl()->menu()->actions()), "--x");
    EXPECT_EQ(list->sortDescriptor(), SortDescriptor("updatedDate", false));

    // A kept sort that no entry offers any more leaves the first one in force.
    Settings::setValue(next.sortSettingKey(), QStringList{"removedKey", "ascending"});
    ThreeSorts later;
    later.setController(new RecordingList);
    EXPECT_EQ(checks(later, later.sortControl()->menu()->actions()), "x--");
}

TEST_F(FilteringViewTest, WithoutSortEntriesOnlyTheFaceIsOfferedAndTheOwnersSortHolds)
{
    TQFilteringViewController view;
    auto* list = new RecordingList;
    view.setSortDescriptor(SortDescriptor("updatedDate", false));
    view.setController(list);
    ASSERT_EQ(view.sortControl()->menu()->actions().size(), 1);
    EXPECT_EQ(list->sortDescriptor(), SortDescriptor("updatedDate", false));

    // The folder view asks its list after its own verdict.
    TQFolderFilteringViewController folder;
    folder.setController(new RecordingList);
    static_cast<RecordingList*>(folder.controller())->allows = false;
    QAction share("Share");
    UserInterfaceItem::setCommand(&share, "share:");
    EXPECT_FALSE(folder.validateUserInterfaceItem(&share));
    static_cast<RecordingList*>(folder.controller())->allows = true;
    EXPECT_TRUE(folder.validateUserInterfaceItem(&share));
}

TEST_F(FilteringViewTest, WrapsItsListForwardingSearchNavigationAndInstallHooks)
{
    TQFilteringViewController view;
    QPointer<RecordingList> first = new RecordingList;
    view.setController(first);
    QWidget* listView = first->view();
    EXPECT_EQ(listView->parentWidget(), view.hostView());
    view.setController(first); // the same list again: its view stays
    EXPECT_EQ(listView->parentWidget(), view.hostView());
    EXPECT_TRUE(listView->isVisibleTo(view.view()));

    QTest::keyClicks(view.searchField(), "it's 100% \"done\"");
    EXPECT_EQ(first->searchString(), "it's 100% \"done\"");
    EXPECT_EQ(view.searchString(), "it's 100% \"done\"");
    view.searchField()->clear();
    EXPECT_TRUE(first->searchString().isNull());

    auto* navigation = reinterpret_cast<TQNavigationController*>(&view);
    view.setNavigationController(navigation);
    EXPECT_EQ(first->navigationController(), navigation);
    view.viewDidInstall();
    view.viewWillUninstall();
    view.viewDidUninstall();
    EXPECT_EQ(first->heard, QStringList({"install", "willUninstall", "didUninstall"}));

    // A new list frees the old one and gets the sort and the navigation stack in force.
    view.setSortDescriptor(SortDescriptor("title"));
    auto* second = new RecordingList;
    view.setController(second);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(second->view()->parentWidget(), view.hostView());
    EXPECT_EQ(second->sortDescriptor(), SortDescriptor("title"));
    EXPECT_EQ(second->navigationController(), navigation);
    view.setNavigationController(nullptr);
}

TEST_F(FilteringViewTest, FolderViewClearsItsSearchOnReactivateAndInstallsOnlyWhenHosted)
{
    TQFolderFilteringViewController folder;
    auto* list = new RecordingList;
    folder.setController(list);
    folder.viewDidInstall(); // in no window yet
    EXPECT_TRUE(list->heard.isEmpty());

    QWidget window;
    window.resize(400, 300);
    folder.view()->setParent(&window);
    folder.view()->setGeometry(window.rect());
    ASSERT_TRUE(test::showAndExpose(&window));
    folder.viewDidInstall();
    EXPECT_EQ(list->heard, QStringList({"install"}));

    QTest::keyClicks(folder.searchField(), "budget");
    ASSERT_EQ(list->searchString(), "budget");
    folder.reactivate();
    EXPECT_TRUE(list->searchString().isNull());
    EXPECT_TRUE(folder.searchField()->text().isEmpty());
    EXPECT_EQ(list->heard.last(), "reactivate");

    folder.share(nullptr);
    folder.deleteEntity(nullptr);
    EXPECT_EQ(list->heard.mid(2), QStringList({"share", "delete"}));

    // The find command puts the keyboard in the search field.
    list->view()->setFocusPolicy(Qt::StrongFocus);
    list->view()->setFocus();
    folder.goFind(nullptr);
    EXPECT_TRUE(folder.searchField()->hasFocus());
}

} // namespace
} // namespace tavrel
