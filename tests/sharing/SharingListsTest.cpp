#include "SharingDialogsFixture.h"
#include "controls/BasicPopUpButton.h"
#include "controls/TQDynamicTableView.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQPermissionTableCell.h"
#include "controls/TQPopUpButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/StringTable.h"
#include "sharing/TQLinkPermissionTableCell.h"
#include "sharing/TQPermissionTableCell2.h"
#include "sharing/TQShareController.h"
#include "sharing/TQShareReadonlyController.h"
#include "sharing/TQShareWithController.h"
#include "sharing/TQSharingContactsController3.h"
#include "sharing/TQSharingDetailsController.h"
#include "support/RecordedNotifications.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"
#include "window/ActionRequests.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// The user (demo@tavrel.test) owns alpha (Ann edits, Eve views), beta (Ann views), linked (Ann views,
// anyone with the link may view) and gamma (nobody); Bob owns "bobs" (Ann edits) and "readonly" (the
// user views).
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "contacts": [{"id": "c1", "name": "Ann Lee", "emails": [{"address": "ann@tavrel.test"}]}],
  "documents": [
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha", "writersCanInvite": false,
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "eve@example.org", "role": "reader"}]},
    {"resourceId": "document:beta", "kind": "document", "title": "Beta",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]},
    {"resourceId": "document:linked", "kind": "document", "title": "Linked",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"},
             {"scope": "default", "role": "reader", "key": "k1"}]},
    {"resourceId": "document:gamma", "kind": "document", "title": "Gamma", "writersCanInvite": false},
    {"resourceId": "document:bobs", "kind": "document", "title": "Bobs", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:readonly", "kind": "document", "title": "Read only", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "reader"}]}
  ]
})";

// The list with its rows open to the test.
class OpenList : public TQSharingContactsController
{
public:
    using TQSharingContactsController::insertLinkRow;
    using TQSharingContactsController::setContainer;
};

class SharingListsTest : public test::SharingDialogsFixture
{
protected:
    const char* seed() const override { return kSeed; }

    void TearDown() override
    {
        for (QWidget* shown : m_shown)
            delete shown;
        SharingDialogsFixture::TearDown();
    }
    // Shows a list's view, as an embedding view does.
    template <class List> List* showList(List* list)
    {
        QWidget* view = list->view();
        view->resize(520, 420);
        EXPECT_TRUE(test::showAndExpose(view));
        list->viewDidInstall();
        m_shown.append(view);
        return list;
    }
    TQSharingContactsController* peopleOf(const QString& resourceId)
    {
        auto* list = new TQSharingContactsController;
        list->setItem(entry(resourceId));
        return showList(list);
    }
    TQSharingDetailsController* detailsOf(const QStringList& resourceIds)
    {
        auto* details = new TQSharingDetailsController;
        SharingPermissions::Items items;
        for (const QString& id : resourceIds)
            items.append(entry(id));
        details->setItems(items);
        return showList(details);
    }
    // The rows as "Me", "link", or the person's address.
    static QStringList rowNames(const TQSharingContactsController* list)
    {
        QStringList names;
        for (const auto& row : list->container())
            names << (row.isLink() ? QStringLiteral("link") : row.person->address());
        return names;
    }
    static int rowOf(const TQSharingContactsController* list, const QString& address)
    {
        for (int row = 0; row < list->rowCount(); ++row)
            if (const auto person = list->personAtRow(row); person && person->address() == address)
                return row;
        return -1;
    }
    static QWidget* controlOf(TQSharingContactsController* list, int row)
    {
        auto* cell = dynamic_cast<TQPermissionTableCell*>(list->tableViewDataCell(list->dynamicTable(), row));
        return list->dynamicTableViewViewForRow(list->dynamicTable(), row) ? cell->auxiliaryView() : nullptr;
    }
    static QString badgeOf(TQSharingContactsController* list, int row)
    {
        auto* cell = dynamic_cast<TQPermissionTableCell*>(list->tableViewDataCell(list->dynamicTable(), row));
        auto* badge = cell ? qobject_cast<CellButton*>(cell->auxiliaryView()) : nullptr;
        return badge && badge->objectName() == QLatin1String("ownerBadge") ? badge->title() : QString();
    }
    // The service lets anyone with the link in.
    bool hasLinkAccess(const QString& resourceId) const
    {
        for (const QJsonValue& each : serviceDocument(resourceId).value(QStringLiteral("acl")).toArray())
            if (each.toObject().value(QStringLiteral("scope")).toString() == QLatin1String("default"))
                return true;
        return false;
    }
    bool waitForRole(const QString& resourceId, const QString& address, const QString& role)
    {
        return test::waitUntil([&] { return serviceRole(resourceId, address) == role; }, 20000);
    }

