#include "controls/TQTriStateButton.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/DMTracker.h"
#include "platform/ui/Animations.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/WaitUntil.h"
#include "window/TQNavigationController.h"
#include "window/TQTitlebar.h"
#include "window/TQViewController.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace tavrel {
namespace {

// A content controller that writes down its hooks as "name:hook".
class HookedController : public TQViewController
{
    Q_OBJECT
public:
    HookedController(const QString& name, QStringList* journal, int contentType = NoContent)
        : TQViewController(name), m_journal(journal), m_contentType(contentType)
    {
        setTitle(name);
    }
    int contentType() const override { return m_contentType; }
    void viewDidInstall() override
    {
        TQViewController::viewDidInstall();
        m_journal->append(nibName() + QStringLiteral(":install"));
    }
    void viewWillUninstall() override { m_journal->append(nibName() + QStringLiteral(":willUninstall")); }
    void viewDidUninstall() override
    {
        TQViewController::viewDidUninstall();
        m_journal->append(nibName() + QStringLiteral(":didUninstall"));
    }

private:
    QStringList* m_journal;
    int m_contentType;
};

class NavigationTest : public ::testing::Test
{
protected:
    NavigationTest()
    {
        window.resize(400, 300);
        stack.view()->setParent(&window);
        stack.view()->setGeometry(0, 0, 400, 300);
        titlebar.resize(300, 36);
        stack.setToolbar(&titlebar);
        NotificationCenter::defaultCenter().addObserver(
            &observerContext, TQNavigationController::kQuickShareDialogShouldDetachNotification, QVariant(),
            [this](const Notification& notification) {
                ++detachCount;
                EXPECT_EQ(notification.objectAsQObject(), &window);
            });
    }
    HookedController* make(const QString& name)
    {
        controllers.push_back(std::make_unique<HookedController>(name, &journal));
        return controllers.back().get();
    }
    QStringList takeJournal() { return std::exchange(journal, {}); }

