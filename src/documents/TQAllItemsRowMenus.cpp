#include "documents/TQAllItemsRowMenus.h"

#include "controls/TQInvertableMenuItem.h"
#include "documents/ApplicationMenu.h"
#include "documents/ChangeOwnerMenu.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQAllItemsController.h"
#include "model/Contact.h"
#include "model/File.h"
#include "model/GDataMail.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/TQStringExtensions.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/StandardKeys.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

namespace tavrel {

namespace {

QString sessionUsername()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

// The visibility menu's template: the pull-down's own item, then private, link, public, domain with the
// link, domain. The position is the meaning (toggleGenericPermission).
struct PermissionEntry
{
    const char* titleKey;
    const char* image;
};
const PermissionEntry kPermissionEntries[] = {
    {nullptr, "private_regular"},
    {"PrivateGroup", "private_regular"},
    {"AnyoneWithLink", "icon_link_regular"},
    {"PublicOnWeb", "icon_public_regular"},
    {"DomainWithLink", "icon_domain_link_regular"},
    {"AnyoneOnDomain", "icon_domain_regular"},
};

} // namespace

TQAllItemsRowMenus::TQAllItemsRowMenus(TQAllItemsController* list, QWidget* view)
    : QObject(list), m_list(list)
{
    // The menus of the rows: the items validation reads by tag carry it.
    m_rowMenu = new QMenu(view);
    m_rowMenu->setObjectName(QStringLiteral("rowMenu"));
    auto add = [](QMenu* menu, const QString& key, const QString& command, int tag = 0) {
        QAction* item = UserInterfaceItem::makeAction(StringTable::text(key), command, menu, tag);
        menu->addAction(item);
        return item;
    };
    add(m_rowMenu, QStringLiteral("MenuOpen"), Commands::open);
    QAction* openWith = add(m_rowMenu, QStringLiteral("MenuOpenWith"), Commands::openWith,
                            TQAllItemsController::kOpenWithTag);
    auto* applications = new QMenu(m_rowMenu);
    applications->addAction(UserInterfaceItem::makeAction(StringTable::text(QStringLiteral("OpenInBrowser")),
                                                          Commands::openInBrowser, applications,
                                                          TQAllItemsController::kOpenInBrowserTag));
    applications->addSeparator();
    applications->addAction(UserInterfaceItem::makeAction(
        StringTable::text(QStringLiteral("MenuOtherApplication")), Commands::chooseApplication, applications,
        TQAllItemsController::kOpenWithFixedItemTag));
    openWith->setMenu(applications);
    m_rowMenu->addSeparator();
    add(m_rowMenu, QStringLiteral("Preview"), Commands::showPreview);
    add(m_rowMenu, QStringLiteral("Sharings"), Commands::showSharingContacts);
    add(m_rowMenu, QStringLiteral("Organize"), Commands::organize);
    add(m_rowMenu, QStringLiteral("MenuShare"), Commands::share);
    add(m_rowMenu, QStringLiteral("MenuGetLink"), Commands::getLinkToShare);
    m_rowMenu->addSeparator();
    add(m_rowMenu, QStringLiteral("MenuAddStar"), Commands::toggleStarState);
    add(m_rowMenu, QStringLiteral("MenuMarkViewed"), Commands::toggleViewedState);
    add(m_rowMenu, QStringLiteral("Rename"), Commands::rename);
    add(m_rowMenu, QStringLiteral("MenuDownload"), Commands::download);
    add(m_rowMenu, QStringLiteral("MenuPrint"), Commands::printEntity);
    QAction* owner = add(m_rowMenu, QStringLiteral("ChangeOwner"), Commands::changeOwnership,
                         TQAllItemsController::kChangeOwnerTag);
    owner->setMenu(new QMenu(m_rowMenu));
    m_rowMenu->addSeparator();
    add(m_rowMenu, QStringLiteral("MenuMoveToTrash"), Commands::deleteEntity);
    StandardKeys::showKeys(m_rowMenu);

    m_permissionMenu = new QMenu(view);
    m_permissionMenu->setObjectName(QStringLiteral("permissionMenu"));
    for (const PermissionEntry& entry : kPermissionEntries) {
        const QString title =
            entry.titleKey ? StringTable::text(QString::fromLatin1(entry.titleKey)) : QString();
        QAction* item =
            UserInterfaceItem::makeAction(title, Commands::toggleGenericPermission, m_permissionMenu, 0);
        item->setIcon(QIcon(ImageRegistry::pixmap(QString::fromLatin1(entry.image))));
        m_permissionMenu->addAction(item);
    }
}

TQAllItemsRowMenus::~TQAllItemsRowMenus() = default;

QMenu* TQAllItemsRowMenus::visibilityMenu(const ManagedObjectPtr& record)
{
    // The one made before may still be closing: it goes with the event loop.
    if (m_visibilityMenu)
        m_visibilityMenu->deleteLater();
    auto* menu = new QMenu(m_permissionMenu->parentWidget());
    menu->setObjectName(QStringLiteral("visibilityMenu"));
    for (QAction* entry : m_permissionMenu->actions()) {
        QAction* item = UserInterfaceItem::makeAction(entry->text(), Commands::toggleGenericPermission, menu,
                                                      0, m_list->commands());
        item->setIcon(entry->icon());
        UserInterfaceItem::setRepresentedObject(item, QVariant::fromValue(record));
        menu->addAction(item);
    }
    const auto entry = entryOf(record);
    const std::shared_ptr<Mail> owner = entry ? entry->owner() : nullptr;
    const std::shared_ptr<GeneralACLPermission> acl = entry ? entry->generalACL() : nullptr;
    const bool mine = owner && owner->address() == sessionUsername();
    if (mine && !GDataMail::accountSupportsDomainPermissions(owner->address()) &&
        !(acl && acl->type() == QLatin1String("domain"))) {
        const QList<QAction*> items = menu->actions();
        for (int position = 5; position >= 4 && position < items.size(); --position) {
            menu->removeAction(items.at(position));
            delete items.at(position);
        }
    }
    m_visibilityMenu = menu;
    m_visibilityRecord = record;
    return menu;
}

ManagedObjectPtr TQAllItemsRowMenus::openVisibilityRecord() const
{
    return m_visibilityMenu && m_visibilityMenu->isVisible() ? m_visibilityRecord.lock() : nullptr;
}

void TQAllItemsRowMenus::setupApplicationMenu(QMenu* menu, const ManagedObjectPtr& item)
{
    ApplicationMenu::rebuild(menu, ApplicationMenu::fileNameForRecord(item), m_list->commands());
}

void TQAllItemsRowMenus::setupOwnershipMenu(QObject* item)
{
    QList<ManagedObjectPtr> documents;
    for (int row : m_list->selectedRows())
        if (ManagedObjectPtr record = m_list->recordAtRow(row))
            documents.append(record);
    ChangeOwnerMenu::setup(item, documents, m_list->managedObjectContext(), m_list->commands());
}

void TQAllItemsRowMenus::menuWillHighlightItem(QMenu* menu, QAction* item)
{
    if (!menu)
        return;
    for (QAction* each : menu->actions())
        if (auto* invertable = qobject_cast<TQInvertableMenuItem*>(each))
            invertable->setPreparingHighlight(false);
    if (auto* invertable = qobject_cast<TQInvertableMenuItem*>(item))
        invertable->setPreparingHighlight(true);
}

void TQAllItemsRowMenus::menuDidClose(QMenu* menu)
{
    if (!menu)
        return;
    for (QAction* each : menu->actions())
        if (auto* invertable = qobject_cast<TQInvertableMenuItem*>(each))
            invertable->setPreparingHighlight(false);
}

} // namespace tavrel
