#include "DocumentViewsFixture.h"
#include "controls/TQFloatingWindow.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQAllItemsRowMenus.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/SharingClasses.h"
#include "support/RecordedNotifications.h"
#include "window/ActionRequests.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// The user (demo@tavrel.test) owns alpha (Ann edits), beta (Ann views), gamma (nobody), and "linked"
// and "linked2" (anyone with the link); Bob owns plan (the user edits; writers may not invite) and
// notes (the user only comments); Carol owns third (the user edits; writers may invite).
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:beta", "kind": "document", "title": "Beta",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]},
    {"resourceId": "document:gamma", "kind": "document", "title": "Gamma"},
    {"resourceId": "document:linked", "kind": "document", "title": "Linked",
     "acl": [{"scope": "default", "role": "reader", "key": "k1"}]},
    {"resourceId": "document:linked2", "kind": "document", "title": "Linked two",
     "acl": [{"scope": "default", "role": "reader", "key": "k2"}]},
    {"resourceId": "document:plan", "kind": "document", "title": "Plan", "owner": "bob@tavrel.test",
     "writersCanInvite": false,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:notes", "kind": "document", "title": "Notes", "owner": "bob@tavrel.test",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "commenter"}]},
    {"resourceId": "document:third", "kind": "document", "title": "Third", "owner": "carol@tavrel.test",
     "writersCanInvite": true,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]}
  ]
})";

class Banner : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void processActionError(QObject*) { ++errors; }
    int errors = 0;
};

class AllItemsSharingTest : public test::DocumentViewsFixture
{
protected:
    void SetUp() override
    {
        AccountTest::SetUp();
        startWithSeed(kSeed, 8);
        ASSERT_FALSE(HasFatalFailure());
        SharingClasses::registerClasses();
        ResponderChain::setApplicationDelegate(&m_banner);
    }
    void TearDown() override
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* floating = qobject_cast<TQFloatingWindow*>(top); floating && floating->isVisible())
                floating->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResponderChain::setApplicationDelegate(nullptr);
        SharingClasses::unregisterClasses();
        DocumentViewsFixture::TearDown();
    }
    QList<ManagedObjectPtr> records(const QStringList& resourceIds) const
    {
        QList<ManagedObjectPtr> found;
        for (const QString& id : resourceIds)
            found << entry(id);
        return found;
    }
    QMessageBox* sheet() const
    {
        for (QMessageBox* box : list->view()->window()->findChildren<QMessageBox*>())
            if (box->isVisible())
                return box;
        return nullptr;
    }
    void press(const char* key)
    {
        for (QAbstractButton* button : sheet()->buttons())
            if (button->text() == StringTable::text(QLatin1String(key))) {
                button->click();
                return;
            }
        ADD_FAILURE() << "no button " << key;
    }
    static int visibleFloatingWindows()
    {
        int count = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (qobject_cast<TQFloatingWindow*>(top) && top->isVisible())
                ++count;
        return count;
    }
    static QByteArray modeLine(char mode)
    {
        return QByteArray("Quick Share Dialog: Mode ") + mode + " detected";
    }

    Banner m_banner;
};

TEST_F(AllItemsSharingTest, TheQuickShareDecisionChoosesTheViewForTheUsersStanding)
{
    struct Case
    {
        QStringList documents;
        char mode;
    };
    // Mine shared with nobody: share-with; mine shared: the share list; only commenting: read-only;
    // mine with one I edit: the share list; one where writers may invite: the share list.
    const Case cases[] = {
        {{QStringLiteral("document:gamma")}, 'C'},
        {{QStringLiteral("document:alpha")}, 'D'},
        {{QStringLiteral("document:notes")}, 'A'},
        {{QStringLiteral("document:alpha"), QStringLiteral("document:plan")}, 'D'},
        {{QStringLiteral("document:third")}, 'D'},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.documents.join(u',').toStdString());
        const int before = logCount(modeLine(each.mode));
        list->commands()->shareForSelection(records(each.documents));
        EXPECT_EQ(logCount(modeLine(each.mode)), before + 1);
    }
    // Mode C opened the share-with dialog.
    EXPECT_GE(visibleFloatingWindows(), 1);

    // Nothing selected: nothing opens, no mode is chosen.
    const int decisions = logCount("Quick Share Dialog: Mode");
    list->commands()->shareForSelection({});
    EXPECT_EQ(logCount("Quick Share Dialog: Mode"), decisions);
}

TEST_F(AllItemsSharingTest, TheModeBSheetDropsTheDocumentsTheUserMayNotShareOnYes)
{
    select({QStringLiteral("document:alpha"), QStringLiteral("document:notes")});
    const QList<ManagedObjectPtr> mixed = list->selectedRecords();
    list->commands()->shareForSelection(mixed);
    EXPECT_EQ(logCount(modeLine('B')), 1);
    ASSERT_TRUE(test::waitUntil([&] { return sheet() != nullptr; }, 3000));
    press("No");
    ASSERT_TRUE(test::waitUntil([&] { return sheet() == nullptr; }, 3000));
    EXPECT_EQ(list->selectedRecords().size(), 2);
    EXPECT_EQ(logCount(modeLine('D')), 0);

    list->commands()->shareForSelection(mixed);
    ASSERT_TRUE(test::waitUntil([&] { return sheet() != nullptr; }, 3000));
    press("Yes");
    ASSERT_TRUE(test::waitUntil([&] { return logCount(modeLine('D')) == 1; }, 3000));
    EXPECT_EQ(list->selectedRecords(), records({QStringLiteral("document:alpha")}));
}

