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

std::shared_ptr<TQPermissionTableCell> TQSharingContactsController::rowCell(int row)
{
    const Row& object = m_container.at(row);
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
    return cell;
}

std::shared_ptr<Cell> TQSharingContactsController::makeCellForRow(int row)
{
    const auto entry = this->entry();
    const std::shared_ptr<TQPermissionTableCell> cell = rowCell(row);

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

} // namespace tavrel
