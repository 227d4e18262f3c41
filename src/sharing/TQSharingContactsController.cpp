#include "sharing/TQSharingContactsController.h"

#include "actions/TransferSupport.h"
#include "controls/BasicPopUpButton.h"
#include "controls/TQAvatarPathToImageTransformer.h"
#include "controls/TQDynamicTableView.h"
#include "controls/TQOwnerButtonCell.h"
#include "controls/TQPermissionTableCell.h"
#include "controls/TQPopUpButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTriSwitchButton.h"
#include "documents/TQCopyHelper.h"
#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "model/TQACLEntry.h"
#include "model/TQvCardGenerator.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/MethodNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/SharingClasses.h"
#include "sharing/TQLinkPermissionTableCell.h"
#include "window/ActionError.h"
#include "window/ActionNotifications.h"
#include "window/ActionRequests.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindowController.h"
#include "window/TQNavigationController.h"
#include "window/TQNotificationController.h"
#include "window/ViewClasses.h"

#include <QAbstractListModel>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace tavrel {

namespace {

struct PrivacyEntry
{
    const char* titleKey;
    const char* image;
};

const PrivacyEntry kPrivacyEntries[] = {
    {"PrivateGroup", "private_regular"},       {"AnyoneWithLink", "icon_link_regular"},
    {"PublicOnWeb", "icon_public_regular"},    {"DomainWithLink", "icon_domain_link_regular"},
    {"AnyoneOnDomain", "icon_domain_regular"},
};

QVariant consumer(QObject* list)
{
    return QVariant::fromValue<QObject*>(list);
}

void trackMenuEvent(QObject* sender, QLatin1String command)
{
    if (qobject_cast<QAction*>(sender))
        DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Action"),
                                                          QStringLiteral("ContextualMenu"), command);
}

} // namespace

// The rows as the table counts them; what a row shows comes from its cell.
class TQSharingContactsController::RowsModel : public QAbstractListModel
{
public:
    explicit RowsModel(TQSharingContactsController* list) : QAbstractListModel(list), m_list(list) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : m_list->rowCount();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_list->rowCount())
            return {};
        const Row& row = m_list->container().at(index.row());
        return row.isLink() ? row.link : row.person->label();
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    TQSharingContactsController* m_list;
};

TQSharingContactsController::TQSharingContactsController(QObject* parent)
    : TQItemDetailsController(QStringLiteral("SharingContactsView"), parent)
{}

TQSharingContactsController::~TQSharingContactsController()
{
    m_watches.clear();
    if (m_dynamicTable)
        m_dynamicTable->setTableDelegate(nullptr);
    for (const QPointer<QWidget>& control : std::as_const(m_rowControls))
        delete control.data();
}

std::shared_ptr<FileEntryAbstract> TQSharingContactsController::entry() const
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(item());
}

void TQSharingContactsController::setItem(const ManagedObjectPtr& item)
{
    if (item == this->item())
        return;
    TQItemDetailsController::setItem(item);
    watchItems();
    if (!isViewLoaded())
        return;
    const auto entry = this->entry();
    const QString me = SharingPermissions::username();
    const bool mine = entry && entry->owner() && SharingRoles::sameAddress(entry->owner()->address(), me);
    if (entry && !SharingPermissions::offersDomainEntries(*entry, me) && m_privacySettings &&
        m_privacySettings->menu()) {
        QList<QAction*> items = m_privacySettings->menu()->actions();
        while (items.size() > 3) {
            QAction* last = items.takeLast();
            m_privacySettings->menu()->removeAction(last);
            delete last;
        }
    }
    if (m_settingsButton)
        m_settingsButton->setVisible(mine);
    if (isInstalled())
        prepareContent();
}

QVariant TQSharingContactsController::itemValue() const
{
    return item() ? QVariant::fromValue(item()) : QVariant();
}

void TQSharingContactsController::setItemValue(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<ManagedObjectPtr>())
        setItem(value.value<ManagedObjectPtr>());
}

