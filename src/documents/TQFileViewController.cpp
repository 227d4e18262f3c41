#include "documents/TQFileViewController.h"

#include "chrome/TQFilterbarController.h"
#include "chrome/TQFolderFilteringViewController.h"
#include "chrome/TQTextFilterbar.h"
#include "controls/TQFileItemToThumbnailTransformer.h"
#include "controls/TQHostView.h"
#include "controls/TQHoverdTextButtonCell.h"
#include "controls/TQStateItemCell.h"
#include "documents/ApplicationMenu.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQDetailPreviewController.h"
#include "lists/ListModel.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/GDataMail.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQUtility.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/Predicate.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/CommandValidation.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/ViewClasses.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tavrel {

namespace {

constexpr int kHeaderHeight = 104;
constexpr int kImageEdge = 64;

// The tab titles: a collection's first tab shows its contents.
const char* const kTabTitles[] = {"Preview", "Sharings", "Organize"};

TQMainWindowController* mainWindowControllerOf(QWidget* view)
{
    if (!view)
        return nullptr;
    for (QObject* responder : ResponderChain::chain(view))
        if (auto* controller = qobject_cast<TQMainWindowController*>(responder))
            return controller;
    return nullptr;
}

// The tab of another part of the program, when the program has it.
TQViewController* makeTab(const QString& className, const ManagedObjectPtr& record)
{
    if (!ViewClasses::hasClass(className))
        return nullptr;
    auto* tab = ViewClasses::make<TQViewController>(className);
    if (tab)
        tab->setProperty("item", QVariant::fromValue(record));
    return tab;
}

} // namespace

TQFileViewController::TQFileViewController(QObject* parent)
    : TQViewController(QStringLiteral("FileView"), parent)
{}

TQFileViewController::~TQFileViewController()
{
    QObject::disconnect(m_recordObservation);
}

QVariant TQFileViewController::itemValue() const
{
    return QVariant::fromValue(ManagedObjectPtr(m_item));
}

void TQFileViewController::setItemValue(const QVariant& value)
{
    setItem(value.value<ManagedObjectPtr>());
}

bool TQFileViewController::isCollection() const
{
    return std::dynamic_pointer_cast<Category>(m_item) != nullptr;
}

QString TQFileViewController::username() const
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

bool TQFileViewController::isMine() const
{
    const auto owner = m_item ? m_item->owner() : nullptr;
    return owner && !owner->address().isEmpty() && owner->address() == username();
}

bool TQFileViewController::maySharing() const
{
    if (isMine())
        return true;
    if (!m_item || !m_item->writersCanInvite())
        return false;
    const QString user = username();
    for (const auto& editor : m_item->editors())
        if (!user.isEmpty() && editor && editor->address().startsWith(user, Qt::CaseInsensitive))
            return true;
    return false;
}

void TQFileViewController::setItem(const ManagedObjectPtr& record)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (entry == m_item)
        return;
    QObject::disconnect(m_recordObservation);
    m_item = entry;
    if (!m_item)
        return;
    // The record's access and state changes come as the context's changes of it.
    if (ManagedObjectContext* context = managedObjectContext()) {
        m_recordObservation = connect(context, &ManagedObjectContext::objectsDidChange, this,
                                      [this](const ObjectsDidChangeNotification& change) {
                                          const ManagedObjectPtr shown = m_item;
                                          if (change.invalidatedAll || change.updated.contains(shown)) {
                                              updateHeader();
                                              invalidate();
                                          }
                                      });
    }
    setTitle(m_item->title());
    for (const auto& tab : std::as_const(m_tabs))
        if (tab && !qobject_cast<TQFolderFilteringViewController*>(tab.data()))
            tab->setProperty("item", QVariant::fromValue(record));
    if (isViewLoaded())
        updateHeader();
}

