#include "controls/TQTableView.h"
#include "documents/TQSharedFilesCommands.h"
#include "documents/TQSharedFilesController.h"
#include "documents/TQSharedFilesMenus.h"
#include "lists/TQMailGroupedFilesController.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Paths.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "session/TQSessionManager.h"
#include "support/AccountTest.h"
#include "support/SyncRecorder.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"
#include "window/ActionRequests.h"
#include "window/TQViewController.h"
#include "window/ViewClasses.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QFile>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// The user (demo@tavrel.test) shares Alpha with Bob and owns Beta alone; Bob owns Plan (the user
// edits it) and Notes (the user only comments); Carol's Third, where writers may invite, is edited
// by the user and read by Bob; Carol's Private is not Bob's.
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha",
     "acl": [{"scope": "user", "value": "bob@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:beta", "kind": "document", "title": "Beta",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]},
    {"resourceId": "document:plan", "kind": "document", "title": "Plan", "owner": "bob@tavrel.test",
     "writersCanInvite": false,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:notes", "kind": "document", "title": "Notes", "owner": "bob@tavrel.test",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "commenter"}]},
    {"resourceId": "document:third", "kind": "document", "title": "Third", "owner": "carol@tavrel.test",
     "writersCanInvite": true,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "bob@tavrel.test", "role": "reader"}]},
    {"resourceId": "document:private", "kind": "document", "title": "Private", "owner": "carol@tavrel.test",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "reader"}]}
  ]
})";

class Receiver : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void actionDidFinish(const QVariant&, const QVariant& error)
    {
        this->error = error.value<Error>();
        done = true;
    }
    bool done = false;
    Error error;
};

// Stands in for each sharing dialog.
class SharingStandIn : public TQViewController
{
    Q_OBJECT
};

class SharedFilesListTest : public test::AccountTest
{
protected:
    void SetUp() override
    {
        AccountTest::SetUp();
        startService(m_account, test::TestAccount::smallAccount());
        ASSERT_FALSE(HasFatalFailure());
        QString error;
        ASSERT_TRUE(m_account.service.loadSeed(kSeed, &error)) << error.toStdString();
        m_account.useService();
        m_account.openSession();
        test::SyncRecorder recorder;
        ASSERT_TRUE(m_account.runFull(recorder));
        ASSERT_TRUE(recorder.error.isNull());
        TQSessionManager::sharedManager()->setCurrentSession(m_account.session.get());
        ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
        ApplicationServices::instance()->connectionStatus()->setOnline(false);

        list = std::make_unique<TQSharedFilesController>();
        list->setSharingEnabled(true);
        list->setEmail(Mail::mailEntityWithAddress(QStringLiteral("bob@tavrel.test"), m_account.master()));
        tester = std::make_unique<QAbstractItemModelTester>(
            list->dataProvider(), QAbstractItemModelTester::FailureReportingMode::Warning);
        QWidget* view = list->view();
        view->resize(600, 500);
        ASSERT_TRUE(test::showAndExpose(view));
        list->viewDidInstall();
        ASSERT_TRUE(test::waitUntil([&] { return titles().size() == 3; }, 10000))
            << titles().join(u',').toStdString();
        requests = std::make_unique<ActionRequests::Recorder>();
    }
    void TearDown() override
    {
        requests.reset();
        tester.reset();
        list.reset();
        for (const char* name : {"TQShareReadonlyController", "TQShareController", "TQShareWithController"})
            ViewClasses::unregisterClass(QLatin1String(name));
        ApplicationServices::instance()->resetForTesting();
        TQSessionManager::sharedManager()->setCurrentSession(nullptr);
        AccountTest::TearDown();
    }
    // The titles of the document rows, in order.
    QStringList titles() const
    {
        QStringList found;
        for (int row = 0; row < list->dataProvider()->count(); ++row)
            if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(list->recordAtRow(row)))
                found << entry->title();
        return found;
    }
    ManagedObjectPtr record(const QString& resourceId) const
    {
        return FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(resourceId), m_account.master());
    }
    void select(const QString& resourceId)
    {
        const int row = list->rowOfRecord(record(resourceId));
        ASSERT_GE(row, 0) << resourceId.toStdString();
        list->selectRow(row);
        ASSERT_EQ(list->selectedRecord(), record(resourceId));
    }
    static int logCount(const QByteArray& text)
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count(text)) : 0;
    }
    QMessageBox* sheet() const
    {
        for (QMessageBox* box : list->view()->window()->findChildren<QMessageBox*>())
            if (box->isVisible())
                return box;
        return nullptr;
    }
    QAction* rowMenuItem(const QString& command) const
    {
        for (QAction* item : list->rowMenu()->actions())
            if (UserInterfaceItem::command(item) == command)
                return item;
        return nullptr;
    }
    // Runs a recorded request through the session against the service; the journal's request lines once
    // one holds the expected text (the service may note a request after its answer has arrived).
    QStringList runAgainstService(const ActionRequests::Request& request, const QString& expected)
    {
        m_account.service.clearJournal();
        Receiver receiver;
        m_account.documents()->executeAction(
            request.action,
            Invocation::invocationForSelector(QStringLiteral("actionDidFinish:error:"), &receiver),
            request.parameters);
        EXPECT_TRUE(test::waitUntil([&] { return receiver.done; }, 20000)) << request.action.toStdString();
        EXPECT_TRUE(receiver.error.isNull()) << receiver.error.localizedDescription().toStdString();
        QStringList lines;
        test::waitUntil(
            [&] {
                lines.clear();
                for (const auto& sent : m_account.service.journal())
                    lines << sent.method + QLatin1Char(' ') + sent.path;
                return !lines.filter(expected).isEmpty();
            },
            5000);
        return lines;
    }

    std::unique_ptr<TQSharedFilesController> list;
    std::unique_ptr<QAbstractItemModelTester> tester;
    std::unique_ptr<ActionRequests::Recorder> requests;
};