bool TQSharingContactsController::isOwnerRow(int row) const
{
    const auto entry = this->entry();
    const std::shared_ptr<Mail> person = personAtRow(row);
    const std::shared_ptr<Mail> owner = entry ? entry->owner() : nullptr;
    return person && owner && (person == owner || person->objectID() == owner->objectID());
}

std::shared_ptr<Mail> TQSharingContactsController::personAtRow(int row) const
{
    return row >= 0 && row < rowCount() ? m_container.at(row).person : nullptr;
}

int TQSharingContactsController::privacyIndex() const
{
    return m_privacySettings ? m_privacySettings->indexOfSelectedItem() : 0;
}

int TQSharingContactsController::clickedRow() const
{
    if (m_clickedRow >= 0)
        return m_clickedRow < rowCount() ? m_clickedRow : -1;
    const int row = m_dynamicTable ? m_dynamicTable->lastClickedRow() : -1;
    return row < rowCount() ? row : -1;
}

QAbstractItemView* TQSharingContactsController::makeTable(QWidget* parent)
{
    auto* frame = new QWidget(parent);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QWidget(frame);
    bar->setObjectName(QStringLiteral("sharingBar"));
    bar->setFixedHeight(kBarHeight);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(10, 6, 10, 6);

    m_privacySettings = new BasicPopUpButton(std::make_shared<TQPopUpButtonCell>(), bar);
    m_privacySettings->setObjectName(QStringLiteral("privacySettings"));
    auto* menu = new QMenu(m_privacySettings);
    int index = 0;
    for (const PrivacyEntry& entry : kPrivacyEntries) {
        QAction* action = UserInterfaceItem::makeAction(StringTable::text(QLatin1String(entry.titleKey)),
                                                        Commands::changePrivacySettings, menu, index++, this);
        action->setIcon(QIcon(ImageRegistry::pixmap(QLatin1String(entry.image))));
        menu->addAction(action);
    }
    m_privacySettings->setMenu(menu);
    m_privacySettings->setMinimumWidth(220);
    barLayout->addWidget(m_privacySettings);
    barLayout->addStretch(1);

    m_settingsButton = new QPushButton(StringTable::text(QStringLiteral("WindowSharingSettings")), bar);
    m_settingsButton->setObjectName(QStringLiteral("settingsButton"));
    connect(m_settingsButton, &QPushButton::clicked, this, [this] { showSharingSettings(m_settingsButton); });
    barLayout->addWidget(m_settingsButton);
    m_shareButton = new QPushButton(StringTable::text(QStringLiteral("MenuShare")), bar);
    m_shareButton->setObjectName(QStringLiteral("shareButton"));
    connect(m_shareButton, &QPushButton::clicked, this, [this] { share(m_shareButton); });
    barLayout->addWidget(m_shareButton);
    layout->addWidget(bar);

    m_dynamicTable = new TQDynamicTableView(frame);
    m_dynamicTable->setTableDelegate(this);
    m_model = new RowsModel(this);
    m_dynamicTable->setModel(m_model);
    m_dynamicTable->setRowHeight(int(TQPermissionTableCell::minCellHeight()));
    m_dynamicTable->setShouldHighlightSelection(false);
    m_dynamicTable->setShouldHighlightTrackingRow(false);
    layout->addWidget(m_dynamicTable, 1);
    return m_dynamicTable;
}

void TQSharingContactsController::awakeFromNib()
{
    TQItemDetailsController::awakeFromNib();
    buildRowMenu();
    if (m_settingsButton)
        m_settingsButton->setVisible(false);
    // An item given before the view existed trims the pop-up now.
    if (const ManagedObjectPtr given = item()) {
        TQItemDetailsController::setItem(nullptr);
        setItem(given);
    }
}

