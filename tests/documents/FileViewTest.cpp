#include "DocumentViewsFixture.h"
#include "chrome/TQFolderFilteringViewController.h"
#include "controls/DocumentPreviewView.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQDetailPreviewController.h"
#include "documents/TQFileViewController.h"
#include "model/Category.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "platform/system/Settings.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/ActionError.h"
#include "window/ActionRequests.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>

namespace tavrel {
namespace {

// Box holds Alpha, Inner and the trashed Gone; Beta lies outside. Shared belongs to bob.
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "folder:box", "kind": "folder", "title": "Box"},
    {"resourceId": "folder:inner", "kind": "folder", "title": "Inner", "parents": ["folder:box"]},
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha", "parents": ["folder:box"]},
    {"resourceId": "document:gone", "kind": "document", "title": "Gone", "parents": ["folder:box"], "labels": ["trashed"]},
    {"resourceId": "document:beta", "kind": "document", "title": "Beta"},
    {"resourceId": "document:shared", "kind": "document", "title": "Shared", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "reader"}]}
  ]
})";

// Stands in for the people-with-access tab another part of the program provides.
class PeopleTab : public TQViewController
{
    Q_OBJECT
    Q_PROPERTY(QVariant item MEMBER item)
public:
    QVariant item;
};

// Takes the errors that travel up the responder chain.
class ErrorCatcher : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void processActionError(QObject* sender) { errors << ActionError::error(sender); }
    QList<Error> errors;
};

class FileViewTest : public test::DocumentViewsFixture
{
protected:
    void SetUp() override
    {
        DocumentViewsFixture::SetUp();
        startWithSeed(kSeed, 6);
        window.resize(800, 600);
        stack.view()->setParent(&window);
        stack.view()->setGeometry(window.rect());
        ResponderChain::setApplicationDelegate(&catcher);
    }
    void TearDown() override
    {
        ResponderChain::setApplicationDelegate(nullptr);
        ViewClasses::unregisterClass(TQFileViewController::kSharingTabClass);
        DocumentViewsFixture::TearDown();
    }
    TQFileViewController* show(const QString& resourceId, int filter = 0)
    {
        window.show();
        auto* root = new TQViewController;
        root->setParent(&window);
        stack.installControllerFromBottom(root);
        auto* details = new TQFileViewController;
        details->setInitialFilter(filter);
        details->setItem(entry(resourceId));
        stack.pushController(details);
        return details;
    }
    static bool validate(TQFileViewController* view, QLatin1String command, QAction* item = nullptr)
    {
        QAction own;
        QAction* action = item ? item : &own;
        UserInterfaceItem::setCommand(action, command);
        return view->validateUserInterfaceItem(action);
    }

    QWidget window;
    TQNavigationController stack;
    ErrorCatcher catcher;
};

TEST_F(FileViewTest, ADocumentShowsItsPreviewAndOnlyTheTabsTheProgramHas)
{
    TQFileViewController* view = show(QStringLiteral("document:alpha"));
    EXPECT_TRUE(qobject_cast<TQDetailPreviewController*>(view->tabController(0)));
    EXPECT_EQ(view->tabController(1), nullptr);
    EXPECT_EQ(view->tabController(2), nullptr);
    EXPECT_EQ(view->currentTab(), 0);
    EXPECT_TRUE(view->openButton()->isVisibleTo(view->view()));
    EXPECT_EQ(view->itemGroups(), QStringLiteral("Box"));
    // Commands whose view is missing are neither enabled nor shown.
    QAction sharing;
    EXPECT_FALSE(validate(view, Commands::showSharingContacts, &sharing));
    EXPECT_FALSE(sharing.isVisible());
    EXPECT_TRUE(validate(view, Commands::openFile));
    EXPECT_FALSE(validate(view, Commands::uploadFilesOrFolder));

    // With the people tab in the program, the sharing command opens it, and it can come first.
    ViewClasses::registerClass<PeopleTab>(TQFileViewController::kSharingTabClass);
    TQFileViewController* people = show(QStringLiteral("document:alpha"), 1);
    ASSERT_TRUE(people->tabController(1));
    EXPECT_EQ(people->currentTab(), 1);
    EXPECT_EQ(people->tabController(1)->property("item").value<ManagedObjectPtr>(),
              ManagedObjectPtr(entry(QStringLiteral("document:alpha"))));
    people->showPreview(nullptr);
    EXPECT_EQ(people->currentTab(), 0);
    QAction again;
    EXPECT_TRUE(validate(people, Commands::showSharingContacts, &again));
    EXPECT_TRUE(again.isVisible());
    people->showSharingContacts(nullptr);
    EXPECT_EQ(people->currentTab(), 1);
}