    QWidget window;
    TQTitlebar titlebar;
    TQNavigationController stack;
    QObject observerContext;
    QStringList journal;
    int detachCount = 0;
    std::vector<std::unique_ptr<HookedController>> controllers;
};

TEST_F(NavigationTest, FirstRootShowsAtOnceAndInstalls)
{
    HookedController* root = make(QStringLiteral("root"));
    stack.installControllerFromBottom(root);
    EXPECT_EQ(takeJournal(), QStringList{QStringLiteral("root:install")});
    EXPECT_EQ(root->view()->geometry(), stack.view()->rect());
    EXPECT_TRUE(root->isInstalled());
    EXPECT_EQ(root->navigationController(), &stack);
    EXPECT_EQ(detachCount, 0); // no slide ran
    // The controller stands right behind its view, once, however often it is installed.
    root->viewDidInstall();
    EXPECT_EQ(ResponderChain::respondersBehind(root->view()).count(root), 1);
}

TEST_F(NavigationTest, HooksRunInOrderWithOneDetachPerSlide)
{
    HookedController* root = make(QStringLiteral("root"));
    HookedController* detail = make(QStringLiteral("detail"));
    stack.installControllerFromBottom(root);
    takeJournal();

    stack.pushController(detail);
    EXPECT_EQ(takeJournal(),
              (QStringList{QStringLiteral("root:willUninstall"), QStringLiteral("root:didUninstall"),
                           QStringLiteral("detail:install")}));
    EXPECT_EQ(stack.level(), 1);
    EXPECT_EQ(stack.topController(), detail);
    EXPECT_EQ(detachCount, 1);
    ASSERT_EQ(titlebar.navigationHistory().size(), 1);

    EXPECT_EQ(stack.popController(), detail);
    EXPECT_EQ(takeJournal(),
              (QStringList{QStringLiteral("detail:willUninstall"), QStringLiteral("detail:didUninstall"),
                           QStringLiteral("root:install")}));
    EXPECT_EQ(stack.level(), 0);
    EXPECT_EQ(detail->navigationController(), nullptr);
    EXPECT_FALSE(detail->isInstalled());
    EXPECT_EQ(detail->view()->parentWidget(), nullptr);
    EXPECT_EQ(detachCount, 2);
    EXPECT_TRUE(titlebar.navigationHistory().isEmpty());

    // Popping at the root answers nothing and changes nothing.
    EXPECT_EQ(stack.popController(), nullptr);
    EXPECT_EQ(detachCount, 2);
    EXPECT_TRUE(takeJournal().isEmpty());
}

TEST_F(NavigationTest, SlideFramesByKind)
{
    // Watched with time running, sampled at the start of each slide.
    Animations::FactorOverride slow(1.0);
    HookedController* root = make(QStringLiteral("root"));
    stack.installControllerFromBottom(root);
    struct Row
    {
        const char* name;
        std::function<void(TQViewController*)> run;
        QPoint incomingStart;
    };
    const Row rows[] = {
        {"push", [&](TQViewController* c) { stack.pushController(c); }, QPoint(400, 0)},
        {"from bottom", [&](TQViewController* c) { stack.installControllerFromBottom(c); }, QPoint(0, 300)},
        {"from top", [&](TQViewController* c) { stack.installControllerFromTop(c); }, QPoint(0, -300)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        HookedController* incoming = make(QString::fromLatin1(row.name));
        row.run(incoming);
        EXPECT_TRUE(stack.isSliding());
        EXPECT_EQ(incoming->view()->pos(), row.incomingStart);
        ASSERT_TRUE(test::waitUntil([&] { return !stack.isSliding(); }, 5000));
        EXPECT_EQ(incoming->view()->geometry(), stack.view()->rect());
    }
}

TEST_F(NavigationTest, InterruptedSlideIsCleanedUp)
{
    Animations::FactorOverride slow(1.0);
    HookedController* root = make(QStringLiteral("root"));
    HookedController* first = make(QStringLiteral("first"));
    HookedController* second = make(QStringLiteral("second"));
    stack.installControllerFromBottom(root);
    takeJournal();

    stack.installControllerFromBottom(first); // root slides out ...
    stack.installControllerFromTop(second);   // ... and is stopped half-way by this one
    // The stopped slide's outgoing root is uninstalled and gone from the area at once.
    EXPECT_EQ(takeJournal(),
              (QStringList{QStringLiteral("root:willUninstall"), QStringLiteral("root:didUninstall")}));
    EXPECT_EQ(root->view()->parentWidget(), nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return !stack.isSliding(); }, 5000));
    EXPECT_EQ(takeJournal(),
              (QStringList{QStringLiteral("first:willUninstall"), QStringLiteral("first:didUninstall"),
                           QStringLiteral("second:install")}));
    EXPECT_EQ(detachCount, 1); // only the slide that completed
    EXPECT_EQ(first->view()->parentWidget(), nullptr);
    EXPECT_EQ(stack.currentController(), second);
}

TEST_F(NavigationTest, SearchStringClearedOnlyByInstalls)
{
    HookedController* root = make(QStringLiteral("root"));
    HookedController* pushed = make(QStringLiteral("pushed"));
    HookedController* other = make(QStringLiteral("other"));
    stack.installControllerFromBottom(root);
    pushed->setSearchString(QStringLiteral("report"));
    stack.pushController(pushed);
    stack.popController();
    EXPECT_EQ(pushed->searchString(), QStringLiteral("report"));
    root->setSearchString(QStringLiteral("budget"));
    stack.installControllerFromTop(other);
    EXPECT_TRUE(root->searchString().isNull());
}

TEST_F(NavigationTest, PopToRootRunsOneSlide)
{
    HookedController* root = make(QStringLiteral("root"));
    stack.installControllerFromBottom(root);
    for (const char* name : {"a", "b", "c"})
        stack.pushController(make(QString::fromLatin1(name)));
    ASSERT_EQ(stack.level(), 3);
    ASSERT_EQ(titlebar.navigationHistory().size(), 3);
    const int before = detachCount;
    takeJournal();
    stack.popToRootController();
    EXPECT_EQ(detachCount - before, 1);
    EXPECT_EQ(stack.level(), 0);
    EXPECT_EQ(takeJournal(), (QStringList{QStringLiteral("c:willUninstall"), QStringLiteral("c:didUninstall"),
                                          QStringLiteral("root:install")}));
    EXPECT_TRUE(titlebar.navigationHistory().isEmpty());
}