void TQSharingContactsController::buildRowMenu()
{
    m_rowMenu = new QMenu(view());
    m_rowMenu->setObjectName(QStringLiteral("rowMenu"));
    const auto add = [this](const char* key, QLatin1String command) {
        m_rowMenu->addAction(UserInterfaceItem::makeAction(StringTable::text(QLatin1String(key)), command,
                                                           m_rowMenu, 0, this));
    };
    add("ShowProfile", Commands::showContact);
    add("EditContact", Commands::editContact);
    add("AddToFavorites", Commands::toggleFavoriteState);
    add("ExportVCard", Commands::exportTovCard);
    m_rowMenu->addSeparator();
    add("QuickRemoveAccess", Commands::deleteContact);
    // Groups have no action on the service: the menu offers none.
}

void TQSharingContactsController::viewDidInstall()
{
    const bool first = !isInstalled();
    TQItemDetailsController::viewDidInstall();
    if (first)
        prepareContent();
}

QList<std::shared_ptr<Mail>> TQSharingContactsController::peopleOfItems() const
{
    QList<std::shared_ptr<Mail>> people;
    const auto entry = this->entry();
    if (!entry)
        return people;
    if (const auto owner = entry->owner())
        people.append(owner);
    people += entry->editors();
    people += entry->viewers();
    people += entry->commenters();
    return people;
}

SharingPermissions::Items TQSharingContactsController::watchedItems() const
{
    const auto entry = this->entry();
    return entry ? SharingPermissions::Items{entry} : SharingPermissions::Items{};
}

void TQSharingContactsController::watchItems()
{
    m_watches.clear();
    for (const auto& watched : watchedItems()) {
        for (const char* key : {"editors", "viewers", "commenters"}) {
            auto watch = std::make_unique<RecordWatch>();
            watch->watch(watched, QLatin1String(key), [this] { itemSetChanged(); });
            m_watches.push_back(std::move(watch));
        }
    }
}

void TQSharingContactsController::itemSetChanged()
{
    // Someone joined or left a role set: the rows follow; a move between sets changes no row.
    QSet<const Mail*> shown;
    for (const Row& row : std::as_const(m_container))
        if (row.person)
            shown.insert(row.person.get());
    QSet<const Mail*> now;
    for (const auto& person : peopleOfItems())
        if (person)
            now.insert(person.get());
    if (shown == now)
        return;
    TQLog("Updated people of %@", entry() ? entry()->title() : QString());
    prepareContent();
}

void TQSharingContactsController::prepareContent()
{
    QList<Row> rows;
    for (const auto& person : peopleOfItems())
        if (person)
            rows.append({person, {}});
    m_container = rows;
    refresh();
}

int TQSharingContactsController::linkRowPosition() const
{
    return std::min(1, rowCount());
}

bool TQSharingContactsController::insertLinkRow()
{
    const auto entry = this->entry();
    const QString link = entry ? entry->alternateLink() : QString();
    if (link.isEmpty())
        return false;
    for (const Row& row : std::as_const(m_container))
        if (row.isLink())
            return false;
    m_container.insert(linkRowPosition(), Row{nullptr, link});
    return true;
}

void TQSharingContactsController::selectPrivacyIndex(int index)
{
    if (!m_privacySettings)
        return;
    const int count = m_privacySettings->menu() ? int(m_privacySettings->menu()->actions().size()) : 0;
    m_privacySettings->selectItemAtIndex(index < count ? index : 0);
    if (auto* cell = dynamic_cast<TQPopUpButtonCell*>(m_privacySettings->popUpCell()))
        cell->setFixedTitle(QString());
    m_privacySettings->update();
}

void TQSharingContactsController::refresh()
{
    if (!isViewLoaded())
        return;
    const auto entry = this->entry();
    const int index = entry ? SharingPermissions::privacyIndex(*entry) : 0;
    if (SharingPermissions::hasLinkRow(index))
        insertLinkRow();
    selectPrivacyIndex(index);
    reloadRows();
}

void TQSharingContactsController::keepRowControl(QWidget* control)
{
    m_rowControls.append(control);
}

void TQSharingContactsController::reloadRows()
{
    m_reusedCells.clear();
    if (m_dynamicTable)
        m_dynamicTable->removeAllCachedViews();
    for (const QPointer<QWidget>& control : std::as_const(m_rowControls))
        if (control)
            control->deleteLater();
    m_rowControls.clear();
    if (m_model)
        m_model->reset();
    if (m_dynamicTable) {
        m_dynamicTable->reloadData();
        m_dynamicTable->viewport()->update();
    }
}