TEST_F(SharedFilesListTest, ListsTheDocumentsSharedWithThePersonByOwnerAndSearchesTitlesInAnyCase)
{
    // Mine, then Bob's where the user has a role, then others' both share where writers invite.
    EXPECT_EQ(titles(),
              (QStringList{QStringLiteral("Alpha"), QStringLiteral("Plan"), QStringLiteral("Third")}));
    auto* provider = list->files();
    ASSERT_TRUE(provider->isGroupRow(0));
    EXPECT_EQ(provider->groupAtRow(0)->title(), StringTable::text(QStringLiteral("owned by me")));
    // Row 0 is a header: the first document is selected.
    EXPECT_EQ(list->selectedRows(), QList<int>{1});

    list->setSearchString(QStringLiteral("pLAN"));
    ASSERT_TRUE(test::waitUntil([&] { return titles() == QStringList{QStringLiteral("Plan")}; }, 5000))
        << titles().join(u',').toStdString();
    list->setSearchString(QStringLiteral("nothing like it"));
    ASSERT_TRUE(test::waitUntil([&] { return titles().isEmpty(); }, 5000));
    EXPECT_TRUE(list->noSearchView()->isVisible());
    list->setSearchString(QString());
    ASSERT_TRUE(test::waitUntil([&] { return titles().size() == 3; }, 5000));

    // Another person: the documents shared with Ann.
    list->setEmail(Mail::mailEntityWithAddress(QStringLiteral("ann@tavrel.test"), m_account.master()));
    ASSERT_TRUE(test::waitUntil([&] { return titles() == QStringList{QStringLiteral("Beta")}; }, 5000))
        << titles().join(u',').toStdString();
}

