#include "contacts/ContactFileAccess.h"
#include "contacts/ContactsClasses.h"
#include "contacts/TQContactSharedFilesCommands.h"
#include "contacts/TQContactSharedFilesController.h"
#include "contacts/TQContactSharedFilesController2.h"
#include "contacts/TQContactSharedFilesController3.h"
#include "contacts/TQContactViewController.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQBytesToReadableStringTransformer.h"
#include "controls/TQDynamicTableView.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQPermissionTableCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTablePermissionCellView.h"
#include "controls/TQTableView.h"
#include "controls/TQTrackingTextField.h"
#include "documents/TQAllItemsDragging.h"
#include "documents/TQAllItemsQuickLook.h"
#include "documents/TQAllItemsRowMenus.h"
#include "documents/TQPreviewPanel.h"
#include "lists/ListModel.h"
#include "lists/TQPreviewItemAdapter.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/TQACLEntry.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Paths.h"
#include "platform/system/Settings.h"
#include "platform/ui/Alert.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/DragBus.h"
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
#include "window/ViewClasses.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// The user (demo@tavrel.test) shares Plan with Ann as a writer, Notes as a reader (with a link for
// anyone), Review as a commenter and the Trip folder as a reader; Ann owns her own document, where the
// user writes but may not invite; Eve (of another domain) reads Plan too; Bob alone sees Bob only.
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "contacts": [{"id": "c1", "name": "Ann Lee", "emails": [{"address": "ann@tavrel.test"}]}],
  "documents": [
    {"resourceId": "document:plan", "kind": "document", "title": "Plan",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "eve@example.org", "role": "reader"}]},
    {"resourceId": "document:notes", "kind": "document", "title": "Notes",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"},
             {"scope": "default", "role": "reader", "key": "k1"}]},
    {"resourceId": "document:review", "kind": "document", "title": "Review",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader",
              "additionalRoles": ["commenter"]}]},
    {"resourceId": "folder:trip", "kind": "folder", "title": "Trip",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]},
    {"resourceId": "document:annsown", "kind": "document", "title": "Her own", "owner": "ann@tavrel.test",
     "writersCanInvite": false,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]},
    {"resourceId": "pdf:dots", "kind": "pdf", "title": "..", "content": "%PDF-1.4 dots",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]},
    {"resourceId": "document:bob", "kind": "document", "title": "Bob only",
     "acl": [{"scope": "user", "value": "bob@example.org", "role": "writer"}]}
  ]
})";

const QString kPlan = QStringLiteral("document:plan");
const QString kNotes = QStringLiteral("document:notes");
const QString kReview = QStringLiteral("document:review");
const QString kTrip = QStringLiteral("folder:trip");
const QString kAnnsOwn = QStringLiteral("document:annsown");
const QString kDots = QStringLiteral("pdf:dots");

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