bool TQSharingContactsController::respondsTo(Method method) const
{
    return method == DataCell || method == ViewForRow || method == ShouldSelectRow;
}

Cell* TQSharingContactsController::tableViewDataCell(TQTableView*, int row)
{
    if (row < 0 || row >= rowCount())
        return nullptr;
    auto found = m_reusedCells.find(row);
    if (found == m_reusedCells.end())
        found = m_reusedCells.insert(row, makeCellForRow(row));
    return found.value().get();
}

std::shared_ptr<Cell> TQSharingContactsController::makeCellForRow(int row)
{
    const Row& object = m_container.at(row);
    const auto entry = this->entry();
    std::shared_ptr<TQPermissionTableCell> cell;
    if (object.isLink()) {
        cell = std::make_shared<TQLinkPermissionTableCell>(object.link);
        cell->setLinkAction([this, row](Cell&) {
            setClickedRow(row);
            openInBrowser(nullptr);
            setClickedRow(-1);
        });
        auto* menu = new QMenu(view());
        menu->addAction(UserInterfaceItem::makeAction(StringTable::text(QStringLiteral("MenuCopyLink")),
                                                      Commands::copyLink, menu, 0, this));
        keepRowControl(menu);
        cell->setMenu(menu);
    } else {
        cell = std::make_shared<TQPermissionTableCell>();
        const std::shared_ptr<Mail>& person = object.person;
        const auto contact = person->contact();
        if (SharingRoles::sameAddress(person->address(), SharingPermissions::username())) {
            cell->setTitle(StringTable::text(QStringLiteral("OnlyME")));
            cell->setDetails(person->address());
        } else if (contact) {
            cell->setTitle(person->displayName());
            cell->setDetails(person->address());
        } else {
            cell->setTitle(person->address());
        }
        const TQAvatarPathToImageTransformer photos(52);
        cell->setPhoto(photos.transformedValue(contact ? contact->avatar() : QString()).value<QPixmap>());
        cell->setLinkAction([this, row](Cell&) {
            setClickedRow(row);
            showContact(nullptr);
            setClickedRow(-1);
        });
        cell->setMenu(m_rowMenu);
    }
    cell->setHasLink(true);
    cell->setTitleAttributeLink(true);

    QWidget* control = nullptr;
    if (isOwnerRow(row)) {
        auto badge = std::make_shared<TQOwnerButtonCell>(StringTable::text(QStringLiteral("OWNER")));
        auto* button = new CellButton(badge);
        button->setObjectName(QStringLiteral("ownerBadge"));
        button->setEnabled(false);
        control = button;
    } else {
        const bool commenter = entry && entry->hasCommenterSupport();
        TQSwitchButton* role = commenter ? new TQTriSwitchButton : new TQSwitchButton;
        role->setObjectName(QStringLiteral("roleSwitch"));
        cell->setHasLongAuxiliaryView(commenter);
        UserInterfaceItem::setTag(role, row);
        role->setAction([this](TQSwitchButton& sender) { togglePermission(&sender); });
        control = role;
        cell->setDeletable(true);
        cell->setButtonAction([this, row](Cell&) { deleteRow(row); });
    }
    keepRowControl(control);
    cell->setAuxiliaryView(control);
    return cell;
}