QString TQFileViewController::itemDetails() const
{
    if (!m_item)
        return QString();
    const auto editor = m_item->lastModifiedBy();
    QString who;
    if (!editor)
        who = StringTable::text(QStringLiteral("UnknownUser"));
    else if (editor->address() == username())
        who = StringTable::text(QStringLiteral("OnlyME"));
    else
        who = editor->displayName().isEmpty() ? editor->address() : editor->displayName();
    const QDateTime updated = m_item->updatedDate();
    if (updated.isValid())
        return StringTable::format(QStringLiteral("FileModifiedTimeBy"),
                                   TQUtility::sharedShortDateTimeFormatter().stringFromDate(updated), who);
    return StringTable::format(QStringLiteral("FileModifiedBy"), who);
}

QString TQFileViewController::itemGroups() const
{
    QStringList titles;
    if (const auto file = std::dynamic_pointer_cast<File>(m_item)) {
        for (const auto& collection : file->categories())
            if (collection)
                titles.append(collection->title());
    } else if (const auto collection = std::dynamic_pointer_cast<Category>(m_item)) {
        if (const auto parent = collection->parent())
            titles.append(parent->title());
    }
    return titles.isEmpty() ? QString() : titles.join(QStringLiteral(", "));
}

// --- The view ---

QWidget* TQFileViewController::loadView()
{
    auto* view = new QWidget;
    view->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_header = new TQHostView(view);
    m_header->setObjectName(QStringLiteral("header"));
    m_header->setFixedHeight(kHeaderHeight);
    m_header->setBackgroundColor(Drawing::grey(0.965));
    auto* headerLayout = new QGridLayout(m_header);
    headerLayout->setContentsMargins(16, 12, 16, 12);
    headerLayout->setHorizontalSpacing(12);
    headerLayout->setVerticalSpacing(2);

    m_imageHolder = new QToolButton(m_header);
    m_imageHolder->setObjectName(QStringLiteral("imageHolder"));
    m_imageHolder->setAutoRaise(true);
    m_imageHolder->setIconSize(QSize(kImageEdge, kImageEdge));
    m_imageHolder->setPopupMode(QToolButton::InstantPopup);
    m_imageHolder->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));
    m_commandMenu = new QMenu(m_imageHolder);
    m_commandMenu->setObjectName(QStringLiteral("commandMenu"));
    m_imageHolder->setMenu(m_commandMenu);
    // The items validate against the detail view: the header takes the focus while the menu shows.
    connect(m_commandMenu, &QMenu::aboutToShow, this, [this] { m_header->setFocus(Qt::PopupFocusReason); });
    CommandValidation::attachToMenu(m_commandMenu, m_header);
    headerLayout->addWidget(m_imageHolder, 0, 0, 3, 1, Qt::AlignTop);

    m_titleLabel = new QLabel(m_header);
    m_titleLabel->setObjectName(QStringLiteral("title"));
    m_titleLabel->setFont(Drawing::font(16, QFont::DemiBold));
    m_titleLabel->setTextFormat(Qt::PlainText);
    headerLayout->addWidget(m_titleLabel, 0, 1);
    m_detailsLabel = new QLabel(m_header);
    m_detailsLabel->setObjectName(QStringLiteral("itemDetails"));
    m_detailsLabel->setTextFormat(Qt::PlainText);
    m_detailsLabel->setFont(Drawing::font(12));
    headerLayout->addWidget(m_detailsLabel, 1, 1, 1, 2);
    m_groupsLabel = new QLabel(m_header);
    m_groupsLabel->setObjectName(QStringLiteral("itemGroups"));
    m_groupsLabel->setTextFormat(Qt::PlainText);
    m_groupsLabel->setFont(Drawing::font(12));
    m_groupsLabel->setForegroundRole(QPalette::PlaceholderText);
    headerLayout->addWidget(m_groupsLabel, 2, 1, 1, 2);
    headerLayout->setColumnStretch(1, 1);

    auto* controls = new QHBoxLayout;
    controls->setSpacing(8);
    auto star = std::make_shared<TQStateItemCell>();
    star->setCommand(Commands::toggleStarState);
    star->setTarget(this);
    m_stateButton = new CellButton(star, m_header);
    m_stateButton->setObjectName(QStringLiteral("stateButton"));
    m_stateButton->setFixedSize(20, 20);
    controls->addWidget(m_stateButton);
    m_privacyButton = new QPushButton(m_header);
    m_privacyButton->setObjectName(QStringLiteral("itemPermission"));
    m_privacyMenu = new QMenu(m_privacyButton);
    m_privacyButton->setMenu(m_privacyMenu);
    controls->addWidget(m_privacyButton);
    m_openButton = new QPushButton(StringTable::text(QStringLiteral("MenuOpen")), m_header);
    m_openButton->setObjectName(QStringLiteral("openButton"));
    m_openButton->setDefault(true);
    connect(m_openButton, &QPushButton::clicked, this, [this] { openFile(m_openButton); });
    controls->addWidget(m_openButton);
    headerLayout->addLayout(controls, 0, 2, 1, 1, Qt::AlignVCenter);
    layout->addWidget(m_header);
    ResponderChain::insertResponder(m_header, this);

    auto* barHolder = new TQHostView(view);
    barHolder->setFixedHeight(30);
    barHolder->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("filter_background")));
    auto* barLayout = new QHBoxLayout(barHolder);
    barLayout->setContentsMargins(0, 0, 0, 0);
    m_filterbar = new TQTextFilterbar(barHolder);
    m_filterbar->setObjectName(QStringLiteral("filterbar"));
    barLayout->addWidget(m_filterbar);
    layout->addWidget(barHolder);

    m_body = new QWidget(view);
    m_body->setObjectName(QStringLiteral("tabs"));
    auto* bodyLayout = new QVBoxLayout(m_body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_body, 1);
    return view;
}