class ContactSharedFilesTest : public test::AccountTest
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

        // No document gets a cached copy behind a test's back (the rows' pictures would fetch them):
        // the copies a test needs it makes itself.
        m_account.service.addFault({localservice::Fault::Status, QStringLiteral("GET"),
                                    QStringLiteral("^/feeds/download/"), 100000, 404});
        ann = Mail::mailEntityWithAddress(QStringLiteral("ann@tavrel.test"), m_account.master());
        ASSERT_TRUE(ann);
        list = std::make_unique<TQContactSharedFilesController3>();
        list->setEmail(ann);
        list->setSortDescriptor(SortDescriptor(QStringLiteral("title")));
        QWidget* view = list->view();
        view->resize(700, 600);
        ASSERT_TRUE(test::showAndExpose(view));
        list->viewDidInstall();
        ASSERT_TRUE(test::waitUntil([&] { return list->dataProvider()->count() == 6; }, 10000))
            << list->dataProvider()->count();
        list->table()->setFocus();
        requests = std::make_unique<ActionRequests::Recorder>();
        QObject::connect(DMTracker::defaultTracker(), &DMTracker::eventTracked, &context,
                         [this](const QString& category, const QString& name, const QString& value) {
                             usage << QStringList{category, name, value}.join(u'/');
                         });
    }
    void TearDown() override
    {
        if (TQPreviewPanel* panel = TQPreviewPanel::existingPreviewPanel())
            panel->closePanel();
        requests.reset();
        list.reset();
        ann.reset();
        ApplicationServices::instance()->resetForTesting();
        TQSessionManager::sharedManager()->setCurrentSession(nullptr);
        AccountTest::TearDown();
    }
    static void online(bool on) { ApplicationServices::instance()->connectionStatus()->setOnline(on); }
    static int logCount(const QByteArray& text)
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count(text)) : 0;
    }

    ManagedObjectPtr record(const QString& resourceId) const
    {
        return FileEntryAbstract::fileEntryAbstractWithIdentifier(
            FileEntryAbstract::identifierFromGDataResourceId(resourceId), m_account.master());
    }
    std::shared_ptr<FileEntryAbstract> entry(const QString& resourceId) const
    {
        return std::dynamic_pointer_cast<FileEntryAbstract>(record(resourceId));
    }
    int row(const QString& resourceId) const { return list->rowOfRecord(record(resourceId)); }
    void select(const QStringList& resourceIds)
    {
        QList<int> rows;
        for (const QString& rid : resourceIds)
            rows << row(rid);
        list->tableView()->selectionModel()->clearSelection();
        if (!rows.isEmpty())
            list->tableView()->selectRowIndexes(rows, false);
        ASSERT_EQ(list->selectedRecords().size(), resourceIds.size());
    }
    QStringList titles() const
    {
        QStringList shown;
        for (int r = 0; r < list->dataProvider()->count(); ++r)
            if (const auto e = std::dynamic_pointer_cast<FileEntryAbstract>(list->recordAtRow(r)))
                shown << e->title();
        return shown;
    }
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
    // Runs a recorded request against the service; the journal's request lines.
    QStringList runAgainstService(const ActionRequests::Request& request)
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
        for (const auto& sent : m_account.service.journal())
            lines << sent.method + QLatin1Char(' ') + sent.path;
        return lines;
    }
    // The role the service lists for the address on the document ("" none).
    QString serviceRole(const QString& resourceId, const QString& address) const
    {
        const QJsonObject seed = QJsonDocument::fromJson(m_account.service.exportSeed()).object();
        for (const QJsonValue& document : seed.value(QStringLiteral("documents")).toArray()) {
            if (document[QStringLiteral("resourceId")].toString() != resourceId)
                continue;
            for (const QJsonValue& acl : document[QStringLiteral("acl")].toArray())
                if (acl[QStringLiteral("value")].toString() == address) {
                    const QJsonArray more = acl[QStringLiteral("additionalRoles")].toArray();
                    return more.isEmpty() ? acl[QStringLiteral("role")].toString() : more.first().toString();
                }
        }
        return {};
    }
    QMessageBox* sheet() const
    {
        for (QMessageBox* box : list->view()->window()->findChildren<QMessageBox*>())
            if (box->isVisible())
                return box;
        return nullptr;
    }
    void answer(const QString& message, const char* button, bool tick = false)
    {
        QMessageBox* box = nullptr;
        ASSERT_TRUE(test::waitUntil([&] { return (box = sheet()) != nullptr; }));
        EXPECT_EQ(box->text(), message);
        if (box->checkBox())
            box->checkBox()->setChecked(tick);
        for (QAbstractButton* each : box->buttons())
            if (each->text() == StringTable::text(QLatin1String(button))) {
                each->click();
                return;
            }
        ADD_FAILURE() << "no button " << button;
    }
    std::unique_ptr<QAction> menuItem(const QString& command, int tag = 0)
    {
        auto item = std::make_unique<QAction>();
        UserInterfaceItem::setCommand(item.get(), command);
        UserInterfaceItem::setTag(item.get(), tag);
        return item;
    }
    TQBigDocumentTableCell* cellOf(const QString& resourceId)
    {
        return dynamic_cast<TQBigDocumentTableCell*>(list->dataCellForRow(row(resourceId)));
    }

    std::shared_ptr<Mail> ann;
    std::unique_ptr<TQContactSharedFilesController3> list;
    std::unique_ptr<ActionRequests::Recorder> requests;
    QObject context;
    QStringList usage;
};

TEST_F(ContactSharedFilesTest, ListsWhatThePersonSharesAndFollowsTheSearch)
{
    EXPECT_EQ(titles(),
              (QStringList{QStringLiteral(".."), QStringLiteral("Her own"), QStringLiteral("Notes"),
                           QStringLiteral("Plan"), QStringLiteral("Review"), QStringLiteral("Trip")}));
    list->setSearchString(QStringLiteral("PL"));
    ASSERT_TRUE(test::waitUntil([&] { return titles() == QStringList{QStringLiteral("Plan")}; }))
        << titles().join(u',').toStdString();
    // Typed text is taken literally: a pattern character matches only itself.
    list->setSearchString(QStringLiteral("P*"));
    ASSERT_TRUE(test::waitUntil([&] { return titles().isEmpty(); })) << titles().join(u',').toStdString();
    list->setSearchString(QString());
    ASSERT_TRUE(test::waitUntil([&] { return titles().size() == 6; }));
    // Grouped by owner, a header leads and the first document below it is selected on reactivation.
    list->setSortDescriptor(SortDescriptor(QStringLiteral("owner"), true));
    ASSERT_TRUE(test::waitUntil([&] { return list->isGroupRow(0); }));
    list->reactivate();
    EXPECT_EQ(list->selectedRows(), QList<int>{1});
}

