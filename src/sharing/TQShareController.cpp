#include "sharing/TQShareController.h"

#include "controls/BasicPopUpButton.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQOwnerButtonCell.h"
#include "controls/TQPopUpButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "model/TQACLEntry.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/TQShareWithController.h"
#include "window/ActionRequests.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSet>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tavrel {

namespace {

const char* const kPrivacyKeys[] = {"PrivateGroup", "AnyoneWithLink", "PublicOnWeb", "DomainWithLink",
                                    "AnyoneOnDomain"};

QString sortName(const std::shared_ptr<Mail>& person)
{
    if (!person)
        return {};
    if (const auto contact = person->contact(); contact && !contact->name().isEmpty())
        return contact->name();
    if (!person->displayName().isEmpty())
        return person->displayName();
    return person->address();
}

} // namespace

TQShareController::TQShareController(QObject* parent)
    : TQFloatingContentController(QStringLiteral("ShareView"), parent)
{
    setTitle(StringTable::text(QStringLiteral("Back")));
}

TQShareController::TQShareController(const SharingPermissions::Items& items, QObject* parent)
    : TQShareController(parent)
{
    setItems(items);
    view();
}

TQShareController::~TQShareController()
{
    m_watches.clear();
}

void TQShareController::setItems(const SharingPermissions::Items& items)
{
    if (items == m_items)
        return;
    m_items = items;
    watchItems();
    if (isViewLoaded())
        rearrangeObjects();
}

QVariant TQShareController::itemsValue() const
{
    return SharingPermissions::recordValues(m_items);
}

void TQShareController::setItemsValue(const QVariant& value)
{
    SharingPermissions::Items items;
    for (const QVariant& each : value.toList())
        if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(each.value<ManagedObjectPtr>()))
            items.append(entry);
    setItems(items);
}

void TQShareController::watchItems()
{
    m_watches.clear();
    for (const auto& item : std::as_const(m_items)) {
        for (const char* key : {"editors", "viewers", "owner"}) {
            auto watch = std::make_unique<RecordWatch>();
            watch->watch(item, QLatin1String(key), [this] {
                if (isViewLoaded() && !m_pushed)
                    rearrangeObjects();
            });
            m_watches.push_back(std::move(watch));
        }
    }
}

QSet<QString> TQShareController::allOwners() const
{
    QSet<QString> owners;
    for (const auto& item : m_items)
        if (const auto owner = item ? item->owner() : nullptr)
            owners.insert(owner->address());
    return owners;
}

QSet<QString> TQShareController::allViewers() const
{
    QSet<QString> viewers;
    for (const auto& item : m_items)
        if (item)
            for (const auto& person : item->viewers())
                viewers.insert(person->address());
    return viewers;
}

QSet<QString> TQShareController::allEditors() const
{
    QSet<QString> editors;
    for (const auto& item : m_items)
        if (item)
            for (const auto& person : item->editors())
                editors.insert(person->address());
    return editors;
}

int TQShareController::roleOfContact(const QString& address) const
{
    TQLog("Contact: %@ %@", address, SharingPermissions::roleFlagsText(m_items, address));
    return SharingPermissions::roleOverItems(m_items, address);
}

bool TQShareController::sortsBefore(const std::shared_ptr<Mail>& left,
                                    const std::shared_ptr<Mail>& right) const
{
    const auto last = m_items.isEmpty() ? nullptr : m_items.constLast();
    const auto owner = last ? last->owner() : nullptr;
    if (owner && left == owner)
        return right != owner;
    if (owner && right == owner)
        return false;
    return sortName(left).compare(sortName(right), Qt::CaseInsensitive) < 0;
}

QWidget* TQShareController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* outer = new QVBoxLayout(view);
    outer->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(view);
    outer->addWidget(m_pages);

    auto* page = new QWidget(m_pages);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(14, 12, 14, 12);
    auto* top = new QHBoxLayout;
    m_privacySettings = new BasicPopUpButton(std::make_shared<TQPopUpButtonCell>(), page);
    m_privacySettings->setObjectName(QStringLiteral("privacySettings"));
    auto* menu = new QMenu(m_privacySettings);
    for (const char* key : kPrivacyKeys)
        menu->addAction(UserInterfaceItem::makeAction(StringTable::text(QLatin1String(key)),
                                                      Commands::changePrivacySettings, menu, 0, this));
    m_privacySettings->setMenu(menu);
    // Changing the general access of several documents is done in the sharing details: shown only.
    m_privacySettings->setEnabled(false);
    m_privacySettings->setMinimumWidth(200);
    top->addWidget(m_privacySettings);
    top->addStretch(1);
    m_addButton = new QPushButton(StringTable::text(QStringLiteral("MenuShare")), page);
    m_addButton->setObjectName(QStringLiteral("addShares"));
    connect(m_addButton, &QPushButton::clicked, this, [this] { addShares(m_addButton); });
    top->addWidget(m_addButton);
    layout->addLayout(top);

    auto* scroll = new QScrollArea(page);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    m_rowsHost = new QWidget(scroll);
    m_rowsLayout = new QVBoxLayout(m_rowsHost);
    m_rowsLayout->setContentsMargins(0, 0, 0, 0);
    m_rowsLayout->setSpacing(0);
    m_rowsLayout->addStretch(1);
    scroll->setWidget(m_rowsHost);
    layout->addWidget(scroll, 1);
    m_pages->addWidget(page);
    view->setMinimumSize(420, 300);
    view->resize(420, 340);
    rearrangeObjects();
    return view;
}

