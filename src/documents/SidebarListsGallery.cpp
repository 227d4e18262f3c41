// Gallery pages of the sidebar's own lists (starred, collections, trash), each with items and empty,
// the preview tab in its states and the top-files views' tabs, over two small accounts of the gallery's
// own: one with documents, one with nothing.

#include "accounts/TQAccount.h"
#include "chrome/TQFilterbarController.h"
#include "chrome/TQTextFilterbar.h"
#include "controls/SpinningIndicator.h"
#include "controls/TQHostView.h"
#include "controls/TQTableView.h"
#include "documents/TQAllCollectionsController.h"
#include "documents/TQAllFavoritesController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQFilePreviewController.h"
#include "documents/TQTopFilesViewController.h"
#include "documents/TQTrashFilteringViewController.h"
#include "documents/TQTrashItemsController.h"
#include "lists/ListModel.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/FileCachedFile.h"
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
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>

namespace tavrel {

namespace {

const QString kUser = QStringLiteral("me@example.com");
const QSize kViewSize(640, 460);

// An account of the gallery's own, made once: with documents, or with none at all.
TQSession* placesSession(bool empty)
{
    static TQSession* sessions[2] = {nullptr, nullptr};
    TQSession*& session = sessions[empty ? 1 : 0];
    if (session)
        return session;
    auto authentication = OAuth2Authentication::create(OAuth2Configuration());
    authentication->setUserEmail(empty ? QStringLiteral("nobody@example.com") : kUser);
    session = new TQSession(TQAccount::accountWithAuthToken(authentication));
    if (empty)
        return session;
    TQMOCMaster* moc = session->mocManager()->masterMOC();
    const auto me = moc->insertNewObject<Mail>("Mail");
    me->setAddress(kUser);
    const auto ann = moc->insertNewObject<Mail>("Mail");
    ann->setAddress(QStringLiteral("ann.lee@example.org"));
    const QDateTime now = Clock::now();
    auto entry = [&](const char* entity, const char* title, const char* resource, qint64 secondsAgo) {
        auto record =
            std::dynamic_pointer_cast<FileEntryAbstract>(moc->insertNewObject(QLatin1String(entity)));
        record->setTitle(QString::fromUtf8(title));
        record->setResourceId(QString::fromLatin1(resource));
        record->setIdentifier(FileEntryAbstract::identifierFromGDataResourceId(record->resourceId()));
        record->setUpdatedDate(now.addSecs(-secondsAgo));
        record->setOwner(me);
        record->setLastModifiedBy(me);
        return record;
    };
    const auto projects =
        std::static_pointer_cast<Category>(entry("Category", "Projects", "folder:projects", 2 * 3600));
    projects->setIsStarred(true);
    entry("Category", "Receipts", "folder:receipts", 9 * 86400);
    entry("Category", "Old drafts", "folder:drafts", 30 * 86400)->setIsTrashed(true);
    struct Document
    {
        const char* title;
        const char* resource;
        qint64 secondsAgo;
        bool starred;
        bool trashed;
    };
    const Document documents[] = {
        {"Budget 2027", "spreadsheet:budget", 25 * 60, true, false},
        {"Launch plan", "presentation:launch", 4 * 86400, true, false},
        {"Team offsite agenda", "document:agenda", 3 * 3600, false, false},
        {"Travel expenses", "spreadsheet:travel", 20 * 86400, true, false},
        {"First draft", "document:draft", 2 * 86400, false, true},
        {"Scanned receipt.pdf", "pdf:receipt", 40 * 86400, false, true},
    };
    for (const Document& document : documents) {
        auto record = std::static_pointer_cast<File>(
            entry("File", document.title, document.resource, document.secondsAgo));
        record->setFilename(record->title());
        record->setIsStarred(document.starred);
        record->setIsTrashed(document.trashed);
        record->setEditors({ann});
    }
    moc->ManagedObjectContext::save(nullptr);
    return session;
}

// Keeps a gallery account current while a page's widgets live, then lets go of it.
class CurrentSessionGuard : public QObject
{
public:
    CurrentSessionGuard(QObject* parent, bool empty) : QObject(parent)
    {
        TQSessionManager::sharedManager()->setCurrentSession(placesSession(empty));
    }
    ~CurrentSessionGuard() override { TQSessionManager::sharedManager()->setCurrentSession(nullptr); }
};

// The view installed and filled, in a holder that owns it and its controller.
QWidget* hosted(TQViewController* controller, bool empty)
{
    auto* holder = new QWidget;
    holder->resize(kViewSize);
    // The guard goes with the holder.
    new CurrentSessionGuard(holder, empty);
    QWidget* view = controller->view();
    view->setParent(holder);
    view->setGeometry(QRect(QPoint(0, 0), kViewSize));
    controller->setParent(holder);
    if (auto* filtering = qobject_cast<TQAllItemsFilteringViewController*>(controller))
        if (TQAllItemsController* list = filtering->list())
            if (list->dataProvider())
                list->dataProvider()->rearrangeObjects();
    controller->viewDidInstall();
    QCoreApplication::processEvents();
    if (auto* filtering = qobject_cast<TQAllItemsFilteringViewController*>(controller))
        if (TQAllItemsController* list = filtering->list())
            list->refresh();
    return holder;
}

// A place's filtering view as the window makes it, over the account.
TQAllItemsFilteringViewController* place(TQAllItemsController* list, const char* titleKey, bool empty)
{
    TQSessionManager::sharedManager()->setCurrentSession(placesSession(empty));
    auto* filtering = new TQAllItemsFilteringViewController;
    filtering->setTitle(StringTable::text(QLatin1String(titleKey)));
    filtering->setController(list);
    return filtering;
}

QList<GallerySample> placePage(const std::function<TQViewController*(bool)>& make)
{
    QList<GallerySample> samples;
    samples.append({QStringLiteral("With items"), hosted(make(false), false)});
    samples.append({QStringLiteral("Empty"), hosted(make(true), true)});
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    return samples;
}

QList<GallerySample> starredPage()
{
    QList<GallerySample> samples = placePage([](bool empty) -> TQViewController* {
        TQSessionManager::sharedManager()->setCurrentSession(placesSession(empty));
        return place(new TQAllFavoritesController, "AllFavoritesBack", empty);
    });
    return samples;
}

QList<GallerySample> collectionsPage()
{
    QList<GallerySample> samples = placePage([](bool empty) -> TQViewController* {
        TQSessionManager::sharedManager()->setCurrentSession(placesSession(empty));
        return place(new TQAllCollectionsController, "AllCollectionsBack", empty);
    });
    samples.append({QStringLiteral("Empty search: nothing matches"), [] {
                        TQSessionManager::sharedManager()->setCurrentSession(placesSession(false));
                        auto* searching = place(new TQAllCollectionsController, "AllCollectionsBack", false);
                        QWidget* searched = hosted(searching, false);
                        searching->setSearchString(QStringLiteral("zebra"));
                        searching->list()->refresh();
                        return searched;
                    }()});
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    return samples;
}

QList<GallerySample> trashPage()
{
    QList<GallerySample> samples = placePage([](bool empty) -> TQViewController* {
        TQSessionManager::sharedManager()->setCurrentSession(placesSession(empty));
        return new TQTrashFilteringViewController;
    });
    // The row menu, drawn beside the list as it opens on the first row.
    TQSessionManager::sharedManager()->setCurrentSession(placesSession(false));
    auto* trash = new TQTrashFilteringViewController;
    QWidget* holder = hosted(trash, false);
    holder->resize(kViewSize.width() + 240, kViewSize.height());
    TQTrashItemsController* list = trash->trashList();
    const int row = list->isGroupRow(0) ? 1 : 0;
    list->selectRow(row);
    if (QMenu* menu = list->tableView()->menuForRow(row)) {
        auto* shown = new QMenu(holder);
        for (QAction* item : menu->actions()) {
            list->validateUserInterfaceItem(item);
            shown->addAction(item);
        }
        shown->ensurePolished();
        shown->adjustSize();
        shown->setWindowFlags(Qt::Widget);
        shown->setParent(holder);
        shown->move(kViewSize.width() + 8, list->tableView()->rectOfRow(row).top() + 40);
        shown->show();
    }
    samples.append({QStringLiteral("A trashed document's menu"), holder});
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    return samples;
}

// A picture standing in for a document's content, as the thumbnailer would draw it.
QImage samplePage(const QSize& size)
{
    QImage page(QSize(size.height() * 3 / 4, size.height()).boundedTo(size), QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setPen(QColor(0x33, 0x33, 0x33));
    QFont heading = painter.font();
    heading.setPixelSize(std::max(10, page.height() / 18));
    heading.setBold(true);
    painter.setFont(heading);
    painter.drawText(QRect(page.width() / 10, page.height() / 12, page.width(), page.height() / 10),
                     QStringLiteral("Budget 2027"));
    painter.setPen(QColor(0xbb, 0xbb, 0xbb));
    for (int line = 0; line < 14; ++line) {
        const int y = page.height() / 4 + line * page.height() / 22;
        painter.drawLine(page.width() / 10, y, page.width() * (line % 4 == 3 ? 6 : 9) / 10, y);
    }
    return page;
}

QList<GallerySample> previewPage()
{
    TQSessionManager::sharedManager()->setCurrentSession(placesSession(false));
    ManagedObjectContext* context = placesSession(false)->mocManager()->masterMOC();
    // A cached copy for the document with a picture.
    const QString cached = QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                               .filePath(QStringLiteral("tavrel-gallery-budget.xlsx"));
    QFile copy(cached);
    if (copy.open(QIODevice::WriteOnly))
        copy.write("budget");
    copy.close();
    auto budget = std::dynamic_pointer_cast<File>(
        FileEntryAbstract::fileEntryAbstractWithIdentifier(QStringLiteral("budget"), context));
    auto agenda = FileEntryAbstract::fileEntryAbstractWithIdentifier(QStringLiteral("agenda"), context);
    auto projects = FileEntryAbstract::fileEntryAbstractWithIdentifier(QStringLiteral("projects"), context);
    QList<GallerySample> samples;
    auto tab = [&](const ManagedObjectPtr& item, const QString& caption, bool drawn) {
        auto* preview = new TQFilePreviewController;
        preview->setThumbnailer([](const QString&, const QSize& size) { return samplePage(size); });
        preview->setItem(item);
        auto* holder = new QWidget;
        holder->resize(420, 360);
        preview->view()->setParent(holder);
        preview->view()->setGeometry(holder->rect());
        preview->setParent(holder);
        if (drawn) {
            preview->viewDidInstall();
            preview->refresh();
            QEventLoop wait;
            QObject::connect(preview, &TQFilePreviewController::previewDidUpdate, &wait, &QEventLoop::quit);
            if (preview->isProcessed())
                wait.exec();
        } else {
            // Downloading: the spinner over the empty frame.
            preview->previewHolder()->setBackgroundColor(QColor::fromRgbF(0.359375f, 0.359375f, 0.359375f));
            preview->setIsProcessed(true);
            preview->progress()->startAnimation();
            preview->errorLabel()->hide();
        }
        samples.append({caption, holder});
    };
    if (budget) {
        budget->fileCachedFile()->setValue(cached);
        tab(budget, QStringLiteral("A document's picture"), true);
    }
    if (agenda)
        tab(agenda, QStringLiteral("Downloading the document"), false);
    if (projects)
        tab(projects, QStringLiteral("A collection: no preview"), true);
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    return samples;
}

QList<GallerySample> topFilesPage()
{
    QList<GallerySample> samples;
    const char* const captions[] = {"All items", "Shared with me", "Shared by me", "Timed searches"};
    for (int tab = 0; tab < 4; ++tab) {
        TQSessionManager::sharedManager()->setCurrentSession(placesSession(false));
        auto* top = new TQTopFilesViewController;
        QWidget* holder = hosted(top, false);
        top->filterbar()->activateButtonAtIndex(tab);
        if (auto* list = qobject_cast<TQAllItemsController*>(top->filterController()->currentController())) {
            list->dataProvider()->rearrangeObjects();
            list->refresh();
        }
        QCoreApplication::processEvents();
        samples.append({QString::fromLatin1(captions[tab]), holder});
    }
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("starred-list", "Starred list, with items and empty", starredPage)
TAVREL_GALLERY_PAGE("collections-list", "Collections list, with items, empty and searched", collectionsPage)
TAVREL_GALLERY_PAGE("trash-list", "Trash, with items, empty and a row's menu", trashPage)
TAVREL_GALLERY_PAGE("file-preview", "Preview tab of a document's details", previewPage)
TAVREL_GALLERY_PAGE("top-files", "Top files view, each tab", topFilesPage)

} // namespace tavrel