TEST_F(AllItemsSharingTest, GetLinkCopiesTheLinksAndAnnouncesThemOnceOnlyOnSuccess)
{
    test::RecordedNotifications notifications;
    ASSERT_TRUE(notifications.active());
    Clipboard::clear();
    // Both have links: copied at once, one notification counting them.
    select({QStringLiteral("document:linked"), QStringLiteral("document:linked2")});
    list->commands()->getLinkToShare(nullptr);
    EXPECT_EQ(Clipboard::urls(),
              (QList<QUrl>{QUrl(entry(QStringLiteral("document:linked"))->alternateLink()),
                           QUrl(entry(QStringLiteral("document:linked2"))->alternateLink())}));
    auto shown = notifications.takeAll();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.constFirst().title, StringTable::format(QStringLiteral("ManyItems"), 2));

    // One without a link: link sharing goes on first; a failure copies nothing and says nothing.
    Clipboard::clear();
    select({QStringLiteral("document:gamma")});
    {
        ActionRequests::Recorder recorder;
        list->commands()->getLinkToShare(nullptr);
        const auto sent = recorder.requestsOf(QStringLiteral("SetGeneralACLPermissions"));
        ASSERT_EQ(sent.size(), 1);
        EXPECT_TRUE(Clipboard::urls().isEmpty());
        recorder.answerLast(QVariant(), QVariant::fromValue(Error(QStringLiteral("test"), 500, {})));
        EXPECT_TRUE(Clipboard::urls().isEmpty());
        EXPECT_TRUE(notifications.takeAll().isEmpty());
        EXPECT_EQ(m_banner.errors, 1);
    }
    // Against the service: the link is copied when the answer comes, titled by the document.
    list->commands()->getLinkToShare(nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return !Clipboard::urls().isEmpty(); }, 20000));
    EXPECT_EQ(Clipboard::urls().constFirst().toString(),
              entry(QStringLiteral("document:gamma"))->alternateLink());
    shown = notifications.takeAll();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.constFirst().title, QStringLiteral("Gamma"));

    // Nothing the user may share: the banner, nothing copied.
    Clipboard::clear();
    select({QStringLiteral("document:plan")});
    list->commands()->getLinkToShare(nullptr);
    EXPECT_TRUE(Clipboard::urls().isEmpty());
    EXPECT_TRUE(notifications.takeAll().isEmpty());

    // Some: the sheet first; OK keeps the permitted ones selected and copies theirs.
    select({QStringLiteral("document:linked"), QStringLiteral("document:plan")});
    list->commands()->getLinkToShare(nullptr);
    ASSERT_TRUE(test::waitUntil([&] { return sheet() != nullptr; }, 3000));
    EXPECT_EQ(sheet()->text(), StringTable::format(QStringLiteral("MixedPermissionTitle"), 1));
    press("OK");
    ASSERT_TRUE(test::waitUntil([&] { return !Clipboard::urls().isEmpty(); }, 3000));
    EXPECT_EQ(list->selectedRecords(), records({QStringLiteral("document:linked")}));
    EXPECT_EQ(notifications.takeAll().size(), 1);
}

TEST_F(AllItemsSharingTest, SharingCommandsAreOfferedOnlyWithASelectionAndOpenTheirViews)
{
    QMenu* menu = list->rowMenus()->rowMenu();
    const auto item = [menu](QLatin1String command) -> QAction* {
        for (QAction* each : menu->actions())
            if (UserInterfaceItem::command(each) == command)
                return each;
        return nullptr;
    };
    // The share command asks for the list to have the keyboard, as a menu bar's item would.
    list->tableView()->setFocus();
    for (QLatin1String command : {Commands::share, Commands::getLinkToShare, Commands::showSharingContacts}) {
        SCOPED_TRACE(command.data());
        QAction* action = item(command);
        ASSERT_NE(action, nullptr);
        list->tableView()->selectionModel()->clearSelection();
        EXPECT_FALSE(list->validateUserInterfaceItem(action));
        select({QStringLiteral("document:alpha"), QStringLiteral("document:beta")});
        EXPECT_TRUE(list->validateUserInterfaceItem(action));
        EXPECT_TRUE(action->isVisible());
    }

    // Sharings for several documents: the sharing details in a window of their own.
    select({QStringLiteral("document:alpha"), QStringLiteral("document:beta")});
    const QString title = StringTable::format(QStringLiteral("SharingDetailsTitleFormat"), 2);
    list->commands()->showSharingContacts(nullptr);
    QWidget* window = nullptr;
    ASSERT_TRUE(test::waitUntil(
        [&] {
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && top->windowTitle() == title)
                    window = top;
            return window != nullptr;
        },
        3000));
    EXPECT_NE(window->findChild<QWidget*>(QStringLiteral("privacySettings")), nullptr);
    window->close();

    // Without the sharing views the commands are not offered at all.
    SharingClasses::unregisterClasses();
    QAction* share = item(Commands::share);
    EXPECT_FALSE(list->validateUserInterfaceItem(share));
    EXPECT_FALSE(share->isVisible());
}

} // namespace
} // namespace tavrel

#include "AllItemsSharingTest.moc"
