// Gallery pages of the shared-files list, the collections outline (the detail tab and the Organize
// window, with mixed boxes) and the rename sheet, over a small account of the gallery's own.

#include "accounts/TQAccount.h"
#include "chrome/TQFloatingTitlebar.h"
#include "chrome/TQUtilityWindowController.h"
#include "controls/TQTableView.h"
#include "documents/TQCollectionsViewController.h"
#include "documents/TQOrganizeItemsController.h"
#include "documents/TQRenameFileController.h"
#include "documents/TQSharedFilesController.h"
#include "lists/ListModel.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "platform/runtime/Clock.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>

namespace tavrel {

namespace {

const QString kUser = QStringLiteral("me@example.com");

struct GalleryAccount
{
    TQSession* session = nullptr;
    std::shared_ptr<Mail> ann;
    QList<ManagedObjectPtr> organized; // two documents, one of them in "Projects"
    ManagedObjectPtr nested;           // a document in a sub-collection
};

// The account, made once: collections with sub-collections, documents shared with Ann.
const GalleryAccount& account()
{
    static const GalleryAccount made = [] {
        GalleryAccount result;
        auto authentication = OAuth2Authentication::create(OAuth2Configuration());
        authentication->setUserEmail(kUser);
        result.session = new TQSession(TQAccount::accountWithAuthToken(authentication));
        TQMOCMaster* moc = result.session->mocManager()->masterMOC();
        auto mail = [moc](const QString& address, const QString& name) {
            auto record = moc->insertNewObject<Mail>("Mail");
            record->setAddress(address);
            if (!name.isEmpty()) {
                auto contact = moc->insertNewObject<Contact>("Contact");
                contact->setName(name);
                record->setContact(contact);
                record->updateDisplayName();
            }
            return record;
        };
        const auto me = mail(kUser, QString());
        result.ann = mail(QStringLiteral("ann.lee@example.org"), QStringLiteral("Ann Lee"));
        const auto omar = mail(QStringLiteral("omar@example.org"), QStringLiteral("Omar Haddad"));
        const QDateTime now = Clock::now();
        auto collection = [&](const QString& title, qint64 hoursAgo, const std::shared_ptr<Mail>& owner,
                              const std::shared_ptr<Category>& parent) {
            auto record = moc->insertNewObject<Category>("Category");
            record->setTitle(title);
            record->setResourceId(QStringLiteral("folder:%1").arg(title));
            record->setUpdatedDate(now.addSecs(-hoursAgo * 3600));
            record->setOwner(owner);
            if (parent)
                record->setParent(parent);
            return record;
        };
        const auto projects = collection(QStringLiteral("Projects"), 2, me, nullptr);
        const auto launch = collection(QStringLiteral("Launch"), 3, me, projects);
        collection(QStringLiteral("Archive"), 4, me, projects);
        const auto receipts = collection(QStringLiteral("Receipts"), 30, me, nullptr);
        const auto team = collection(QStringLiteral("Team space"), 5, result.ann, nullptr);
        team->setEditors({me});
        auto document = [&](const char* title, const char* resource, qint64 hoursAgo,
                            const std::shared_ptr<Mail>& owner, const QList<std::shared_ptr<Mail>>& editors,
                            const QList<std::shared_ptr<Category>>& in) {
            auto record = moc->insertNewObject<File>("File");
            record->setTitle(QString::fromUtf8(title));
            record->setFilename(record->title());
            record->setResourceId(QString::fromLatin1(resource));
            record->setUpdatedDate(now.addSecs(-hoursAgo * 3600));
            record->setOwner(owner);
            record->setEditors(editors);
            record->setCategories(in);
            return record;
        };
        const auto budget = document("Budget 2027", "spreadsheet:budget", 1, me, {result.ann}, {projects});
        const auto plan = document("Launch plan", "presentation:launch", 30, me, {result.ann}, {launch});
        document("Team offsite agenda", "document:agenda", 5, result.ann, {me}, {team});
        document("Reading list", "document:reading", 80, result.ann, {me}, {});
        document("Travel expenses", "spreadsheet:travel", 200, me, {omar}, {receipts});
        const auto notes = document("Meeting notes", "document:notes", 6, me, {}, {});
        result.organized = {budget, notes};
        result.nested = plan;
        moc->ManagedObjectContext::save(nullptr);
        return result;
    }();
    return made;
}

// Keeps the gallery's session current while a page's widgets live.
class CurrentSessionGuard : public QObject
{
public:
    explicit CurrentSessionGuard(QObject* parent) : QObject(parent)
    {
        TQSessionManager::sharedManager()->setCurrentSession(account().session);
    }
    ~CurrentSessionGuard() override { TQSessionManager::sharedManager()->setCurrentSession(nullptr); }
};

// The controller's view in a holder that owns both, installed and filled.
QWidget* hosted(TQViewController* controller, const QSize& size)
{
    auto* holder = new QWidget;
    holder->resize(size);
    new CurrentSessionGuard(holder);
    QWidget* view = controller->view();
    view->setParent(holder);
    view->setGeometry(QRect(QPoint(0, 0), size));
    controller->setParent(holder);
    controller->viewDidInstall();
    QCoreApplication::processEvents();
    return holder;
}

QList<GallerySample> sharedFiles()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    auto* list = new TQSharedFilesController;
    list->setSharingEnabled(true);
    list->setEmail(account().ann);
    list->dataProvider()->rearrangeObjects();
    QWidget* plain = hosted(list, QSize(560, 360));
    list->refresh();

