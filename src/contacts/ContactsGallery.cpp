// Gallery pages of the contact views over a small account of the gallery's own: the contacts list,
// the favourites, the root view searching, a person's page, the user's own page and the editor.

#include "accounts/TQAccount.h"
#include "contacts/TQAllContactsController.h"
#include "contacts/TQContactFavoritesController.h"
#include "contacts/TQContactViewController.h"
#include "contacts/TQEditMailController.h"
#include "contacts/TQTopContactsViewController.h"
#include "lists/ListModel.h"
#include "model/Contact.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "platform/runtime/Clock.h"
#include "platform/ui/GalleryRegistry.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>

namespace tavrel {

namespace {

const QString kUser = QStringLiteral("me@example.com");
const QSize kViewSize(560, 560);

std::shared_ptr<Mail> galleryPerson(TQMOCMaster* moc, const QString& address, const QString& name,
                                    bool favorite)
{
    auto record = moc->insertNewObject<Mail>("Mail");
    record->setAddress(address);
    record->setVisible(true);
    record->setFavorite(favorite);
    if (!name.isEmpty()) {
        auto contact = moc->insertNewObject<Contact>("Contact");
        contact->setName(name);
        record->setContact(contact);
    }
    record->updateDisplayName();
    return record;
}

// The gallery's address book, made once.
TQSession* gallerySession()
{
    static TQSession* session = [] {
        auto authentication = OAuth2Authentication::create(OAuth2Configuration());
        authentication->setUserEmail(kUser);
        auto* made = new TQSession(TQAccount::accountWithAuthToken(authentication));
        TQMOCMaster* moc = made->mocManager()->masterMOC();
        const auto me = galleryPerson(moc, kUser, QString(), false);
        const auto ann =
            galleryPerson(moc, QStringLiteral("ann.lee@example.org"), QStringLiteral("Ann Lee"), true);
        const auto omar =
            galleryPerson(moc, QStringLiteral("omar@example.org"), QStringLiteral("Omar Haddad"), true);
        const auto bea = galleryPerson(moc, QStringLiteral("bea.novak@example.net"),
                                       QStringLiteral("Beatrix Novak"), false);
        galleryPerson(moc, QStringLiteral("carlos@example.com"), QStringLiteral("Carlos Ruiz"), true);
        galleryPerson(moc, QStringLiteral("chen.wei@example.org"), QStringLiteral("Chen Wei"), false);
        galleryPerson(moc, QStringLiteral("dana@example.org"), QStringLiteral("Dana Whitfield"), false);
        galleryPerson(moc, QStringLiteral("zoe@example.net"), QStringLiteral("Zoë Adler"), false);
        // A second address of Ann's.
        auto annWork = moc->insertNewObject<Mail>("Mail");
        annWork->setAddress(QStringLiteral("ann@work.example.com"));
        annWork->setVisible(false);
        annWork->setContact(ann->contact());
        annWork->updateDisplayName();
        const QDateTime now = Clock::now();
        struct Document
        {
            const char* title;
            const char* resource;
            qint64 hoursAgo;
            QList<std::shared_ptr<Mail>> editors;
        };
        const Document documents[] = {
            {"Budget 2027", "spreadsheet:budget", 2, {ann, omar}},
            {"Team offsite agenda", "document:agenda", 30, {ann}},
            {"Launch plan", "presentation:launch", 80, {ann, bea}},
            {"Travel expenses", "spreadsheet:travel", 400, {omar}},
        };
        for (const Document& document : documents) {
            auto record = moc->insertNewObject<File>("File");
            record->setTitle(QString::fromUtf8(document.title));
            record->setFilename(record->title());
            record->setResourceId(QString::fromLatin1(document.resource));
            record->setUpdatedDate(now.addSecs(-document.hoursAgo * 3600));
            record->setOwner(me);
            record->setLastModifiedBy(me);
            record->setEditors(document.editors);
        }
        moc->ManagedObjectContext::save(nullptr);
        return made;
    }();
    return session;
}

// Keeps the gallery's session current while a page's widgets live.
class CurrentSessionGuard : public QObject
{
public:
    explicit CurrentSessionGuard(QObject* parent) : QObject(parent)
    {
        TQSessionManager::sharedManager()->setCurrentSession(gallerySession());
    }
    ~CurrentSessionGuard() override { TQSessionManager::sharedManager()->setCurrentSession(nullptr); }
};

void settle(TQViewController* controller)
{
    controller->viewDidInstall();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// The root view on the list at that index, with an optional search; the guard goes with it.
QWidget* rootView(int list, const QString& search = QString())
{
    auto* holder = new QWidget;
    new CurrentSessionGuard(holder);
    holder->resize(kViewSize);
    auto* root = new TQTopContactsViewController(holder);
    QWidget* view = root->view();
    view->setParent(holder);
    view->setGeometry(QRect(QPoint(0, 0), kViewSize));
    if (list == 1)
        root->showSharingContacts(nullptr);
    if (!search.isEmpty())
        root->searchField()->setText(search);
    settle(root);
    if (TQAllContactsController* current = root->currentList()) {
        // The first rows are read in the background.
        QElapsedTimer waited;
        waited.start();
        while (current->isFetching() && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        current->dataProvider()->rearrangeObjects();
        current->refresh();
    }
    return holder;
}

QList<GallerySample> contactsList()
{
    return {{QStringLiteral("All contacts, under their letters (the user is never listed)"), rootView(1)}};
}

// The favourites list with nobody starred: what it offers instead.
QWidget* emptyFavorites()
{
    auto* holder = new QWidget;
    new CurrentSessionGuard(holder);
    holder->resize(kViewSize);
    auto* list = new TQContactFavoritesController(holder);
    list->setFilter([] { return Predicate::falsePredicate(); });
    QWidget* view = list->view();
    view->setParent(holder);
    view->setGeometry(QRect(QPoint(0, 0), kViewSize));
    settle(list);
    QElapsedTimer waited;
    waited.start();
    while (list->isFetching() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    list->refresh();
    return holder;
}

QList<GallerySample> favorites()
{
    return {{QStringLiteral("Favourites, most shared documents first"), rootView(0)},
            {QStringLiteral("Nobody starred yet"), emptyFavorites()}};
}

QList<GallerySample> rootViews()
{
    return {{QStringLiteral("Searching \"an\" in all contacts"), rootView(1, QStringLiteral("an"))},
            {QStringLiteral("Nothing matches \"zebra\""), rootView(1, QStringLiteral("zebra"))}};
}

QWidget* contactPage(const QString& address)
{
    auto* holder = new QWidget;
    new CurrentSessionGuard(holder);
    holder->resize(kViewSize);
    auto* page = new TQContactViewController(holder);
    page->setEmail(Mail::mailEntityWithAddress(address, gallerySession()->mocManager()->masterMOC()));
    QWidget* view = page->view();
    view->setParent(holder);
    view->setGeometry(QRect(QPoint(0, 0), kViewSize));
    settle(page);
    return holder;
}

QList<GallerySample> contactPages()
{
    return {{QStringLiteral("Ann Lee's page: her addresses and the documents shared with her"),
             contactPage(QStringLiteral("ann.lee@example.org"))},
            {QStringLiteral("The user's own page"), contactPage(kUser)}};
}

QList<GallerySample> editor()
{
    // The editor reads the session only while it is made and saved here.
    TQSessionManager::sharedManager()->setCurrentSession(gallerySession());
    auto* fresh = new TQEditMailController;
    fresh->setEmail(std::shared_ptr<Mail>());
    fresh->window()->adjustSize();
    auto* edited = new TQEditMailController;
    edited->setEmail(Mail::mailEntityWithAddress(QStringLiteral("omar@example.org"),
                                                 gallerySession()->mocManager()->masterMOC()));
    edited->window()->adjustSize();
    auto* wrong = new TQEditMailController;
    wrong->setEmail(std::shared_ptr<Mail>());
    wrong->window()->adjustSize();
    wrong->setName(QStringLiteral("Ines Duarte"));
    wrong->contactField()->setText(QStringLiteral("ines.duarte@"));
    wrong->save(nullptr);
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    return {{QStringLiteral("A new contact"), fresh->window(), true},
            {QStringLiteral("Editing Omar Haddad"), edited->window(), true},
            {QStringLiteral("Saving a malformed address shows the warning"), wrong->window(), true}};
}

} // namespace

TAVREL_GALLERY_PAGE("contacts-list", "Contacts list", contactsList)
TAVREL_GALLERY_PAGE("contacts-favorites", "Favourite contacts", favorites)
TAVREL_GALLERY_PAGE("contacts-root", "Contacts root view searching", rootViews)
TAVREL_GALLERY_PAGE("contact-page", "A contact's page", contactPages)
TAVREL_GALLERY_PAGE("contact-editor", "The contact editor", editor)

} // namespace tavrel