TEST_F(ContactSharedFilesTest, EachCommandSendsItsRequestAsTheServiceExpects)
{
    struct Row
    {
        const char* name;
        QStringList selection;
        std::function<void()> send;
        const char* action;
        const char* callback;
        const char* identifierVerb; // of "statusID"
        QStringList records;        // of "documentEntities", else "documentEntity"
        std::function<void(const QVariantMap&)> check;
        const char* usage;
        const char* journal; // a part of a request line the service must see
    };
    auto item = menuItem(QStringLiteral("x:"));
    QObject* sender = item.get();
    const QString me = m_account.address();
    // The removals come last: once run, the person no longer shares those documents.
    const Row rows[] = {
        {"a link for a document without one",
         {kPlan},
         [&] { list->contactCommands()->getLinkToShare(sender); },
         "SetGeneralACLPermissions",
         "generalPermissionDidFinishWithResult:error:",
         "genpermission",
         {kPlan},
         [](const QVariantMap& p) {
             const auto access = p.value(QStringLiteral("generalACLPermission"))
                                     .value<std::shared_ptr<GeneralACLPermissionAdapter>>();
             ASSERT_TRUE(access);
             EXPECT_EQ(access->type(), QStringLiteral("default"));
             EXPECT_EQ(access->role(), QStringLiteral("reader"));
             EXPECT_TRUE(access->hasLink().toBool());
         },
         "Action/ContextualMenu/getLinkToShare:",
         "document:plan/acl"},
        {"visibility 1: only the people listed",
         {},
         [&] {
             QMenu* menu = list->rowMenus()->visibilityMenu(record(kNotes));
             list->contactCommands()->toggleGenericPermission(menu->actions().at(1));
         },
         "SetGeneralACLPermissions",
         "generalPermissionDidFinishWithResult:error:",
         "genpermission",
         {kNotes},
         [](const QVariantMap& p) { EXPECT_FALSE(p.contains(QStringLiteral("generalACLPermission"))); },
         nullptr,
         "document:notes/acl"},
        {"visibility 3: public without a link",
         {},
         [&] {
             QMenu* menu = list->rowMenus()->visibilityMenu(record(kReview));
             list->contactCommands()->toggleGenericPermission(menu->actions().at(3));
         },
         "SetGeneralACLPermissions",
         "generalPermissionDidFinishWithResult:error:",
         "genpermission",
         {kReview},
         [](const QVariantMap& p) {
             const auto access = p.value(QStringLiteral("generalACLPermission"))
                                     .value<std::shared_ptr<GeneralACLPermissionAdapter>>();
             ASSERT_TRUE(access);
             EXPECT_EQ(access->type(), QStringLiteral("default"));
             EXPECT_FALSE(access->hasLink().toBool());
         },
         nullptr,
         "document:review/acl"},
        {"star two unstarred",
         {kPlan, kNotes},
         [&] { list->commands()->toggleStarState(sender); },
         "StarredDocuments",
         "operationDidFinishWithResult:error:",
         "starred",
         {kNotes, kPlan},
         [](const QVariantMap& p) { EXPECT_EQ(p.value(QStringLiteral("isStarred")), QVariant(true)); },
         "Action/ContextualMenu/toggleStarState:",
         nullptr},
        {"remove the person from one document",
         {kPlan},
         [&] { list->deleteEntity(static_cast<QObject*>(nullptr)); },
         "RemovePermission",
         "deleteDidFinishWithResult:error:",
         "removepermission",
         {kPlan},
         [](const QVariantMap& p) {
             EXPECT_EQ(p.value(QStringLiteral("mailAddress")).toString(), QStringLiteral("ann@tavrel.test"));
         },
         "Toolbar/Delete/Document",
         "document:plan/acl"},
        {"stop sharing a selection leaves the person's own out",
         {kReview, kAnnsOwn},
         [&] { list->contactCommands()->unshare(sender); },
         "RemovePermissions",
         "deleteDidFinishWithResult:error:",
         "removepermissions",
         {kReview},
         [](const QVariantMap& p) {
             EXPECT_EQ(p.value(QStringLiteral("mailAddresses")).toStringList(),
                       QStringList{QStringLiteral("ann@tavrel.test")});
         },
         "Action/ContextualMenu/unshare:",
         "document:review/acl"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        if (!r.selection.isEmpty())
            select(r.selection);
        requests->requests.clear();
        usage.clear();
        r.send();
        ASSERT_EQ(requests->requests.size(), 1);
        const ActionRequests::Request request = requests->requests.constFirst();
        EXPECT_EQ(request.action, QLatin1String(r.action));
        ASSERT_TRUE(request.callback);
        EXPECT_EQ(request.callback->selector(), QLatin1String(r.callback));
        const QVariantMap& p = request.parameters;
        EXPECT_TRUE(p.value(QStringLiteral("statusID"))
                        .toString()
                        .startsWith(QLatin1String(r.identifierVerb) + u'_'));
        EXPECT_EQ(p.value(QStringLiteral("progressConsumer")).value<QObject*>(), list.get());
        const QString key = p.contains(QStringLiteral("documentEntities"))
                                ? QStringLiteral("documentEntities")
                                : QStringLiteral("documentEntity");
        EXPECT_EQ(resourceIdsOf(p.value(key)), r.records);
        if (r.check)
            r.check(p);
        EXPECT_EQ(usage.value(0), r.usage ? QString::fromLatin1(r.usage) : QString())
            << usage.join(u' ').toStdString();
        if (r.journal) {
            const QStringList lines = runAgainstService(request);
            EXPECT_FALSE(lines.filter(QLatin1String(r.journal)).isEmpty()) << lines.join(u'\n').toStdString();
        }
    }
    // The removals reached the service: Ann no longer sees Plan or Review, and still owns her own.
    EXPECT_EQ(serviceRole(kPlan, QStringLiteral("ann@tavrel.test")), QString());
    EXPECT_EQ(serviceRole(kReview, QStringLiteral("ann@tavrel.test")), QString());
    EXPECT_EQ(serviceRole(kAnnsOwn, me), QStringLiteral("writer"));
}

TEST_F(ContactSharedFilesTest, TheOwnersAccessIsNeverRemoved)
{
    // Removing the person from a document the person owns sends nothing, and the command is off.
    select({kAnnsOwn});
    auto remove = menuItem(QStringLiteral("deleteEntity:"));
    EXPECT_FALSE(list->validateUserInterfaceItem(remove.get()));
    list->deleteEntity(static_cast<QObject*>(nullptr));
    list->commands()->remove(nullptr);
    list->contactCommands()->unshare(nullptr);
    EXPECT_TRUE(requests->requests.isEmpty());
    EXPECT_EQ(logCount("E: Cannot remove the owner ann@tavrel.test from Her own"), 2);
    // Nothing is ever trashed from this list.
    select({kPlan});
    list->commands()->remove(nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst().action, QStringLiteral("RemovePermission"));
    // The row's stop-sharing button acts on its own row.
    requests->requests.clear();
    const QRect rect = list->tableView()->visualRect(list->dataProvider()->index(row(kNotes)));
    QTest::mouseClick(list->tableView()->viewport(), Qt::LeftButton, {},
                      QPoint(rect.center().x(), rect.bottom() - 2));
    ASSERT_EQ(list->pressedRow(), row(kNotes));
    select({kPlan});
    list->contactCommands()->stopSharingOne(nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(
        resourceIdsOf(requests->requests.constFirst().parameters.value(QStringLiteral("documentEntity"))),
        QStringList{kNotes});
}

TEST_F(ContactSharedFilesTest, PrintingHandsThePathToThePrinterNeverToAShell)
{
    // A cached copy whose name a shell would run.
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("it's \"$(touch pwned)\".txt"));
    QFile copy(path);
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    copy.write("printed text");
    copy.close();
    const auto dots = std::dynamic_pointer_cast<File>(record(kDots));
    ASSERT_TRUE(dots && dots->fileCachedFile());
    dots->fileCachedFile()->setValue(QUrl::fromLocalFile(path).toString());
    select({kDots});
    list->commands()->printEntity(nullptr);
    QPrintDialog* dialog = nullptr;
    ASSERT_TRUE(test::waitUntil([&] {
        const auto dialogs = list->view()->window()->findChildren<QPrintDialog*>();
        dialog = dialogs.isEmpty() ? nullptr : dialogs.constFirst();
        return dialog != nullptr;
    }));
    const QString output = QDir(folder.path()).filePath(QStringLiteral("out.pdf"));
    dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
    dialog->printer()->setOutputFileName(output);
    // What the dialog's OK does, without the dialog putting its own printer choice over the file.
    emit dialog->accepted();
    dialog->reject();
    ASSERT_TRUE(test::waitUntil([&] { return QFileInfo(output).size() > 0; }));
    EXPECT_FALSE(QFile::exists(QStringLiteral("pwned")));
    EXPECT_FALSE(QFile::exists(QDir(folder.path()).filePath(QStringLiteral("pwned"))));
}

TEST_F(ContactSharedFilesTest, RightsDecideSharingAndLinksAndAMixedSelectionAsksFirst)
{
    Clipboard::clear();
    // Every document already has a link: the links are copied, nothing is sent.
    select({kNotes});
    list->contactCommands()->getLinkToShare(nullptr);
    EXPECT_TRUE(requests->requests.isEmpty());
    EXPECT_EQ(Clipboard::urls(), QList<QUrl>{QUrl(entry(kNotes)->alternateLink())});
    // None the user may share: nothing goes.
    select({kAnnsOwn});
    list->contactCommands()->getLinkToShare(nullptr);
    EXPECT_TRUE(requests->requests.isEmpty());
    // A mixed selection: the sheet counts the others; OK goes on with the allowed one only.
    select({kPlan, kAnnsOwn});
    list->contactCommands()->getLinkToShare(nullptr);
    answer(StringTable::format(QStringLiteral("MixedPermissionTitle"), 1), "OK");
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(
        resourceIdsOf(requests->requests.constFirst().parameters.value(QStringLiteral("documentEntities"))),
        QStringList{kPlan});
    EXPECT_EQ(list->selectedRecords(), QList<ManagedObjectPtr>{record(kPlan)});
    // The share sheet: Cancel keeps the selection and shares nothing.
    requests->requests.clear();
    select({kPlan, kReview, kAnnsOwn});
    list->share(nullptr);
    answer(StringTable::format(QStringLiteral("MixedPermissionTitle"), 1), "Cancel");
    EXPECT_EQ(list->selectedRecords().size(), 3);
    // A visibility change the user may not make says so and sends nothing.
    QMenu* menu = list->rowMenus()->visibilityMenu(record(kAnnsOwn));
    list->contactCommands()->toggleGenericPermission(menu->actions().at(2));
    EXPECT_TRUE(requests->requests.isEmpty());
}

TEST_F(ContactSharedFilesTest, AnOwnerOutsideTheDomainIsOnlyWarnedAboutUntilSuppressed)
{
    Settings::remove(QStringLiteral("SuppressChangeOwnerAlerts"));
    select({kPlan});
    std::shared_ptr<Mail> eve =
        Mail::mailEntityWithAddress(QStringLiteral("eve@example.org"), m_account.master());
    ASSERT_TRUE(eve);
    auto eveItem = menuItem(QStringLiteral("changeOwnership:"));
    UserInterfaceItem::setRepresentedObject(eveItem.get(), QVariant::fromValue(ManagedObjectPtr(eve)));
    const QString warning =
        StringTable::format(QStringLiteral("WrongDomainTitle"), QStringLiteral("eve@example.org"));
    list->commands()->changeOwnership(eveItem.get());
    answer(warning, "OK", true);
    EXPECT_TRUE(requests->requests.isEmpty());
    list->commands()->changeOwnership(eveItem.get());
    answer(StringTable::text(QStringLiteral("ChangeOwnerTitle")), "OK");
    ASSERT_EQ(requests->requests.size(), 1);
    const QVariantList entries =
        requests->requests.constFirst().parameters.value(QStringLiteral("ACLEntries")).toList();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].value<TQACLEntry>().role(), TQACLEntry::Owner);
    EXPECT_EQ(entries[0].value<TQACLEntry>().value(), QStringLiteral("eve@example.org"));
    EXPECT_EQ(entries[1].value<TQACLEntry>().role(), TQACLEntry::Writer);
    Settings::remove(QStringLiteral("SuppressChangeOwnerAlerts"));
}

