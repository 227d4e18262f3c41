// Gallery pages of the sharing views over a small account of the gallery's own: the quick permission
// and link popovers, the permission rows, and the share-with, change-owner and sharing settings
// dialogs in their states.

#include "accounts/TQAccount.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQUISettings.h"
#include "model/Contact.h"
#include "model/File.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "platform/ui/Alert.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/OnlineFlag.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "sharing/QuickPopoverSupport.h"
#include "sharing/TQChangeOwnerController.h"
#include "sharing/TQLinkPermissionTableCell.h"
#include "sharing/TQPermissionTableCell2.h"
#include "sharing/TQQuickLinkPermissionController.h"
#include "sharing/TQQuickPermissionController.h"
#include "sharing/TQShareController.h"
#include "sharing/TQShareReadonlyController.h"
#include "sharing/TQShareWithController.h"
#include "sharing/TQSharingContactsController3.h"
#include "sharing/TQSharingDetailsController.h"
#include "sharing/TQSharingSettingsController.h"
#include "sharing/TokenField.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QThreadPool>

namespace tavrel {

namespace {

const QString kUser = QStringLiteral("me@example.com");

struct Account
{
    TQSession* session = nullptr;
    std::shared_ptr<Mail> me, ann, omar, zoe;
    std::shared_ptr<File> budget; // mine, shared with Ann (editor) and Omar (viewer)
    std::shared_ptr<File> agenda; // Ann's, commenters supported, I comment
    std::shared_ptr<File> launch; // mine, anyone with the link may view
    std::shared_ptr<File> floor;  // Omar's, my organisation may edit, writers may invite
};

// The gallery's account, made once.
const Account& account()
{
    static Account made = [] {
        Account a;
        auto authentication = OAuth2Authentication::create(OAuth2Configuration());
        authentication->setUserEmail(kUser);
        a.session = new TQSession(TQAccount::accountWithAuthToken(authentication));
        TQMOCMaster* moc = a.session->mocManager()->masterMOC();
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
        a.me = mail(kUser, QString());
        a.ann = mail(QStringLiteral("ann.lee@example.com"), QStringLiteral("Ann Lee"));
        a.omar = mail(QStringLiteral("omar@example.com"), QStringLiteral("Omar Haddad"));
        a.zoe = mail(QStringLiteral("zoe@elsewhere.org"), QStringLiteral("Zoe Park"));
        auto file = [moc](const QString& title, const QString& resource, const std::shared_ptr<Mail>& owner) {
            auto record = moc->insertNewObject<File>("File");
            record->setTitle(title);
            record->setResourceId(resource);
            record->setOwner(owner);
            record->setAlternateLink(QStringLiteral("https://docs.example.com/") + resource);
            return record;
        };
        auto access = [moc](const std::shared_ptr<File>& record, const char* type, const char* role,
                            bool link) {
            auto permission = moc->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
            permission->setType(QLatin1String(type));
            permission->setRole(QLatin1String(role));
            permission->setHasLink(link);
            record->setGeneralACL(permission);
        };
        a.budget = file(QStringLiteral("Budget 2027"), QStringLiteral("spreadsheet:budget"), a.me);
        a.budget->setEditors({a.ann});
        a.budget->setViewers({a.omar});
        a.budget->setWritersCanInvite(true);
        a.agenda = file(QStringLiteral("Team offsite agenda"), QStringLiteral("document:agenda"), a.ann);
        a.agenda->setHasCommenterSupport(true);
        a.agenda->setCommenters({a.me});
        a.agenda->setViewers({a.omar});
        a.launch = file(QStringLiteral("Launch plan"), QStringLiteral("presentation:launch"), a.me);
        access(a.launch, "default", "reader", true);
        a.launch->setWritersCanInvite(false);
        a.floor = file(QStringLiteral("Office floor plan"), QStringLiteral("document:floor"), a.omar);
        a.floor->setHasCommenterSupport(true);
        a.floor->setEditors({a.me});
        a.floor->setWritersCanInvite(true);
        access(a.floor, "domain", "writer", false);
        moc->ManagedObjectContext::save(nullptr);
        return a;
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

// A scene holding a controller's floating window, drawn inside it as a desktop would show it; the
// controller and the current session go with the scene.
QWidget* scene(TQFloatingContentController* controller, const QSize& margin = QSize(40, 40))
{
    TQFloatingWindow* window = controller->window();
    auto* holder = new QWidget;
    holder->setAutoFillBackground(true);
    QPalette palette = holder->palette();
    palette.setColor(QPalette::Window, QColor(0xe9, 0xec, 0xf0));
    holder->setPalette(palette);
    window->setParent(holder, Qt::Widget);
    window->setFrameOrigin(QPoint(margin.width() / 2, margin.height() / 2));
    window->show();
    const QRect frame = window->geometry();
    holder->resize(frame.width() + margin.width() / 2, frame.height() + margin.height() / 2);
    controller->setParent(holder);
    new CurrentSessionGuard(holder);
    return holder;
}

// A dialog in a floating window like the lists open it.
QWidget* dialogScene(TQFloatingContentController* controller, int arrow = 0)
{
    QWidget* content = controller->view();
    content->adjustSize();
    auto* window = new TQFloatingWindow(QRect(QPoint(), content->size()), QString(), arrow);
    window->setContentView(content);
    controller->setWindow(window);
    window->setFrame(window->frameRectForContentRect(QRectF(content->rect())).toAlignedRect());
    return scene(controller);
}

TQQuickPermissionController* permissionPopover(const std::shared_ptr<File>& item,
                                               const std::shared_ptr<Mail>& person, bool deletable)
{
    auto* popover = new TQQuickPermissionController;
    QuickPopoverSupport::makeWindow(popover);
    popover->setDeletable(deletable);
    popover->setItem(std::static_pointer_cast<FileEntryAbstract>(item));
    popover->setEmail(person);
    return popover;
}

QList<GallerySample> quickPermissions()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    const Account& a = account();
    QList<GallerySample> samples{
        {QStringLiteral("An editor, from a photo (removable)"),
         scene(permissionPopover(a.budget, a.ann, true))},
        {QStringLiteral("A viewer, from a role icon"), scene(permissionPopover(a.budget, a.omar, false))},
        {QStringLiteral("Commenters supported: three positions"),
         scene(permissionPopover(a.agenda, a.omar, true))},
        {QStringLiteral("The owner: read only"), scene(permissionPopover(a.agenda, a.ann, true))},
        {QStringLiteral("The user's own row: \"Me\""), scene(permissionPopover(a.agenda, a.me, false))},
        {QStringLiteral("A link row: the general permission"),
         scene(permissionPopover(a.launch, nullptr, false))},
    };
    return samples;
}

QList<GallerySample> quickLinks()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    const Account& a = account();
    auto link = [](const std::shared_ptr<File>& item) {
        auto* popover = new TQQuickLinkPermissionController;
        QuickPopoverSupport::makeWindow(popover);
        popover->setItem(std::static_pointer_cast<FileEntryAbstract>(item));
        return scene(popover);
    };
    return {{QStringLiteral("Anyone with the link may view"), link(a.launch)},
            {QStringLiteral("The organisation may edit (commenters supported)"), link(a.floor)}};
}

// One row as a list draws it, the mouse where the sample says.
class RowSample : public QWidget, public CellHost
{
public:
    RowSample(std::unique_ptr<Cell> cell, int width, QPointF mouse = QPointF(-100, -100))
        : m_cell(std::move(cell)), m_mouse(mouse)
    {
        // The rows are shown online: their remove buttons work.
        OnlineFlag::of(this)->setOnline(true);
        m_cell->setOnline(true);
        resize(width, 69);
    }
    QWidget* hostWidget() const override { return const_cast<RowSample*>(this); }
    QPointF mousePosition() const override { return m_mouse; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(rect(), TQUISettings::rowBackgroundColor());
        m_cell->setOnline(OnlineFlag::isOnline(this));
        m_cell->paint(painter, QRectF(0, 0, width(), 68), *this);
        painter.fillRect(QRectF(0, 68, width(), 1), TQUISettings::gridBackgroundColor());
    }

private:
    std::unique_ptr<Cell> m_cell;
    QPointF m_mouse;
};

QList<GallerySample> permissionRows()
{
    const int width = 460;
    QList<GallerySample> samples;
    struct Row
    {
        const char* caption;
        const char* name;
        const char* details;
        int role;
        bool deletable;
        bool hoverRemove;
    } rows[] = {
        {"Owner", "Dana Reyes", "dana.reyes@example.com", 2, false, false},
        {"Editor, removable", "Ann Lee", "ann.lee@example.com", 0, true, false},
        {"Commenter, the remove button hovered", "Omar Haddad", "omar@example.com", -1, true, true},
        {"Viewer without details", "zoe@elsewhere.org", "", 1, true, false},
    };
    for (const Row& row : rows) {
        auto cell = std::make_unique<TQPermissionTableCell2>(QString::fromUtf8(row.name));
        cell->setDetails(QString::fromUtf8(row.details));
        cell->setPhoto(ImageRegistry::pixmap(QStringLiteral("user52"), QSizeF(52, 52)));
        cell->setHasLink(true);
        cell->setDeletable(row.deletable);
        cell->setActionCells({TQHoverdAdaptorButtonCell::permissionCellWithRole(row.role)});
        const QPointF mouse = row.hoverRemove ? QPointF(width - 28, 34) : QPointF(-100, -100);
        samples.append({QString::fromLatin1(row.caption), new RowSample(std::move(cell), width, mouse)});
    }
    auto link =
        std::make_unique<TQLinkPermissionTableCell2>(QStringLiteral("https://docs.example.com/launch"));
    link->setActionCells({TQHoverdAdaptorButtonCell::permissionCellWithRole(1)});
    samples.append({QStringLiteral("The link row (detail view)"), new RowSample(std::move(link), width)});
    auto plain =
        std::make_unique<TQLinkPermissionTableCell>(QStringLiteral("https://docs.example.com/floor"));
    samples.append(
        {QStringLiteral("The link row (people-with-access list)"), new RowSample(std::move(plain), width)});
    return samples;
}

QList<GallerySample> shareWithDialogs()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    const Account& a = account();
    QList<GallerySample> samples;
    {
        auto* dialog = new TQShareWithController;
        dialog->setItem(std::static_pointer_cast<FileEntryAbstract>(a.budget));
        samples.append({QStringLiteral("One document, empty"), dialogScene(dialog, -1)});
    }
    {
        auto* dialog = new TQShareWithController;
        dialog->setItem(std::static_pointer_cast<FileEntryAbstract>(a.floor));
        dialog->view();
        dialog->contacts()->setTokens(
            {ShareToken::person(a.ann), ShareToken::addressToken(QStringLiteral("a+b@my-company.com"))});
        dialog->validateButtons();
        samples.append(
            {QStringLiteral("Commenters supported, a person and an address"), dialogScene(dialog, -1)});
    }
    {
        auto* dialog = new TQShareWithController;
        dialog->setItems({a.budget, a.launch});
        dialog->view();
        dialog->contacts()->setTokens(
            {ShareToken::person(a.omar), ShareToken::plainText(QStringLiteral("bob at work"))});
        dialog->share(nullptr); // marks the text and stays open
        samples.append({QStringLiteral("Two documents, text that is not an address"), dialogScene(dialog)});
    }
    {
        auto* dialog = new TQShareWithController;
        dialog->view();
        // A folder of three files, measured before the picture is taken.
        const QString folder = QDir::temp().filePath(QStringLiteral("tavrel-gallery/Holiday photos"));
        QDir().mkpath(folder);
        for (int i = 1; i <= 3; ++i) {
            QFile photo(QStringLiteral("%1/photo-%2.jpg").arg(folder).arg(i));
            if (photo.open(QIODevice::WriteOnly))
                photo.write(QByteArray(i * 210 * 1024, 'x'));
        }
        dialog->setFilesToUpload({folder});
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        samples.append({QStringLiteral("Upload and share"), dialogScene(dialog)});
    }
    return samples;
}

QList<GallerySample> changeOwnerDialogs()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    const Account& a = account();
    QList<GallerySample> samples;
    {
        auto* dialog = new TQChangeOwnerController;
        dialog->setItem(std::static_pointer_cast<FileEntryAbstract>(a.budget));
        samples.append({QStringLiteral("One document, nobody named yet"), dialogScene(dialog)});
    }
    {
        auto* dialog = new TQChangeOwnerController;
        dialog->setItems({a.budget, a.launch});
        dialog->view();
        dialog->contactField()->setTokens({ShareToken::person(a.ann)});
        dialog->validateButtons();
        samples.append({QStringLiteral("Two documents, a new owner named"), dialogScene(dialog)});
    }
    {
        auto* dialog = new TQChangeOwnerController;
        dialog->setItem(std::static_pointer_cast<FileEntryAbstract>(a.budget));
        dialog->view();
        dialog->contactField()->setTokens({ShareToken::plainText(QStringLiteral("the boss"))});
        dialog->validateButtons();
        samples.append({QStringLiteral("Text that names nobody: the button stays off"), dialogScene(dialog)});
    }
    {
        // The warning for another domain, drawn as its sheet; the alert goes with the box.
        auto* warning = new Alert;
        warning->setMessageText(StringTable::format(QStringLiteral("WrongDomainTitle"), a.zoe->address()));
        warning->setInformativeText(StringTable::text(QStringLiteral("WrongDomainMessage")));
        warning->setShowsSuppressionButton(true);
        warning->setSuppressionButtonTitle(StringTable::text(QStringLiteral("DontAskAgain")));
        QMessageBox* box = warning->makeMessageBox(nullptr);
        box->setParent(nullptr);
        box->setWindowFlags(Qt::Widget);
        box->adjustSize();
        QObject::connect(box, &QObject::destroyed, [warning] { delete warning; });
        samples.append({QStringLiteral("The owner warning across domains"), box});
    }
    return samples;
}