QWidget* TQSharingContactsController::dynamicTableViewViewForRow(TQDynamicTableView* table, int row)
{
    auto* cell = dynamic_cast<TQPermissionTableCell*>(tableViewDataCell(table, row));
    QWidget* control = cell ? cell->auxiliaryView() : nullptr;
    if (!control)
        return nullptr;
    control->setGeometry(cell->frameForAuxiliaryViewInBounds(table->rectOfRow(row)).toRect());
    if (auto* role = qobject_cast<TQSwitchButton*>(control)) {
        const auto entry = this->entry();
        const Row& object = m_container.at(row);
        const auto acl = entry ? entry->generalACL() : nullptr;
        const QString general = object.isLink() && acl ? acl->role() : QString();
        int state = SharingPermissions::Writer;
        if ((entry && !object.isLink() && entry->viewers().contains(object.person)) ||
            general == QLatin1String("reader"))
            state = SharingPermissions::Reader;
        else if ((entry && !object.isLink() && entry->commenters().contains(object.person)) ||
                 general == QLatin1String("commenter"))
            state = SharingPermissions::Commenter;
        role->setCellState(state);
        role->synchronizeState();
    }
    return control;
}

// --- Commands ---

void TQSharingContactsController::showBanner(const QString& messageKey)
{
    TQNotificationController* banner = notificationController();
    if (!banner) {
        TQLog("E: No banner for: %@", StringTable::text(messageKey));
        return;
    }
    banner->setMessage(StringTable::text(messageKey), QString(),
                       StringTable::text(QStringLiteral("RequestRightsAction")));
    banner->showNotification();
}

void TQSharingContactsController::takePrivacyChoice(QObject* sender)
{
    // The menu's item sends before the pop-up takes it as its selection.
    auto* chosen = qobject_cast<QAction*>(sender);
    if (chosen && m_privacySettings && m_privacySettings->menu() &&
        m_privacySettings->menu()->actions().contains(chosen))
        m_privacySettings->popUpCell()->selectItem(chosen);
}

void TQSharingContactsController::changePrivacySettings(QObject* sender)
{
    takePrivacyChoice(sender);
    const auto entry = this->entry();
    if (!entry)
        return;
    const int index = privacyIndex();
    const QString me = SharingPermissions::username();
    if (!SharingPermissions::mayChangeVisibility(*entry, me)) {
        showBanner(QStringLiteral("ChangeVisibilityDeniedMessage"));
        prepareContent();
        return;
    }
    const auto current = entry->generalACL();
    const auto access = SharingPermissions::generalPermissionForPrivacyIndex(index, me, current.get());
    TQLog("Changing generic permission: %@", entry->title());
    QVariantMap parameters{{QStringLiteral("documentEntity"), SharingPermissions::recordValue(entry)},
                           {QStringLiteral("statusID"), SharingPermissions::statusIdentifier(
                                                            QStringLiteral("genpermission"), entry.get())},
                           {QStringLiteral("progressConsumer"), consumer(this)}};
    if (access)
        parameters.insert(QStringLiteral("generalACLPermission"), QVariant::fromValue(access));
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermission"),
        Invocation::invocationForSelector(Selectors::setGenPermissionDidFinish, this), parameters);
    // The link row follows the choice at once; the answer rebuilds the rows.
    bool changed = false;
    qsizetype linkRow = -1;
    for (qsizetype row = 0; row < m_container.size(); ++row)
        if (m_container.at(row).isLink())
            linkRow = row;
    if (index <= 0 && linkRow >= 0) {
        m_container.removeAt(linkRow);
        changed = true;
    } else if (index > 0) {
        changed = insertLinkRow();
    }
    if (changed)
        reloadRows();
}

void TQSharingContactsController::togglePermission(QObject* sender)
{
    if (!sender)
        return;
    auto* role = qobject_cast<TQSwitchButton*>(sender);
    setRoleOfRow(UserInterfaceItem::tag(sender), role ? role->state() : UserInterfaceItem::state(sender));
}