TEST_F(ContactSharedFilesTest, RowsShowThePersonsRoleAndTheOwnerBadge)
{
    online(true);
    struct Row
    {
        QString resourceId;
        const char* badgeTooltip; // nullptr: no badge
        bool stopsSharing;
    };
    const Row rows[] = {
        {kPlan, "CanEdit", true}, {kNotes, "CanView", true},      {kReview, "CanComment", true},
        {kTrip, "CanView", true}, {kAnnsOwn, "SortOwner", false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.resourceId.toStdString());
        TQBigDocumentTableCell* cell = cellOf(r.resourceId);
        ASSERT_TRUE(cell);
        const auto actions = cell->actionCells();
        ASSERT_EQ(actions.size(), r.badgeTooltip ? 1 : 0);
        auto badge = std::dynamic_pointer_cast<TQHoverdAdaptorButtonCell>(actions.first());
        ASSERT_TRUE(badge);
        EXPECT_EQ(badge->tooltip(), StringTable::text(QLatin1String(r.badgeTooltip)));
        EXPECT_EQ(badge->representedObject().value<ManagedObjectPtr>(), ManagedObjectPtr(ann));
        EXPECT_EQ(badge->accompanyObject().value<ManagedObjectPtr>(), record(r.resourceId));
        EXPECT_EQ(cell->staticActionCell().isEnabled(), r.stopsSharing);
        EXPECT_EQ(cell->staticActionCell().regularImage().isNull(), !r.stopsSharing);
    }
    // The row menu offers the person's access in place of the trash.
    QStringList commands;
    for (QAction* each : list->rowMenu()->actions())
        if (!each->isSeparator())
            commands << UserInterfaceItem::command(each) + u'=' + each->text();
    EXPECT_TRUE(commands.contains(QStringLiteral("unshare:=") +
                                  StringTable::text(QStringLiteral("MenuStopSharing"))));
    EXPECT_TRUE(commands.contains(QStringLiteral("deleteEntity:=") +
                                  StringTable::text(QStringLiteral("MenuRemoveAccess"))));
    EXPECT_TRUE(commands.filter(StringTable::text(QStringLiteral("MenuMoveToTrash"))).isEmpty());
    // Sorted by size, a row's subtitle is its size.
    list->setSortDescriptor(SortDescriptor(QStringLiteral("size"), false));
    ASSERT_TRUE(test::waitUntil([&] { return cellOf(kDots) != nullptr; }));
    EXPECT_EQ(
        cellOf(kDots)->subtitle(),
        TQBytesToReadableStringTransformer().transformedValue(entry(kDots)->quotaBytesUsed()).toString());
}

