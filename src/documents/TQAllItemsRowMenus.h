#pragma once

#include "platform/store/ManagedObject.h"

#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QWidget;

namespace tavrel {

class TQAllItemsController;

// The menus of the all-items list's rows: the contextual menu every document row shares, the
// visibility menu a row's access button opens (made when the button is pressed, for that row's record,
// from the template of positions 0 to 5 that toggleGenericPermission reads), and the open-with and
// change-owner submenus validation fills. Their items send their commands to the list's commands.
class TQAllItemsRowMenus : public QObject
{
    Q_OBJECT
public:
    // The menus are children of the view.
    TQAllItemsRowMenus(TQAllItemsController* list, QWidget* view);
    ~TQAllItemsRowMenus() override;

    QMenu* rowMenu() const { return m_rowMenu; }
    QMenu* permissionMenu() const { return m_permissionMenu; }
    // The visibility menu of a document: a copy of the template for the record, without the
    // domain-wide choices for the user's own document when the account has none and it is not shared
    // with the domain already. The menu made before goes once it has closed.
    QMenu* visibilityMenu(const ManagedObjectPtr& record);
    // The record whose visibility menu is open now; none while no such menu is open.
    ManagedObjectPtr openVisibilityRecord() const;
    // Rebuilds the open-with submenu for one document (none: no document).
    void setupApplicationMenu(QMenu* menu, const ManagedObjectPtr& item);
    // Sets the change-owner item's title, enabled state and submenu.
    void setupOwnershipMenu(QObject* item);
    // The menus' delegate: items whose image inverts while highlighted.
    void menuWillHighlightItem(QMenu* menu, QAction* item);
    void menuDidClose(QMenu* menu);

private:
    TQAllItemsController* m_list;
    QPointer<QMenu> m_rowMenu;
    QPointer<QMenu> m_permissionMenu;
    QPointer<QMenu> m_visibilityMenu;
    std::weak_ptr<ManagedObject> m_visibilityRecord;
};

} // namespace tavrel
