#include "sharing/TQSharingDetailsController.h"

#include "controls/BasicPopUpButton.h"
#include "controls/TQAvatarPathToImageTransformer.h"
#include "controls/TQDynamicTableView.h"
#include "controls/TQNormalPulldownCell.h"
#include "controls/TQOwnerButtonCell.h"
#include "controls/TQPermissionTableCell.h"
#include "controls/TQPopUpButtonCell.h"
#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "model/TQACLEntry.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/TQLinkPermissionTableCell.h"
#include "window/ActionRequests.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QUrl>

namespace tavrel {

namespace {

QVariant consumer(QObject* list)
{
    return QVariant::fromValue<QObject*>(list);
}

} // namespace

TQSharingDetailsController::TQSharingDetailsController(QObject* parent) : TQSharingContactsController(parent)
{}

TQSharingDetailsController::~TQSharingDetailsController() = default;

void TQSharingDetailsController::setItems(const SharingPermissions::Items& items)
{
    if (items == m_items)
        return;
    m_items = items;
    watchItems();
    if (isViewLoaded())
        invalidate();
}

QVariant TQSharingDetailsController::itemsValue() const
{
    return SharingPermissions::recordValues(m_items);
}

void TQSharingDetailsController::setItemsValue(const QVariant& value)
{
    SharingPermissions::Items items;
    for (const QVariant& each : value.toList())
        if (const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(each.value<ManagedObjectPtr>()))
            items.append(entry);
    setItems(items);
}

QList<std::shared_ptr<Mail>> TQSharingDetailsController::peopleOfItems() const
{
    QList<std::shared_ptr<Mail>> owners;
    QList<std::shared_ptr<Mail>> editors;
    QList<std::shared_ptr<Mail>> viewers;
    QSet<const Mail*> seen;
    const auto take = [&seen](QList<std::shared_ptr<Mail>>& group, const std::shared_ptr<Mail>& person) {
        if (person && !seen.contains(person.get())) {
            seen.insert(person.get());
            group.append(person);
        }
    };
    for (const auto& item : m_items)
        if (item)
            take(owners, item->owner());
    for (const auto& item : m_items)
        if (item)
            for (const auto& person : item->editors())
                take(editors, person);
    for (const auto& item : m_items)
        if (item)
            for (const auto& person : item->viewers())
                take(viewers, person);
    return owners + editors + viewers;
}

QString TQSharingDetailsController::linkText() const
{
    QString text;
    bool first = true;
    for (const auto& item : m_items) {
        const auto acl = item ? item->generalACL() : nullptr;
        if (!acl)
            continue;
        if (first) {
            text = item->alternateLink();
            first = false;
        } else if (acl->hasLink().toBool()) {
            text += QLatin1Char(';') + item->alternateLink();
        }
    }
    return text;
}

bool TQSharingDetailsController::insertLinkRow()
{
    for (const Row& row : container())
        if (row.isLink())
            return false;
    QString link = linkText();
    if (link.isEmpty()) {
        // A privacy change adds the row before the documents have a general access to name.
        QStringList links;
        for (const auto& item : m_items)
            if (item && !item->alternateLink().isEmpty())
                links.append(item->alternateLink());
        link = links.join(QLatin1Char(';'));
    }
    if (link.isEmpty())
        return false;
    mutableContainer().insert(0, Row{nullptr, link});
    return true;
}

void TQSharingDetailsController::refresh()
{
    if (isViewLoaded())
        invalidate();
}

void TQSharingDetailsController::invalidate()
{
    QList<Row> rows;
    for (const auto& person : peopleOfItems())
        rows.append({person, {}});
    setContainer(rows);

    bool general = false;
    bool link = false;
    bool differs = false;
    bool anyPrivate = false;
    QString type;
    for (const auto& item : m_items) {
        const auto acl = item ? item->generalACL() : nullptr;
        if (!acl) {
            anyPrivate = true;
            continue;
        }
        if (general && acl->type() != type)
            differs = true;
        general = true;
        type = acl->type();
        link = link || acl->hasLink().toBool();
    }
    const bool mixed = anyPrivate && general;
    if (link && general)
        insertLinkRow();
    if (mixed || (link && differs)) {
        selectPrivacyIndex(1);
        if (auto* cell = dynamic_cast<TQPopUpButtonCell*>(privacySettings()->popUpCell()))
            cell->setFixedTitle(StringTable::text(QStringLiteral("Varies")));
        m_privacyVaries = true;
    } else {
        int index = 0;
        if (general && type == QLatin1String("default"))
            index = link ? 1 : 2;
        else if (general && type == QLatin1String("domain"))
            index = link ? 3 : 4;
        selectPrivacyIndex(index);
        m_privacyVaries = false;
    }
    reloadRows();
}

int TQSharingDetailsController::roleOfContact(const QString& address) const
{
    TQLog("Contact: %@ %@", address, SharingPermissions::roleFlagsText(m_items, address));
    return SharingPermissions::roleOverItems(m_items, address);
}

int TQSharingDetailsController::owningTypeOfContact(const QString& address) const
{
    return SharingPermissions::ownershipOverItems(m_items, address);
}

QString TQSharingDetailsController::owningTitleOfContact(const QString& address) const
{
    return SharingPermissions::ownershipTitle(owningTypeOfContact(address));
}

std::shared_ptr<Cell> TQSharingDetailsController::makeCellForRow(int row)
{
    const Row& object = container().at(row);
    const std::shared_ptr<TQPermissionTableCell> cell = rowCell(row);

    const int owning =
        object.isLink() ? SharingPermissions::kOwnsNone : owningTypeOfContact(object.person->address());
    QWidget* control = nullptr;
    if (owning == SharingPermissions::kSoleOwner || owning == SharingPermissions::kOneOfOwners) {
        auto* badge =
            new CellButton(std::make_shared<TQOwnerButtonCell>(SharingPermissions::ownershipTitle(owning)));
        badge->setObjectName(QStringLiteral("ownerBadge"));
        badge->setEnabled(false);
        control = badge;
    } else {
        auto pulldown = std::make_shared<TQNormalPulldownCell>(QString(), true);
        pulldown->setArrowPosition(BasicPopUpButtonCell::NoArrow);
        auto* button = new BasicPopUpButton(pulldown);
        button->setObjectName(QStringLiteral("rolePulldown"));
        auto* menu = new QMenu(button);
        // The title item: what the pull-down shows, never chosen.
        menu->addAction(StringTable::text(QStringLiteral("Varies")))->setEnabled(false);
        for (const char* key : {"CanView", "CanEdit"}) {
            QAction* choice = UserInterfaceItem::makeAction(StringTable::text(QLatin1String(key)),
                                                            Commands::togglePermission, menu, row, this);
            choice->setCheckable(true);
            menu->addAction(choice);
        }
        button->setMenu(menu);
        control = button;
        cell->setDeletable(true);
        cell->setButtonAction([this, row](Cell&) { deleteRow(row); });
    }
    keepRowControl(control);
    cell->setAuxiliaryView(control);
    return cell;
}

BasicPopUpButton* TQSharingDetailsController::roleControlOfRow(int row)
{
    auto* cell = dynamic_cast<TQPermissionTableCell*>(tableViewDataCell(dynamicTable(), row));
    return cell ? qobject_cast<BasicPopUpButton*>(cell->auxiliaryView()) : nullptr;
}

QWidget* TQSharingDetailsController::dynamicTableViewViewForRow(TQDynamicTableView* table, int row)
{
    auto* cell = dynamic_cast<TQPermissionTableCell*>(tableViewDataCell(table, row));
    QWidget* control = cell ? cell->auxiliaryView() : nullptr;
    if (!control)
        return nullptr;
    control->setGeometry(cell->frameForAuxiliaryViewInBounds(table->rectOfRow(row)).toRect());
    auto* pulldown = qobject_cast<BasicPopUpButton*>(control);
    if (!pulldown || !pulldown->menu())
        return control;
    const Row& object = container().at(row);
    const int role = object.isLink() ? SharingPermissions::generalRoleOverItems(m_items)
                                     : roleOfContact(object.person->address());
    const QList<QAction*> items = pulldown->menu()->actions();
    QString title = StringTable::text(QStringLiteral("Varies"));
    for (int index = 1; index < items.size(); ++index) {
        const bool chosen = (role == SharingPermissions::Reader && index == 1) ||
                            (role == SharingPermissions::Writer && index == 2);
        items.at(index)->setChecked(chosen);
        if (chosen)
            title = items.at(index)->text();
    }
    // A pull-down shows its first item's title.
    items.constFirst()->setText(title);
    pulldown->update();
    return control;
}

// --- Commands ---

void TQSharingDetailsController::changePrivacySettings(QObject* sender)
{
    takePrivacyChoice(sender);
    const int index = privacyIndex();
    const QString me = SharingPermissions::username();
    const SharingPermissions::Items permitted = SharingPermissions::shareableItems(m_items, me);
    if (permitted.isEmpty()) {
        showBanner(QStringLiteral("ChangeVisibilityDeniedMessage"));
        invalidate();
        return;
    }
    // The others are left as they are, and the user is told.
    if (permitted.size() < m_items.size())
        showBanner(QStringLiteral("ChangeVisibilityDeniedMessage"));
    TQLog("Changing generic permission: %u files", uint(permitted.size()));
    QVariantMap parameters{{QStringLiteral("documentEntities"), SharingPermissions::recordValues(permitted)},
                           {QStringLiteral("statusID"),
                            SharingPermissions::statusIdentifier(QStringLiteral("genpermission"), &m_items)},
                           {QStringLiteral("progressConsumer"), consumer(this)}};
    if (const auto access = SharingPermissions::generalPermissionForPrivacyIndex(index, me))
        parameters.insert(QStringLiteral("generalACLPermission"), QVariant::fromValue(access));
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetGeneralACLPermissions"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this), parameters);
    bool changed = false;
    if (index <= 0 && isLinkRow(0)) {
        mutableContainer().removeAt(0);
        changed = true;
    } else if (index > 0) {
        changed = insertLinkRow();
    }
    if (changed)
        reloadRows();
}

void TQSharingDetailsController::togglePermission(QObject* sender)
{
    auto* choice = qobject_cast<QAction*>(sender);
    if (!choice)
        return;
    const QMenu* menu = qobject_cast<QMenu*>(choice->parent());
    const int index = menu ? int(menu->actions().indexOf(choice)) : -1;
    setRoleOfRow(UserInterfaceItem::tag(choice),
                 index == 1 ? SharingPermissions::Reader : SharingPermissions::Writer);
}

void TQSharingDetailsController::setRoleOfRow(int row, int code)
{
    if (row < 0 || row >= rowCount() || m_items.isEmpty())
        return;
    const Row& object = container().at(row);
    if (object.isLink()) {
        for (const auto& item : m_items) {
            const auto current = item ? item->generalACL() : nullptr;
            if (!current)
                continue;
            auto access = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(
                SharingPermissions::username());
            access->setRole(code == SharingPermissions::Reader ? QStringLiteral("reader")
                                                               : QStringLiteral("writer"));
            access->setType(current->type());
            access->setHasLink(current->hasLink());
            access->setXml(current->xml());
            TQLog("Changing generic permission: %@", item->title());
            ActionRequests::executeDocumentAction(
                QStringLiteral("SetGeneralACLPermission"),
                Invocation::invocationForSelector(Selectors::operationDidFinish, this),
                {{QStringLiteral("documentEntity"), SharingPermissions::recordValue(item)},
                 {QStringLiteral("generalACLPermission"), QVariant::fromValue(access)},
                 {QStringLiteral("statusID"),
                  SharingPermissions::statusIdentifier(QStringLiteral("genpermission"), item.get())},
                 {QStringLiteral("progressConsumer"), consumer(this)}});
        }
        return;
    }
    const std::shared_ptr<Mail>& person = object.person;
    TQACLEntry acl(TQACLEntry::User, code == SharingPermissions::Reader ? 0 : 2, person->address());
    acl.setDisplayName(person->displayName());
    TQLog("Set permission for: %@", person->address());
    // The answer rebuilds the rows: a refused change reaches the banner and the pull-down goes back.
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"),
        Invocation::invocationForSelector(Selectors::operationDidFinish, this),
        {{QStringLiteral("documentEntities"), SharingPermissions::recordValues(m_items)},
         {QStringLiteral("ACLEntries"), QVariantList{QVariant::fromValue(acl)}},
         {QStringLiteral("modified"), true},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("setpermission"), person.get())},
         {QStringLiteral("progressConsumer"), consumer(this)}});
}

