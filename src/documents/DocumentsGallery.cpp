// Gallery pages of the all-items list in its filtering view, over a small account of the gallery's own:
// grouped by each sort, with a search, with nothing found, and with a row's contextual menu.

#include "accounts/TQAccount.h"
#include "controls/BasicPopUpButton.h"
#include "controls/TQTableView.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQFileViewController.h"
#include "lists/ListModel.h"
#include "model/Category.h"
#include "model/Contact.h"
#include "model/File.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "platform/runtime/Clock.h"
#include "platform/ui/GalleryRegistry.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/ActionRequests.h"

#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>

namespace tavrel {

namespace {

const QString kUser = QStringLiteral("me@example.com");
const QSize kViewSize(640, 560);

// Records the detail view pages show.
std::shared_ptr<File> g_launchPlan;
std::shared_ptr<Category> g_projects;

// The gallery's account, made once: a session whose store holds a few documents and collections.
TQSession* gallerySession()
{
    static TQSession* session = [] {
        auto authentication = OAuth2Authentication::create(OAuth2Configuration());
        authentication->setUserEmail(kUser);
        auto* made = new TQSession(TQAccount::accountWithAuthToken(authentication));
        TQMOCMaster* moc = made->mocManager()->masterMOC();
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
        const auto ann = mail(QStringLiteral("ann.lee@example.org"), QStringLiteral("Ann Lee"));
        const auto omar = mail(QStringLiteral("omar@example.org"), QStringLiteral("Omar Haddad"));
        const QDateTime now = Clock::now();
        auto collection = [&](const QString& title, qint64 secondsAgo) {
            auto record = moc->insertNewObject<Category>("Category");
            record->setTitle(title);
            record->setResourceId(QStringLiteral("folder:%1").arg(title));
            record->setUpdatedDate(now.addSecs(-secondsAgo));
            record->setOwner(me);
            record->setLastModifiedBy(me);
            return record;
        };
        const auto projects = collection(QStringLiteral("Projects"), 3 * 86400);
        collection(QStringLiteral("Receipts"), 50 * 86400);
        struct Document
        {
            const char* title;
            const char* resource;
            qint64 secondsAgo;
            std::shared_ptr<Mail> owner;
            std::shared_ptr<Mail> editor;
            qint64 bytes;
            bool starred;
            bool shared;
        };
        const Document documents[] = {
            {"Budget 2027", "spreadsheet:budget", 25 * 60, me, me, 48 * 1024, true, true},
            {"Team offsite agenda", "document:agenda", 3 * 3600, ann, ann, 12 * 1024, false, true},
            {"Quarterly report", "pdf:report", 26 * 3600, omar, omar, 2300 * 1024, false, false},
            {"Launch plan", "presentation:launch", 4 * 86400, me, ann, 640 * 1024, false, true},
            {"Travel expenses", "spreadsheet:travel", 20 * 86400, me, me, 9 * 1024, true, false},
            {"Office floor plan", "drawing:floor", 200 * 86400, ann, nullptr, 310 * 1024, false, false},
        };
        for (const Document& document : documents) {
            auto record = moc->insertNewObject<File>("File");
            record->setTitle(QString::fromUtf8(document.title));
            record->setFilename(record->title());
            record->setResourceId(QString::fromLatin1(document.resource));
            record->setUpdatedDate(now.addSecs(-document.secondsAgo));
            record->setOwner(document.owner);
            if (document.editor)
                record->setLastModifiedBy(document.editor);
            record->setQuotaBytesUsed(document.bytes);
            record->setIsStarred(document.starred);
            if (document.shared)
                record->setEditors({document.owner == ann ? omar : ann});
            if (QString::fromLatin1(document.resource).startsWith(QLatin1String("presentation"))) {
                record->setCategories({projects});
                // Shared widely, with a link: its photo strip unwinds.
                record->setEditors(
                    {omar, mail(QStringLiteral("lena@example.org"), QStringLiteral("Lena Ortiz"))});
                record->setViewers({mail(QStringLiteral("raj@example.org"), QStringLiteral("Raj Patel")),
                                    mail(QStringLiteral("kim@example.org"), QStringLiteral("Kim Sato"))});
                auto link = moc->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
                link->setType(QStringLiteral("default"));
                link->setHasLink(true);
                record->setGeneralACL(link);
                g_launchPlan = record;
            }
        }
        g_projects = projects;
        moc->ManagedObjectContext::save(nullptr);
        return made;
    }();
    return session;
}

// Keeps the gallery's session current while a page's widgets live, then lets go of it.
class CurrentSessionGuard : public QObject
{
public:
    explicit CurrentSessionGuard(QObject* parent) : QObject(parent)
    {
        TQSessionManager::sharedManager()->setCurrentSession(gallerySession());
    }
    ~CurrentSessionGuard() override { TQSessionManager::sharedManager()->setCurrentSession(nullptr); }
};

// The filtering view, installed and filled, on the sort entry at that index of its menu.
TQAllItemsFilteringViewController* makeView(QObject* owner, int sortEntry, const QString& search = QString())
{
    auto* filtering = new TQAllItemsFilteringViewController(owner);
    QWidget* view = filtering->view();
    view->resize(kViewSize);
    if (sortEntry > 1)
        filtering->changeSortDescriptor(filtering->sortControl()->menu()->actions().value(sortEntry));
    if (!search.isEmpty())
        filtering->searchField()->setText(search);
    TQAllItemsController* list = filtering->list();
    list->dataProvider()->rearrangeObjects();
    filtering->viewDidInstall();
    QCoreApplication::processEvents();
    list->refresh();
    return filtering;
}

// A holder owning the view and its controller, in that order.
QWidget* hosted(TQAllItemsFilteringViewController* filtering, const QSize& size = kViewSize)
{
    auto* holder = new QWidget;
    holder->resize(size);
    QWidget* view = filtering->view();
    view->setParent(holder);
    view->setGeometry(QRect(QPoint(0, 0), kViewSize));
    filtering->setParent(holder);
    return holder;
}

GallerySample sample(const QString& caption, TQAllItemsFilteringViewController* filtering)
{
    return {caption, hosted(filtering)};
}

QList<GallerySample> groupedLists()
{
    auto* holder = new QObject;
    auto* guard = new CurrentSessionGuard(holder);
    Q_UNUSED(guard);
    const QList<QPair<int, QString>> sorts = {
        {1, QStringLiteral("By last modification (the start)")},
        {2, QStringLiteral("By owner")},
        {3, QStringLiteral("By visibility")},
        {4, QStringLiteral("By sharing")},
        {5, QStringLiteral("By name (no groups)")},
        {6, QStringLiteral("By kind")},
        {7, QStringLiteral("By size")},
        {8, QStringLiteral("By collections")},
    };
    QList<GallerySample> samples;
    for (const auto& [entry, caption] : sorts)
        samples.append(sample(caption, makeView(nullptr, entry)));
    // The guard goes with the first sample's view.
    holder->setParent(samples.first().widget);
    return samples;
}

QList<GallerySample> searchedLists()
{
    auto* holder = new QObject;
    new CurrentSessionGuard(holder);
    QList<GallerySample> samples;
    samples.append(
        sample(QStringLiteral("Searching \"PLAN\""), makeView(nullptr, 1, QStringLiteral("PLAN"))));
    samples.append(sample(QStringLiteral("Nothing found"), makeView(nullptr, 1, QStringLiteral("zebra"))));
    holder->setParent(samples.first().widget);
    return samples;
}

QList<GallerySample> rowMenu()
{
    auto* guardHolder = new QObject;
    new CurrentSessionGuard(guardHolder);
    TQAllItemsFilteringViewController* filtering = makeView(nullptr, 1);
    TQAllItemsController* list = filtering->list();
    QWidget* holder = hosted(filtering, QSize(kViewSize.width() + 240, kViewSize.height()));
    // A popup cannot be grabbed offscreen: the menu is drawn beside the list, as it opens on row 1.
    if (QMenu* menu = list->tableView()->menuForRow(1)) {
        auto* shown = new QMenu(holder);
        for (QAction* item : menu->actions()) {
            list->validateUserInterfaceItem(item);
            shown->addAction(item);
        }
        shown->ensurePolished();
        shown->adjustSize();
        shown->setWindowFlags(Qt::Widget);
        shown->setParent(holder);
        shown->move(kViewSize.width() + 8, list->tableView()->rectOfRow(1).top() + 40);
        shown->show();
    }
    guardHolder->setParent(holder);
    return {{QStringLiteral("Contextual menu of the first document"), holder}};
}

// The detail view of a record, on the tab of the filter.
QWidget* detailView(const ManagedObjectPtr& record, int filter)
{
    auto* holder = new QWidget;
    holder->resize(kViewSize);
    new CurrentSessionGuard(holder);
    auto* details = new TQFileViewController(holder);
    details->setInitialFilter(filter);
    details->setItem(record);
    QWidget* view = details->view();
    view->setParent(holder);
    view->setGeometry(QRect(QPoint(0, 0), kViewSize));
    details->viewDidInstall();
    QCoreApplication::processEvents();
    return holder;
}

QList<GallerySample> detailViews()
{
    gallerySession();
    // The gallery has no service: the preview's download stays asked for.
    ActionRequests::Recorder requests;
    return {
        {QStringLiteral("A document: its preview tab while the copy downloads"), detailView(g_launchPlan, 0)},
        {QStringLiteral("A collection: its contents"), detailView(g_projects, 0)}};
}

QList<GallerySample> photoStrip()
{
    auto* guardHolder = new QObject;
    new CurrentSessionGuard(guardHolder);
    TQAllItemsFilteringViewController* filtering = makeView(nullptr, 5);
    TQAllItemsController* list = filtering->list();
    QWidget* holder = hosted(filtering);
    // The rows need their sizes, which a list gets once it is shown.
    holder->show();
    QCoreApplication::processEvents();
    const int row = list->rowOfRecord(g_launchPlan);
    list->tableView()->menuForRow(row); // the row the strip's photo was clicked on
    list->unwindPhotos(nullptr);
    QCoreApplication::processEvents();
    guardHolder->setParent(holder);
    return {{QStringLiteral("The people of \"Launch plan\" unwound over its row"), holder}};
}

} // namespace

TAVREL_GALLERY_PAGE("file-view", "Detail view of a document and of a collection", detailViews)
TAVREL_GALLERY_PAGE("photo-strip", "A row's photo strip unwound", photoStrip)
TAVREL_GALLERY_PAGE("all-items-list", "All-items list grouped by each sort", groupedLists)
TAVREL_GALLERY_PAGE("all-items-search", "All-items list searching", searchedLists)
TAVREL_GALLERY_PAGE("all-items-row-menu", "All-items list with a row's menu", rowMenu)

} // namespace tavrel