    QList<QPointer<QWidget>> m_shown;
};

TEST_F(SharingListsTest, PeopleListShowsOwnerLinkAndRolesInOrderWithTheLinkRowClamped)
{
    struct Case
    {
        const char* document;
        QStringList rows;
        int privacy;
    };
    const Case cases[] = {
        {"document:alpha", {"demo@tavrel.test", "ann@tavrel.test", "eve@example.org"}, 0},
        {"document:linked", {"demo@tavrel.test", "link", "ann@tavrel.test"}, 1},
        {"document:gamma", {"demo@tavrel.test"}, 0},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.document);
        TQSharingContactsController* list = peopleOf(QLatin1String(each.document));
        EXPECT_EQ(rowNames(list), each.rows);
        EXPECT_EQ(list->privacyIndex(), each.privacy);
        EXPECT_EQ(badgeOf(list, 0), StringTable::text(QStringLiteral("OWNER")));
        EXPECT_FALSE(dynamic_cast<TQPermissionTableCell*>(list->tableViewDataCell(list->dynamicTable(), 0))
                         ->deletable());
        // The settings are offered to the owner only.
        EXPECT_FALSE(list->settingsButton()->isHidden());
    }

    // Roles: the editor's switch on writer, the viewer's on reader, the link's on the link's role.
    TQSharingContactsController* alpha = peopleOf(QStringLiteral("document:alpha"));
    auto* ann =
        qobject_cast<TQSwitchButton*>(controlOf(alpha, rowOf(alpha, QStringLiteral("ann@tavrel.test"))));
    auto* eve =
        qobject_cast<TQSwitchButton*>(controlOf(alpha, rowOf(alpha, QStringLiteral("eve@example.org"))));
    ASSERT_TRUE(ann && eve);
    EXPECT_EQ(ann->state(), SharingPermissions::Writer);
    EXPECT_EQ(eve->state(), SharingPermissions::Reader);
    TQSharingContactsController* linked = peopleOf(QStringLiteral("document:linked"));
    ASSERT_TRUE(linked->isLinkRow(1));
    ASSERT_NE(entry(QStringLiteral("document:linked"))->generalACL(), nullptr);
    EXPECT_EQ(entry(QStringLiteral("document:linked"))->generalACL()->role(), QStringLiteral("reader"));
    EXPECT_NE(dynamic_cast<TQLinkPermissionTableCell*>(linked->tableViewDataCell(linked->dynamicTable(), 1)),
              nullptr);
    EXPECT_EQ(qobject_cast<TQSwitchButton*>(controlOf(linked, 1))->state(), SharingPermissions::Reader);

    // A shared item whose list would otherwise be empty gets its link row at the only place there is.
    auto* bare = new OpenList;
    bare->setItem(entry(QStringLiteral("document:linked")));
    showList(bare);
    bare->setContainer({});
    EXPECT_TRUE(bare->insertLinkRow());
    EXPECT_EQ(rowNames(bare), QStringList{QStringLiteral("link")});

    // Someone else's item: the settings are not offered and the owner is Bob.
    TQSharingContactsController* readonly = peopleOf(QStringLiteral("document:readonly"));
    EXPECT_TRUE(readonly->settingsButton()->isHidden());
    EXPECT_EQ(rowNames(readonly),
              (QStringList{QStringLiteral("bob@example.org"), QStringLiteral("demo@tavrel.test")}));
}

