#include "ContactsFixture.h"
#include "contacts/ContactSharedFilesSlot.h"
#include "contacts/ContactsClasses.h"
#include "contacts/TQAllContactsController.h"
#include "contacts/TQAlphaGroupedContactsController.h"
#include "contacts/TQContactFavoritesController.h"
#include "contacts/TQContactViewController.h"
#include "contacts/TQEditMailController.h"
#include "contacts/TQTopContactsViewController.h"
#include "model/Contact.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class ContactViewsTest : public test::ContactsFixture
{
protected:
    void SetUp() override
    {
        ContactsFixture::SetUp();
        ContactsClasses::registerClasses();
    }
    void TearDown() override
    {
        ContactsClasses::unregisterClasses();
        ContactsFixture::TearDown();
    }
    // The root view, shown, on the list at that index.
    std::unique_ptr<TQTopContactsViewController> makeRoot(int list)
    {
        auto root = std::make_unique<TQTopContactsViewController>();
        root->view()->resize(600, 600);
        if (list == 1)
            root->showSharingContacts(nullptr);
        root->viewDidInstall();
        EXPECT_TRUE(waitUntilBound(root->currentList()));
        rearrange(*root);
        return root;
    }
    static void rearrange(TQTopContactsViewController& root)
    {
        for (TQAllContactsController* list :
             {static_cast<TQAllContactsController*>(root.favoritesList()), root.allContactsList()})
            list->dataProvider()->rearrangeObjects();
    }
    static QStringList addressesShown(TQAllContactsController* list)
    {
        QStringList shown;
        for (int row = 0; row < list->contacts()->count(); ++row)
            if (auto mail = list->mailAtRow(row))
                shown.append(mail->address());
        return shown;
    }
};

TEST_F(ContactViewsTest, TheUserIsNeverListedButLookalikeAddressesAre)
{
    person(kUser, QString(), true);
    person(QStringLiteral("ME@Example.com"), QStringLiteral("Me Again"), true);
    person(QStringLiteral("me@example.com.evil.org"), QStringLiteral("Lookalike"), true);
    person(QStringLiteral("ann@x.org"), QStringLiteral("Ann"), true);
    person(QStringLiteral("gone@x.org"), QStringLiteral("Gone"), true)->setVisible(false);
    save();
    for (const int index : {0, 1}) {
        auto root = makeRoot(index);
        const QStringList shown = addressesShown(root->currentList());
        EXPECT_FALSE(shown.contains(kUser, Qt::CaseInsensitive)) << index;
        EXPECT_TRUE(shown.contains(QStringLiteral("me@example.com.evil.org"))) << index;
        EXPECT_TRUE(shown.contains(QStringLiteral("ann@x.org"))) << index;
        EXPECT_FALSE(shown.contains(QStringLiteral("gone@x.org"))) << index;
    }
}

TEST_F(ContactViewsTest, ASearchMatchesTypedTextLiterally)
{
    person(QStringLiteral("obrien@x.org"), QStringLiteral("Pat O'Brien"));
    person(QStringLiteral("obi@x.org"), QStringLiteral("Obi Wan"));
    person(QStringLiteral("quote@x.org"), QStringLiteral("Say \"hi\" 100%"));
    person(QStringLiteral("zoe@x.org"), QStringLiteral("Zoë"));
    save();
    auto root = makeRoot(1);
    struct Case
    {
        QString search;
        QStringList expected;
    };
    const Case cases[] = {
        {QStringLiteral("O'B"), {QStringLiteral("obrien@x.org")}},
        {QStringLiteral("' OR 1=1 OR '"), {}},
        {QStringLiteral("\") OR (TRUEPREDICATE"), {}},
        {QStringLiteral("\"hi\""), {QStringLiteral("quote@x.org")}},
        {QStringLiteral("100%"), {QStringLiteral("quote@x.org")}},
        {QStringLiteral("*"), {}},
        {QStringLiteral("zoe"), {QStringLiteral("zoe@x.org")}},
        {QStringLiteral("OBI@"), {QStringLiteral("obi@x.org")}},
    };
    for (const Case& c : cases) {
        root->searchField()->setText(c.search);
        root->currentList()->dataProvider()->rearrangeObjects();
        EXPECT_EQ(addressesShown(root->currentList()), c.expected) << c.search.toStdString();
    }
}