TEST_F(NavigationTest, StoreAndRestoreBringBackTheStackAndItsButtons)
{
    HookedController* root = make(QStringLiteral("root"));
    HookedController* a = make(QStringLiteral("a"));
    HookedController* b = make(QStringLiteral("b"));
    HookedController* other = make(QStringLiteral("other"));
    stack.installControllerFromBottom(root);
    stack.restoreNavigationHistory(); // nothing stored: nothing happens
    EXPECT_EQ(stack.topController(), root);
    stack.pushController(a);
    stack.pushController(b);
    const QList<QAbstractButton*> buttons = titlebar.navigationHistory();
    stack.storeNavigationHistory();
    EXPECT_TRUE(stack.hasStoredState());
    stack.installControllerFromBottom(other);
    EXPECT_EQ(stack.level(), 0);
    EXPECT_TRUE(titlebar.navigationHistory().isEmpty());

    stack.restoreNavigationHistory();
    EXPECT_FALSE(stack.hasStoredState());
    EXPECT_EQ(stack.level(), 2);
    EXPECT_EQ(stack.currentController(), root);
    EXPECT_EQ(stack.topController(), b);
    EXPECT_TRUE(b->isInstalled());
    EXPECT_EQ(titlebar.navigationHistory(), buttons);
    EXPECT_TRUE(buttons.constLast()->isVisibleTo(&titlebar));
    // Back still works from the restored state.
    EXPECT_EQ(stack.popController(), b);
    EXPECT_EQ(stack.topController(), a);
}

TEST_F(NavigationTest, BackButtonCarriesThePreviousTitleAndGoesBack)
{
    HookedController* root = make(QStringLiteral("Documents"));
    HookedController* detail = make(QStringLiteral("detail"));
    stack.installControllerFromBottom(root);
    stack.pushController(detail);
    ASSERT_EQ(titlebar.navigationHistory().size(), 1);
    QAbstractButton* back = titlebar.navigationHistory().constFirst();
    EXPECT_EQ(UserInterfaceItem::title(back), QStringLiteral("Documents"));
    EXPECT_EQ(back->x(), 0);
    EXPECT_EQ(back->y(), (titlebar.height() - back->height()) / 2);
    ASSERT_NE(qobject_cast<CellButton*>(back), nullptr);
    qobject_cast<CellButton*>(back)->performClick();
    EXPECT_EQ(stack.level(), 0);
}

TEST(TitlebarTest, NavigationButtonsSlideAndOwnButtonsStayRight)
{
    TQTitlebar bar;
    bar.resize(300, 36);
    auto* own1 = new TQTriStateButton;
    auto* own2 = new TQTriStateButton;
    bar.setButtons({own1, own2});
    EXPECT_EQ(own2->geometry(), QRect(300 - 35, 8, 20, 20));
    EXPECT_EQ(own1->geometry(), QRect(300 - 35 - 40, 8, 20, 20));
    EXPECT_EQ(bar.referenceX(), own1->x());

    bar.pushButton(nullptr, true);
    EXPECT_TRUE(bar.navigationHistory().isEmpty());
    bar.popButtonAnimated(true); // empty: nothing
    auto* first = new TQTriStateButton;
    first->resize(60, 26);
    auto* second = new TQTriStateButton;
    second->resize(60, 26);
    bar.pushNavigationButton(first);
    bar.pushNavigationButton(second);
    EXPECT_FALSE(first->isVisibleTo(&bar)); // slid out to the left
    EXPECT_EQ(second->pos(), QPoint(0, 5));
    bar.popNavigationButton();
    EXPECT_EQ(bar.navigationHistory(), QList<QAbstractButton*>{first});
    EXPECT_TRUE(first->isVisibleTo(&bar));
    EXPECT_EQ(first->x(), 0);

    TQTitlebar bare;
    bare.resize(200, 36);
    EXPECT_EQ(bare.referenceX(), 200); // no own buttons: from the right edge
}