QList<GallerySample> sharingSettings()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    const Account& a = account();
    auto settings = [](const SharingPermissions::Items& items) {
        auto* dialog = new TQSharingSettingsController;
        dialog->setItems(items);
        auto* holder = dialogScene(dialog);
        dialog->window()->setTitle(StringTable::text(QStringLiteral("WindowSharingSettings")));
        return holder;
    };
    return {{QStringLiteral("Writers may invite"), settings({a.budget})},
            {QStringLiteral("Only the owner"), settings({a.launch})},
            {QStringLiteral("Mixed: nothing chosen, Save waits"), settings({a.budget, a.launch})}};
}

// A list shown as its embedding view shows it, its rows built.
QWidget* listScene(TQSharingContactsController* list)
{
    auto* holder = new QWidget;
    holder->resize(520, 330);
    QWidget* view = list->view();
    view->setParent(holder);
    view->setGeometry(holder->rect());
    list->setParent(holder);
    new CurrentSessionGuard(holder);
    holder->show();
    list->viewDidInstall();
    QCoreApplication::processEvents();
    holder->hide();
    return holder;
}

QList<GallerySample> peopleLists()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    const Account& a = account();
    QList<GallerySample> samples;
    const auto people = [](TQSharingContactsController* list, const std::shared_ptr<File>& item) {
        list->setItem(item);
        return listScene(list);
    };
    samples.append(
        {QStringLiteral("Mine: an editor and a viewer"), people(new TQSharingContactsController, a.budget)});
    samples.append({QStringLiteral("Mine, anyone with the link: the link row after the owner"),
                    people(new TQSharingContactsController, a.launch)});
    samples.append({QStringLiteral("Someone else's, commenters supported"),
                    people(new TQSharingContactsController, a.agenda)});
    samples.append(
        {QStringLiteral("Detail view: role icons"), people(new TQSharingContactsController3, a.budget)});
    samples.append(
        {QStringLiteral("Detail view: the link row"), people(new TQSharingContactsController3, a.launch)});
    return samples;
}

