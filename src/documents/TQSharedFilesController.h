#pragma once

#include "controls/TQTableViewDelegate.h"
#include "lists/RowPrototypes.h"
#include "lists/TQTableViewController.h"
#include "platform/store/ManagedObject.h"

#include <memory>

class QMenu;

namespace tavrel {

class Mail;
class TQDocumentTableCell;
class TQMailGroupedFilesController;
class TQSharedFilesCommands;
class TQSharedFilesMenus;
class TQTableView;
class TQTitledGroupTableCell;

// The documents the user and one person share: every document whose owner, editors, viewers or
// commenters include that person's address, grouped by owner (TQMailGroupedFilesController). Rows are
// drawn by two prototype cells (a header's, a document's) configured from the row's roles. The
// commands act on the selected row (TQSharedFilesCommands, behind the list in the responder chain);
// the row menu and its validation are TQSharedFilesMenus. A contact's page shows one.
class TQSharedFilesController : public TQTableViewController, public TQTableViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(bool sharingEnabled READ sharingEnabled WRITE setSharingEnabled)
    Q_PROPERTY(bool selectionEnabled READ selectionEnabled WRITE setSelectionEnabled)
public:
    explicit TQSharedFilesController(const QString& nibName = QStringLiteral("SharedFilesView"),
                                     QObject* parent = nullptr);
    ~TQSharedFilesController() override;

    // The person whose shared documents are listed.
    std::shared_ptr<Mail> email() const { return m_email; }
    void setEmail(const std::shared_ptr<Mail>& email);
    // The same from a record value (the window's contact page hands it so).
    Q_INVOKABLE void setEmail(const QVariant& email);
    // Rows show their star and share buttons with actions.
    bool sharingEnabled() const { return m_sharingEnabled; }
    void setSharingEnabled(bool enabled) { m_sharingEnabled = enabled; }
    // The table highlights the selected row and the row under the mouse.
    bool selectionEnabled() const { return m_selectionEnabled; }
    void setSelectionEnabled(bool enabled);

    TQMailGroupedFilesController* files() const;
    TQSharedFilesCommands* commands() const { return m_commands; }
    TQSharedFilesMenus* menus();
    QMenu* rowMenu();
    TQTableView* tableView();

    // The filter of the rows: the person among the owner, editors, viewers and commenters (the search
    // goes to the provider as "title CONTAINS[c]").
    Predicate filter() const;

    void awakeFromNib() override;
    void viewDidInstall() override;
    void viewDidUninstall() override;
    void setSortDescriptor(const std::optional<SortDescriptor>& descriptor) override;
    QString noSearchString() const override;
    // The heights of the rows (headers are lower), then the base's.
    void refresh() override;
    int contentType() const override { return DocumentsContent; }

    // --- Rows ---
    ManagedObjectPtr recordAtRow(int row) const;
    int rowOfRecord(const ManagedObjectPtr& record) const;
    // The selected row (-1: none) and its record.
    int selectedRow() const;
    ManagedObjectPtr selectedRecord() const;
    // The row a contextual menu was opened on, while that menu is open; -1 otherwise.
    int clickedRow() const;
    bool isGroupRow(int row) const override;
    Cell* dataCellForRow(int row) override;
    bool tableViewShouldSelectRow(int row) override;

    // --- Table delegate ---
    bool respondsTo(Method method) const override;
    bool tableViewIsGroupRow(TQTableView* table, int row) override;
    bool tableViewShouldSelectRow(TQTableView* table, int row) override;
    Cell* tableViewDataCell(TQTableView* table, int row) override;
    void tableViewWillDisplayMenu(TQTableView* table, QMenu* menu, const QList<int>& rows) override;
    void tableViewDidEndEditingCell(TQTableView* table, Cell* cell, const QString& newValue) override;
    void open(TQTableView* table) override;
    void deleteEntity(TQTableView* table) override;

    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

protected:
    QWidget* loadView() override;
    QAbstractItemView* makeTable(QWidget* parent) override;
    void arrangedObjectsDidChange() override;

private:
    Cell* configureHeaderCell(const QModelIndex& index);
    Cell* configureDocumentCell(const QModelIndex& index);
    void detachPrototypesFromTracking();
    void noteHeightOfRows();

    std::shared_ptr<Mail> m_email;
    bool m_sharingEnabled = false;
    bool m_selectionEnabled = true;
    TQSharedFilesCommands* m_commands = nullptr;
    TQSharedFilesMenus* m_menus = nullptr;
    std::unique_ptr<TQTitledGroupTableCell> m_headerCell;
    std::unique_ptr<TQDocumentTableCell> m_documentCell;
    RowPrototypes::TrackingWatch m_tracking;
};

} // namespace tavrel