    // The row menu drawn beside the list, as it opens on the first document.
    auto* withMenu = new TQSharedFilesController;
    withMenu->setEmail(account().ann);
    withMenu->dataProvider()->rearrangeObjects();
    QWidget* holder = hosted(withMenu, QSize(560, 360));
    holder->resize(560 + 240, 380);
    if (QMenu* menu = withMenu->tableView()->menuForRow(1)) {
        auto* shown = new QMenu(holder);
        for (QAction* item : menu->actions()) {
            withMenu->validateUserInterfaceItem(item);
            shown->addAction(item);
        }
        shown->ensurePolished();
        shown->adjustSize();
        shown->setWindowFlags(Qt::Widget);
        shown->setParent(holder);
        shown->move(568, withMenu->tableView()->rectOfRow(1).top() + 20);
        shown->show();
    }
    return {{QStringLiteral("Documents shared with Ann Lee, by owner"), plain},
            {QStringLiteral("The row menu of a document"), holder}};
}

QList<GallerySample> collectionsOutline()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    // The detail tab of a document in a sub-collection: its parent reads mixed.
    auto* tab = new TQCollectionsViewController;
    tab->setItem(account().nested);
    QWidget* single = hosted(tab, QSize(420, 300));
    // Two documents, one in "Projects": that box reads mixed.
    auto* organize = new TQOrganizeItemsController;
    QVariantList items;
    for (const ManagedObjectPtr& record : account().organized)
        items.append(QVariant::fromValue(record));
    organize->setProperty("item", items);
    QWidget* several = hosted(organize, QSize(420, 300));
    return {{QStringLiteral("Collections of \"Launch plan\" (in Projects ▸ Launch)"), single},
            {QStringLiteral("Collections of two documents, one in Projects"), several}};
}

QList<GallerySample> organizeWindow()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    auto* utility = new TQUtilityWindowController;
    new CurrentSessionGuard(utility);
    auto* organize = new TQOrganizeItemsController;
    QVariantList items;
    for (const ManagedObjectPtr& record : account().organized)
        items.append(QVariant::fromValue(record));
    organize->setProperty("item", items);
    utility->setController(organize);
    const QString title = StringTable::format(QStringLiteral("OrganizeItemsTitleFormat"), items.size());
    utility->titleToolbar()->setTitle(title);
    utility->window()->setWindowTitle(title);
    utility->window()->resize(420, 360);
    organize->viewDidInstall();
    QCoreApplication::processEvents();
    return {{QStringLiteral("Organize two documents"), utility->window(), true}};
}

QList<GallerySample> renameSheet()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    auto* typed = new TQRenameFileController;
    typed->setItem(account().organized.first());
    typed->nameField()->setText(QStringLiteral("Budget 2028"));
    auto* unchanged = new TQRenameFileController;
    unchanged->setItem(account().organized.first());
    // The gallery deletes the windows; each controller goes with its own.
    for (TQRenameFileController* sheet : {typed, unchanged}) {
        sheet->window()->resize(380, 150);
        QObject::connect(sheet->window(), &QObject::destroyed, [sheet] { delete sheet; });
    }
    return {{QStringLiteral("A new name typed"), typed->window(), true},
            {QStringLiteral("The current name: Rename waits for a change"), unchanged->window(), true}};
}

} // namespace

TAVREL_GALLERY_PAGE("shared-files-list", "Documents shared with one person", sharedFiles)
TAVREL_GALLERY_PAGE("collections-outline", "Collections outline with mixed boxes", collectionsOutline)
TAVREL_GALLERY_PAGE("organize-window", "Organize into collections", organizeWindow)
TAVREL_GALLERY_PAGE("rename-sheet", "Rename sheet", renameSheet)

} // namespace tavrel
