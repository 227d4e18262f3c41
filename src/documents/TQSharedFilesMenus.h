#pragma once

#include "platform/store/ManagedObject.h"

#include <QObject>
#include <QPointer>

class QMenu;
class QWidget;

namespace tavrel {

class TQSharedFilesController;

// The row menu of the shared-files list and its validation: the open-with submenu rebuilt for the
// document each time it is validated, the change-owner submenu made before the menu opens, and the
// enabling and titles of the items. The items send their commands to the list's commands.
class TQSharedFilesMenus : public QObject
{
    Q_OBJECT
public:
    // The tags validation reads.
    static constexpr int kOpenWithTag = 100;
    static constexpr int kOpenWithFixedItemTag = 200;
    static constexpr int kOpenInBrowserTag = 2001;
    static constexpr int kChangeOwnerTag = 5;

    // The menus are children of the view.
    TQSharedFilesMenus(TQSharedFilesController* list, QWidget* view);
    ~TQSharedFilesMenus() override;

    QMenu* rowMenu() const { return m_rowMenu; }
    QMenu* applicationMenu() const { return m_applicationMenu; }

    // `base` is what the list's base class answers.
    bool validate(QObject* item, bool base);
    // Rebuilds the open-with submenu for the document.
    void setupApplicationMenuForItem(const ManagedObjectPtr& item);
    // Before the row menu opens for the rows: the change-owner item for their documents.
    void willDisplayMenu(QMenu* menu, const QList<int>& rows);

private:
    // The documents a validation is about: the selected rows', or the clicked row's alone when a menu
    // was opened on a row outside the selection.
    QList<ManagedObjectPtr> validationItems() const;

    TQSharedFilesController* m_list;
    QPointer<QMenu> m_rowMenu;
    QPointer<QMenu> m_applicationMenu;
};

} // namespace tavrel