TEST_F(SharingListsTest, PersonRoleChangesReachTheServiceAndARefusalReachesTheBannerAndGoesBack)
{
    TQSharingContactsController* alpha = peopleOf(QStringLiteral("document:alpha"));
    alpha->setRoleOfRow(rowOf(alpha, QStringLiteral("eve@example.org")), SharingPermissions::Writer);
    EXPECT_TRUE(waitForRole(QStringLiteral("document:alpha"), QStringLiteral("eve@example.org"),
                            QStringLiteral("writer")));

    // The user only views Bob's document: the service refuses, the banner hears it, and the switch
    // shows the stored role again.
    TQSharingContactsController* readonly = peopleOf(QStringLiteral("document:readonly"));
    const int me = rowOf(readonly, QStringLiteral("demo@tavrel.test"));
    auto* role = qobject_cast<TQSwitchButton*>(controlOf(readonly, me));
    ASSERT_NE(role, nullptr);
    ASSERT_EQ(role->state(), SharingPermissions::Reader) << rowNames(readonly).join(u',').toStdString();
    // What the switch sends when moved to writer.
    role->setCellState(SharingPermissions::Writer);
    readonly->togglePermission(role);
    ASSERT_TRUE(waitForError());
    EXPECT_EQ(serviceRole(QStringLiteral("document:readonly"), QStringLiteral("demo@tavrel.test")),
              QStringLiteral("reader"));
    auto* shown = qobject_cast<TQSwitchButton*>(
        controlOf(readonly, rowOf(readonly, QStringLiteral("demo@tavrel.test"))));
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->state(), SharingPermissions::Reader);
}

TEST_F(SharingListsTest, PrivacyChoicesFollowThePermissionRuleAndMoveTheLinkRowAtOnce)
{
    test::RecordedNotifications notifications;
    ASSERT_TRUE(notifications.active());
    // What an earlier test copied is not taken for the answer.
    Clipboard::clear();
    TQSharingContactsController* gamma = peopleOf(QStringLiteral("document:gamma"));
    gamma->privacySettings()->selectItemAtIndex(1);
    gamma->changePrivacySettings(gamma->privacySettings());
    // At once: the link row after the owner.
    EXPECT_EQ(rowNames(gamma).size(), 2);
    EXPECT_TRUE(gamma->isLinkRow(1));
    ASSERT_TRUE(test::waitUntil([&] { return hasLinkAccess(QStringLiteral("document:gamma")); }, 20000));
    // The answer copies the new link and says so once.
    const QString link = entry(QStringLiteral("document:gamma"))->alternateLink();
    ASSERT_TRUE(test::waitUntil([&] { return Clipboard::urls() == QList<QUrl>{QUrl(link)}; }, 10000));
    QList<test::Shown> shown;
    ASSERT_TRUE(test::waitUntil(
        [&] {
            shown += notifications.takeAll();
            return !shown.isEmpty();
        },
        10000));
    EXPECT_EQ(shown.size(), 1);

    // Removing the link row is choosing private.
    TQSharingContactsController* linked = peopleOf(QStringLiteral("document:linked"));
    ASSERT_TRUE(linked->isLinkRow(1));
    linked->deleteRow(1);
    EXPECT_FALSE(linked->isLinkRow(1));
    ASSERT_TRUE(test::waitUntil([&] { return !hasLinkAccess(QStringLiteral("document:linked")); }, 20000));

    // Someone who only views may not: the banner, nothing sent, the pop-up back on the stored access.
    TQSharingContactsController* readonly = peopleOf(QStringLiteral("document:readonly"));
    ActionRequests::Recorder recorder;
    readonly->privacySettings()->selectItemAtIndex(2);
    readonly->changePrivacySettings(readonly->privacySettings());
    EXPECT_EQ(readonly->privacyIndex(), 0);
    EXPECT_TRUE(recorder.requests.isEmpty());
}

TEST_F(SharingListsTest, RemovingAPersonReachesTheService)
{
    TQSharingContactsController* beta = peopleOf(QStringLiteral("document:beta"));
    beta->deleteRow(rowOf(beta, QStringLiteral("ann@tavrel.test")));
    EXPECT_TRUE(waitForRole(QStringLiteral("document:beta"), QStringLiteral("ann@tavrel.test"), QString()));
    // The rows follow the store once the person has left.
    EXPECT_TRUE(test::waitUntil([&] { return rowOf(beta, QStringLiteral("ann@tavrel.test")) < 0; }, 10000));
}