TEST_F(ContactViewsTest, TheSearchFollowsTheSwitchAndReselectingClearsIt)
{
    person(QStringLiteral("ann@x.org"), QStringLiteral("Ann"), true);
    person(QStringLiteral("bob@x.org"), QStringLiteral("Bob"), true);
    save();
    auto root = makeRoot(0);
    root->searchField()->setText(QStringLiteral("ann"));
    root->showSharingContacts(nullptr);
    EXPECT_EQ(root->currentList(), root->allContactsList());
    ASSERT_TRUE(waitUntilBound(root->currentList()));
    EXPECT_EQ(root->currentList()->searchString(), QStringLiteral("ann"));
    root->currentList()->dataProvider()->rearrangeObjects();
    EXPECT_EQ(addressesShown(root->currentList()), QStringList{QStringLiteral("ann@x.org")});

    // The favourites' "all contacts" request switches too.
    root->showPreview(nullptr);
    EXPECT_EQ(root->currentList(), root->favoritesList());
    root->favoritesList()->showAllContacts(nullptr);
    EXPECT_EQ(root->currentList(), root->allContactsList());

    root->reactivate();
    EXPECT_TRUE(root->currentList()->searchString().isEmpty());
    EXPECT_TRUE(root->searchField()->text().isEmpty());
    root->currentList()->dataProvider()->rearrangeObjects();
    root->currentList()->reactivate();
    ASSERT_FALSE(root->currentList()->selectedMails().isEmpty());
    EXPECT_EQ(root->currentList()->selectedMails().first()->address(), QStringLiteral("ann@x.org"));
}

TEST_F(ContactViewsTest, TheGroupsCommandIsHiddenAndTheSectionCommandsAreTitled)
{
    auto root = makeRoot(0);
    QAction organize, favourites, all;
    UserInterfaceItem::setCommand(&organize, Commands::organize);
    UserInterfaceItem::setCommand(&favourites, Commands::showPreview);
    UserInterfaceItem::setCommand(&all, Commands::showSharingContacts);
    EXPECT_FALSE(root->validateUserInterfaceItem(&organize));
    EXPECT_FALSE(organize.isVisible());
    EXPECT_TRUE(root->validateUserInterfaceItem(&favourites));
    EXPECT_EQ(favourites.text(), StringTable::text(QStringLiteral("Favorites")));
    EXPECT_TRUE(root->validateUserInterfaceItem(&all));
    EXPECT_EQ(all.text(), StringTable::text(QStringLiteral("AllContacts")));
    // Two lists, two buttons: nothing to switch to a third position.
    root->organize(nullptr);
    EXPECT_EQ(root->currentList(), root->favoritesList());
}

TEST_F(ContactViewsTest, ANewContactFromTheFavouritesIsStarred)
{
    for (const int index : {0, 1}) {
        m_requests->requests.clear();
        auto root = makeRoot(index);
        root->newContact(nullptr);
        TQEditMailController* editor = TQEditMailController::mailEditor();
        editor->setName(QStringLiteral("New Person"));
        editor->contactField()->setText(QStringLiteral("new.person@x.org"));
        editor->save(nullptr);
        const auto sent = m_requests->requestsOf(QStringLiteral("CreateMail"));
        ASSERT_EQ(sent.size(), 1) << index;
        EXPECT_EQ(sent.first().parameters.value(QStringLiteral("isFavorite")).toBool(), index == 0);
        EXPECT_EQ(sent.first().parameters.value(QStringLiteral("mailAddress")),
                  QStringLiteral("new.person@x.org"));
        EXPECT_EQ(sent.first().parameters.value(QStringLiteral("mailLabel")), QStringLiteral("New Person"));
    }
}