void TQShareController::showPrivacy()
{
    if (!m_privacySettings)
        return;
    auto* cell = dynamic_cast<TQPopUpButtonCell*>(m_privacySettings->popUpCell());
    if (m_items.size() == 1) {
        m_privacySettings->selectItemAtIndex(SharingPermissions::privacyIndex(*m_items.constFirst()));
        if (cell)
            cell->setFixedTitle(QString());
    } else if (cell) {
        cell->setFixedTitle(StringTable::text(QStringLiteral("VARIOUS")));
    }
    m_privacySettings->setEnabled(false);
    m_privacySettings->update();
}

void TQShareController::rearrangeObjects()
{
    if (!m_rowsLayout)
        return;
    for (const QPointer<QWidget>& widget : std::as_const(m_rowWidgets))
        delete widget.data();
    m_rowWidgets.clear();
    m_rows.clear();

    // Owners, then viewers, then editors, each person once; commenters are not listed.
    const QSet<QString> owners = allOwners();
    QList<std::shared_ptr<Mail>> people;
    QSet<QString> seen;
    const auto take = [&](const std::shared_ptr<Mail>& person) {
        if (person && !seen.contains(person->address().toLower())) {
            seen.insert(person->address().toLower());
            people.append(person);
        }
    };
    for (const auto& item : std::as_const(m_items))
        if (item)
            take(item->owner());
    for (const auto& item : std::as_const(m_items))
        if (item)
            for (const auto& person : item->viewers())
                take(person);
    for (const auto& item : std::as_const(m_items))
        if (item)
            for (const auto& person : item->editors())
                take(person);
    std::stable_sort(people.begin(), people.end(),
                     [this](const auto& left, const auto& right) { return sortsBefore(left, right); });

    for (const auto& person : std::as_const(people)) {
        Row row;
        row.person = person;
        row.owningType = SharingPermissions::ownershipOverItems(m_items, person->address());
        row.owningTitle = SharingPermissions::ownershipTitle(row.owningType);
        row.permissions = roleOfContact(person->address());
        const int index = int(m_rows.size());
        m_rows.append(row);

        auto* widget = new QWidget(m_rowsHost);
        widget->setObjectName(QStringLiteral("shareRow"));
        widget->setFixedHeight(41);
        auto* line = new QHBoxLayout(widget);
        line->setContentsMargins(4, 2, 4, 2);
        const auto contact = person->contact();
        QString name =
            contact && !person->displayName().isEmpty() ? person->displayName() : person->address();
        if (SharingRoles::sameAddress(person->address(), SharingPermissions::username()))
            name = StringTable::text(QStringLiteral("OnlyME"));
        auto* label = new QLabel(name, widget);
        label->setObjectName(QStringLiteral("name"));
        label->setToolTip(person->address());
        line->addWidget(label, 1);
        if (row.owningType != SharingPermissions::kOwnsNone && row.owningType != 0) {
            auto* badge = new CellButton(std::make_shared<TQOwnerButtonCell>(row.owningTitle), widget);
            badge->setObjectName(QStringLiteral("ownerBadge"));
            badge->setEnabled(false);
            badge->setFixedSize(80, 28);
            line->addWidget(badge);
        } else {
            auto* role = new TQSwitchButton(widget);
            role->setObjectName(QStringLiteral("roleSwitch"));
            role->setCellState(row.permissions);
            role->setFixedSize(role->sizeHint());
            role->setAction(
                [this, index](TQSwitchButton& sender) { setPermissionsOfRow(index, sender.state()); });
            line->addWidget(role);
            auto* remove = new QPushButton(QStringLiteral("×"), widget);
            remove->setObjectName(QStringLiteral("removeButton"));
            remove->setToolTip(StringTable::text(QStringLiteral("QuickRemoveAccess")));
            remove->setFixedWidth(28);
            connect(remove, &QPushButton::clicked, this, [this, index] { deleteShareForRow(index); });
            line->addWidget(remove);
        }
        m_rowsLayout->insertWidget(m_rowsLayout->count() - 1, widget);
        m_rowWidgets.append(widget);
    }
    for (const QPointer<QWidget>& widget : std::as_const(m_rowWidgets))
        if (auto* role = widget ? widget->findChild<TQSwitchButton*>() : nullptr)
            role->synchronizeState();
    showPrivacy();
}

