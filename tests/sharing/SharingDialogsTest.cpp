#include "SharingDialogsFixture.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTableView.h"
#include "documents/TQAllItemsController.h"
#include "lists/ListModel.h"
#include "model/TQACLEntry.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/Timing.h"
#include "platform/system/Settings.h"
#include "platform/ui/Alert.h"
#include "platform/ui/StringTable.h"
#include "sharing/TQChangeOwnerController.h"
#include "sharing/TQShareWithController.h"
#include "sharing/TQSharingSettingsController.h"
#include "sharing/TokenField.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"
#include "window/ActionRequests.h"
#include "window/TQNotificationController.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class SharingDialogsTest : public test::SharingDialogsFixture
{
protected:
    static void type(TokenField* field, const QString& text)
    {
        QTest::keyClicks(field->editor(), text);
        QTest::keyClick(field->editor(), Qt::Key_Return);
        // A chosen completion becomes a token once the completer has let go.
        QCoreApplication::processEvents();
    }
    static QMessageBox* sheet(QWidget* window)
    {
        for (QMessageBox* box : window->findChildren<QMessageBox*>())
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
    TQShareWithController* shareWith(const QStringList& resourceIds)
    {
        auto* dialog = new TQShareWithController;
        if (resourceIds.size() == 1) {
            dialog->setItem(entry(resourceIds.first()));
        } else {
            SharingPermissions::Items items;
            for (const QString& id : resourceIds)
                items.append(entry(id));
            dialog->setItems(items);
        }
        return dialog;
    }
};

TEST_F(SharingDialogsTest, ShareWithSharesATypedAddressWithTheChosenRole)
{
    TQShareWithController* dialog = shareWith({QStringLiteral("document:gamma")});
    QPointer<QWidget> window = show(dialog);
    EXPECT_FALSE(dialog->shareButton()->isEnabled());
    type(dialog->contacts(), QStringLiteral("new+person@my-company.com"));
    ASSERT_EQ(dialog->contacts()->tokens().size(), 1);
    EXPECT_EQ(dialog->contacts()->tokens().first().kind, ShareToken::Address);
    EXPECT_TRUE(dialog->shareButton()->isEnabled());
    dialog->role()->setCellState(SharingPermissions::Reader);
    QTest::mouseClick(dialog->shareButton(), Qt::LeftButton);

    EXPECT_TRUE(test::waitUntil([&] { return !window; }, 5000)) << "the dialog closes once it has shared";
    EXPECT_TRUE(test::waitUntil(
        [&] {
            return serviceRole(QStringLiteral("document:gamma"),
                               QStringLiteral("new+person@my-company.com")) == QLatin1String("reader");
        },
        20000));
    EXPECT_TRUE(m_banner.errors.isEmpty());
}

TEST_F(SharingDialogsTest, ShareWithGivesSeveralDocumentsToAStoredPersonInOneRequest)
{
    TQShareWithController* dialog =
        shareWith({QStringLiteral("document:alpha"), QStringLiteral("document:beta")});
    show(dialog);
    // Several documents offer the two roles only.
    EXPECT_EQ(dialog->role(), dialog->regularRole());
    type(dialog->contacts(), QStringLiteral("Ann Lee <ann@tavrel.test>"));
    ASSERT_EQ(dialog->contacts()->tokens().size(), 1);
    EXPECT_EQ(dialog->contacts()->tokens().first().kind, ShareToken::Person);
    {
        ActionRequests::Recorder requests;
        dialog->share(nullptr);
        ASSERT_EQ(requests.requests.size(), 1);
        const ActionRequests::Request& sent = requests.requests.first();
        EXPECT_EQ(sent.action, QStringLiteral("SetPermissions"));
        EXPECT_EQ(sent.parameters.value(QStringLiteral("documentEntities")).toList().size(), 2);
        const QVariantList entries = sent.parameters.value(QStringLiteral("ACLEntries")).toList();
        ASSERT_EQ(entries.size(), 1);
        const TQACLEntry person = entries.first().value<TQACLEntry>();
        EXPECT_EQ(person.role(), 2);
        EXPECT_EQ(person.value(), QStringLiteral("ann@tavrel.test"));
        EXPECT_EQ(person.displayName(), QStringLiteral("Ann Lee"));
        EXPECT_TRUE(sent.parameters.value(QStringLiteral("statusID"))
                        .toString()
                        .startsWith(QLatin1String("setpermission_")));
        ASSERT_TRUE(sent.callback) << "failures must reach the banner";
        // The request as the pipeline runs it.
        m_account.documents()->executeAction(sent.action, sent.callback, sent.parameters);
    }
    EXPECT_TRUE(test::waitUntil(
        [&] {
            return serviceRole(QStringLiteral("document:beta"), QStringLiteral("ann@tavrel.test")) ==
                   QLatin1String("writer");
        },
        20000));
    EXPECT_EQ(serviceRole(QStringLiteral("document:alpha"), QStringLiteral("ann@tavrel.test")),
              QStringLiteral("writer"));
}

TEST_F(SharingDialogsTest, ShareWithKeepsTextThatNamesNobodyAndSendsNothing)
{
    TQShareWithController* dialog = shareWith({QStringLiteral("document:gamma")});
    QPointer<QWidget> window = show(dialog);
    type(dialog->contacts(), QStringLiteral("bob at work"));
    type(dialog->contacts(), QStringLiteral("ann@tavrel.test"));
    ASSERT_EQ(dialog->contacts()->tokens().size(), 2);
    EXPECT_FALSE(dialog->contacts()->tokenLabels().first()->property("isPerson").toBool());
    QTest::mouseClick(dialog->shareButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window && window->isVisible()) << "the dialog stays open";
    EXPECT_TRUE(dialog->problemLabel()->isVisible());
    EXPECT_EQ(dialog->contacts()->tokens().size(), 2) << "nothing typed is lost";
    EXPECT_TRUE(changingRequests().isEmpty());

    // Closing with people entered asks first; "Cancel" keeps the dialog.
    static_cast<TQFloatingWindow*>(window.data())->performClose(nullptr);
    QMessageBox* box = sheet(window);
    ASSERT_TRUE(box);
    press(box, "Cancel");
    EXPECT_TRUE(window && window->isVisible());
}

TEST_F(SharingDialogsTest, ARefusedShareReachesTheBanner)
{
    // The user only views "readonly": the service refuses.
    TQShareWithController* dialog = shareWith({QStringLiteral("document:readonly")});
    show(dialog);
    type(dialog->contacts(), QStringLiteral("zoe@tavrel.test"));
    dialog->share(nullptr);
    ASSERT_TRUE(waitForError());
    EXPECT_FALSE(m_banner.errors.first().isNull());
    EXPECT_TRUE(
        serviceRole(QStringLiteral("document:readonly"), QStringLiteral("zoe@tavrel.test")).isEmpty());
}

TEST_F(SharingDialogsTest, ShareOnlyModeEmptiesTheFieldForTheNextPeople)
{
    TQShareWithController* dialog = shareWith({QStringLiteral("document:gamma")});
    dialog->setShareOnlyMode(true);
    QPointer<QWidget> window = show(dialog);
    EXPECT_FALSE(dialog->cancelButton()->isVisible());
    EXPECT_TRUE(entry(QStringLiteral("document:gamma"))->hasCommenterSupport());
    EXPECT_EQ(dialog->role(), dialog->commenterRole()) << "a single document with commenters";
    type(dialog->contacts(), QStringLiteral("carl@tavrel.test"));
    dialog->role()->setCellState(SharingPermissions::Commenter);
    dialog->share(nullptr);
    EXPECT_TRUE(dialog->contacts()->tokens().isEmpty());
    EXPECT_TRUE(window && window->isVisible());
    EXPECT_TRUE(test::waitUntil(
        [&] {
            return serviceRole(QStringLiteral("document:gamma"), QStringLiteral("carl@tavrel.test")) ==
                   QLatin1String("commenter");
        },
        20000));
}

TEST_F(SharingDialogsTest, ChangeOwnerInTheUsersDomainIsSetAtOnce)
{
    auto* dialog = new TQChangeOwnerController;
    dialog->setItem(entry(QStringLiteral("document:alpha")));
    QPointer<QWidget> window = show(dialog);
    EXPECT_FALSE(dialog->changeButton()->isEnabled());
    type(dialog->contactField(), QStringLiteral("ann@tavrel.test (Ann Lee)"));
    EXPECT_TRUE(dialog->changeButton()->isEnabled());
    QTest::mouseClick(dialog->changeButton(), Qt::LeftButton);
    EXPECT_TRUE(test::waitUntil([&] { return !window; }, 5000));
    EXPECT_TRUE(test::waitUntil(
        [&] {
            return serviceRole(QStringLiteral("document:alpha"), QStringLiteral("ann@tavrel.test")) ==
                   QLatin1String("owner");
        },
        20000));
}

TEST_F(SharingDialogsTest, ChangeOwnerWarnsAcrossDomainsUntilTheWarningIsSuppressed)
{
    auto* dialog = new TQChangeOwnerController;
    dialog->setItem(entry(QStringLiteral("document:beta")));
    QPointer<QWidget> window = show(dialog);
    type(dialog->contactField(), QStringLiteral("eve@example.org"));
    dialog->changeOwner(nullptr);
    QMessageBox* box = sheet(window);
    ASSERT_TRUE(box) << "the warning";
    EXPECT_TRUE(box->text().contains(QStringLiteral("eve@example.org")));
    EXPECT_TRUE(changingRequests().isEmpty());
    ASSERT_TRUE(box->checkBox());
    box->checkBox()->setChecked(true);
    press(box, "OK");
    EXPECT_TRUE(Alert::isSuppressed(TQChangeOwnerController::kSuppressChangeOwnerAlertsKey));
    ASSERT_TRUE(window && window->isVisible());
    // The next press goes on without a warning.
    dialog->changeOwner(nullptr);
    EXPECT_TRUE(test::waitUntil(
        [&] {
            return serviceRole(QStringLiteral("document:beta"), QStringLiteral("eve@example.org")) ==
                   QLatin1String("owner");
        },
        20000));
}

TEST_F(SharingDialogsTest, ChangeOwnerNeedsOnePersonOrAddress)
{
    auto* dialog = new TQChangeOwnerController;
    dialog->setItems({entry(QStringLiteral("document:alpha")), entry(QStringLiteral("document:beta")),
                      entry(QStringLiteral("document:gamma"))});
    QPointer<QWidget> window = show(dialog);
    // Text that names nobody has no address: the button stays off and nothing goes.
    type(dialog->contactField(), QStringLiteral("the boss"));
    EXPECT_FALSE(dialog->changeButton()->isEnabled());
    ActionRequests::Recorder requests;
    dialog->changeOwner(nullptr);
    EXPECT_TRUE(requests.requests.isEmpty());
    // Two people: the many-owners sheet, and the dialog stays.
    dialog->contactField()->clear();
    type(dialog->contactField(), QStringLiteral("ann@tavrel.test"));
    type(dialog->contactField(), QStringLiteral("carl@tavrel.test"));
    dialog->changeOwner(nullptr);
    QMessageBox* box = sheet(window);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), StringTable::text(QStringLiteral("ManyOwnersAlertTitle")));
    press(box, "OK");
    EXPECT_TRUE(requests.requests.isEmpty());
    // One person: one request with all three documents and one owner entry.
    dialog->contactField()->clear();
    type(dialog->contactField(), QStringLiteral("ann@tavrel.test"));
    dialog->changeOwner(nullptr);
    ASSERT_EQ(requests.requests.size(), 1);
    const ActionRequests::Request& sent = requests.requests.first();
    EXPECT_EQ(sent.action, QStringLiteral("SetPermissions"));
    EXPECT_EQ(sent.parameters.value(QStringLiteral("documentEntities")).toList().size(), 3);
    const QVariantList entries = sent.parameters.value(QStringLiteral("ACLEntries")).toList();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries.first().value<TQACLEntry>().role(), 3);
    EXPECT_TRUE(sent.parameters.value(QStringLiteral("statusID"))
                    .toString()
                    .startsWith(QLatin1String("changeowner_")));
}