TEST(ViewControllerTest, NewItemMenuArrangements)
{
    // Tags: documents below 200, the divider 200, contacts above it, the tail from 300.
    TQTriStateButton button;
    QMenu menu;
    button.setMenu(&menu);
    const auto order = [&] {
        QList<int> tags;
        for (QAction* action : menu.actions())
            tags.append(UserInterfaceItem::tag(action));
        return tags;
    };
    const auto fill = [&](const QList<int>& tags) {
        menu.clear();
        for (int tag : tags)
            menu.addAction(UserInterfaceItem::makeAction(QString::number(tag), QString(), &menu, tag));
    };
    const QList<int> documentsFirst{1, 2, 3, 200, 201, 202, 300, 301};
    const QList<int> contactsFirst{201, 202, 200, 1, 2, 3, 300, 301};
    struct Row
    {
        const char* name;
        QList<int> start;
        void (*arrange)(QObject*);
        QList<int> expected;
    };
    const Row rows[] = {
        {"contacts to documents", contactsFirst, TQViewController::rearrangePopupMenuForDocuments,
         documentsFirst},
        {"documents stay", documentsFirst, TQViewController::rearrangePopupMenuForDocuments, documentsFirst},
        {"documents to contacts", documentsFirst, TQViewController::rearrangePopupMenuForContacts,
         contactsFirst},
        {"contacts stay", contactsFirst, TQViewController::rearrangePopupMenuForContacts, contactsFirst},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fill(row.start);
        row.arrange(&button);
        EXPECT_EQ(order(), row.expected);
    }
    // A round trip gives the order back; an item that is not a button with a menu changes nothing.
    fill(contactsFirst);
    TQViewController::rearrangePopupMenuForDocuments(&button);
    TQViewController::rearrangePopupMenuForContacts(&button);
    EXPECT_EQ(order(), contactsFirst);
    QObject plain;
    TQViewController::rearrangePopupMenuForDocuments(&plain);
}

TEST(ViewControllerTest, ValidationAndSorting)
{
    QStringList journal;
    HookedController contacts(QStringLiteral("contacts"), &journal, TQViewController::ContactsContent);
    HookedController documents(QStringLiteral("documents"), &journal, TQViewController::DocumentsContent);
    QAction share;
    UserInterfaceItem::setCommand(&share, QStringLiteral("share:"));
    EXPECT_FALSE(contacts.validateUserInterfaceItem(&share));
    EXPECT_TRUE(documents.validateUserInterfaceItem(&share));

    documents.sortAscending(nullptr); // no descriptor: nothing
    EXPECT_FALSE(documents.sortDescriptor().has_value());
    documents.setSortDescriptor(SortDescriptor(QStringLiteral("title"), true));
    documents.sortDescending(nullptr);
    ASSERT_TRUE(documents.sortDescriptor().has_value());
    EXPECT_FALSE(documents.sortDescriptor()->ascending());
    EXPECT_EQ(documents.sortDescriptor()->key(), QStringLiteral("title"));
    documents.sortAscending(nullptr);
    EXPECT_TRUE(documents.sortDescriptor()->ascending());
}

TEST(ViewControllerTest, InstallReportsNavigationUsage)
{
    QStringList journal;
    HookedController controller(QStringLiteral("FileList"), &journal);
    QStringList events;
    QObject context;
    QObject::connect(DMTracker::defaultTracker(), &DMTracker::eventTracked, &context,
                     [&](const QString& category, const QString& name, const QString&) {
                         events << category + QLatin1Char('/') + name;
                     });
    controller.viewDidInstall();
    EXPECT_EQ(events, QStringList{QStringLiteral("Navigation/FileList")});
}

} // namespace
} // namespace tavrel

#include "NavigationTest.moc"