TEST_F(ContactViewsTest, TheEditorValidatesOneAddressAndKeepsTheSheetOpenUntilItIsRight)
{
    TQEditMailController editor;
    editor.setEmail(std::shared_ptr<Mail>());
    editor.window()->adjustSize();
    const int height = editor.window()->height();
    struct Case
    {
        const char* address;
        bool valid;
    };
    const Case cases[] = {{"ann@example.org", true},
                          {"Ann.Lee+work@Sub.Example.org", true},
                          {"ann@", false},
                          {"@example.org", false},
                          {"ann example.org", false},
                          {"a@b.c, d@e.f", false},
                          {"ann@exa mple.org", false},
                          {"", false}};
    for (const Case& c : cases) {
        editor.contactField()->setText(QString::fromUtf8(c.address));
        EXPECT_EQ(editor.validate(), c.valid) << c.address;
    }

    // A malformed address: the band shows, the sheet stays, nothing is sent.
    editor.setName(QStringLiteral("Ann"));
    editor.contactField()->setText(QStringLiteral("ann@"));
    editor.save(nullptr);
    EXPECT_TRUE(editor.isWarningShown());
    EXPECT_FALSE(editor.isValid());
    EXPECT_EQ(editor.window()->height(), height + TQEditMailController::kWarningHeight);
    EXPECT_TRUE(m_requests->requests.isEmpty());
    // Corrected: the band goes and the contact is created.
    editor.contactField()->setText(QStringLiteral("ann@example.org"));
    editor.save(nullptr);
    EXPECT_FALSE(editor.isWarningShown());
    EXPECT_EQ(editor.window()->height(), height);
    EXPECT_EQ(m_requests->requestsOf(QStringLiteral("CreateMail")).size(), 1);

    // Typing a second address adds nothing.
    editor.contactField()->setText(QStringLiteral("ann@example.org"));
    editor.contactField()->setFocus();
    editor.contactField()->end(false);
    QTest::keyClicks(editor.contactField(), QStringLiteral(", bob@example.org"));
    EXPECT_EQ(editor.tokens().size(), 1);
    EXPECT_TRUE(TQEditMailController::shouldAddTokens({QStringLiteral("a")}));
    EXPECT_FALSE(TQEditMailController::shouldAddTokens({QStringLiteral("a"), QStringLiteral("b")}));
}

TEST_F(ContactViewsTest, TheEditorUpdatesAVisibleAddressAndCreatesFromAHiddenOne)
{
    const auto shown = person(QStringLiteral("ann@x.org"), QStringLiteral("Ann"));
    const auto hidden = person(QStringLiteral("old@x.org"), QStringLiteral("Old"));
    hidden->setVisible(false);
    save();
    TQEditMailController editor;
    for (const auto& [mail, action] : {std::pair{shown, "UpdateMails"}, std::pair{hidden, "CreateMail"}}) {
        m_requests->requests.clear();
        editor.setEmail(mail);
        EXPECT_EQ(editor.title(), StringTable::text(QStringLiteral("EditContact")));
        editor.setName(QStringLiteral("Renamed"));
        editor.save(nullptr);
        ASSERT_EQ(m_requests->requests.size(), 1);
        EXPECT_EQ(m_requests->requests.first().action, QLatin1String(action));
        EXPECT_EQ(m_requests->requests.first().parameters.value(QStringLiteral("mailLabel")),
                  QStringLiteral("Renamed"));
    }
    editor.setEmail(std::shared_ptr<Mail>());
    EXPECT_EQ(editor.title(), StringTable::text(QStringLiteral("NewContact")));
}

TEST_F(ContactViewsTest, TheEditorsLookupsTakeTypedTextLiterally)
{
    person(QStringLiteral("obrien@x.org"), QStringLiteral("Pat O'Brien"))->setVisible(false);
    person(QStringLiteral("ann@x.org"), QStringLiteral("Ann"));
    person(kUser, QStringLiteral("Me"))->setVisible(false);
    save();
    TQEditMailController editor;
    editor.setEmail(std::shared_ptr<Mail>());
    // A new contact is made of a hidden address; the user is never offered.
    EXPECT_EQ(editor.completionsForSubstring(QStringLiteral("Pat O'")),
              QStringList{QStringLiteral("obrien@x.org")});
    EXPECT_TRUE(editor.completionsForSubstring(QStringLiteral("ann")).isEmpty());
    EXPECT_TRUE(editor.completionsForSubstring(QStringLiteral("me")).isEmpty());
    EXPECT_TRUE(editor.completionsForSubstring(QStringLiteral("' OR '1'='1")).isEmpty());
    EXPECT_EQ(editor.representedAddressForEditingString(QStringLiteral("Pat O'Brien <obrien@x.org>")),
              QStringLiteral("obrien@x.org"));
    EXPECT_EQ(editor.representedAddressForEditingString(QStringLiteral("pat o'")),
              QStringLiteral("obrien@x.org"));
    EXPECT_EQ(editor.representedAddressForEditingString(QStringLiteral("x' OR '1'='1")),
              QStringLiteral("x' OR '1'='1"));
}