TEST_F(ContactSharedFilesTest, ValidationFollowsTheItemsAndThePerson)
{
    const QList<QStringList> selections = {{kPlan}, {kAnnsOwn}, {kPlan, kAnnsOwn}, {kTrip}, {kTrip, kPlan}};
    struct Row
    {
        const char* command;
        int tag;
        QList<bool> enabled; // per selection
    };
    const Row rows[] = {
        // selections:        plan   annsown  both   trip   trip+plan
        {"unshare:", 0, {true, false, true, true, true}},
        {"deleteEntity:", 0, {true, false, true, true, true}},
        {"printEntity:", 0, {true, true, false, false, false}},
        {"rename:", 0, {true, true, false, true, false}},
        {"showPreview:", 0, {true, true, false, true, false}},
        {"openWith:", TQAllItemsController::kOpenWithTag, {true, true, false, false, false}},
        {"openInBrowser:", TQAllItemsController::kOpenInBrowserTag, {false, false, false, false, false}},
    };
    for (const Row& r : rows) {
        for (qsizetype i = 0; i < selections.size(); ++i) {
            SCOPED_TRACE(testing::Message() << r.command << " " << selections[i].join(u',').toStdString());
            select(selections[i]);
            // The last selected row counts for the single-row commands.
            list->table()->selectionModel()->setCurrentIndex(
                list->dataProvider()->index(row(selections[i].first())), QItemSelectionModel::NoUpdate);
            auto item = menuItem(QLatin1String(r.command), r.tag);
            if (r.tag == TQAllItemsController::kOpenWithTag) {
                auto* submenu = new QMenu;
                submenu->addAction(QStringLiteral("default"));
                item->setMenu(submenu);
                QObject::connect(item.get(), &QObject::destroyed, submenu, &QObject::deleteLater);
            }
            EXPECT_EQ(list->validateUserInterfaceItem(item.get()), r.enabled[i]);
        }
    }
    online(true);
    auto browser = menuItem(QStringLiteral("openInBrowser:"), TQAllItemsController::kOpenInBrowserTag);
    EXPECT_TRUE(list->validateUserInterfaceItem(browser.get()));
    // A starred and an unstarred document: the item offers the star.
    entry(kNotes)->setIsStarred(true);
    select({kNotes});
    auto star = menuItem(QStringLiteral("toggleStarState:"));
    list->validateUserInterfaceItem(star.get());
    EXPECT_EQ(star->text(), StringTable::text(QStringLiteral("MenuRemoveStar")));
    select({kNotes, kPlan});
    list->validateUserInterfaceItem(star.get());
    EXPECT_EQ(star->text(), StringTable::text(QStringLiteral("MenuAddStar")));
}