TEST_F(SharedFilesListTest, EachCommandSendsItsActionForTheSelectedDocumentAsTheServiceExpects)
{
    QStringList usage;
    QObject context;
    QObject::connect(DMTracker::defaultTracker(), &DMTracker::eventTracked, &context,
                     [&usage](const QString& category, const QString& name, const QString& value) {
                         usage << QStringList{category, name, value}.join(u'/');
                     });
    QAction menuItem;
    struct Row
    {
        const char* name;
        const char* selection;
        std::function<void()> send;
        const char* action;
        const char* callback; // nullptr: none
        const char* identifierKey;
        const char* identifierVerb;
        const char* journalLine; // nullptr: the action stays in the store or is not run
        const char* usage;
    };
    TQSharedFilesCommands* commands = list->commands();
    const Row rows[] = {
        {"download", "document:alpha", [&] { commands->download(&menuItem); }, "GetFile",
         "downloadDidFinishWithResult:error:", "progressID", "download", "GET /feeds/download/",
         "Action/ContextualMenu/download:"},
        {"star", "document:plan", [&] { commands->toggleStarStateOne(nullptr); }, "StarredDocuments",
         "operationDidFinishWithResult:error:", "statusID", "starred",
         "POST /feeds/default/private/expandAcl/batch", nullptr},
        {"get a link", "document:alpha", [&] { commands->getLinkToShare(&menuItem); },
         "SetGeneralACLPermission", "generalPermissionDidFinishWithResult:error:", "statusID",
         "genpermission", "/acl", "Action/ContextualMenu/getLinkToShare:"},
        {"trash my own", "document:alpha", [&] { commands->deleteEntity(&menuItem); }, "TrashDocuments",
         "documentsDidTrashWithResult:error:", "statusID", "trashing",
         "POST /feeds/default/private/expandAcl/batch", "Action/ContextualMenu/deleteEntity:"},
        {"open offline", "document:plan", [&] { commands->open(nullptr); }, "OpenDocument", nullptr,
         "progressID", "openning", nullptr, "Action/OpenNativeApp/"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        select(QString::fromLatin1(row.selection));
        requests->requests.clear();
        usage.clear();
        row.send();
        ASSERT_EQ(requests->requests.size(), 1);
        const ActionRequests::Request request = requests->requests.constFirst();
        EXPECT_EQ(request.action, QLatin1String(row.action));
        if (row.callback) {
            ASSERT_TRUE(request.callback);
            EXPECT_EQ(request.callback->selector(), QLatin1String(row.callback));
        } else {
            EXPECT_FALSE(request.callback);
        }
        const QVariantMap& p = request.parameters;
        EXPECT_TRUE(p.value(QLatin1String(row.identifierKey))
                        .toString()
                        .startsWith(QLatin1String(row.identifierVerb) + QLatin1Char('_')));
        EXPECT_EQ(p.value(QStringLiteral("progressConsumer")).value<QObject*>(), list.get());
        const QVariant records = p.contains(QStringLiteral("documentEntities"))
                                     ? p.value(QStringLiteral("documentEntities")).toList().value(0)
                                     : p.value(QStringLiteral("documentEntity"));
        EXPECT_EQ(records.value<ManagedObjectPtr>(), record(QString::fromLatin1(row.selection)));
        EXPECT_EQ(usage.value(0), row.usage ? QString::fromLatin1(row.usage) : QString());
        if (row.journalLine) {
            const QStringList lines = runAgainstService(request, QLatin1String(row.journalLine));
            EXPECT_FALSE(lines.filter(QLatin1String(row.journalLine)).isEmpty())
                << lines.join(u'\n').toStdString();
        }
    }

    // The in-place rename sends the typed name, never an empty or unchanged one.
    select(QStringLiteral("document:plan"));
    requests->requests.clear();
    TQTableView* table = list->tableView();
    const int planRow = list->rowOfRecord(record(QStringLiteral("document:plan")));
    for (const QString& name : {QString(), QStringLiteral("Plan"), QStringLiteral("Plan B")})
        list->tableViewDidEndEditingCell(table, list->dataCellForRow(planRow), name);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests[0].action, QStringLiteral("RenameDocument"));
    EXPECT_EQ(requests->requests[0].parameters.value(QStringLiteral("newName")),
              QVariant(QStringLiteral("Plan B")));
    EXPECT_TRUE(requests->requests[0]
                    .parameters.value(QStringLiteral("statusID"))
                    .toString()
                    .startsWith(QStringLiteral("rename_")));
    EXPECT_FALSE(runAgainstService(requests->requests[0], QStringLiteral("PUT "))
                     .filter(QStringLiteral("PUT "))
                     .isEmpty());

    // Commands that need a selected row do nothing without one.
    list->selectRow(-1);
    requests->requests.clear();
    commands->download(nullptr);
    commands->deleteEntity(nullptr);
    commands->toggleStarStateOne(nullptr);
    commands->getLinkToShare(nullptr);
    EXPECT_TRUE(requests->requests.isEmpty());
}