TEST_F(FileViewTest, ACollectionListsWhatLiesDirectlyInsideItAndNarrowsByTitle)
{
    TQFileViewController* view = show(QStringLiteral("folder:box"));
    EXPECT_FALSE(view->openButton()->isVisibleTo(view->view()));
    EXPECT_FALSE(validate(view, Commands::editEntity));
    EXPECT_TRUE(validate(view, Commands::uploadFilesOrFolder));
    auto* folder = qobject_cast<TQFolderFilteringViewController*>(view->tabController(0));
    ASSERT_TRUE(folder);
    auto* contents = qobject_cast<TQAllItemsController*>(folder->controller());
    ASSERT_TRUE(contents);
    auto titles = [contents] {
        QStringList names;
        for (int row = 0; row < contents->dataProvider()->count(); ++row)
            if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(contents->recordAtRow(row)))
                names << entry->title();
        names.sort();
        return names;
    };
    ASSERT_TRUE(test::waitUntil([&] { return titles().size() == 2; }, 10000));
    EXPECT_EQ(titles(), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Inner")}));
    folder->setSearchString(QStringLiteral("INN"));
    ASSERT_TRUE(test::waitUntil([&] { return titles() == QStringList{QStringLiteral("Inner")}; }, 10000));
}

TEST_F(FileViewTest, TheHeaderFollowsTheRecordAndThePrivacyEntriesFollowTheOwnersDomain)
{
    TQFileViewController* view = show(QStringLiteral("document:beta"));
    EXPECT_TRUE(view->itemGroups().isNull());
    EXPECT_FALSE(view->itemDetails().isEmpty());
    EXPECT_EQ(view->privacyEntry(), TQFileViewController::PrivacyPrivate);
    EXPECT_EQ(view->privacyEntryCount(), 6);
    // An own account in the public mail domain has no domain-wide entries.
    Settings::setValue(QStringLiteral("publicMailDomain"), QStringLiteral("tavrel.test"));
    TQFileViewController* publicDomain = show(QStringLiteral("document:beta"));
    EXPECT_EQ(publicDomain->privacyEntryCount(), 4);
}

TEST_F(FileViewTest, CommandsSendTheirRequestsForTheOneRecord)
{
    TQFileViewController* view = show(QStringLiteral("document:beta"));
    ActionRequests::Recorder requests;
    view->toggleStarState(nullptr);
    view->download(nullptr);
    view->getLinkToShare(nullptr);
    view->changePrivacyToEntry(TQFileViewController::PrivacyPublic);
    view->changePrivacyToEntry(TQFileViewController::PrivacyPrivate);
    ASSERT_EQ(requests.requests.size(), 5);
    const auto beta = ManagedObjectPtr(entry(QStringLiteral("document:beta")));
    EXPECT_EQ(requests.requests[0].action, QStringLiteral("StarredDocuments"));
    EXPECT_EQ(requests.requests[0].parameters.value(QStringLiteral("isStarred")).toBool(), true);
    EXPECT_EQ(requests.requests[1].action, QStringLiteral("GetFile"));
    EXPECT_EQ(
        requests.requests[1].parameters.value(QStringLiteral("documentEntity")).value<ManagedObjectPtr>(),
        beta);
    EXPECT_TRUE(requests.requests[1]
                    .parameters.value(QStringLiteral("progressID"))
                    .toString()
                    .startsWith(QLatin1String("download_")));
    struct Access
    {
        int request;
        const char* type; // null: private, no general permission
        bool link;
    };
    const Access accesses[] = {{2, "default", true}, {3, "default", false}, {4, nullptr, false}};
    for (const Access& access : accesses) {
        SCOPED_TRACE(access.request);
        const auto& request = requests.requests[access.request];
        EXPECT_EQ(request.action, QStringLiteral("SetGeneralACLPermission"));
        const QVariant permission = request.parameters.value(QStringLiteral("generalACLPermission"));
        if (!access.type) {
            EXPECT_FALSE(permission.isValid());
            continue;
        }
        const auto adapter = permission.value<std::shared_ptr<GeneralACLPermissionAdapter>>();
        ASSERT_TRUE(adapter);
        EXPECT_EQ(adapter->type(), QLatin1String(access.type));
        EXPECT_EQ(adapter->hasLink(), access.link);
    }

    // Somebody else's record: nothing is sent and the pop-up stays on the record's access.
    TQFileViewController* shared = show(QStringLiteral("document:shared"));
    requests.requests.clear();
    shared->changePrivacyToEntry(TQFileViewController::PrivacyLink);
    EXPECT_TRUE(requests.requests.isEmpty());
    EXPECT_EQ(shared->privacyEntry(), TQFileViewController::PrivacyPrivate);
}

