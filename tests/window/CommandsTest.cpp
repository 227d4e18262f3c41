#include "WindowTestSupport.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/TQMOCMaster.h"
#include "model/TQPreferencesManager.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/FetchRequest.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Settings.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "progress/TQProgressManager.h"
#include "support/WaitUntil.h"
#include "window/TQMainWindow.h"
#include "window/TQMainWindowCommands.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebarController.h"
#include "window/TQViewController.h"

#include <QAction>
#include <QDialog>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class CommandsTest : public test::WindowTest
{
protected:
    localservice::GenerateOptions accountOptions() const override
    {
        localservice::GenerateOptions options = test::TestAccount::smallAccount();
        options.documents = 14;
        return options;
    }
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        controller = makeWindow(5);
        QObject::connect(DMTracker::defaultTracker(), &DMTracker::eventTracked, &context,
                         [this](const QString& category, const QString& name, const QString& value) {
                             usage << QStringList{category, name, value}.join(u'/');
                         });
    }
    QList<std::shared_ptr<File>> files()
    {
        return m_account.master()->executeFetchRequest<File>(FetchRequest(QStringLiteral("File")));
    }
    QVariantMap lastParameters() const { return m_requests->requests.constLast().parameters; }
    void send(const QString& command)
    {
        QAction item;
        UserInterfaceItem::setCommand(&item, command);
        QMetaObject::invokeMethod(controller->commands(), command.left(command.indexOf(u':')).toLatin1(),
                                  Q_ARG(QObject*, &item));
    }

    TQMainWindowController* controller = nullptr;
    QObject context;
    QStringList usage;
};

TEST_F(CommandsTest, CreationParametersFollowWhatIsShown)
{
    synchronise();
    const auto collections =
        m_account.master()->executeFetchRequest<Category>(FetchRequest(QStringLiteral("Category")));
    ASSERT_FALSE(collections.isEmpty());
    struct Context
    {
        const char* name;
        int mode;
        bool insideCollection;
        bool starred;
        bool trashed;
    };
    const Context contexts[] = {
        {"all items", 1, false, false, false},
        {"starred", 2, false, true, false},
        {"trash", 5, false, false, true},
        {"inside a collection", 1, true, false, false},
    };
    struct Command
    {
        const char* command;
        const char* type;
        const char* usage; // null: none reported
    };
    const Command commands[] = {
        {"newDocument:", "document", "Toolbar/Create/Document"},
        {"newPresentation:", "presentation", "Toolbar/Create/Presentation"},
        {"newSpreadsheet:", "spreadsheet", "Toolbar/Create/Spreadsheet"},
        {"newDrawing:", "drawing", nullptr},
        {"newCollection:", "folder", "Toolbar/Create/Collection"},
    };
    for (const Context& where : contexts) {
        controller->sidebarController()->activateMode(SidebarMode(where.mode));
        controller->setInsideCategory(where.insideCollection ? collections.constFirst() : nullptr);
        for (const Command& command : commands) {
            SCOPED_TRACE(testing::Message() << where.name << " " << command.command);
            m_requests->requests.clear();
            usage.clear();
            send(QString::fromLatin1(command.command));
            ASSERT_EQ(m_requests->requests.size(), 1);
            const auto& request = m_requests->requests.constFirst();
            EXPECT_EQ(request.action, QStringLiteral("CreateEmptyDocument"));
            EXPECT_EQ(request.callback->selector(), QStringLiteral("creationDidFinishWithResult:error:"));
            const QVariantMap& p = request.parameters;
            EXPECT_EQ(p.value(QStringLiteral("type")).toString(), QString::fromLatin1(command.type));
            EXPECT_EQ(p.value(QStringLiteral("isStarred")).toBool(), where.starred);
            EXPECT_EQ(p.value(QStringLiteral("isTrashed")).toBool(), where.trashed);
            EXPECT_EQ(p.contains(QStringLiteral("collectionEntity")), where.insideCollection);
            EXPECT_TRUE(p.value(QStringLiteral("statusID")).toString().startsWith(QStringLiteral("create_")));
            EXPECT_EQ(p.value(QStringLiteral("progressConsumer")).value<QObject*>(),
                      TQProgressManager::progressManager());
            EXPECT_EQ(p.value(QStringLiteral("managedObjectContext")).value<QObject*>(), m_account.master());
            EXPECT_EQ(usage, command.usage ? QStringList{QString::fromLatin1(command.usage)} : QStringList());
        }
    }
}