TEST_F(ContactViewsTest, TheUsersOwnPageIsTitledMe)
{
    const auto me = person(kUser, QStringLiteral("Myself"));
    const auto second = moc()->insertNewObject<Mail>("Mail");
    second->setAddress(QStringLiteral("me@home.example.org"));
    second->setContact(me->contact());
    second->updateDisplayName();
    const auto ann = person(QStringLiteral("ann@x.org"), QStringLiteral("Ann"));
    save();
    for (const auto& [mail, title] : {std::pair{me, StringTable::text(QStringLiteral("OnlyME"))},
                                      std::pair{second, StringTable::text(QStringLiteral("OnlyME"))},
                                      std::pair{ann, QStringLiteral("Ann")}}) {
        TQContactViewController page;
        page.setEmail(mail);
        EXPECT_EQ(page.title(), title) << mail->address().toStdString();
        page.view();
        auto* name = page.itemView()->findChild<QLabel*>(QStringLiteral("nameLabel"));
        ASSERT_TRUE(name);
        EXPECT_EQ(name->text(), title);
    }
}

TEST_F(ContactViewsTest, APersonsAddressesAreSortedAndFollowAnEditElsewhere)
{
    const auto zed = person(QStringLiteral("zed@x.org"), QStringLiteral("Zed"));
    for (const char* address : {"b@x.org", "A@x.org"}) {
        auto other = moc()->insertNewObject<Mail>("Mail");
        other->setAddress(QLatin1String(address));
        other->setContact(zed->contact());
    }
    save();
    TQContactViewController page;
    page.setEmail(zed);
    EXPECT_EQ(page.itemEmails(), QStringLiteral("A@x.org, b@x.org, zed@x.org"));
    page.view()->resize(500, 400);
    page.viewDidInstall();
    zed->contact()->setName(QStringLiteral("Zed Renamed"));
    zed->updateDisplayName();
    save();
    NotificationCenter::defaultCenter().post(TQViewController::kRefreshIfInstalledNotification, QVariant());
    EXPECT_EQ(page.itemView()->findChild<QLabel*>(QStringLiteral("nameLabel"))->text(),
              QStringLiteral("Zed Renamed"));
    // Switching the alternate header back and forth leaves one header content in place.
    for (const bool alternate : {true, false, true, false}) {
        page.setShouldUseAlternateHeader(alternate);
        QWidget* header = page.view()->findChild<QWidget*>(QStringLiteral("header"));
        int shown = 0;
        for (QWidget* content : {page.itemView(), page.itemAlternateView()})
            shown += content->parentWidget() == header && !content->isHidden() ? 1 : 0;
        EXPECT_EQ(shown, 1);
        EXPECT_EQ((alternate ? page.itemAlternateView() : page.itemView())->parentWidget(), header);
    }
}

TEST_F(ContactViewsTest, ThePageListsTheDocumentsSharedWithThePersonInItsSlot)
{
    const auto me = person(kUser);
    const auto ann = person(QStringLiteral("ann@x.org"), QStringLiteral("Ann"));
    const auto annUpper = person(QStringLiteral("ANN@x.org.evil"), QStringLiteral("Not Ann"));
    const auto bob = person(QStringLiteral("bob@x.org"), QStringLiteral("Bob"));
    document(QStringLiteral("Shared with Ann"), me, {ann});
    document(QStringLiteral("Ann's own"), ann, {me});
    document(QStringLiteral("Only Bob"), me, {bob});
    document(QStringLiteral("Lookalike"), me, {annUpper});
    save();
    // Without a list of its own registered, the page's slot lists the documents.
    ViewClasses::unregisterClass(QStringLiteral("TQContactSharedFilesController3"));
    ViewClasses::unregisterClass(QStringLiteral("TQSharedFilesController"));
    ASSERT_FALSE(ViewClasses::hasClass(QStringLiteral("TQContactSharedFilesController3")));
    TQContactViewController page;
    page.setEmail(ann);
    page.view()->resize(500, 400);
    page.viewDidInstall();
    auto* slot = qobject_cast<ContactSharedFilesSlot*>(page.sharedFilesController());
    ASSERT_TRUE(slot);
    EXPECT_FALSE(page.hasSharedFilesList());
    slot->dataProvider()->rearrangeObjects();
    QStringList titles = slot->titles();
    titles.sort();
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Ann's own"), QStringLiteral("Shared with Ann")}));
}

} // namespace
} // namespace tavrel
