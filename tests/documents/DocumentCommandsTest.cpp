#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQHoveredPopUpButtonCell.h"
#include "controls/TQTableView.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsRowMenus.h"
#include "lists/ListModel.h"
#include "model/File.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/TQACLEntry.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Paths.h"
#include "platform/system/Settings.h"
#include "platform/ui/Alert.h"
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

#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// The user (demo@tavrel.test) owns alpha, beta (starred) and the PDF report; bob owns shared (where
// writers may invite) and readonly. Ann of the user's domain and Eve of another see alpha.
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "folder:box", "kind": "folder", "title": "Box"},
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "eve@example.org", "role": "reader"}]},
    {"resourceId": "document:beta", "kind": "document", "title": "Beta", "labels": ["starred"],
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]},
    {"resourceId": "pdf:report", "kind": "pdf", "title": "Report.pdf", "content": "%PDF-1.4 not much"},
    {"resourceId": "document:shared", "kind": "document", "title": "Shared", "owner": "bob@example.org",
     "writersCanInvite": true,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:readonly", "kind": "document", "title": "Read only", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "reader"}]}
  ]
})";

// Answers of actions run against the service.
class Receiver : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void actionDidFinish(const QVariant& result, const QVariant& error)
    {
        this->result = result;
        this->error = error.value<Error>();
        done = true;
    }
    bool done = false;
    QVariant result;
    Error error;
};

// Stands in for the desktop's browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void open(const QUrl& url) { urls.append(url); }
    QList<QUrl> urls;
};

class DocumentCommandsTest : public test::AccountTest
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
        online(false);
        m_account.service.clearJournal();

        list = std::make_unique<TQAllItemsController>();
        auto* provider = new ListModel(m_account.master(), QStringLiteral("FileEntryAbstract"));
        provider->setSortDescriptors({SortDescriptor(QStringLiteral("title"))});
        list->setDataProvider(provider);
        QWidget* view = list->view();
        view->resize(600, 500);
        ASSERT_TRUE(test::showAndExpose(view));
        list->viewDidInstall();
        ASSERT_TRUE(test::waitUntil([&] { return provider->count() == 6; }, 10000));
        requests = std::make_unique<ActionRequests::Recorder>();
        QObject::connect(DMTracker::defaultTracker(), &DMTracker::eventTracked, &context,
                         [this](const QString& category, const QString& name, const QString& value) {
                             usage << QStringList{category, name, value}.join(u'/');
                         });
    }
    void TearDown() override
    {
        requests.reset();
        list.reset();
        ApplicationServices::instance()->resetForTesting();
        TQSessionManager::sharedManager()->setCurrentSession(nullptr);
        AccountTest::TearDown();
    }
    static int logCount(const QByteArray& text)
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count(text)) : 0;
    }
    static void online(bool on) { ApplicationServices::instance()->connectionStatus()->setOnline(on); }

    ManagedObjectPtr record(const QString& resourceId) const
    {
        return FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(resourceId), m_account.master());
    }
    std::shared_ptr<FileEntryAbstract> entry(const QString& resourceId) const
    {
        return std::dynamic_pointer_cast<FileEntryAbstract>(record(resourceId));
    }
    void select(const QStringList& resourceIds)
    {
        QList<int> rows;
        for (const QString& rid : resourceIds)
            rows << list->rowOfRecord(record(rid));
        list->tableView()->selectionModel()->clearSelection();
        if (!rows.isEmpty())
            list->tableView()->selectRowIndexes(rows, false);
        ASSERT_EQ(list->selectedRecords().size(), resourceIds.size());
    }
    // The resource ids of the records of a parameter.
    static QStringList resourceIdsOf(const QVariant& value)
    {
        QStringList ids;
        const QVariantList values =
            value.metaType() == QMetaType::fromType<QVariantList>() ? value.toList() : QVariantList{value};
        for (const QVariant& each : values)
            if (auto e = std::dynamic_pointer_cast<FileEntryAbstract>(
                    each.value<std::shared_ptr<ManagedObject>>()))
                ids << e->resourceId();
        return ids;
    }
    // Runs a recorded request through the session against the service; the journal's request lines.
    QStringList runAgainstService(const ActionRequests::Request& request, bool expectSuccess = true)
    {
        m_account.service.clearJournal();
        Receiver receiver;
        m_account.documents()->executeAction(
            request.action,
            Invocation::invocationForSelector(QStringLiteral("actionDidFinish:error:"), &receiver),
            request.parameters);
        EXPECT_TRUE(test::waitUntil([&] { return receiver.done; }, 20000)) << request.action.toStdString();
        if (expectSuccess) {
            EXPECT_TRUE(receiver.error.isNull()) << receiver.error.localizedDescription().toStdString();
        }
        QStringList lines;
        for (const auto& sent : m_account.service.journal())
            lines << sent.method + QLatin1Char(' ') + sent.path;
        return lines;
    }
    // The alert sheet open on the list's window, if any.
    QMessageBox* sheet() const
    {
        for (QMessageBox* box : list->view()->window()->findChildren<QMessageBox*>())
            if (box->isVisible())
                return box;
        return nullptr;
    }
    static void press(QMessageBox* box, const char* key)
    {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == StringTable::text(QLatin1String(key))) {
                button->click();
                return;
            }
        ADD_FAILURE() << "no button " << key;
    }
    // A menu item as the row menu holds it (sending makes it a menu event).
    std::unique_ptr<QAction> menuItem(const QString& command, int tag = 0)
    {
        auto item = std::make_unique<QAction>();
        UserInterfaceItem::setCommand(item.get(), command);
        UserInterfaceItem::setTag(item.get(), tag);
        return item;
    }

    std::unique_ptr<TQAllItemsController> list;
    std::unique_ptr<ActionRequests::Recorder> requests;
    QObject context;
    QStringList usage;
};