void TQSharingContactsController::setRoleOfRow(int row, int code)
{
    const auto entry = this->entry();
    if (row < 0 || row >= rowCount() || !entry || isOwnerRow(row))
        return;
    const Row& object = m_container.at(row);
    if (object.isLink()) {
        const auto current = entry->generalACL();
        auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(
            SharingPermissions::username());
        access->setRole(SharingPermissions::generalRoleForRoleCode(code));
        if (current) {
            access->setType(current->type());
            access->setHasLink(current->hasLink());
            access->setXml(current->xml());
        }
        TQLog("Changing generic permission: %@", entry->title());
        ActionRequests::executeDocumentAction(
            QStringLiteral("SetGeneralACLPermission"),
            Invocation::invocationForSelector(Selectors::operationDidFinish, this),
            {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(entry)},
             {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)},
             {QStringLiteral("statusID"),
              SharingPermissions::statusIdentifier(QStringLiteral("genpermission"), entry.get())},
             {QStringLiteral("progressConsumer"), consumer(this)}});
        return;
    }
    TQACLEntry acl(TQACLEntry::User, SharingPermissions::aclRoleForRoleCode(code), object.person->address());
    acl.setDisplayName(object.person->displayName());
    TQLog("Set permission for: %@", object.person->address());
    // The answer rebuilds the rows: a refused change reaches the banner and the switch goes back.
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("documentEntities"), QVariantList{SharingPermissions::recordValue(entry)}},
         {QStringLiteral("ACLEntries"), QVariantList{QVariant::fromValue(acl)}},
         {QStringLiteral("modified"), true},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("setpermission"), object.person.get())},
         {QStringLiteral("progressConsumer"), consumer(this)}});
}

void TQSharingContactsController::deleteContact(QObject* sender)
{
    trackMenuEvent(sender, Commands::deleteContact);
    const int row = clickedRow();
    if (row < 0)
        return;
    deleteRow(row);
}

void TQSharingContactsController::deleteRow(int row)
{
    const auto entry = this->entry();
    if (row < 0 || row >= rowCount() || !entry)
        return;
    if (isLinkRow(row)) {
        selectPrivacyIndex(0);
        changePrivacySettings(m_privacySettings);
        return;
    }
    const std::shared_ptr<Mail> person = m_container.at(row).person;
    TQLog("Deleting permission for contact: %@ [%@]", person->address(), entry->title());
    ActionRequests::executeDocumentAction(
        QStringLiteral("RemovePermission"),
        Invocation::invocationForSelector(Selectors::contactDidUnshare, this),
        {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(entry)},
         {QStringLiteral("mailAddress"), person->address()},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("removepermission"), person.get())},
         {QStringLiteral("progressConsumer"), consumer(this)}});
}

QList<int> TQSharingContactsController::chosenRows() const
{
    QList<int> rows = const_cast<TQSharingContactsController*>(this)->selectedRows();
    if (rows.isEmpty() && m_clickedRow >= 0)
        rows = {m_clickedRow};
    return rows;
}

void TQSharingContactsController::toggleFavoriteState(QObject* sender)
{
    trackMenuEvent(sender, Commands::toggleFavoriteState);
    QVariantList chosen;
    bool anyNotFavourite = false;
    for (const int row : chosenRows()) {
        if (const std::shared_ptr<Mail> person = personAtRow(row)) {
            chosen.append(QVariant::fromValue(ManagedObjectPtr(person)));
            anyNotFavourite = anyNotFavourite || !person->favorite().toBool();
        }
    }
    if (chosen.isEmpty())
        return;
    ActionRequests::execute(
        ActionRequests::Manager::Contacts, QStringLiteral("UpdateMails"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("mailEntities"), chosen},
         {QStringLiteral("isFavorite"), anyNotFavourite},
         {QStringLiteral("statusID"), QStringLiteral("favorites_%1").arg(ActionRequests::uniqueNumber())},
         {QStringLiteral("progressConsumer"), consumer(this)}});
}

void TQSharingContactsController::showContact(QObject*)
{
    const std::shared_ptr<Mail> person = personAtRow(clickedRow());
    if (!person)
        return;
    TQLog("Show contact: %@", person->label());
    auto* page = ViewClasses::make<TQViewController>(TQMainWindowController::kContactViewClass);
    if (!page)
        return;
    QMetaObject::invokeMethod(page, Methods::setEmail,
                              Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(person))));
    if (SharingRoles::sameAddress(person->address(), SharingPermissions::username()))
        DMTracker::defaultTracker()->trackEventInCategory(
            QStringLiteral("Navigation"), QStringLiteral("PersonalProfile"), QStringLiteral("Sharing"));
    if (TQNavigationController* stack = navigationController())
        stack->pushController(page);
    else
        delete page;
}