TEST_F(ContactSharedFilesTest, StarringStarsAllUnlessAllAreStarred)
{
    entry(kNotes)->setIsStarred(true);
    struct Row
    {
        QStringList selection;
        bool starred;
        QStringList sent;
    };
    const Row rows[] = {
        {{kNotes, kPlan}, true, {kPlan}},
        {{kNotes}, false, {kNotes}},
        {{kPlan, kReview}, true, {kPlan, kReview}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.selection.join(u',').toStdString());
        select(r.selection);
        requests->requests.clear();
        list->commands()->toggleStarState(nullptr);
        ASSERT_EQ(requests->requests.size(), 1);
        const QVariantMap& p = requests->requests.constFirst().parameters;
        EXPECT_EQ(p.value(QStringLiteral("isStarred")), QVariant(r.starred));
        EXPECT_EQ(resourceIdsOf(p.value(QStringLiteral("documentEntities"))), r.sent);
    }
    // An empty selection is only logged.
    select({});
    requests->requests.clear();
    list->commands()->toggleStarState(nullptr);
    EXPECT_TRUE(requests->requests.isEmpty());
}

TEST_F(ContactSharedFilesTest, ALinkIsAnnouncedOnlyForDocumentsThatHaveOne)
{
    Clipboard::clear();
    // Plan has no general access, Notes a link: only Notes' link is copied.
    list->contactCommands()->generalPermissionDidFinishWithResult(
        QVariantList{QVariant::fromValue(record(kPlan)), QVariant::fromValue(record(kNotes))}, QVariant());
    EXPECT_EQ(Clipboard::urls(), QList<QUrl>{QUrl(entry(kNotes)->alternateLink())});
    Clipboard::writeText(QStringLiteral("kept"));
    list->contactCommands()->generalPermissionDidFinishWithResult(
        QVariantList{QVariant::fromValue(record(kPlan))}, QVariant());
    EXPECT_EQ(Clipboard::text(), QStringLiteral("kept"));
}

TEST_F(ContactSharedFilesTest, DragsCarryRecordIdentifiersAndPromiseSafeNames)
{
    select({kPlan});
    std::unique_ptr<QMimeData> data(
        list->tableViewMimeDataForRows(list->tableView(), {row(kNotes), row(kReview)}));
    ASSERT_TRUE(data);
    EXPECT_EQ(DragBus::fileItems(data.get()),
              (QStringList{entry(kNotes)->identifier(), entry(kReview)->identifier()}));
    // The dragged rows become the selection.
    EXPECT_EQ(list->selectedRecords(), (QList<ManagedObjectPtr>{record(kNotes), record(kReview)}));
    // A title of ".." never names the folder above.
    QTemporaryDir folder;
    const QStringList names =
        list->dragging()->namesOfPromisedFilesDroppedAtDestination(folder.path(), {row(kDots)});
    ASSERT_EQ(names.size(), 1);
    EXPECT_NE(names.first(), QStringLiteral(".."));
    EXPECT_NE(names.first(), QStringLiteral("."));
    EXPECT_TRUE(QFileInfo::exists(QDir(folder.path()).filePath(names.first())));
    ASSERT_TRUE(test::waitUntil([&] { return !requests->requestsOf(QStringLiteral("GetFiles")).isEmpty(); }));
}