TQSwitchButton* TQShareController::roleSwitchOfRow(int row) const
{
    const QWidget* widget = m_rowWidgets.value(row);
    return widget ? widget->findChild<TQSwitchButton*>(QStringLiteral("roleSwitch")) : nullptr;
}

QPushButton* TQShareController::removeButtonOfRow(int row) const
{
    const QWidget* widget = m_rowWidgets.value(row);
    return widget ? widget->findChild<QPushButton*>(QStringLiteral("removeButton")) : nullptr;
}

void TQShareController::setPermissionsOfRow(int row, int permissions)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).permissions == permissions)
        return;
    Row& shown = m_rows[row];
    shown.permissions = permissions;
    int role = -1;
    if (permissions == SharingPermissions::Writer)
        role = 2;
    else if (permissions == SharingPermissions::Reader)
        role = 0;
    if (role < 0)
        return;
    TQACLEntry entry(TQACLEntry::User, role, shown.person->address());
    entry.setDisplayName(shown.person->displayName());
    TQLog("Set permission for: %@", shown.person->address());
    // The answer rebuilds the rows: a refused change reaches the banner and the switch goes back.
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("documentEntities"), SharingPermissions::recordValues(m_items)},
         {QStringLiteral("ACLEntries"), QVariantList{QVariant::fromValue(entry)}},
         {QStringLiteral("modified"), true}});
}

void TQShareController::deleteShareForContact(QObject* sender)
{
    const auto person = std::dynamic_pointer_cast<Mail>(
        UserInterfaceItem::representedObject(sender).value<ManagedObjectPtr>());
    for (int row = 0; person && row < m_rows.size(); ++row)
        if (m_rows.at(row).person == person)
            deleteShareForRow(row);
}

void TQShareController::deleteShareForRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    const QString address = m_rows.at(row).person->address();
    TQLog("Deleting permission for contact: %@ [%lu]", address, qulonglong(m_items.size()));
    ActionRequests::executeDocumentAction(
        QStringLiteral("RemovePermissions"),
        Invocation::invocationForSelector(Selectors::deleteDidFinish, this),
        {{QStringLiteral("documentEntities"), SharingPermissions::recordValues(m_items)},
         {QStringLiteral("mailAddresses"), QStringList{address}}});
}

void TQShareController::addShares(QObject*)
{
    if (m_pushed || !m_pages || m_items.isEmpty())
        return;
    auto* dialog = new TQShareWithController;
    dialog->setShareOnlyMode(true);
    dialog->setShouldReleaseOnWindowClose(true);
    // Every document of the dialog gets the people added.
    if (m_items.size() == 1)
        dialog->setItem(m_items.constFirst());
    else
        dialog->setItems(m_items);
    dialog->setWindow(window());
    auto* page = new QWidget(m_pages);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* back = new QPushButton(StringTable::text(QStringLiteral("Back")), page);
    back->setObjectName(QStringLiteral("backButton"));
    connect(back, &QPushButton::clicked, this, [this, back] { goBack(back); });
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(10, 6, 10, 0);
    bar->addWidget(back);
    bar->addStretch(1);
    layout->addLayout(bar);
    layout->addWidget(dialog->view(), 1);
    dialog->setParent(page);
    m_pages->addWidget(page);
    m_pushedPage = page;
    m_pushed = dialog;
    viewWillUninstall();
    m_pages->setCurrentWidget(page);
    dialog->viewDidInstall();
}

void TQShareController::goBack(QObject*)
{
    if (!m_pushedPage)
        return;
    if (m_pushed) {
        m_pushed->viewWillUninstall();
        m_pushed->setWindow(nullptr);
    }
    m_pages->setCurrentIndex(0);
    m_pushedPage->deleteLater();
    m_pushedPage = nullptr;
    m_pushed = nullptr;
    viewDidInstall();
}

void TQShareController::changePrivacySettings(QObject*)
{
    TQLog("[!] Not implemented: %@", QString(Commands::changePrivacySettings));
}

void TQShareController::viewDidInstall()
{
    TQFloatingContentController::viewDidInstall();
    if (window())
        window()->setWindowTitle(QString());
    rearrangeObjects();
}

void TQShareController::viewWillUninstall()
{
    showPrivacy();
    TQFloatingContentController::viewWillUninstall();
}

void TQShareController::onWindowWillClose()
{
    m_watches.clear();
    TQFloatingContentController::onWindowWillClose();
}

void TQShareController::operationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQFloatingContentController::operationDidFinishWithResult(result, error);
    if (isViewLoaded() && !m_pushed)
        rearrangeObjects();
}

void TQShareController::deleteDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
}

} // namespace tavrel
