#include "contacts/TQContactSharedFilesController3.h"

#include "contacts/ContactFileAccess.h"
#include "contacts/TQContactSharedFilesCommands.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQTableView.h"
#include "documents/TQAllItemsRowMenus.h"
#include "documents/TQAllItemsValidation.h"
#include "lists/TQMailGroupedFilesController.h"
#include "model/Category.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQUtility.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/OnlineFlag.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/SharingClasses.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QMenu>

namespace tavrel {

TQContactSharedFilesController3::TQContactSharedFilesController3(QObject* parent)
    : TQAllItemsController(QStringLiteral("ContactSharedFiles3"), parent)
{
    setCommands(new TQContactSharedFilesCommands(this));
    setDataProvider(new TQMailGroupedFilesController(managedObjectContext()));
    // The filter reads the person at each fetch; the search narrows the fetched rows in memory.
    setProviderSearchFormat(QStringLiteral("title CONTAINS[c] %@"));
    setFilter([this] { return placePredicate(); });
}

TQContactSharedFilesController3::~TQContactSharedFilesController3() = default;

TQContactSharedFilesCommands* TQContactSharedFilesController3::contactCommands() const
{
    return static_cast<TQContactSharedFilesCommands*>(commands());
}

void TQContactSharedFilesController3::setEmail(const std::shared_ptr<Mail>& email)
{
    m_email = email;
    if (TQTimeGroupedFilesController* provider = groupedProvider())
        if (auto* mails = qobject_cast<TQMailGroupedFilesController*>(provider))
            mails->setEmail(email);
    filterDidChange();
    if (isInstalled())
        refresh();
}

void TQContactSharedFilesController3::setEmail(const QVariant& email)
{
    setEmail(std::dynamic_pointer_cast<Mail>(email.value<ManagedObjectPtr>()));
}

Predicate TQContactSharedFilesController3::placePredicate() const
{
    if (!m_email)
        return Predicate::falsePredicate();
    // The record itself: another person of the same address in another letter case is not listed.
    const ManagedObjectPtr person = m_email;
    return Predicate::format(QStringLiteral("owner == %@ OR ANY editors == %@ OR ANY viewers == %@ OR "
                                            "ANY commenters == %@"),
                             person, person, person, person);
}

bool TQContactSharedFilesController3::isOwnedByContact(const ManagedObjectPtr& record) const
{
    return ContactFileAccess::isOwnedBy(record, m_email);
}

void TQContactSharedFilesController3::awakeFromNib()
{
    TQAllItemsController::awakeFromNib();
    // Documents dragged here would mean nothing for the person.
    tableView()->setDropDelegate(nullptr);
    tableView()->setAcceptDrops(false);
    adaptRowMenu();
}

void TQContactSharedFilesController3::adaptRowMenu()
{
    QMenu* menu = rowMenu();
    QAction* remove = nullptr;
    QAction* afterDetails = nullptr;
    const QList<QAction*> items = menu->actions();
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString command = UserInterfaceItem::command(items.at(i));
        if (command == Commands::deleteEntity)
            remove = items.at(i);
        else if (command == Commands::organize && i + 1 < items.size())
            afterDetails = items.at(i + 1);
    }
    const auto insert = [menu](QAction* before, const char* key, const QString& command) {
        QAction* item = UserInterfaceItem::makeAction(StringTable::text(QLatin1String(key)), command, menu);
        menu->insertAction(before, item);
        return item;
    };
    insert(afterDetails, "MenuShare", Commands::share);
    insert(afterDetails, "MenuGetLink", Commands::getLinkToShare);
    insert(afterDetails, "MenuSharingSettings", Commands::showSharingSettings);
    insert(remove, "MenuStopSharing", Commands::unshare);
    if (remove)
        remove->setText(StringTable::text(QStringLiteral("MenuRemoveAccess")));
}

bool TQContactSharedFilesController3::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::unshare) {
        // Replaces what the base answers: some of the documents are not the person's own.
        for (const ManagedObjectPtr& record : TQAllItemsValidation::items(*this))
            if (!isOwnedByContact(record))
                return true;
        return false;
    }
    if (command == Commands::deleteEntity || command == Commands::remove) {
        const ManagedObjectPtr record = recordAtRow(contactCommands()->selectedRow());
        return record && !isOwnedByContact(record) && TQAllItemsController::validateUserInterfaceItem(item);
    }
    if (command == Commands::showSharingSettings) {
        // Offered only while the program has the settings window.
        const bool available = ViewClasses::hasClass(QLatin1String(SharingClasses::kSharingSettingsClass));
        if (auto* action = qobject_cast<QAction*>(item))
            action->setVisible(available);
        return available && !selectedRecords().isEmpty();
    }
    if (command == Commands::shareWith || command == Commands::getLinkToShare)
        return !selectedRecords().isEmpty() && TQUtility::actionAllowedOffline(command);
    return TQAllItemsController::validateUserInterfaceItem(item);
}

void TQContactSharedFilesController3::configureSharingCells(TQBigDocumentTableCell& cell, int,
                                                            const ManagedObjectPtr& record,
                                                            const QList<ManagedObjectPtr>&,
                                                            const ManagedObjectPtr&)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (std::dynamic_pointer_cast<Category>(record))
        cell.setDetails(QString());
    TQHoverdAdaptorButtonCell& stop = cell.staticActionCell();
    std::optional<int> role;
    if (isOwnedByContact(record)) {
        role = 2;
        stop.setRegularImage(QPixmap());
        stop.setHoverImage(QPixmap());
        stop.setAlternateImage(QPixmap());
        stop.setAction({});
        stop.setEnabled(false);
    } else {
        stop.setHoverImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-hover")));
        stop.setRegularImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-regular")));
        stop.setAlternateImage(ImageRegistry::pixmap(QStringLiteral("leave-sharing-active")));
        stop.setEnabled(OnlineFlag::isOnline(table()));
        QPointer<TQContactSharedFilesController3> self(this);
        stop.setAction([self](Cell&) {
            if (self)
                self->contactCommands()->stopSharingOne(self->hostWidget());
        });
        if (entry)
            role = ContactFileAccess::badgeRole(*entry, m_email);
    }
    QList<std::shared_ptr<Cell>> actions;
    if (role) {
        std::shared_ptr<TQHoverdAdaptorButtonCell> badge =
            TQHoverdAdaptorButtonCell::permissionCellWithRole(*role);
        badge->setRepresentedObject(QVariant::fromValue(ManagedObjectPtr(m_email)));
        badge->setAccompanyObject(QVariant::fromValue(record));
        badge->setAction(TQHoverdAdaptorButtonCell::showQuickDialogAction());
        actions.append(badge);
    }
    cell.setActionCells(actions);
}

} // namespace tavrel