TEST_F(SharedFilesListTest, QuickShareOpensTheModeOfTheDocumentAndAsksBeforeDroppingRefusedOnes)
{
    for (const char* name : {"TQShareReadonlyController", "TQShareController", "TQShareWithController"})
        ViewClasses::registerClass<SharingStandIn>(QLatin1String(name));
    struct Row
    {
        const char* document;
        const char* mode;
    };
    // Alpha is the user's and shared; Plan is edited where writers may not invite; Third is edited
    // where they may.
    const Row rows[] = {{"document:alpha", "D"}, {"document:plan", "A"}, {"document:third", "D"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.document);
        select(QString::fromLatin1(row.document));
        const QByteArray line = QByteArray("Quick Share Dialog: Mode ") + row.mode + " detected";
        const int before = logCount(line);
        list->commands()->shareOne(nullptr);
        EXPECT_EQ(logCount(line), before + 1);
    }

    // With a document the user only comments on (not a row here): the sheet first; "No" changes
    // nothing and opens nothing.
    const QList<ManagedObjectPtr> mixed{record(QStringLiteral("document:alpha")),
                                        record(QStringLiteral("document:notes"))};
    select(QStringLiteral("document:alpha"));
    const int alphaRow = list->selectedRow();
    list->commands()->shareForSelection(mixed);
    EXPECT_EQ(logCount("Quick Share Dialog: Mode B detected"), 1);
    ASSERT_TRUE(test::waitUntil([&] { return sheet() != nullptr; }, 3000));
    EXPECT_EQ(sheet()->text(), StringTable::format(QStringLiteral("MixedPermissionTitle"), 1));
    const auto press = [this](const char* key) {
        for (QAbstractButton* button : sheet()->buttons())
            if (button->text() == StringTable::text(QLatin1String(key))) {
                button->click();
                return;
            }
        ADD_FAILURE() << "no button " << key;
    };
    press("No");
    ASSERT_TRUE(test::waitUntil([&] { return sheet() == nullptr; }, 3000));
    EXPECT_EQ(logCount("Quick Share Dialog: Mode D detected"), 2);

    // "Yes": Alpha alone goes on, to the share list.
    list->commands()->shareForSelection(mixed);
    ASSERT_TRUE(test::waitUntil([&] { return sheet() != nullptr; }, 3000));
    press("Yes");
    ASSERT_TRUE(test::waitUntil([&] { return logCount("Quick Share Dialog: Mode D detected") == 3; }, 3000));
    EXPECT_EQ(list->selectedRows(), QList<int>{alphaRow});

    // The share command of the menu shares only what the user may share: Plan gives the banner.
    select(QStringLiteral("document:plan"));
    const int shareWithBefore = logCount("Quick Share Dialog");
    list->commands()->share(nullptr);
    EXPECT_EQ(logCount("Quick Share Dialog"), shareWithBefore);
}

TEST_F(SharedFilesListTest, TheRowMenuIsValidatedForTheDocumentAndItsSubmenusAreMadeEachTime)
{
    select(QStringLiteral("document:alpha"));
    TQSharedFilesMenus* menus = list->menus();
    QAction* openWith = rowMenuItem(QStringLiteral("openWith:"));
    ASSERT_TRUE(openWith);
    // Opening the menu twice leaves one set of generated entries.
    ASSERT_TRUE(menus->validate(openWith, true));
    const int entries = int(menus->applicationMenu()->actions().size());
    ASSERT_TRUE(menus->validate(openWith, true));
    EXPECT_EQ(menus->applicationMenu()->actions().size(), entries);
    EXPECT_EQ(UserInterfaceItem::tag(menus->applicationMenu()->actions().constLast()),
              TQSharedFilesMenus::kOpenWithFixedItemTag);

    // The change-owner item: the user's own document of a kind that changes owner lists Bob.
    QAction* owner = rowMenuItem(QStringLiteral("changeOwnership:"));
    ASSERT_TRUE(owner);
    menus->willDisplayMenu(list->rowMenu(), {list->rowOfRecord(record(QStringLiteral("document:alpha")))});
    EXPECT_TRUE(owner->isEnabled());
    EXPECT_EQ(owner->text(), StringTable::text(QStringLiteral("ChangeOwnerTo")));
    ASSERT_TRUE(owner->menu());
    EXPECT_EQ(owner->menu()->actions().constFirst()->text(), QStringLiteral("bob@tavrel.test"));
    // Another's document: disabled, no submenu.
    menus->willDisplayMenu(list->rowMenu(), {list->rowOfRecord(record(QStringLiteral("document:plan")))});
    EXPECT_FALSE(owner->isEnabled());

    // Rename and preview need exactly one document; the browser needs the connection; open does not.
    QAction* rename = rowMenuItem(QStringLiteral("rename:"));
    QAction* open = rowMenuItem(QStringLiteral("open:"));
    EXPECT_TRUE(menus->validate(rename, true));
    EXPECT_TRUE(menus->validate(open, false));
    QAction browser;
    UserInterfaceItem::setCommand(&browser, QStringLiteral("openInBrowser:"));
    UserInterfaceItem::setTag(&browser, TQSharedFilesMenus::kOpenInBrowserTag);
    EXPECT_FALSE(menus->validate(&browser, true));
    ApplicationServices::instance()->connectionStatus()->setOnline(true);
    EXPECT_TRUE(menus->validate(&browser, true));
    list->selectRow(-1);
    EXPECT_FALSE(menus->validate(rename, true));
    // Without the sharing dialogs the share command is hidden.
    QAction* share = rowMenuItem(QStringLiteral("share:"));
    menus->validate(share, true);
    EXPECT_FALSE(share->isVisible());
}

} // namespace
} // namespace tavrel

#include "SharedFilesListTest.moc"