TEST_F(SharingDialogsTest, SharingSettingsWaitForAChoiceThenSendOneRequestPerItem)
{
    auto alpha = entry(QStringLiteral("document:alpha"));
    auto gamma = entry(QStringLiteral("document:gamma"));
    alpha->setWritersCanInvite(true);
    gamma->setWritersCanInvite(false);
    auto* settings = new TQSharingSettingsController;
    settings->setItems({alpha, gamma});
    QPointer<QWidget> window = show(settings);
    EXPECT_FALSE(settings->hasChoice()) << "the items disagree";
    EXPECT_FALSE(settings->saveButton()->isEnabled());
    settings->save(nullptr);
    EXPECT_TRUE(alpha->writersCanInvite()) << "nothing chosen writes nothing";
    settings->writersRow()->click();
    EXPECT_TRUE(settings->saveButton()->isEnabled());
    QTest::mouseClick(settings->saveButton(), Qt::LeftButton);
    EXPECT_TRUE(gamma->writersCanInvite()) << "written locally at once";
    EXPECT_TRUE(test::waitUntil([&] { return !window; }, 5000));
    EXPECT_FALSE(
        serviceDocument(QStringLiteral("document:gamma")).value(QStringLiteral("writersCanInvite")).toBool());
    EXPECT_TRUE(test::waitUntil(
        [&] {
            return serviceDocument(QStringLiteral("document:gamma"))
                       .value(QStringLiteral("writersCanInvite"))
                       .toBool() &&
                   serviceDocument(QStringLiteral("document:alpha"))
                       .value(QStringLiteral("writersCanInvite"))
                       .toBool();
        },
        20000));
    // One request per item.
    EXPECT_TRUE(test::waitUntil([&] { return changingRequests().size() == 2; }, 20000))
        << changingRequests().join(u'\n').toStdString();
}

