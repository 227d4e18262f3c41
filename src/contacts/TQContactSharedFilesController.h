#pragma once

#include "documents/TQSharedFilesController.h"

#include <memory>

namespace tavrel {

class TQItemPermissionTableCell;
class TQSwitchButton;

// The documents shared with one person as that person's access: each document row carries a switch
// for the person's role (view and edit, and comment where the document has commenters) and a button
// that removes the person's access; a document the person owns shows a disabled owner badge instead.
// Its link opens the document's detail view. Everything else is the shared-files list's.
class TQContactSharedFilesController : public TQSharedFilesController
{
    Q_OBJECT
public:
    explicit TQContactSharedFilesController(QObject* parent = nullptr);
    ~TQContactSharedFilesController() override;

    void setSearchString(const QString& searchString) override;
    void refresh() override;
    void viewDidUninstall() override;
    Cell* dataCellForRow(int row) override;

    bool respondsTo(Method method) const override;
    QWidget* dynamicTableViewViewForRow(TQDynamicTableView* table, int row) override;

    // The switch of a row (its "row" property) moved: the person's new role on that document.
    Q_INVOKABLE void togglePermission(QObject* sender);
    // The person loses access to the row's document.
    void deleteContact(int row);
    // The detail view of the row's document.
    void clickLink(int row);
    Q_INVOKABLE void deleteDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QAbstractItemView* makeTable(QWidget* parent) override;

private:
    std::unique_ptr<TQItemPermissionTableCell> m_permissionCell;
};

} // namespace tavrel
