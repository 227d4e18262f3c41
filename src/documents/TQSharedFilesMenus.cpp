#include "documents/TQSharedFilesMenus.h"

#include "documents/ApplicationMenu.h"
#include "documents/ChangeOwnerMenu.h"
#include "documents/DocumentCommandSupport.h"
#include "documents/TQSharedFilesCommands.h"
#include "documents/TQSharedFilesController.h"
#include "lists/ListModel.h"
#include "lists/QuickSharePresenter.h"
#include "model/File.h"
#include "model/TQStringExtensions.h"
#include "model/TQUtility.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/StandardKeys.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

namespace tavrel {

namespace {

void setTitleKey(QObject* item, const char* key)
{
    UserInterfaceItem::setTitle(item, StringTable::text(QLatin1String(key)));
}

} // namespace

TQSharedFilesMenus::TQSharedFilesMenus(TQSharedFilesController* list, QWidget* view)
    : QObject(list), m_list(list)
{
    m_rowMenu = new QMenu(view);
    m_rowMenu->setObjectName(QStringLiteral("rowMenu"));
    const auto add = [this](const char* key, QLatin1String command, int tag = 0) {
        QAction* item = UserInterfaceItem::makeAction(StringTable::text(QLatin1String(key)), command,
                                                      m_rowMenu, tag, m_list->commands());
        m_rowMenu->addAction(item);
        return item;
    };
    add("MenuOpen", Commands::open);
    QAction* openWith = add("MenuOpenWith", Commands::openWith, kOpenWithTag);
    m_applicationMenu = new QMenu(m_rowMenu);
    m_applicationMenu->setObjectName(QStringLiteral("applicationMenu"));
    m_applicationMenu->addAction(UserInterfaceItem::makeAction(QString(), Commands::openWith,
                                                               m_applicationMenu, 0, m_list->commands()));
    m_applicationMenu->addSeparator();
    m_applicationMenu->addAction(UserInterfaceItem::makeAction(
        StringTable::text(QStringLiteral("MenuOtherApplication")), Commands::chooseApplication,
        m_applicationMenu, kOpenWithFixedItemTag, m_list->commands()));
    openWith->setMenu(m_applicationMenu);
    m_rowMenu->addSeparator();
    add("MenuGetLink", Commands::getLinkToShare);
    add("MenuShare", Commands::share);
    QAction* owner = add("ChangeOwner", Commands::changeOwnership, kChangeOwnerTag);
    owner->setMenu(new QMenu(m_rowMenu));
    m_rowMenu->addSeparator();
    add("Preview", Commands::showPreview);
    add("Sharings", Commands::showSharingContacts);
    add("Organize", Commands::organize);
    m_rowMenu->addSeparator();
    add("Rename", Commands::rename);
    add("MenuDownload", Commands::download);
    m_rowMenu->addSeparator();
    add("MenuMoveToTrash", Commands::deleteEntity);
    StandardKeys::showKeys(m_rowMenu);
}

TQSharedFilesMenus::~TQSharedFilesMenus() = default;

QList<ManagedObjectPtr> TQSharedFilesMenus::validationItems() const
{
    QList<ManagedObjectPtr> items;
    for (int row : m_list->selectedRows())
        if (ManagedObjectPtr record = m_list->recordAtRow(row))
            items.append(record);
    if (const ManagedObjectPtr clicked = m_list->recordAtRow(m_list->clickedRow());
        clicked && !items.contains(clicked))
        return {clicked};
    return items;
}

bool TQSharedFilesMenus::validate(QObject* item, bool base)
{
    const QList<ManagedObjectPtr> items = validationItems();
    const QString command = UserInterfaceItem::command(item);
    const int tag = UserInterfaceItem::tag(item);
    bool verdict = base;

    if (command == Commands::editEntity || command == Commands::open) {
        // Group rows are no items; only collections cannot open.
        bool anyDocument = false;
        for (const ManagedObjectPtr& record : items)
            anyDocument = anyDocument || !DocumentCommandSupport::isCollection(record);
        return items.isEmpty() || anyDocument;
    }
    if (command == Commands::openWith && tag == kOpenWithTag) {
        if (items.size() > 1 || (!items.isEmpty() && DocumentCommandSupport::isCollection(items.constLast())))
            return false;
        setupApplicationMenuForItem(items.isEmpty() ? nullptr : items.constLast());
    } else if (command == Commands::showPreview) {
        setTitleKey(item, "Preview");
        verdict = items.size() == 1;
    } else if (command == Commands::showSharingContacts) {
        setTitleKey(item, "Sharings");
    } else if (command == Commands::organize) {
        setTitleKey(item, "Organize");
    } else if (command == Commands::rename) {
        verdict = items.size() == 1;
    } else if (command == Commands::changeOwnership && tag == kChangeOwnerTag) {
        verdict = UserInterfaceItem::isEnabled(item);
    } else if (command == Commands::openInBrowser && tag == kOpenInBrowserTag) {
        verdict = DocumentCommandSupport::isOnline();
    } else if (command == Commands::share || command == Commands::getLinkToShare) {
        // Hidden while the sharing dialogs do not exist.
        const bool exists = command != Commands::share || QuickSharePresenter::sharingViewsExist();
        if (auto* action = qobject_cast<QAction*>(item))
            action->setVisible(exists);
        verdict = exists && items.size() == 1;
    }
    return verdict && TQUtility::actionAllowedOffline(command);
}

void TQSharedFilesMenus::setupApplicationMenuForItem(const ManagedObjectPtr& item)
{
    ApplicationMenu::rebuild(m_applicationMenu, ApplicationMenu::fileNameForRecord(item), m_list->commands());
}

void TQSharedFilesMenus::willDisplayMenu(QMenu* menu, const QList<int>& rows)
{
    if (!menu)
        return;
    QList<ManagedObjectPtr> documents;
    for (int row : rows)
        if (ManagedObjectPtr record = m_list->recordAtRow(row))
            documents.append(record);
    for (QAction* item : menu->actions())
        if (UserInterfaceItem::tag(item) == kChangeOwnerTag &&
            UserInterfaceItem::command(item) == Commands::changeOwnership)
            ChangeOwnerMenu::setup(item, documents, m_list->managedObjectContext(), m_list->commands());
}

} // namespace tavrel