TEST_F(SharingDialogsTest, SharingSettingsTellARefusalAndRestoreTheStoredValue)
{
    auto shared = entry(QStringLiteral("document:shared"));
    ASSERT_TRUE(shared->writersCanInvite());
    localservice::Fault refuse;
    refuse.kind = localservice::Fault::Status;
    refuse.pathPattern = QStringLiteral("shared");
    refuse.method = QStringLiteral("PUT");
    refuse.status = 403;
    refuse.count = 5;
    m_account.service.addFault(refuse);
    auto* settings = new TQSharingSettingsController;
    settings->setItems({shared});
    EXPECT_TRUE(settings->isWritersCanIvite());
    show(settings);
    settings->setIsWritersCanIvite(false);
    settings->save(nullptr);
    EXPECT_FALSE(shared->writersCanInvite());
    ASSERT_TRUE(waitForError());
    EXPECT_TRUE(test::waitUntil([&] { return shared->writersCanInvite(); }, 5000))
        << "the stored value is back";
}

TEST_F(SharingDialogsTest, ItemsThatAgreeOpenWithTheirSetting)
{
    auto alpha = entry(QStringLiteral("document:alpha"));
    auto beta = entry(QStringLiteral("document:beta"));
    alpha->setValueForKey(QStringLiteral("writersCanInvite"), QVariant());
    beta->setValueForKey(QStringLiteral("writersCanInvite"), QVariant());
    TQSharingSettingsController settings;
    settings.setItems({alpha, beta});
    EXPECT_TRUE(settings.ownerRow()->isChecked()) << "a missing value counts as no";
    alpha->setWritersCanInvite(true);
    beta->setWritersCanInvite(true);
    settings.setItems({alpha, beta});
    EXPECT_TRUE(settings.writersRow()->isChecked());
}