void TQFileViewController::awakeFromNib()
{
    TQViewController::awakeFromNib();
    makeTabs();
    TQFilterbarController* filter = filterController();
    filter->setDelegate(this);
    m_body->layout()->addWidget(filter->view());
    QList<TQViewController*> controllers;
    for (int index = 0; index < 3; ++index) {
        TQViewController* tab = m_tabs.value(index);
        if (!tab)
            continue;
        auto* button =
            new CellButton(std::make_shared<TQHoverdTextButtonCell>(StringTable::text(QLatin1String(
                               index == 0 && isCollection() ? "FileViewContents" : kTabTitles[index]))),
                           m_filterbar);
        button->setObjectName(QStringLiteral("tab%1").arg(index));
        button->resize(button->sizeHint().expandedTo(QSize(120, 22)));
        controllers.append(tab);
    }
    m_filterbar->awakeFromNib();
    const int first = qMax(0, controllers.indexOf(tabController(int(m_initialFilter))));
    filter->setInitialController(first);
    filter->setFilterbar(m_filterbar);
    filter->setControllers(controllers);
    m_filterbar->activateButtonAtIndex(first);
    m_openButton->setVisible(!isCollection());
    // The privacy entries: entry 0 is the title; the two domain-wide ones go for an own account
    // without domain permissions.
    static const char* const entries[] = {"PrivateGroup", "AnyoneWithLink", "PublicOnWeb", "DomainWithLink",
                                          "AnyoneOnDomain"};
    const auto owner = m_item ? m_item->owner() : nullptr;
    const bool withoutDomain =
        isMine() && owner && !GDataMail::accountSupportsDomainPermissions(owner->address());
    for (int entry = PrivacyPrivate; entry <= PrivacyDomain; ++entry) {
        if (withoutDomain && entry >= PrivacyDomainLink)
            break;
        QAction* action =
            UserInterfaceItem::makeAction(StringTable::text(QLatin1String(entries[entry - 1])),
                                          Commands::changePrivacySettings, m_privacyMenu, entry, this);
        m_privacyMenu->addAction(action);
    }
    fillCommandMenu();
    updateHeader();
    invalidate();
}