TEST_F(DocumentCommandsTest, EachCommandSendsItsActionAsTheServiceExpects)
{
    // Records sent as they are, so that a new mark is there to clear.
    entry(QStringLiteral("document:alpha"))->setIsNew(true);
    struct Row
    {
        const char* name;
        QStringList selection;
        std::function<void()> send;
        const char* action;
        const char* callback; // nullptr: none
        const char* identifierKey;
        const char* identifierVerb;
        QStringList records; // of "documentEntities", else "documentEntity"
        std::function<void(const QVariantMap&)> check;
        const char* usage;       // nullptr: none
        const char* journalLine; // nullptr: the action stays in the store
    };
    auto item = menuItem(QStringLiteral("x:"));
    QObject* sender = item.get();
    const QString alpha = QStringLiteral("document:alpha");
    const QString beta = QStringLiteral("document:beta");
    const QString report = QStringLiteral("pdf:report");
    const Row rows[] = {
        {"download",
         {alpha, report},
         [&] { list->commands()->download(sender); },
         "GetFiles",
         "downloadDidFinishWithResult:error:",
         "progressID",
         "download",
         {alpha, report},
         nullptr,
         "Action/ContextualMenu/download:",
         "GET /feeds/download/"},
        {"star a mixed selection",
         {alpha, beta},
         [&] { list->commands()->toggleStarState(sender); },
         "StarredDocuments",
         "operationDidFinishWithResult:error:",
         "statusID",
         "starred",
         {alpha},
         [](const QVariantMap& p) { EXPECT_EQ(p.value(QStringLiteral("isStarred")), QVariant(true)); },
         "Action/ContextualMenu/toggleStarState:",
         "POST /feeds/default/private/expandAcl/batch"},
        {"unstar a starred one",
         {beta},
         [&] { list->commands()->toggleStarState(nullptr); },
         "StarredDocuments",
         "operationDidFinishWithResult:error:",
         "statusID",
         "starred",
         {beta},
         [](const QVariantMap& p) { EXPECT_EQ(p.value(QStringLiteral("isStarred")), QVariant(false)); },
         nullptr,
         "POST /feeds/default/private/expandAcl/batch"},
        {"mark a new one viewed",
         {alpha, beta},
         [&] { list->commands()->toggleViewedState(sender); },
         "MarkAsViewed",
         "operationDidFinishWithResult:error:",
         "statusID",
         "viewed",
         {alpha, beta},
         [](const QVariantMap& p) { EXPECT_TRUE(p.contains(QStringLiteral("isViewed"))); },
         "Action/ContextualMenu/toggleViewedState:",
         nullptr},
        {"mark viewed ones unviewed",
         {beta},
         [&] { list->commands()->toggleViewedState(nullptr); },
         "MarkAsViewed",
         "operationDidFinishWithResult:error:",
         "statusID",
         "viewed",
         {beta},
         [](const QVariantMap& p) { EXPECT_EQ(p.value(QStringLiteral("isViewed")), QVariant(false)); },
         nullptr,
         nullptr},
        {"rename",
         {},
         [&] { list->commands()->renameRecord(record(alpha), QStringLiteral("Alpha 2")); },
         "RenameDocument",
         "operationDidFinishWithResult:error:",
         "statusID",
         "rename",
         {alpha},
         [](const QVariantMap& p) {
             EXPECT_EQ(p.value(QStringLiteral("newName")), QVariant(QStringLiteral("Alpha 2")));
         },
         nullptr,
         "PUT /feeds/default/private/expandAcl/document:alpha"},
        {"trash my own",
         {beta},
         [&] { list->deleteEntity(sender); },
         "TrashDocuments",
         "documentsDidTrashWithResult:error:",
         "statusID",
         "trashing",
         {beta},
         nullptr,
         "Toolbar/Delete/Document",
         "POST /feeds/default/private/expandAcl/batch"},
        {"open with an application",
         {report},
         [&] {
             auto application = menuItem(QStringLiteral("openWith:"));
             UserInterfaceItem::setRepresentedObject(application.get(),
                                                     QUrl::fromLocalFile(QStringLiteral("/bin/true")));
             list->commands()->openWith(application.get());
         },
         "OpenDocument",
         nullptr,
         "progressID",
         "openning",
         {report},
         [](const QVariantMap& p) {
             EXPECT_EQ(p.value(QStringLiteral("applicationURL")).toUrl(),
                       QUrl::fromLocalFile(QStringLiteral("/bin/true")));
         },
         "Action/ContextualMenu/openWith:",
         nullptr},
        {"open a native document offline",
         {alpha},
         [&] { list->editEntity(static_cast<QObject*>(nullptr)); },
         "OpenDocument",
         nullptr,
         "progressID",
         "openning",
         {alpha},
         [](const QVariantMap& p) { EXPECT_FALSE(p.contains(QStringLiteral("applicationURL"))); },
         "Action/OpenNativeApp/",
         nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (!row.selection.isEmpty())
            select(row.selection);
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
        const QString recordsKey = p.contains(QStringLiteral("documentEntities"))
                                       ? QStringLiteral("documentEntities")
                                       : QStringLiteral("documentEntity");
        EXPECT_EQ(resourceIdsOf(p.value(recordsKey)), row.records);
        if (row.check)
            row.check(p);
        EXPECT_EQ(usage.value(0), row.usage ? QString::fromLatin1(row.usage) : QString());
        if (row.journalLine) {
            const QStringList lines = runAgainstService(request);
            EXPECT_FALSE(lines.filter(QLatin1String(row.journalLine)).isEmpty())
                << lines.join(u'\n').toStdString();
        }
    }
    // Renaming to the same name or to nothing sends nothing.
    requests->requests.clear();
    list->commands()->renameRecord(record(beta), entry(beta)->title());
    list->commands()->renameRecord(record(beta), QString());
    EXPECT_TRUE(requests->requests.isEmpty());
}

TEST_F(DocumentCommandsTest, MarkingViewedAndUnviewedReachesTheStore)
{
    const auto alpha = entry(QStringLiteral("document:alpha"));
    alpha->setIsNew(true);
    select({QStringLiteral("document:alpha")});
    list->commands()->toggleViewedState(nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    runAgainstService(requests->requests.takeFirst());
    EXPECT_FALSE(alpha->isNew());
    EXPECT_TRUE(alpha->valueForKey(QStringLiteral("isViewed")).toBool());
    list->commands()->toggleViewedState(nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst().parameters.value(QStringLiteral("isViewed")), QVariant(false));
    runAgainstService(requests->requests.takeFirst());
    EXPECT_FALSE(alpha->valueForKey(QStringLiteral("isViewed")).toBool());
    EXPECT_TRUE(alpha->isNew());
}

TEST_F(DocumentCommandsTest, OthersDocumentsAreRemovedOnlyAfterTheSheetAndMineAreTrashed)
{
    const QString alpha = QStringLiteral("document:alpha");
    const QString beta = QStringLiteral("document:beta");
    const QString shared = QStringLiteral("document:shared");
    const QString readonly = QStringLiteral("document:readonly");
    Settings::remove(QStringLiteral("SuppressAlerts"));

    // Only mine: no sheet.
    select({alpha, beta});
    list->deleteEntity(static_cast<QObject*>(nullptr));
    EXPECT_EQ(sheet(), nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst().action, QStringLiteral("TrashDocuments"));

    struct Row
    {
        const char* name;
        QStringList selection;
        QString message;
        const char* button;
        bool tick;
        QStringList trashed, removed;
    };
    const Row rows[] = {
        {"cancelled",
         {alpha, shared},
         StringTable::format(QStringLiteral("TrashItemMessage"), QStringLiteral("Shared")),
         "Cancel",
         true,
         {},
         {}},
        {"several others",
         {shared, readonly},
         StringTable::format(QStringLiteral("TrashManyItemsMessage"), 2),
         "OK",
         false,
         {},
         {shared, readonly}},
        {"one of others among mine",
         {alpha, beta, shared},
         StringTable::format(QStringLiteral("TrashItemMessage"), QStringLiteral("Shared")),
         "OK",
         true,
         {alpha, beta},
         {shared}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        requests->requests.clear();
        select(row.selection);
        list->deleteEntity(static_cast<QObject*>(nullptr));
        QMessageBox* box = nullptr;
        ASSERT_TRUE(test::waitUntil([&] { return (box = sheet()) != nullptr; }));
        EXPECT_TRUE(requests->requests.isEmpty()) << "nothing before the answer";
        EXPECT_EQ(box->text(), StringTable::text(QStringLiteral("TrashItemTitle")));
        EXPECT_EQ(box->informativeText(), row.message);
        ASSERT_NE(box->checkBox(), nullptr);
        box->checkBox()->setChecked(row.tick);
        press(box, row.button);
        const auto trashed = requests->requestsOf(QStringLiteral("TrashDocuments"));
        const auto removed = requests->requestsOf(QStringLiteral("DeleteDocuments"));
        EXPECT_EQ(trashed.size(), row.trashed.isEmpty() ? 0 : 1);
        EXPECT_EQ(removed.size(), row.removed.isEmpty() ? 0 : 1);
        if (!trashed.isEmpty()) {
            EXPECT_EQ(resourceIdsOf(trashed.first().parameters.value(QStringLiteral("documentEntities"))),
                      row.trashed);
        }
        if (!removed.isEmpty()) {
            QStringList ids =
                resourceIdsOf(removed.first().parameters.value(QStringLiteral("documentEntities")));
            QStringList expected = row.removed;
            ids.sort();
            expected.sort();
            EXPECT_EQ(ids, expected);
            EXPECT_EQ(removed.first().callback->selector(),
                      QStringLiteral("documentsDidDeleteWithResult:error:"));
        }
        if (!trashed.isEmpty() && !removed.isEmpty()) {
            EXPECT_NE(trashed.first().parameters.value(QStringLiteral("statusID")),
                      removed.first().parameters.value(QStringLiteral("statusID")));
        }
    }
    // The ticked box was stored with the last OK: no sheet any more.
    EXPECT_TRUE(Alert::isSuppressed(QStringLiteral("SuppressAlerts")));
    requests->requests.clear();
    select({shared});
    list->deleteEntity(static_cast<QObject*>(nullptr));
    EXPECT_EQ(sheet(), nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst().action, QStringLiteral("DeleteDocuments"));
    // The removal reaches the service (which may refuse a document of somebody else's).
    const QStringList lines = runAgainstService(requests->requests.constFirst(), false);
    EXPECT_FALSE(lines.filter(QStringLiteral("POST /feeds/default/private/expandAcl/batch")).isEmpty())
        << lines.join(u'\n').toStdString();
    Settings::remove(QStringLiteral("SuppressAlerts"));
}

TEST_F(DocumentCommandsTest, AnOwnerOutsideTheDomainIsOnlyWarnedAboutUntilTheWarningIsSuppressed)
{
    Settings::remove(QStringLiteral("SuppressChangeOwnerAlerts"));
    select({QStringLiteral("document:alpha")});
    std::shared_ptr<Mail> ann, eve;
    for (const auto& person : entry(QStringLiteral("document:alpha"))->editors() +
                                  entry(QStringLiteral("document:alpha"))->viewers())
        (person->address() == QLatin1String("ann@tavrel.test") ? ann : eve) = person;
    ASSERT_TRUE(ann && eve);
    const auto candidate = [this](const std::shared_ptr<Mail>& person) {
        auto item = menuItem(QStringLiteral("changeOwnership:"));
        UserInterfaceItem::setRepresentedObject(item.get(), QVariant::fromValue(ManagedObjectPtr(person)));
        return item;
    };
    const auto answer = [this](const QString& message, const char* button, bool tick) {
        QMessageBox* box = nullptr;
        ASSERT_TRUE(test::waitUntil([&] { return (box = sheet()) != nullptr; }));
        EXPECT_EQ(box->text(), message);
        if (box->checkBox())
            box->checkBox()->setChecked(tick);
        press(box, button);
    };

    auto eveItem = candidate(eve);
    list->commands()->changeOwnership(eveItem.get());
    answer(StringTable::format(QStringLiteral("WrongDomainTitle"), QStringLiteral("eve@example.org")), "OK",
           false);
    list->commands()->changeOwnership(eveItem.get());
    answer(StringTable::format(QStringLiteral("WrongDomainTitle"), QStringLiteral("eve@example.org")), "OK",
           true);
    EXPECT_TRUE(requests->requests.isEmpty()) << "a warning changes nothing";
    EXPECT_TRUE(Alert::isSuppressed(QStringLiteral("SuppressChangeOwnerAlerts")));
    // Suppressed: the same candidate goes on to the confirmation.
    list->commands()->changeOwnership(eveItem.get());
    answer(StringTable::text(QStringLiteral("ChangeOwnerTitle")), "Cancel", false);
    EXPECT_TRUE(requests->requests.isEmpty());

    auto annItem = candidate(ann);
    list->commands()->changeOwnership(annItem.get());
    answer(StringTable::text(QStringLiteral("ChangeOwnerTitle")), "OK", false);
    ASSERT_EQ(requests->requests.size(), 1);
    const ActionRequests::Request request = requests->requests.constFirst();
    EXPECT_EQ(request.action, QStringLiteral("SetPermissions"));
    EXPECT_TRUE(request.parameters.value(QStringLiteral("statusID"))
                    .toString()
                    .startsWith(QStringLiteral("changeowner_")));
    const QVariantList entries = request.parameters.value(QStringLiteral("ACLEntries")).toList();
    ASSERT_EQ(entries.size(), 2);
    const auto owner = entries[0].value<TQACLEntry>();
    const auto writer = entries[1].value<TQACLEntry>();
    EXPECT_EQ(owner.type(), TQACLEntry::User);
    EXPECT_EQ(owner.role(), TQACLEntry::Owner);
    EXPECT_EQ(owner.value(), QStringLiteral("ann@tavrel.test"));
    EXPECT_EQ(writer.role(), TQACLEntry::Writer);
    EXPECT_EQ(writer.value(), m_account.address());
    const QStringList lines = runAgainstService(request, false);
    EXPECT_FALSE(lines.filter(QStringLiteral("document:alpha/acl")).isEmpty())
        << lines.join(u'\n').toStdString();
    Settings::remove(QStringLiteral("SuppressChangeOwnerAlerts"));
}

TEST_F(DocumentCommandsTest, VisibilityPositionsMapToTheGeneralAccess)
{
    auto* menu = new QMenu(list->view());
    QList<QAction*> items;
    for (int position = 0; position < 6; ++position) {
        items << UserInterfaceItem::makeAction(
            QString::number(position), QStringLiteral("toggleGenericPermission:"), menu, 0, list.get());
        menu->addAction(items.last());
    }
    struct Row
    {
        int position;
        const char* type; // nullptr: private, no general access sent
        bool hasLink;
    };
    const Row rows[] = {{0, nullptr, false},   {1, nullptr, false}, {2, "default", true},
                        {3, "default", false}, {4, "domain", true}, {5, "domain", false}};
    for (const QString& rid : {QStringLiteral("document:alpha"), QStringLiteral("document:shared")}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(testing::Message() << rid.toStdString() << " position " << row.position);
            requests->requests.clear();
            UserInterfaceItem::setRepresentedObject(items[row.position], QVariant::fromValue(record(rid)));
            list->commands()->toggleGenericPermission(items[row.position]);
            ASSERT_EQ(requests->requests.size(), 1);
            const ActionRequests::Request request = requests->requests.constFirst();
            EXPECT_EQ(request.action, QStringLiteral("SetGeneralACLPermissions"));
            EXPECT_EQ(request.callback->selector(),
                      QStringLiteral("generalPermissionDidFinishWithResult:error:"));
            EXPECT_EQ(resourceIdsOf(request.parameters.value(QStringLiteral("documentEntities"))),
                      QStringList{rid});
            EXPECT_TRUE(request.parameters.value(QStringLiteral("statusID"))
                            .toString()
                            .startsWith(QStringLiteral("genpermission_")));
            const auto access = request.parameters.value(QStringLiteral("generalACLPermission"))
                                    .value<std::shared_ptr<GeneralACLPermissionAdapter>>();
            EXPECT_EQ(request.parameters.contains(QStringLiteral("generalACLPermission")),
                      row.type != nullptr);
            if (row.type) {
                ASSERT_TRUE(access);
                EXPECT_EQ(access->type(), QLatin1String(row.type));
                EXPECT_EQ(access->role(), QStringLiteral("reader"));
                EXPECT_EQ(access->hasLink().toBool(), row.hasLink);
                EXPECT_EQ(access->username(), m_account.address());
            }
        }
    }
    // Neither mine nor shared by an editor who may invite: refused silently.
    requests->requests.clear();
    UserInterfaceItem::setRepresentedObject(items[2],
                                            QVariant::fromValue(record(QStringLiteral("document:readonly"))));
    list->commands()->toggleGenericPermission(items[2]);
    EXPECT_TRUE(requests->requests.isEmpty());
    // Positions 2 and 0 reach the service.
    UserInterfaceItem::setRepresentedObject(items[2],
                                            QVariant::fromValue(record(QStringLiteral("document:alpha"))));
    list->commands()->toggleGenericPermission(items[2]);
    ASSERT_EQ(requests->requests.size(), 1);
    const QStringList lines = runAgainstService(requests->requests.constFirst());
    EXPECT_FALSE(lines.filter(QStringLiteral("/feeds/default/private/full/document:alpha/acl")).isEmpty())
        << lines.join(u'\n').toStdString();
}

// A row's star and visibility menu send their commands from the list, not from the row: both still act
// on the row they belong to, whatever is selected.
TEST_F(DocumentCommandsTest, ARowsOwnStarAndVisibilityMenuActOnThatRow)
{
    const int row = list->rowOfRecord(record(QStringLiteral("document:alpha")));
    ASSERT_GE(row, 0);
    select({QStringLiteral("document:beta")});
    // The menu a press on the row's visibility button makes.
    QMenu* menu = list->rowMenus()->visibilityMenu(list->recordAtRow(row));
    ASSERT_TRUE(menu);
    const QList<QAction*> items = menu->actions();
    ASSERT_GT(items.size(), 2);
    requests->requests.clear();
    list->commands()->toggleGenericPermission(items[2]);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst().action, QStringLiteral("SetGeneralACLPermissions"));
    EXPECT_EQ(
        resourceIdsOf(requests->requests.constFirst().parameters.value(QStringLiteral("documentEntities"))),
        QStringList{QStringLiteral("document:alpha")});

    // A press on the row starts a click on its star.
    list->tableView()->menuForRow(row);
    select({QStringLiteral("document:beta")});
    requests->requests.clear();
    list->commands()->toggleStarStateOne(nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst().action, QStringLiteral("StarredDocuments"));
    EXPECT_EQ(
        resourceIdsOf(requests->requests.constFirst().parameters.value(QStringLiteral("documentEntities"))),
        QStringList{QStringLiteral("document:alpha")});
}

TEST_F(DocumentCommandsTest, OpeningANativeDocumentOnlineGoesToTheBrowserWithTheLocalEditingTip)
{
    online(true);
    select({QStringLiteral("document:alpha")});
    entry(QStringLiteral("document:alpha"))->setAlternateLink(QStringLiteral("http://127.0.0.1:1/doc/alpha"));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
    list->editEntity(static_cast<QObject*>(nullptr));
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    EXPECT_TRUE(requests->requests.isEmpty());
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("http://127.0.0.1:1/doc/alpha"))});
    EXPECT_TRUE(usage.contains(QStringLiteral("Action/OpenGoogleDocs/Google Docs")));
}