TEST_F(FileViewTest, OnlyTheOwnerOfADocumentIsOfferedToChangeItsOwner)
{
    QAction item;
    UserInterfaceItem::setTag(&item, TQFileViewController::kChangeOwnerTag);
    // The user's own document, shared with nobody: the entry opens the dialog, without a submenu.
    TQFileViewController* own = show(QStringLiteral("document:beta"));
    EXPECT_TRUE(validate(own, Commands::changeOwnership, &item));
    EXPECT_EQ(item.text(), StringTable::text(QStringLiteral("ChangeOwner")));
    EXPECT_EQ(item.menu(), nullptr);
    // Somebody else's document.
    TQFileViewController* theirs = show(QStringLiteral("document:shared"));
    EXPECT_FALSE(validate(theirs, Commands::changeOwnership, &item));
}

TEST_F(FileViewTest, TheListsCommandsOpenTheDetailViewOnTheirTab)
{
    ViewClasses::registerClass<TQFileViewController>(TQMainWindowController::kFileViewClass);
    const auto cleanup =
        qScopeGuard([] { ViewClasses::unregisterClass(TQMainWindowController::kFileViewClass); });
    window.show();
    auto* root = new TQViewController;
    root->setParent(&window);
    stack.installControllerFromBottom(root);
    list->setNavigationController(&stack);
    select({QStringLiteral("document:beta")});

    using Command = void (TQAllItemsCommands::*)(QObject*);
    const struct
    {
        const char* name;
        Command command;
        qint64 filter;
    } rows[] = {
        {"preview", &TQAllItemsCommands::showPreview, 0},
        {"show details", &TQAllItemsCommands::showDetails, 0},
        {"sharings", &TQAllItemsCommands::showSharingContacts, 1},
        {"organize", &TQAllItemsCommands::organize, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        (list->commands()->*row.command)(nullptr);
        auto* shown = qobject_cast<TQFileViewController*>(stack.topController());
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->initialFilter(), row.filter);
        EXPECT_EQ(shown->item(), entry(QStringLiteral("document:beta")));
    }
    list->setNavigationController(nullptr);
}

TEST_F(FileViewTest, ATrashRoutesItsErrorThenLeavesTheStack)
{
    QPointer<TQFileViewController> view = show(QStringLiteral("document:beta"));
    ActionRequests::Recorder requests;
    view->deleteEntity(nullptr);
    ASSERT_EQ(requests.requests.size(), 1);
    EXPECT_EQ(requests.requests[0].action, QStringLiteral("TrashDocuments"));
    EXPECT_EQ(stack.topController(), view.data());
    requests.answerLast(QVariant(), QVariant::fromValue(Error(QStringLiteral("dor.test"), 704)));
    ASSERT_EQ(catcher.errors.size(), 1);
    EXPECT_EQ(catcher.errors[0].code(), 704);
    EXPECT_NE(stack.topController(), view.data());
    ASSERT_TRUE(test::waitUntil([&] { return view.isNull(); }, 5000));
}

TEST_F(FileViewTest, DownloadAndLinkErrorsReachTheBanner)
{
    TQFileViewController* view = show(QStringLiteral("document:beta"));
    ActionRequests::Recorder requests;
    view->download(nullptr);
    requests.answerLast(QVariant(), QVariant::fromValue(Error(QStringLiteral("dor.test"), 703)));
    view->getLinkToShare(nullptr);
    requests.answerLast(QVariant(), QVariant::fromValue(Error(QStringLiteral("dor.test"), 704)));
    ASSERT_EQ(catcher.errors.size(), 2);
    EXPECT_EQ(catcher.errors[0].code(), 703);
    EXPECT_EQ(catcher.errors[1].code(), 704);
    EXPECT_EQ(stack.topController(), view);
}

} // namespace
} // namespace tavrel

#include "FileViewTest.moc"