void TQFileViewController::makeTabs()
{
    m_tabs.clear();
    const ManagedObjectPtr record = m_item;
    TQViewController* first = nullptr;
    if (isCollection()) {
        auto* contents = new TQAllItemsController;
        contents->setOwner(this);
        const std::shared_ptr<Category> shown = std::dynamic_pointer_cast<Category>(m_item);
        const QString shownIdentifier = shown ? shown->identifier() : QString();
        contents->setFilter([contents, shownIdentifier] {
            return Predicate::withBlock([contents, shownIdentifier](const QVariant& object) {
                const ManagedObjectPtr candidate = object.value<ManagedObjectPtr>();
                const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(candidate);
                if (!entry || entry->isTrashed())
                    return false;
                // The fetch may read its own copies of the records: they are told apart by identifier.
                bool inside = false;
                if (const auto collection = std::dynamic_pointer_cast<Category>(candidate)) {
                    const auto parent = collection->parent();
                    inside = parent && parent->identifier() == shownIdentifier;
                } else if (const auto file = std::dynamic_pointer_cast<File>(candidate)) {
                    for (const auto& category : file->categories())
                        inside = inside || (category && category->identifier() == shownIdentifier);
                }
                const QString search = contents->searchString();
                return inside && (search.isEmpty() || entry->title().contains(search, Qt::CaseInsensitive));
            });
        });
        auto* folder = new TQFolderFilteringViewController;
        folder->setController(contents);
        folder->setSortDescriptor(SortDescriptor(QStringLiteral("updatedDate"), false));
        first = folder;
    } else {
        first = makeTab(kPreviewTabClass, record);
        if (!first) {
            auto* preview = new TQDetailPreviewController;
            preview->setItem(record);
            first = preview;
        }
    }
    m_tabs.append(first);
    m_tabs.append(makeTab(kSharingTabClass, record));
    TQViewController* collections = makeTab(kCollectionsTabClass, record);
    if (collections) {
        auto* folder = new TQFolderFilteringViewController;
        folder->setController(collections);
        folder->setSortDescriptor(SortDescriptor(QStringLiteral("updatedDate"), false));
        collections = folder;
    }
    m_tabs.append(collections);
    for (const auto& tab : std::as_const(m_tabs))
        if (tab && !tab->parent())
            tab->setParent(this);
}

TQFilterbarController* TQFileViewController::filterController()
{
    if (!m_filterController)
        m_filterController = new TQFilterbarController(this);
    return m_filterController;
}

TQViewController* TQFileViewController::tabController(int index) const
{
    return m_tabs.value(index);
}

int TQFileViewController::currentTab() const
{
    if (!m_filterController)
        return -1;
    return int(m_tabs.indexOf(m_filterController->currentController()));
}

bool TQFileViewController::filterbarControllerShouldSwitchToController(QObject*, QObject* controller)
{
    auto* tab = qobject_cast<TQViewController*>(controller);
    return tab && tab->view();
}

void TQFileViewController::fillCommandMenu()
{
    m_commandMenu->clear();
    auto add = [this](const char* key, QLatin1String command, int tag = 0) {
        QAction* action = UserInterfaceItem::makeAction(StringTable::text(QLatin1String(key)), command,
                                                        m_commandMenu, tag, this);
        m_commandMenu->addAction(action);
        return action;
    };
    add("MenuOpen", Commands::openFile);
    QAction* openWith = add("MenuOpenWith", Commands::openWith, kOpenWithTag);
    auto* applications = new QMenu(m_commandMenu);
    openWith->setMenu(applications);
    connect(applications, &QMenu::aboutToShow, this, [this, applications] {
        applications->clear();
        applications->addAction(
            UserInterfaceItem::makeAction(QString(), Commands::openWith, applications, 0, this));
        applications->addAction(UserInterfaceItem::makeAction(
            StringTable::text(QStringLiteral("MenuOtherApplication")), Commands::chooseApplication,
            applications, ApplicationMenu::kFixedItemsTag, this));
        ApplicationMenu::rebuild(applications, m_item ? m_item->title() : QString(), this);
    });
    add("OpenInBrowser", Commands::openInBrowser, kOpenInBrowserTag);
    m_commandMenu->addSeparator();
    add("MenuCopyLink", Commands::getLinkToShare);
    add("WindowShareWith", Commands::share);
    add("Sharings", Commands::showSharingContacts);
    add("Organize", Commands::organize);
    m_commandMenu->addSeparator();
    add("MenuAddStar", Commands::toggleStarState);
    add("Rename", Commands::rename);
    add("ChangeOwner", Commands::changeOwnership, kChangeOwnerTag);
    add("MenuDownload", Commands::download);
    m_commandMenu->addSeparator();
    add("MenuMoveToTrash", Commands::deleteEntity);
}