TEST_F(CommandsTest, UploadsOfThePanelTheServicesAndTheStatusItem)
{
    const QStringList names{QStringLiteral("/tmp/plan.odt"), QStringLiteral("/tmp/budget.ods")};
    const QList<QUrl> urls{QUrl::fromLocalFile(names[0]), QUrl::fromLocalFile(names[1])};

    controller->commands()->uploadPanelDidEnd(0, urls); // cancelled
    controller->commands()->uploadFiles({});            // a service call without files
    controller->commands()->linkToShare({});
    EXPECT_TRUE(m_requests->requests.isEmpty());

    struct Row
    {
        const char* name;
        std::function<void()> run;
        const char* callback;
        bool starredKeys;
        bool access;
        const char* usage;
    };
    auto mime = std::make_unique<QMimeData>();
    DragBus::setFileURLs(mime.get(), urls);
    QDropEvent dropped(QPointF(1, 1), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QObject acceptor;
    const Row rows[] = {
        {"panel", [&] { controller->commands()->uploadPanelDidEnd(1, urls); },
         "operationDidFinishWithResult:error:", true, false, "Toolbar/Create/Upload"},
        {"upload service", [&] { controller->commands()->uploadFiles(names); },
         "uploadDidFinishWithResult:error:", false, false, nullptr},
        {"link service", [&] { controller->commands()->linkToShare(names); },
         "uploadLinkDidFinishWithResult:error:", false, true, nullptr},
        {"status item drop",
         [&] { EXPECT_TRUE(controller->commands()->acceptorProcessDraggingInfo(&acceptor, &dropped)); },
         "uploadDidFinishWithResult:error:", false, false, "Share/Drag&Drop/Finder"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        m_requests->requests.clear();
        usage.clear();
        row.run();
        ASSERT_EQ(m_requests->requests.size(), 1);
        const auto& request = m_requests->requests.constFirst();
        EXPECT_EQ(request.action, QStringLiteral("UploadFiles"));
        EXPECT_EQ(request.callback->selector(), QString::fromLatin1(row.callback));
        const QVariantMap& p = request.parameters;
        EXPECT_EQ(p.value(QStringLiteral("fileURLs")).value<QList<QUrl>>(), urls);
        EXPECT_TRUE(p.value(QStringLiteral("progressID")).toString().startsWith(QStringLiteral("upload_")));
        EXPECT_EQ(p.contains(QStringLiteral("isStarred")), row.starredKeys);
        EXPECT_EQ(p.contains(QStringLiteral("isTrashed")), row.starredKeys);
        const auto access = p.value(QStringLiteral("generalACLPermission"))
                                .value<std::shared_ptr<GeneralACLPermissionAdapter>>();
        EXPECT_EQ(bool(access), row.access);
        if (access) {
            EXPECT_EQ(access->type(), QStringLiteral("default"));
            EXPECT_EQ(access->role(), QStringLiteral("reader"));
        }
        EXPECT_EQ(usage, row.usage ? QStringList{QString::fromLatin1(row.usage)} : QStringList());
    }
    // The status item takes only drags holding files.
    QMimeData empty;
    QDropEvent nothing(QPointF(1, 1), Qt::CopyAction, &empty, Qt::LeftButton, Qt::NoModifier);
    EXPECT_FALSE(controller->commands()->acceptorValidateDraggingInfo(&acceptor, &nothing));
    EXPECT_FALSE(controller->commands()->acceptorProcessDraggingInfo(&acceptor, &nothing));
    EXPECT_TRUE(controller->commands()->acceptorValidateDraggingInfo(&acceptor, &dropped));
}

TEST_F(CommandsTest, LinksGoToTheClipboardAndOnlyLinksAreAnnounced)
{
    synchronise();
    auto all = files();
    ASSERT_GE(all.size(), 2);
    all[0]->setAlternateLink(QStringLiteral("http://127.0.0.1/doc/a"));
    all[1]->setAlternateLink(QString());
    const auto record = [](const std::shared_ptr<File>& file) {
        return QVariant::fromValue(ManagedObjectPtr(file));
    };
    struct Row
    {
        const char* name;
        QVariantList result;
        QVariant error;
        QList<QUrl> clipboard;
        QList<test::Shown> shown;
    };
    const QString copied = StringTable::text(QStringLiteral("LinkPermissionFormat"));
    const Row rows[] = {
        {"one of two has a link",
         {record(all[0]), record(all[1])},
         {},
         {QUrl(QStringLiteral("http://127.0.0.1/doc/a"))},
         {{QStringLiteral("TQActionDidFinishNotification"), all[0]->title(), copied, QString()}}},
        {"no link", {record(all[1])}, {}, {}, {}},
        {"error",
         {record(all[0])},
         QVariant::fromValue(Error(QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz"), 703)),
         {},
         {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Clipboard::clear();
        controller->commands()->uploadLinkDidFinishWithResult(row.result, row.error);
        EXPECT_EQ(Clipboard::urls(), row.clipboard);
        auto shown = m_notifications->takeAll();
        for (auto& notification : shown)
            notification.identifier.clear();
        EXPECT_EQ(shown, row.shown);
    }
}

TEST_F(CommandsTest, CreatedItemsAreAnnouncedWithTheirCollection)
{
    synchronise();
    auto all = files();
    const auto collections =
        m_account.master()->executeFetchRequest<Category>(FetchRequest(QStringLiteral("Category")));
    ASSERT_FALSE(all.isEmpty());
    ASSERT_FALSE(collections.isEmpty());
    all[0]->setCategories({});
    all[1]->setCategories({collections.constFirst()});
    QVariantList announced;
    NotificationCenter::defaultCenter().addObserver(
        &context, TQMainWindowController::kNewDocumentCreatedNotification, QVariant(),
        [&](const Notification& n) { announced << n.object(); });
    struct Row
    {
        std::shared_ptr<File> file;
        QString message;
    };
    const Row rows[] = {
        {all[0], StringTable::text(QStringLiteral("NewElementCreatedFormat"))},
        {all[1], StringTable::format(QStringLiteral("NewElementInCategoryFormat"),
                                     collections.constFirst()->title())},
    };
    for (const Row& row : rows) {
        controller->commands()->creationDidFinishWithResult(QVariant::fromValue(ManagedObjectPtr(row.file)),
                                                            QVariant());
        const auto shown = m_notifications->takeAll();
        ASSERT_EQ(shown.size(), 1);
        EXPECT_EQ(shown.constFirst().title, row.file->title());
        EXPECT_EQ(shown.constFirst().message, row.message);
    }
    EXPECT_EQ(announced.size(), 2);
    controller->commands()->creationDidFinishWithResult(QVariant(),
                                                        QVariant::fromValue(Error(QStringLiteral("x"), 1)));
    EXPECT_TRUE(m_notifications->takeAll().isEmpty());
}

TEST_F(CommandsTest, RecentItemsMenu)
{
    synchronise();
    auto all = files();
    ASSERT_GE(all.size(), 12);
    QStringList recents;
    for (int i = 0; i < 12; ++i)
        recents << all[i]->identifier();
    recents.insert(3, QStringLiteral("gone-document"));
    Settings::setValue(TQPreferencesManager::kRecentFilesKey, recents);

    QAction* holder = nullptr;
    for (QAction* action : controller->mainMenu()->actions())
        if (UserInterfaceItem::tag(action) == TQMainWindowController::kRecentItemsTag)
            holder = action;
    ASSERT_NE(holder, nullptr);
    EXPECT_TRUE(controller->commands()->validateUserInterfaceItem(holder));
    QList<QAction*> items = holder->menu()->actions();
    ASSERT_EQ(items.size(), 12); // ten documents, a separator, the clear command
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(items[i]->text(), all[i]->title());
        EXPECT_EQ(UserInterfaceItem::command(items[i]), QStringLiteral("openRecent:"));
    }
    EXPECT_TRUE(items[10]->isSeparator());
    EXPECT_EQ(UserInterfaceItem::command(items[11]), QStringLiteral("clearRecentDocuments:"));
    EXPECT_FALSE(
        TQPreferencesManager::sharedManager()->allRecents().contains(QStringLiteral("gone-document")));
    EXPECT_TRUE(controller->commands()->validateUserInterfaceItem(items[11]));

    m_requests->requests.clear();
    controller->commands()->openRecent(items[0]);
    ASSERT_EQ(m_requests->requests.size(), 1);
    EXPECT_EQ(m_requests->requests.constFirst().action, QStringLiteral("OpenDocument"));
    EXPECT_EQ(m_requests->requests.constFirst().callback, nullptr);
    controller->commands()->openRecent(items[10]); // no record: nothing
    EXPECT_EQ(m_requests->requests.size(), 1);

    controller->commands()->clearRecentDocuments(nullptr);
    controller->commands()->validateUserInterfaceItem(holder);
    items = holder->menu()->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_FALSE(controller->commands()->validateUserInterfaceItem(items[0]));
}

TEST_F(CommandsTest, ValidationMatrix)
{
    struct Row
    {
        int mode;
        const char* command;
        bool enabled;
    };
    const Row rows[] = {
        {1, "newDocument:", true},     {1, "newContact:", false},
        {1, "newGroup:", false},       {1, "uploadFilesOrFolder:", true},
        {3, "newDocument:", false},    {3, "newCollection:", false},
        {3, "newForm:", false},        {3, "uploadFilesOrFolder:", false},
        {3, "newContact:", true},      {4, "newCollection:", true},
        {4, "newDocument:", false},    {4, "uploadFilesOrFolder:", false},
        {2, "newPresentation:", true}, {3, "share:", false},
        {1, "share:", true},           {1, "toggleFilesInsideFolders:", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.mode << " " << row.command);
        controller->sidebarController()->activateMode(SidebarMode(row.mode));
        QAction item;
        UserInterfaceItem::setCommand(&item, QString::fromLatin1(row.command));
        EXPECT_EQ(controller->commands()->validateUserInterfaceItem(&item), row.enabled);
    }
    // The toggle's title says what it will do.
    QAction toggle;
    UserInterfaceItem::setCommand(&toggle, QStringLiteral("toggleFilesInsideFolders:"));
    for (bool hidden : {true, false}) {
        TQPreferencesManager::sharedManager()->setHiddenFilesInFolder(hidden);
        controller->commands()->validateUserInterfaceItem(&toggle);
        EXPECT_EQ(toggle.text(), StringTable::text(hidden ? QStringLiteral("ShowFilesInFolder")
                                                          : QStringLiteral("HideFilesInFolder")));
    }
    // While a sheet is open on the window, nothing of it is enabled.
    controller->sidebarController()->activateMode(SidebarMode::AllItems);
    auto* sheet = new QDialog(controller->window());
    sheet->setWindowModality(Qt::WindowModal);
    sheet->show();
    QAction create;
    UserInterfaceItem::setCommand(&create, QStringLiteral("newDocument:"));
    EXPECT_FALSE(controller->commands()->validateUserInterfaceItem(&create));
    delete sheet;
    EXPECT_TRUE(controller->commands()->validateUserInterfaceItem(&create));
}

TEST_F(CommandsTest, TheCommandsStandRightBehindTheWindowController)
{
    QWidget* window = controller->window();
    TQMainWindowCommands* commands = controller->commands();
    EXPECT_EQ(ResponderChain::respondersBehind(window), (QList<QObject*>{controller, commands}));
    // Sent from the window itself, the commands and their callbacks reach the commands object.
    m_requests->requests.clear();
    EXPECT_EQ(ResponderChain::send(Commands::newDocument, window, nullptr, window), commands);
    ASSERT_EQ(m_requests->requests.size(), 1);
    EXPECT_EQ(m_requests->requests.constFirst().callback->target(), commands);
    // Validation through the chain is theirs: no recent documents, nothing to clear.
    TQPreferencesManager::sharedManager()->resetRecents();
    QAction clear;
    UserInterfaceItem::setCommand(&clear, Commands::clearRecentDocuments);
    EXPECT_FALSE(ResponderChain::validate(Commands::clearRecentDocuments, &clear, nullptr, window));
    QAction sync;
    UserInterfaceItem::setCommand(&sync, Commands::fastUpdate);
    EXPECT_TRUE(ResponderChain::validate(Commands::fastUpdate, &sync, nullptr, window));
}

} // namespace
} // namespace tavrel