void TQSharingDetailsController::deleteRow(int row)
{
    if (row < 0 || row >= rowCount() || m_items.isEmpty())
        return;
    if (isLinkRow(row)) {
        selectPrivacyIndex(0);
        changePrivacySettings(privacySettings());
        return;
    }
    const std::shared_ptr<Mail> person = container().at(row).person;
    TQLog("Deleting permission for contact: %@ [%lu]", person->address(), qulonglong(m_items.size()));
    ActionRequests::executeDocumentAction(
        QStringLiteral("RemovePermissions"),
        Invocation::invocationForSelector(Selectors::contactDidUnshare, this),
        {{QStringLiteral("documentEntities"), SharingPermissions::recordValues(m_items)},
         {QStringLiteral("mailAddresses"), QStringList{person->address()}},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("removepermission"), person.get())},
         {QStringLiteral("progressConsumer"), consumer(this)}});
}

void TQSharingDetailsController::openInBrowser(QObject*)
{
    const int row = clickedRow();
    if (row >= 0) {
        if (!isLinkRow(row)) {
            TQLog("E: Logic error! This can be called only for Link, instead got: %@",
                  container().at(row).person->address());
            return;
        }
        for (const auto& item : m_items) {
            if (!item || item->alternateLink().isEmpty())
                continue;
            TQLog("Open in browser: %@", container().at(row).link);
            QDesktopServices::openUrl(QUrl(item->alternateLink()));
        }
    }
    DMTracker::defaultTracker()->trackEventInCategory(
        QStringLiteral("Action"), QStringLiteral("OpenGoogleDocs"), QStringLiteral("Google Docs"));
}

void TQSharingDetailsController::share(QObject*)
{
    const SharingPermissions::Items permitted =
        SharingPermissions::shareableItems(m_items, SharingPermissions::username());
    if (permitted.isEmpty()) {
        showBanner(QStringLiteral("ShareDeniedMessage"));
        return;
    }
    auto* dialog = ViewClasses::make<TQFloatingContentController>(TQMainWindowController::kShareWithClass);
    if (!dialog)
        return;
    const QVariantList values = SharingPermissions::recordValues(permitted);
    dialog->setProperty("item", values.size() == 1 ? values.constFirst() : QVariant(values));
    QuickShareDialogs::showQuickShareDialog(isViewLoaded() ? view() : nullptr, dialog, values, QPoint());
}

} // namespace tavrel