TEST_F(SharingDialogsTest, TheListsShareCommandOpensShareWithForWhatTheUserMayShare)
{
    TQAllItemsController list;
    auto* provider = new ListModel(m_account.master(), QStringLiteral("FileEntryAbstract"));
    provider->setSortDescriptors({SortDescriptor(QStringLiteral("title"))});
    list.setDataProvider(provider);
    list.view()->resize(600, 400);
    ASSERT_TRUE(test::showAndExpose(list.view()));
    list.viewDidInstall();
    ASSERT_TRUE(test::waitUntil([&] { return provider->count() == 5; }, 10000));
    const auto shareWithWindow = []() -> TQShareWithController* {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* floating = qobject_cast<TQFloatingWindow*>(top); floating && floating->isVisible())
                if (auto* dialog = qobject_cast<TQShareWithController*>(floating->delegate()))
                    return dialog;
        return nullptr;
    };
    const auto select = [&](const char* resourceId) {
        list.tableView()->selectRowIndexes({list.rowOfRecord(entry(QLatin1String(resourceId)))}, false);
    };

    // The user only views "readonly": the banner says why nothing opens.
    TQNotificationController::sharedNotificationController()->hideNotificationArea();
    select("document:readonly");
    list.share(nullptr);
    EXPECT_FALSE(shareWithWindow());
    EXPECT_TRUE(TQNotificationController::sharedNotificationController()->plainText().contains(
        StringTable::text(QStringLiteral("ShareDeniedMessage"))));

    // "shared" lets editors invite.
    select("document:shared");
    list.share(nullptr);
    TQShareWithController* dialog = shareWithWindow();
    ASSERT_TRUE(dialog);
    ASSERT_EQ(dialog->items().size(), 1);
    EXPECT_EQ(dialog->items().first()->resourceId(), QStringLiteral("document:shared"));
    dialog->window()->close();
}

} // namespace
} // namespace tavrel