TEST_F(ContactSharedFilesTest, QuickLookStopsWithoutASelectionAndPreviewsTheOneSelected)
{
    select({});
    list->activateQuickLook(list->tableView());
    EXPECT_TRUE(requests->requests.isEmpty());
    EXPECT_FALSE(list->quickLook()->isControllingPanel());
    // One uncached document: the loading page while it downloads.
    select({kPlan});
    list->activateQuickLook(list->tableView());
    ASSERT_EQ(requests->requestsOf(QStringLiteral("GetFiles")).size(), 1);
    EXPECT_EQ(requests->requests.constLast().callback->selector(),
              QStringLiteral("getForQLDidFinishWithResult:error:"));
    EXPECT_EQ(list->quickLook()->numberOfPreviewItems(), 1);
    auto item = list->quickLook()->previewItemAtIndex(0);
    EXPECT_EQ(item->previewItemURL(), TQPreviewPanel::kLoadingPageURL);
    EXPECT_EQ(item->previewItemTitle(), QStringLiteral("Plan"));
    // Several: no items, the error page.
    select({kPlan, kNotes});
    EXPECT_EQ(list->quickLook()->numberOfPreviewItems(), 0);
    item = list->quickLook()->previewItemAtIndex(0);
    EXPECT_EQ(item->previewItemURL(), TQPreviewPanel::kErrorPageURL);
    EXPECT_EQ(item->previewItemTitle(), StringTable::text(QStringLiteral("Error")));
}

TEST_F(ContactSharedFilesTest, ThePersonsPageShowsThisList)
{
    ContactsClasses::registerClasses();
    {
        TQContactViewController page;
        page.setEmail(ann);
        auto* shown = qobject_cast<TQContactSharedFilesController3*>(page.sharedFilesController());
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->email(), ann);
        EXPECT_TRUE(page.hasSharedFilesList());
    }
    ContactsClasses::unregisterClasses();
}

TEST_F(ContactSharedFilesTest, SwitchesShowTheRoleAndSendTheNewOneAsAModification)
{
    TQContactSharedFilesController switches;
    switches.setEmail(ann);
    switches.view()->resize(700, 700);
    ASSERT_TRUE(test::showAndExpose(switches.view()));
    switches.viewDidInstall();
    ASSERT_TRUE(test::waitUntil([&] { return switches.rowOfRecord(record(kAnnsOwn)) >= 0; }, 10000));
    auto* table = qobject_cast<TQDynamicTableView*>(switches.table());
    ASSERT_TRUE(table);
    const auto control = [&](const QString& rid) {
        return qobject_cast<TQSwitchButton*>(
            switches.dynamicTableViewViewForRow(table, switches.rowOfRecord(record(rid))));
    };
    // Editors over viewers over commenters.
    entry(kPlan)->setViewers(entry(kPlan)->viewers() << ann);
    const struct
    {
        QString resourceId;
        int state;
    } rows[] = {{kPlan, ContactFileAccess::kEditState},
                {kNotes, ContactFileAccess::kViewState},
                {kReview, ContactFileAccess::kCommentState}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.resourceId.toStdString());
        TQSwitchButton* shown = control(r.resourceId);
        ASSERT_TRUE(shown);
        EXPECT_EQ(shown->state(), r.state);
        auto* cell = dynamic_cast<TQPermissionTableCell*>(
            switches.dataCellForRow(switches.rowOfRecord(record(r.resourceId))));
        ASSERT_TRUE(cell);
        EXPECT_TRUE(cell->deletable());
    }
    // The owner's row: a disabled badge, never deletable, no switch.
    const int owned = switches.rowOfRecord(record(kAnnsOwn));
    auto* badge = qobject_cast<CellButton*>(switches.dynamicTableViewViewForRow(table, owned));
    ASSERT_TRUE(badge);
    EXPECT_FALSE(badge->isEnabled());
    // Asked right after a deletable row, the owner's row keeps nothing of its button.
    switches.dataCellForRow(switches.rowOfRecord(record(kPlan)));
    auto* ownedCell = dynamic_cast<TQPermissionTableCell*>(switches.dataCellForRow(owned));
    EXPECT_FALSE(ownedCell->deletable());
    EXPECT_TRUE(ownedCell->actionCell().regularImage().isNull());
    EXPECT_TRUE(ownedCell->actionCell().hoverImage().isNull());
    EXPECT_FALSE(ownedCell->actionCell().isEnabled());
    switches.deleteContact(owned);
    EXPECT_TRUE(requests->requests.isEmpty());

    // Notes moved to edit: one user entry for Ann as a writer, a modification, no callback.
    TQSwitchButton* notes = control(kNotes);
    notes->setCellState(ContactFileAccess::kEditState);
    switches.togglePermission(notes);
    ASSERT_EQ(requests->requests.size(), 1);
    const ActionRequests::Request request = requests->requests.constFirst();
    EXPECT_EQ(request.action, QStringLiteral("SetPermissions"));
    EXPECT_FALSE(request.callback);
    EXPECT_TRUE(request.parameters.value(QStringLiteral("modified")).toBool());
    EXPECT_TRUE(request.parameters.value(QStringLiteral("statusID"))
                    .toString()
                    .startsWith(QStringLiteral("setpermission_")));
    EXPECT_EQ(resourceIdsOf(request.parameters.value(QStringLiteral("documentEntities"))),
              QStringList{kNotes});
    const QVariantList entries = request.parameters.value(QStringLiteral("ACLEntries")).toList();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].value<TQACLEntry>().type(), TQACLEntry::User);
    EXPECT_EQ(entries[0].value<TQACLEntry>().role(), TQACLEntry::Writer);
    EXPECT_EQ(entries[0].value<TQACLEntry>().value(), QStringLiteral("ann@tavrel.test"));
    EXPECT_EQ(entries[0].value<TQACLEntry>().displayName(), ann->displayName());
    runAgainstService(request);
    EXPECT_EQ(serviceRole(kNotes, QStringLiteral("ann@tavrel.test")), QStringLiteral("writer"));
    // The positions give the roles: view a reader, comment a commenter, anything else a writer.
    EXPECT_EQ(ContactFileAccess::roleForSwitchState(1), TQACLEntry::Reader);
    EXPECT_EQ(ContactFileAccess::roleForSwitchState(-1), TQACLEntry::Commenter);
    EXPECT_EQ(ContactFileAccess::roleForSwitchState(0), TQACLEntry::Writer);
    EXPECT_EQ(ContactFileAccess::roleForSwitchState(7), TQACLEntry::Writer);
}