void TQSharingContactsController::editContact(QObject* sender)
{
    trackMenuEvent(sender, Commands::editContact);
    const QList<int> rows = chosenRows();
    const std::shared_ptr<Mail> person = personAtRow(rows.isEmpty() ? -1 : rows.constFirst());
    if (!person)
        return;
    QObject* editor = ViewClasses::make(TQMainWindowController::kMailEditorClass);
    if (!editor)
        return;
    QMetaObject::invokeMethod(editor, Methods::setEmail,
                              Q_ARG(QVariant, QVariant::fromValue(ManagedObjectPtr(person))));
    QMetaObject::invokeMethod(editor, Methods::showWindowModalToWindow, Q_ARG(QWidget*, view()->window()));
}

QString TQSharingContactsController::exportvCardToFolder(const std::shared_ptr<Mail>& person,
                                                         const QString& folder)
{
    if (!person || folder.isEmpty())
        return {};
    TQLog("Exporting vCards...");
    const QByteArray card = TQvCardGenerator::vCardForContact(person);
    if (card.isEmpty())
        return {};
    TQLog("\tGenerated vCard for: %@", person->address());
    QString name = person->displayName().trimmed();
    if (name.isEmpty())
        name = person->address().trimmed();
    // One name inside the folder: no separators, no leading dot, nothing empty.
    const QString wanted = QDir(folder).filePath(TransferSupport::safeFileName(name, QStringLiteral("vcf")));
    // Created only where nothing exists, so a file that appears meanwhile is never replaced.
    for (int attempt = 0; attempt < 100; ++attempt) {
        QFile file(TQCopyHelper::freePathFor(wanted));
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            continue;
        if (file.write(card) == card.size() && file.flush())
            return file.fileName();
        TQLog("E: Cannot write vCard: %@", file.fileName());
        file.remove();
        return {};
    }
    return {};
}

void TQSharingContactsController::exportTovCard(QObject* sender)
{
    trackMenuEvent(sender, Commands::exportTovCard);
    const QList<int> rows = chosenRows();
    const std::shared_ptr<Mail> person = personAtRow(rows.isEmpty() ? -1 : rows.constFirst());
    if (!person)
        return;
    auto* panel = new QFileDialog(isViewLoaded() ? view()->window() : nullptr);
    panel->setObjectName(QStringLiteral("vCardFolderPanel"));
    panel->setFileMode(QFileDialog::Directory);
    panel->setOption(QFileDialog::ShowDirsOnly, true);
    panel->setLabelText(QFileDialog::Accept, StringTable::text(QStringLiteral("Select")));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    const QPointer<TQSharingContactsController> self(this);
    connect(panel, &QFileDialog::fileSelected, panel, [self, person](const QString& folder) {
        if (!self)
            return;
        if (exportvCardToFolder(person, folder).isEmpty())
            self->showBanner(QStringLiteral("ExportVCardFailed"));
    });
    panel->open();
}