void TQFileViewController::updateHeader()
{
    if (!isViewLoaded() || !m_item)
        return;
    m_titleLabel->setText(m_item->title());
    m_detailsLabel->setText(itemDetails());
    const QString groups = itemGroups();
    m_groupsLabel->setText(groups);
    m_groupsLabel->setVisible(!groups.isEmpty());
    // The record's icon or a thumbnail already made, never a new preview.
    TQFileItemToThumbnailTransformer thumbnails;
    thumbnails.setShouldBlockPreviewGeneration(true);
    const QPixmap image =
        thumbnails.transformedValue(QVariant::fromValue(ManagedObjectPtr(m_item))).value<QPixmap>();
    if (!image.isNull())
        m_imageHolder->setIcon(QIcon(image));
    else
        m_imageHolder->setIcon(isCollection() ? ImageRegistry::folderIcon()
                                              : ImageRegistry::fileTypeIcon(m_item->title()));
}

int TQFileViewController::privacyEntryCount() const
{
    return m_privacyMenu ? int(m_privacyMenu->actions().size()) + 1 : 0;
}

void TQFileViewController::invalidate()
{
    if (!m_item || !isViewLoaded())
        return;
    m_stateButton->cellAs<TQStateItemCell>()->setItemState(m_item->isStarred() ? 4 : 3);
    m_stateButton->update();
    const auto acl = m_item->generalACL();
    if (!acl)
        m_privacyEntry = PrivacyPrivate;
    else if (acl->type() == QLatin1String("default"))
        m_privacyEntry = acl->hasLink().toBool() ? PrivacyLink : PrivacyPublic;
    else
        m_privacyEntry = acl->hasLink().toBool() ? PrivacyDomainLink : PrivacyDomain;
    const QList<QAction*> entries = m_privacyMenu->actions();
    for (QAction* entry : entries) {
        entry->setCheckable(true);
        entry->setChecked(UserInterfaceItem::tag(entry) == m_privacyEntry);
        if (entry->isChecked())
            m_privacyButton->setText(entry->text());
    }
    m_privacyButton->update();
    if (m_filterController)
        if (TQViewController* tab = m_filterController->currentController())
            if (tab->metaObject()->indexOfMethod("invalidate()") >= 0)
                QMetaObject::invokeMethod(tab, "invalidate");
}

// --- Installing ---

void TQFileViewController::setNavigationController(TQNavigationController* controller)
{
    m_pushed = m_pushed || controller;
    TQViewController::setNavigationController(controller);
    filterController()->setNavigationController(controller);
}

void TQFileViewController::viewDidInstall()
{
    TQViewController::viewDidInstall();
    if (isCollection())
        if (TQMainWindowController* window = mainWindowControllerOf(view()))
            window->setInsideCategory(std::dynamic_pointer_cast<Category>(m_item));
    if (TQViewController* tab = filterController()->currentController())
        tab->viewDidInstall();
    for (const auto& tab : std::as_const(m_tabs))
        if (tab)
            tab->setNavigationController(navigationController());
}

void TQFileViewController::viewWillUninstall()
{
    if (TQMainWindowController* window = mainWindowControllerOf(view()))
        if (isCollection() && window->insideCategory() == m_item)
            window->setInsideCategory(nullptr);
    TQViewController::viewWillUninstall();
    if (TQViewController* tab = filterController()->currentController())
        tab->viewWillUninstall();
}

void TQFileViewController::viewDidUninstall()
{
    TQViewController::viewDidUninstall();
    if (TQViewController* tab = filterController()->currentController())
        tab->viewDidUninstall();
    // Nobody else owns a detail view: once off the stack it goes.
    TQNavigationController* navigation = navigationController();
    if (m_pushed && (!navigation || !navigation->navigationHistory().contains(this))) {
        m_popped = true;
        if (m_inFlight == 0)
            deleteLater();
    }
}

void TQFileViewController::reactivate()
{
    if (TQNavigationController* navigation = navigationController())
        navigation->popToRootController();
}

void TQFileViewController::popFromStack()
{
    TQNavigationController* navigation = navigationController();
    if (navigation && navigation->topController() == this)
        navigation->popController();
}

} // namespace tavrel