TEST_F(SharingListsTest, VCardExportStaysInTheChosenFolderAndReplacesNothing)
{
    QTemporaryDir parent;
    ASSERT_TRUE(parent.isValid());
    const QString folder = QDir(parent.path()).filePath(QStringLiteral("cards"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto person = [this](const QString& address, const QString& name) {
        auto mail = Mail::mailEntityWithAddress(address, true, m_account.master());
        mail->setLabel(name);
        mail->updateDisplayName();
        return mail;
    };
    // A file already there keeps its content.
    QFile existing(QDir(folder).filePath(QStringLiteral("Ann Lee.vcf")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();

    const QString slash = TQSharingContactsController::exportvCardToFolder(
        person(QStringLiteral("s@x.test"), QStringLiteral("a/b")), folder);
    const QString dots = TQSharingContactsController::exportvCardToFolder(
        person(QStringLiteral("d@x.test"), QStringLiteral("../x")), folder);
    const QString first = TQSharingContactsController::exportvCardToFolder(
        person(QStringLiteral("ann1@x.test"), QStringLiteral("Ann Lee")), folder);
    const QString second = TQSharingContactsController::exportvCardToFolder(
        person(QStringLiteral("ann2@x.test"), QStringLiteral("Ann Lee")), folder);
    const QString unnamed = TQSharingContactsController::exportvCardToFolder(
        person(QStringLiteral("nobody@x.test"), QString()), folder);
    for (const QString& written : {slash, dots, first, second, unnamed}) {
        SCOPED_TRACE(written.toStdString());
        ASSERT_FALSE(written.isEmpty());
        EXPECT_EQ(QFileInfo(written).absolutePath(), QDir(folder).absolutePath());
        EXPECT_TRUE(written.endsWith(QLatin1String(".vcf")));
    }
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("Ann Lee (1).vcf"));
    EXPECT_EQ(QFileInfo(second).fileName(), QStringLiteral("Ann Lee (2).vcf"));
    EXPECT_EQ(QFileInfo(unnamed).fileName(), QStringLiteral("nobody@x.test.vcf"));
    EXPECT_FALSE(QFileInfo(dots).fileName().startsWith(QLatin1Char('.')));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("keep"));
    // Nothing beside the folder.
    EXPECT_EQ(QDir(parent.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("cards")});
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 6);
}

TEST_F(SharingListsTest, DetailViewListShowsRoleIconsAndTheLinkRowAfterTheOwner)
{
    auto* list = new TQSharingContactsController3;
    list->setItem(entry(QStringLiteral("document:linked")));
    showList(list);
    EXPECT_EQ(rowNames(list), (QStringList{QStringLiteral("demo@tavrel.test"), QStringLiteral("link"),
                                           QStringLiteral("ann@tavrel.test")}));
    const auto roleOf = [list](int row) {
        auto* cell =
            dynamic_cast<TQPermissionTableCell2*>(list->tableViewDataCell(list->dynamicTable(), row));
        EXPECT_NE(cell, nullptr);
        return cell ? cell : nullptr;
    };
    auto* owner = roleOf(0);
    auto* link = roleOf(1);
    auto* ann = roleOf(2);
    ASSERT_TRUE(owner && link && ann);
    EXPECT_NE(dynamic_cast<TQLinkPermissionTableCell2*>(link), nullptr);
    EXPECT_FALSE(owner->deletable());
    EXPECT_TRUE(ann->deletable());
    const auto code = [](TQPermissionTableCell2* cell) {
        auto* button = dynamic_cast<TQHoverdAdaptorButtonCell*>(cell->actionCells().value(0).get());
        return button ? button->tooltip() : QString();
    };
    EXPECT_EQ(code(owner),
              StringTable::text(SharingPermissions::tooltipKeyForRoleCode(SharingPermissions::Owner)));
    EXPECT_EQ(code(link),
              StringTable::text(SharingPermissions::tooltipKeyForRoleCode(SharingPermissions::Reader)));
    EXPECT_EQ(code(ann),
              StringTable::text(SharingPermissions::tooltipKeyForRoleCode(SharingPermissions::Reader)));
    // No switch over the rows: roles change only through the popover.
    EXPECT_EQ(list->dynamicTableViewViewForRow(list->dynamicTable(), 2), nullptr);
}

TEST_F(SharingListsTest, SharingDetailsMergesPeopleWithBadgesVariesAndChangesAllDocuments)
{
    // Two owners: each is one of several.
    TQSharingDetailsController* mixedOwners =
        detailsOf({QStringLiteral("document:alpha"), QStringLiteral("document:bobs")});
    EXPECT_EQ(badgeOf(mixedOwners, rowOf(mixedOwners, QStringLiteral("demo@tavrel.test"))),
              StringTable::text(QStringLiteral("VARIES")));
    EXPECT_EQ(badgeOf(mixedOwners, rowOf(mixedOwners, QStringLiteral("bob@example.org"))),
              StringTable::text(QStringLiteral("VARIES")));

    TQSharingDetailsController* details =
        detailsOf({QStringLiteral("document:alpha"), QStringLiteral("document:beta")});
    EXPECT_EQ(rowNames(details),
              (QStringList{QStringLiteral("demo@tavrel.test"), QStringLiteral("ann@tavrel.test"),
                           QStringLiteral("eve@example.org")}));
    EXPECT_EQ(badgeOf(details, 0), StringTable::text(QStringLiteral("OWNER")));
    EXPECT_EQ(details->privacyIndex(), 0);
    // Ann edits one and views the other: "Varies"; choosing "Can edit" sends one request for both.
    const int ann = rowOf(details, QStringLiteral("ann@tavrel.test"));
    controlOf(details, ann);
    BasicPopUpButton* pulldown = details->roleControlOfRow(ann);
    ASSERT_NE(pulldown, nullptr);
    EXPECT_EQ(pulldown->menu()->actions().constFirst()->text(), StringTable::text(QStringLiteral("Varies")));
    {
        ActionRequests::Recorder recorder;
        pulldown->menu()->actions().at(2)->trigger();
        ASSERT_EQ(recorder.requestsOf(QStringLiteral("SetPermissions")).size(), 1);
        const ActionRequests::Request sent =
            recorder.requestsOf(QStringLiteral("SetPermissions")).constFirst();
        EXPECT_EQ(sent.parameters.value(QStringLiteral("documentEntities")).toList().size(), 2);
        EXPECT_NE(sent.callback, nullptr);
    }
    details->setRoleOfRow(ann, SharingPermissions::Writer);
    EXPECT_TRUE(waitForRole(QStringLiteral("document:alpha"), QStringLiteral("ann@tavrel.test"),
                            QStringLiteral("writer")));
    EXPECT_TRUE(waitForRole(QStringLiteral("document:beta"), QStringLiteral("ann@tavrel.test"),
                            QStringLiteral("writer")));

    // One private, one with a link: the pop-up says "Varies" and the link row comes first.
    TQSharingDetailsController* privacy =
        detailsOf({QStringLiteral("document:alpha"), QStringLiteral("document:linked")});
    EXPECT_TRUE(privacy->privacyVaries());
    EXPECT_EQ(privacy->privacyIndex(), 1);
    EXPECT_TRUE(privacy->isLinkRow(0));
    EXPECT_EQ(dynamic_cast<TQPopUpButtonCell*>(privacy->privacySettings()->popUpCell())->fixedTitle(),
              StringTable::text(QStringLiteral("Varies")));
}

TEST_F(SharingListsTest, SharingDetailsAppliesThePermissionRuleToThePrivacyPopUp)
{
    // The user may change neither: the banner, nothing sent.
    TQSharingDetailsController* theirs =
        detailsOf({QStringLiteral("document:readonly"), QStringLiteral("document:bobs")});
    {
        ActionRequests::Recorder recorder;
        theirs->privacySettings()->selectItemAtIndex(1);
        theirs->changePrivacySettings(theirs->privacySettings());
        EXPECT_TRUE(recorder.requests.isEmpty());
    }
    EXPECT_EQ(theirs->privacyIndex(), 0);

    // Mine and theirs: only mine goes, in one request; removing the link row makes it private again.
    TQSharingDetailsController* mixed =
        detailsOf({QStringLiteral("document:gamma"), QStringLiteral("document:bobs")});
    {
        ActionRequests::Recorder recorder;
        mixed->privacySettings()->selectItemAtIndex(1);
        mixed->changePrivacySettings(mixed->privacySettings());
        const auto sent = recorder.requestsOf(QStringLiteral("SetGeneralACLPermissions"));
        ASSERT_EQ(sent.size(), 1);
        EXPECT_EQ(sent.constFirst().parameters.value(QStringLiteral("documentEntities")).toList().size(), 1);
        EXPECT_TRUE(sent.constFirst().parameters.contains(QStringLiteral("generalACLPermission")));
        EXPECT_TRUE(mixed->isLinkRow(0));
        mixed->deleteRow(0);
        const auto cleared = recorder.requestsOf(QStringLiteral("SetGeneralACLPermissions"));
        ASSERT_EQ(cleared.size(), 2);
        EXPECT_FALSE(cleared.constLast().parameters.contains(QStringLiteral("generalACLPermission")));
        EXPECT_FALSE(mixed->isLinkRow(0));
    }
}

TEST_F(SharingListsTest, ShareDialogListsPeopleOnceOrderedWithTheirRoleOverAllDocuments)
{
    SharingPermissions::Items items{entry(QStringLiteral("document:alpha")),
                                    entry(QStringLiteral("document:beta"))};
    auto* dialog = new TQShareController(items);
    QPointer<QWidget> window = show(dialog);
    QStringList order;
    for (const auto& row : dialog->rows())
        order << row.person->address();
    // The owner of the last document first, then by name: "Ann Lee" before Eve's address.
    EXPECT_EQ(order, (QStringList{QStringLiteral("demo@tavrel.test"), QStringLiteral("ann@tavrel.test"),
                                  QStringLiteral("eve@example.org")}));
    EXPECT_EQ(dialog->rows().at(0).owningTitle, StringTable::text(QStringLiteral("OWNER")));
    EXPECT_TRUE(dialog->rows().at(1).isPermissionsMixed());
    EXPECT_TRUE(dialog->rows().at(2).isPermissionsMixed());
    EXPECT_FALSE(dialog->privacySettings()->isEnabled());
    EXPECT_EQ(dialog->roleSwitchOfRow(0), nullptr);

    // Adding people offers every document of the dialog.
    dialog->addShares(nullptr);
    auto* shareWith = qobject_cast<TQShareWithController*>(dialog->pushedController());
    ASSERT_NE(shareWith, nullptr);
    EXPECT_EQ(shareWith->items().size(), 2);
    EXPECT_TRUE(shareWith->shareOnlyMode());
    dialog->goBack(nullptr);
    EXPECT_EQ(dialog->pushedController(), nullptr);
    EXPECT_FALSE(dialog->privacySettings()->isEnabled());

    // Ann becomes a writer of both in one request.
    dialog->setPermissionsOfRow(1, SharingPermissions::Writer);
    EXPECT_TRUE(waitForRole(QStringLiteral("document:alpha"), QStringLiteral("ann@tavrel.test"),
                            QStringLiteral("writer")));
    EXPECT_TRUE(waitForRole(QStringLiteral("document:beta"), QStringLiteral("ann@tavrel.test"),
                            QStringLiteral("writer")));
    // Eve leaves every document.
    dialog->deleteShareForRow(2);
    EXPECT_TRUE(waitForRole(QStringLiteral("document:alpha"), QStringLiteral("eve@example.org"), QString()));
    if (window)
        window->close();
}

TEST_F(SharingListsTest, ShareDialogWithSeveralOwnersMarksEachAndAReadOnlyViewNamesTheOwner)
{
    auto* dialog = new TQShareController(SharingPermissions::Items{entry(QStringLiteral("document:alpha")),
                                                                   entry(QStringLiteral("document:bobs"))});
    QPointer<QWidget> window = show(dialog);
    QStringList badges;
    for (const auto& row : dialog->rows())
        badges << row.owningTitle;
    // Bob owns the last document: his row comes first.
    EXPECT_EQ(dialog->rows().constFirst().person->address(), QStringLiteral("bob@example.org"));
    EXPECT_EQ(badges.count(StringTable::text(QStringLiteral("VARIES"))), 2);
    if (window)
        window->close();

    TQShareReadonlyController readonly;
    readonly.setItems({entry(QStringLiteral("document:readonly"))});
    readonly.view();
    EXPECT_EQ(readonly.ownerName(), QStringLiteral("bob@example.org"));
    EXPECT_FALSE(readonly.avatar().isNull());
    readonly.setItems({});
    EXPECT_TRUE(readonly.ownerName().isEmpty());
}

} // namespace
} // namespace tavrel