TEST_F(DocumentCommandsTest, AnApplicationChosenWithOtherOpensTheDocumentsTheCommandWasFor)
{
    const QString application = QDir(home().path()).filePath(QStringLiteral("viewer.desktop"));
    QFile entryFile(application);
    ASSERT_TRUE(entryFile.open(QIODevice::WriteOnly));
    entryFile.write("[Desktop Entry]\nType=Application\nName=Viewer\nExec=true %f\n");
    entryFile.close();
    struct
    {
        const char* name;
        bool accept;
    } rows[] = {{"cancelled", false}, {"chosen", true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        select({QStringLiteral("pdf:report")});
        requests->requests.clear();
        auto other =
            menuItem(QStringLiteral("chooseApplication:"), TQAllItemsController::kOpenWithFixedItemTag);
        list->commands()->chooseApplication(other.get());
        QFileDialog* panel = list->view()->window()->findChild<QFileDialog*>();
        ASSERT_TRUE(panel);
        ASSERT_TRUE(test::waitUntil([&] { return panel->isVisible(); }));
        // The list may lose its selection while the panel is open (a refresh): the choice still opens
        // what the command was given for.
        list->tableView()->selectionModel()->clearSelection();
        QPointer<QFileDialog> watched = panel;
        if (row.accept) {
            panel->selectFile(application);
            QMetaObject::invokeMethod(panel, "accept");
        } else {
            panel->reject();
        }
        ASSERT_TRUE(test::waitUntil([&] { return watched.isNull(); }));
        if (!row.accept) {
            EXPECT_TRUE(requests->requests.isEmpty());
            continue;
        }
        ASSERT_EQ(requests->requests.size(), 1);
        const ActionRequests::Request& request = requests->requests.constFirst();
        EXPECT_EQ(request.action, QStringLiteral("OpenDocument"));
        EXPECT_EQ(resourceIdsOf(request.parameters.value(QStringLiteral("documentEntity"))),
                  QStringList{QStringLiteral("pdf:report")});
        EXPECT_EQ(request.parameters.value(QStringLiteral("applicationURL")).toUrl(),
                  QUrl::fromLocalFile(application));
    }
}

TEST_F(DocumentCommandsTest, ValidationFollowsTheItemsOfEachSelection)
{
    entry(QStringLiteral("document:alpha"))->setIsNew(true);
    const QString alpha = QStringLiteral("document:alpha");
    const QString beta = QStringLiteral("document:beta");
    const QString box = QStringLiteral("folder:box");
    const QString shared = QStringLiteral("document:shared");
    const QList<QStringList> selections = {{}, {alpha}, {alpha, beta}, {box}, {shared}, {beta}};
    struct Row
    {
        const char* command;
        int tag;
        // Per selection: enabled, and the title set ("" none).
        QList<bool> enabled;
        QStringList titles;
    };
    const QString none;
    const QString add = StringTable::text(QStringLiteral("MenuAddStar"));
    const QString removeStar = StringTable::text(QStringLiteral("MenuRemoveStar"));
    const QString viewed = StringTable::text(QStringLiteral("MenuMarkViewed"));
    const QString unviewed = StringTable::text(QStringLiteral("MenuMarkUnviewed"));
    const QString preview = StringTable::text(QStringLiteral("Preview"));
    const QString changeOwner = StringTable::text(QStringLiteral("ChangeOwner"));
    const QString changeOwnerTo = StringTable::text(QStringLiteral("ChangeOwnerTo"));
    const Row rows[] = {
        // selections:       none   alpha  several box    shared beta
        {"editEntity:", 0, {false, true, false, false, true, true}, {}},
        {"toggleStarState:",
         0,
         {true, true, true, true, true, true},
         {removeStar, add, add, add, add, removeStar}},
        {"toggleViewedState:",
         0,
         {true, true, true, true, true, true},
         {unviewed, viewed, viewed, unviewed, unviewed, unviewed}},
        {"showPreview:",
         0,
         {false, true, false, true, true, true},
         {preview, preview, preview, preview, preview, preview}},
        {"rename:", 0, {false, true, false, true, true, true}, {}},
        {"printEntity:", 0, {false, true, false, false, true, true}, {}},
        {"openWith:", TQAllItemsController::kOpenWithTag, {true, true, false, false, true, true}, {}},
        {"openWith:", 0, {true, true, true, true, true, true}, {}},
        {"openInBrowser:",
         TQAllItemsController::kOpenInBrowserTag,
         {false, false, false, false, false, false},
         {}},
        {"changeOwnership:",
         TQAllItemsController::kChangeOwnerTag,
         {true, true, true, false, false, true},
         {changeOwner, changeOwnerTo, changeOwnerTo, changeOwner, changeOwner, changeOwnerTo}},
        {"download:", 0, {true, true, true, true, true, true}, {}},
    };
    for (const Row& row : rows) {
        for (qsizetype i = 0; i < selections.size(); ++i) {
            SCOPED_TRACE(testing::Message() << row.command << " tag " << row.tag << " selection "
                                            << selections[i].join(u',').toStdString());
            select(selections[i]);
            auto item = menuItem(QLatin1String(row.command), row.tag);
            item->setText(QStringLiteral("unset"));
            if (row.tag == TQAllItemsController::kOpenWithTag) {
                auto* submenu = new QMenu;
                submenu->addAction(QStringLiteral("default"));
                item->setMenu(submenu);
                QObject::connect(item.get(), &QObject::destroyed, submenu, &QObject::deleteLater);
            }
            EXPECT_EQ(list->validateUserInterfaceItem(item.get()), row.enabled[i]);
            if (!row.titles.isEmpty()) {
                EXPECT_EQ(item->text(), row.titles[i]);
            }
        }
    }
    // The browser entry follows the connection.
    online(true);
    auto browser = menuItem(QStringLiteral("openInBrowser:"), TQAllItemsController::kOpenInBrowserTag);
    EXPECT_TRUE(list->validateUserInterfaceItem(browser.get()));
}

TEST_F(DocumentCommandsTest, TheChangeOwnerSubmenuListsEachPersonOnce)
{
    const QString alpha = QStringLiteral("document:alpha");
    const QString beta = QStringLiteral("document:beta");
    auto item = menuItem(QStringLiteral("changeOwnership:"), TQAllItemsController::kChangeOwnerTag);
    const auto entries = [&] {
        QStringList titles;
        if (item->menu())
            for (QAction* each : item->menu()->actions())
                titles << (each->isSeparator() ? QStringLiteral("-") : each->text());
        return titles;
    };
    const QString other = StringTable::text(QStringLiteral("AddAnotherOwner"));
    select({alpha, beta});
    EXPECT_TRUE(list->validateUserInterfaceItem(item.get()));
    QStringList first = entries();
    ASSERT_EQ(first.size(), 4) << first.join(u',').toStdString();
    EXPECT_EQ(QSet<QString>(first.begin(), first.begin() + 2),
              (QSet<QString>{QStringLiteral("ann@tavrel.test"), QStringLiteral("eve@example.org")}));
    EXPECT_EQ(first.mid(2), (QStringList{QStringLiteral("-"), other}));
    // Validated again: rebuilt, never added to.
    EXPECT_TRUE(list->validateUserInterfaceItem(item.get()));
    EXPECT_EQ(entries(), first);
    QAction* person = item->menu()->actions().constFirst();
    EXPECT_EQ(UserInterfaceItem::command(person), QStringLiteral("changeOwnership:"));
    EXPECT_EQ(UserInterfaceItem::target(person), list->commands());
    EXPECT_TRUE(UserInterfaceItem::representedObject(person).value<std::shared_ptr<ManagedObject>>());
    // No selection: the free choice only.
    select({});
    EXPECT_TRUE(list->validateUserInterfaceItem(item.get()));
    EXPECT_EQ(item->menu(), nullptr);
    EXPECT_EQ(item->text(), StringTable::text(QStringLiteral("ChangeOwner")));
}

TEST_F(DocumentCommandsTest, PrintingNeedsACachedCopyOfAKindWeCanPrint)
{
    select({QStringLiteral("document:alpha")});
    list->commands()->printEntity(nullptr);
    EXPECT_EQ(logCount("E: Cannot print: <Alpha> has not cached yet"), 1);

    // Nothing selected: only logged.
    select({});
    list->commands()->printEntity(nullptr);
    EXPECT_EQ(logCount("E: Called Print for no selection"), 1);
}

TEST_F(DocumentCommandsTest, ADownloadEndsInTheDownloadsFolderWithoutOverwriting)
{
    const QString downloads = Paths::downloadsFolder();
    QDir().mkpath(downloads);
    QFile existing(downloads + QStringLiteral("/Report.pdf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("older");
    existing.close();
    select({QStringLiteral("pdf:report")});
    list->commands()->download(nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    const ActionRequests::Request request = requests->requests.takeFirst();
    m_account.service.clearJournal();
    // Run by the session, answered to the list.
    requests.reset();
    m_account.documents()->executeAction(request.action, request.callback, request.parameters);
    ASSERT_TRUE(
        test::waitUntil([&] { return QFile::exists(downloads + QStringLiteral("/Report (1).pdf")); }, 20000));
    QFile copied(downloads + QStringLiteral("/Report (1).pdf"));
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), QByteArray("%PDF-1.4 not much"));
    QFile older(downloads + QStringLiteral("/Report.pdf"));
    ASSERT_TRUE(older.open(QIODevice::ReadOnly));
    EXPECT_EQ(older.readAll(), QByteArray("older"));
    ASSERT_TRUE(test::waitUntil([] { return logCount("Downloaded file to: ") == 1; }));
    EXPECT_GE(logCount("Received action callback"), 1);
}

} // namespace
} // namespace tavrel

#include "DocumentCommandsTest.moc"
