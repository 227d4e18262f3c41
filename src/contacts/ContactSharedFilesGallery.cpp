// Gallery pages of the lists of the documents shared with one person: the list on a person's page
// (each role badge, the owner's row, the row menu open) and the list with role switches.

#include "accounts/TQAccount.h"
#include "contacts/TQContactSharedFilesController.h"
#include "contacts/TQContactSharedFilesController2.h"
#include "contacts/TQContactSharedFilesController3.h"
#include "controls/TQTableView.h"
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

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMenu>

namespace tavrel {

namespace {

const QString kUser = QStringLiteral("me@example.com");
const QSize kListSize(600, 520);

struct GalleryAccount
{
    TQSession* session = nullptr;
    std::shared_ptr<Mail> ann;
};

// Ann edits one document, views one, comments on one and owns one the user edits.
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
            }
            record->updateDisplayName();
            return record;
        };
        const auto me = mail(kUser, QString());
        result.ann = mail(QStringLiteral("ann.lee@example.org"), QStringLiteral("Ann Lee"));
        const QDateTime now = Clock::now();
        auto document = [&](const char* title, const char* resource, qint64 hoursAgo,
                            const std::shared_ptr<Mail>& owner) {
            auto record = moc->insertNewObject<File>("File");
            record->setTitle(QString::fromUtf8(title));
            record->setFilename(record->title());
            record->setResourceId(QString::fromLatin1(resource));
            record->setUpdatedDate(now.addSecs(-hoursAgo * 3600));
            record->setOwner(owner);
            record->setLastModifiedBy(owner);
            return record;
        };
        document("Budget 2027", "spreadsheet:budget", 1, me)->setEditors({result.ann});
        document("Launch plan", "presentation:launch", 30, me)->setViewers({result.ann});
        const auto review = document("Press release", "document:press", 50, me);
        review->setCommenters({result.ann});
        review->setHasCommenterSupport(true);
        const auto hers = document("Team offsite agenda", "document:agenda", 5, result.ann);
        hers->setEditors({me});
        moc->ManagedObjectContext::save(nullptr);
        return result;
    }();
    return made;
}

class CurrentSessionGuard : public QObject
{
public:
    explicit CurrentSessionGuard(QObject* parent) : QObject(parent)
    {
        TQSessionManager::sharedManager()->setCurrentSession(account().session);
    }
    ~CurrentSessionGuard() override { TQSessionManager::sharedManager()->setCurrentSession(nullptr); }
};

// The list in a holder that owns it, installed, its rows read.
QWidget* hosted(TQTableViewController* list, const QSize& size)
{
    auto* holder = new QWidget;
    holder->resize(size);
    new CurrentSessionGuard(holder);
    QWidget* view = list->view();
    view->setParent(holder);
    view->setGeometry(QRect(QPoint(0, 0), kListSize));
    list->setParent(holder);
    list->viewDidInstall();
    QElapsedTimer waited;
    waited.start();
    while (list->isFetching() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    list->dataProvider()->rearrangeObjects();
    list->refresh();
    QCoreApplication::processEvents();
    return holder;
}

TQContactSharedFilesController3* annsList()
{
    auto* list = new TQContactSharedFilesController3;
    list->setEmail(account().ann);
    list->setSortDescriptor(SortDescriptor(QStringLiteral("owner"), true));
    return list;
}

QList<GallerySample> contactSharedFiles()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    QWidget* plain = hosted(annsList(), kListSize);

    // The row menu drawn beside the list, as it opens on the first document.
    TQContactSharedFilesController3* withMenu = annsList();
    QWidget* holder = hosted(withMenu, QSize(kListSize.width() + 340, kListSize.height()));
    const int row = withMenu->isGroupRow(0) ? 1 : 0;
    if (QMenu* menu = withMenu->tableView()->menuForRow(row)) {
        auto* shown = new QMenu(holder);
        for (QAction* item : menu->actions()) {
            withMenu->validateUserInterfaceItem(item);
            shown->addAction(item);
        }
        shown->ensurePolished();
        shown->adjustSize();
        shown->setWindowFlags(Qt::Widget);
        shown->setParent(holder);
        shown->move(kListSize.width() + 8, withMenu->tableView()->rectOfRow(row).top() + 20);
        shown->show();
    }

    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    auto* switches = new TQContactSharedFilesController;
    switches->setEmail(account().ann);
    QWidget* switched = hosted(switches, kListSize);

    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    auto* rowViews = new TQContactSharedFilesController2;
    rowViews->setEmail(account().ann);
    rowViews->setSortDescriptor(SortDescriptor(QStringLiteral("owner"), true));
    QWidget* viewed = hosted(rowViews, kListSize);
    return {{QStringLiteral("Shared with Ann Lee: her role on each, and the document she owns"), plain},
            {QStringLiteral("The row menu of a document"), holder},
            {QStringLiteral("The same documents with role switches"), switched},
            {QStringLiteral("The same documents as row widgets"), viewed}};
}

} // namespace

TAVREL_GALLERY_PAGE("contact-shared-files", "Documents shared with a person, on the person's page",
                    contactSharedFiles)

} // namespace tavrel