void TQSharingContactsController::copyLink(QObject* sender)
{
    trackMenuEvent(sender, Commands::copyLink);
    const int row = clickedRow();
    if (!isLinkRow(row)) {
        TQLog("E: Logic error! This can be called only for Link, instead got: %@",
              row >= 0 && row < rowCount() ? m_container.at(row).person->address() : QString::number(row));
        return;
    }
    const QString link = m_container.at(row).link;
    TQLog("Copied link: %@", link);
    QList<QUrl> urls;
    for (const QString& each : link.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        urls.append(QUrl(each));
    Clipboard::clear();
    Clipboard::writeURLs(urls);
}

void TQSharingContactsController::openInBrowser(QObject*)
{
    const int row = clickedRow();
    if (!isLinkRow(row)) {
        TQLog("E: Logic error! This can be called only for Link, instead got: %@", QString::number(row));
        return;
    }
    const QString link = m_container.at(row).link;
    TQLog("Open in browser: %@", link);
    QDesktopServices::openUrl(QUrl(link));
    DMTracker::defaultTracker()->trackEventInCategory(
        QStringLiteral("Action"), QStringLiteral("OpenGoogleDocs"), QStringLiteral("Google Docs"));
}

void TQSharingContactsController::share(QObject*)
{
    const auto entry = this->entry();
    if (!entry)
        return;
    auto* dialog = ViewClasses::make<TQFloatingContentController>(TQMainWindowController::kShareWithClass);
    if (!dialog)
        return;
    dialog->setProperty("item", SharingPermissions::recordValue(entry));
    QWidget* window = QuickShareDialogs::showQuickShareDialog(
        isViewLoaded() ? view() : nullptr, dialog, {SharingPermissions::recordValue(entry)}, QPoint());
    if (window) {
        const QPointer<TQSharingContactsController> self(this);
        connect(window, &QObject::destroyed, this, [self] {
            if (self && self->isInstalled())
                self->prepareContent();
        });
    }
}

void TQSharingContactsController::showSharingSettings(QObject*)
{
    const auto entry = this->entry();
    if (!entry)
        return;
    auto* settings =
        ViewClasses::make<TQFloatingContentController>(QLatin1String(SharingClasses::kSharingSettingsClass));
    if (!settings)
        return;
    settings->setProperty("items", QVariantList{SharingPermissions::recordValue(entry)});
    QuickShareDialogs::showCentred(isViewLoaded() ? view() : nullptr, settings,
                                   StringTable::text(QStringLiteral("WindowSharingSettings")));
}

bool TQSharingContactsController::validateUserInterfaceItem(QObject* item)
{
    const bool base = TQItemDetailsController::validateUserInterfaceItem(item);
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::newFakeAction)
        return false;
    if (command == Commands::togglePermission || command == Commands::changePrivacySettings)
        return base;
    if (command == Commands::toggleFavoriteState) {
        const QList<int> rows = chosenRows();
        const std::shared_ptr<Mail> person = personAtRow(rows.isEmpty() ? -1 : rows.constFirst());
        const bool enabled = person && person->contact() &&
                             !SharingRoles::sameAddress(person->address(), SharingPermissions::username());
        if (enabled)
            UserInterfaceItem::setTitle(item, StringTable::text(person->favorite().toBool()
                                                                    ? QStringLiteral("RemoveFromFavorites")
                                                                    : QStringLiteral("AddToFavorites")));
        return enabled;
    }
    if (command == Commands::showContact || command == Commands::editContact ||
        command == Commands::exportTovCard) {
        const QList<int> rows = chosenRows();
        return base && personAtRow(rows.isEmpty() ? -1 : rows.constFirst()) != nullptr;
    }
    if (command == Commands::deleteContact)
        return base && clickedRow() >= 0;
    if (command == Commands::copyLink)
        return isLinkRow(clickedRow());
    return base;
}

// --- Callbacks ---

void TQSharingContactsController::operationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQViewController::operationDidFinishWithResult(result, error);
    prepareContent();
}

void TQSharingContactsController::setGenPermissionDidFinishWithResult(const QVariant& result,
                                                                      const QVariant& error)
{
    operationDidFinishWithResult(result, error);
    if (!ActionError::errorFromValue(error).isNull())
        return;
    const QVariantList records = ActionNotifications::records(result);
    const auto document =
        records.isEmpty()
            ? nullptr
            : std::dynamic_pointer_cast<FileEntryAbstract>(records.constLast().value<ManagedObjectPtr>());
    const auto access = document ? document->generalACL() : nullptr;
    if (!access || !access->hasLink().toBool() || document->alternateLink().isEmpty())
        return;
    Clipboard::clear();
    Clipboard::writeURLs({QUrl(document->alternateLink())});
    ActionNotifications::post(document->title(), StringTable::text(QStringLiteral("LinkPermissionFormat")));
}

void TQSharingContactsController::contactDidUnshareWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
}

} // namespace tavrel