QList<GallerySample> sharingDetails()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    const Account& a = account();
    const auto details = [](const SharingPermissions::Items& items) {
        auto* view = new TQSharingDetailsController;
        view->setItems(items);
        return listScene(view);
    };
    return {{QStringLiteral("One document"), details({a.budget})},
            {QStringLiteral("Two documents, one with a link: \"Varies\""), details({a.budget, a.launch})},
            {QStringLiteral("Two owners: \"VARIES\" badges"), details({a.budget, a.floor})}};
}

QList<GallerySample> shareDialogs()
{
    TQSessionManager::sharedManager()->setCurrentSession(account().session);
    const Account& a = account();
    QList<GallerySample> samples;
    samples.append(
        {QStringLiteral("Share dialog: one document"), dialogScene(new TQShareController({a.budget}))});
    samples.append({QStringLiteral("Share dialog: two documents of two owners"),
                    dialogScene(new TQShareController({a.budget, a.floor}))});
    auto* readonly = new TQShareReadonlyController;
    readonly->setItems({a.agenda});
    samples.append({QStringLiteral("Read-only view"), dialogScene(readonly)});
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("sharing-quick-permission", "Quick permission popover in its states", quickPermissions)
TAVREL_GALLERY_PAGE("sharing-quick-link", "Quick link popover", quickLinks)
TAVREL_GALLERY_PAGE("sharing-permission-rows", "Permission rows of the detail view and link rows",
                    permissionRows)
TAVREL_GALLERY_PAGE("sharing-share-with", "Share-with dialog in its states", shareWithDialogs)
TAVREL_GALLERY_PAGE("sharing-change-owner", "Change-owner dialog and its warning", changeOwnerDialogs)
TAVREL_GALLERY_PAGE("sharing-settings", "Sharing settings window", sharingSettings)
TAVREL_GALLERY_PAGE("sharing-people", "People with access: the list and the detail view's form", peopleLists)
TAVREL_GALLERY_PAGE("sharing-details", "Sharing details of several documents", sharingDetails)
TAVREL_GALLERY_PAGE("sharing-share-dialog", "Share dialog and read-only share view", shareDialogs)

} // namespace tavrel