TEST_F(ContactSharedFilesTest, TheRowViewListShowsRolesAndRenamesInPlace)
{
    TQContactSharedFilesController2 views;
    views.setEmail(ann);
    views.setSortDescriptor(SortDescriptor(QStringLiteral("title")));
    views.view()->resize(600, 700);
    ASSERT_TRUE(test::showAndExpose(views.view()));
    views.viewDidInstall();
    const auto rowOf = [&](const QString& rid) {
        for (int r = 0; r < views.dataProvider()->count(); ++r)
            if (views.recordAtRow(r) == record(rid))
                return r;
        return -1;
    };
    ASSERT_TRUE(
        test::waitUntil([&] { return rowOf(kAnnsOwn) >= 0 && views.rowView(rowOf(kAnnsOwn)); }, 10000));
    TQTablePermissionCellView* plan = views.rowView(rowOf(kPlan));
    ASSERT_TRUE(plan && plan->permissionButton());
    EXPECT_EQ(plan->permissionButton()->state(), ContactFileAccess::kEditState);
    TQTablePermissionCellView* own = views.rowView(rowOf(kAnnsOwn));
    EXPECT_EQ(own->objectName(), QStringLiteral("TQFileItemOwnerCellKey"));
    EXPECT_EQ(own->permissionButton(), nullptr);
    // Removing the owner sends nothing; anybody else goes at once.
    views.selectRow(rowOf(kAnnsOwn));
    views.deleteEntity(nullptr);
    EXPECT_TRUE(requests->requests.isEmpty());
    views.selectRow(rowOf(kReview));
    views.deleteEntity(nullptr);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst().action, QStringLiteral("RemovePermission"));
    // The review switch moved to view: a reader.
    requests->requests.clear();
    TQSwitchButton* review = views.rowView(rowOf(kReview))->permissionButton();
    review->setCellState(ContactFileAccess::kViewState);
    views.togglePermission(review);
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst()
                  .parameters.value(QStringLiteral("ACLEntries"))
                  .toList()
                  .value(0)
                  .value<TQACLEntry>()
                  .role(),
              TQACLEntry::Reader);
    // A rename to nothing or to the same title sends nothing and ends editing; a new one is sent.
    requests->requests.clear();
    views.selectRow(rowOf(kPlan));
    views.rename(nullptr);
    TQTrackingTextField* title = views.rowView(rowOf(kPlan))->textField();
    ASSERT_TRUE(title->isEditable());
    for (const QString& text : {QString(), QStringLiteral("Plan"), QStringLiteral("Plan B")}) {
        title->setEditable(true);
        title->setText(text);
        views.renameAfterEdit(title);
        EXPECT_FALSE(title->isEditable());
    }
    ASSERT_EQ(requests->requests.size(), 1);
    EXPECT_EQ(requests->requests.constFirst().parameters.value(QStringLiteral("newName")).toString(),
              QStringLiteral("Plan B"));
}

} // namespace
} // namespace tavrel

#include "ContactSharedFilesTest.moc"
