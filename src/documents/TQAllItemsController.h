#pragma once

#include "controls/TQTableViewDelegate.h"
#include "lists/TQFirstLevelViewController.h"
#include "platform/store/ManagedObject.h"

#include <QHash>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace tavrel {

class Cell;
class Notification;
class SpinningIndicator;
class TQFloatingLabelController;
class TQGroupWrapper;
class TQTableView;
class TQTimeGroupedFilesController;

// The list of every document and collection of the signed-in account: document rows interleaved with
// the group headers its provider (a TQTimeGroupedFilesController) puts in for the chosen sort. It
// builds one cell per row and keeps it until the rows change, keeps the selection sensible across
// refreshes, follows four notifications, renames in place and answers the document commands. The
// starred, collections and trash lists derive from it. Main thread only.
//
// The list's code is spread over three files: TQAllItemsController.cpp (rows, cells, refresh,
// notifications), TQAllItemsCommands.cpp (the commands and their callbacks) and
// TQAllItemsValidation.cpp (validation, the open-with and change-owner menus, starring a selection).
class TQAllItemsController : public TQFirstLevelViewController, public TQTableViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(QObject* owner READ owner WRITE setOwner)
    Q_PROPERTY(bool hiddenFiles READ hiddenFiles WRITE setHiddenFiles)
public:
    static inline const QString kFileItemDidUpdateNotification =
        QStringLiteral("FileItemDidUpdateNotification");
    static inline const QString kShowEmailProfileNotification =
        QStringLiteral("kTQShowEmailProfileNotification");
    // The tags of the row menu's items that validation reads.
    static constexpr int kOpenWithTag = 1001;
    static constexpr int kChangeOwnerTag = 1005;
    static constexpr int kOpenInBrowserTag = 2001;
    static constexpr int kOpenWithFixedItemTag = 200;
    // The edge of the people's photos in a row.
    static constexpr int kPhotoEdge = 32;

    explicit TQAllItemsController(const QString& nibName = QStringLiteral("AllItemsView"),
                                  QObject* parent = nullptr);
    ~TQAllItemsController() override;

    // --- Set-up and life cycle ---
    void awakeFromNib() override;
    void viewDidInstall() override;
    void viewWillUninstall() override;
    // Selects the first document row and scrolls to the top.
    void reactivate() override;
    void refresh() override;
    int contentType() const override { return DocumentsContent; }
    QString noSearchString() const override;

    // The filtering view that hosts the list; not owned.
    QObject* owner() const { return m_owner; }
    void setOwner(QObject* owner) { m_owner = owner; }
    // The contextual menu of every document row, and the template of the visibility menu (positions 0
    // to 5, see toggleGenericPermission).
    QMenu* rowMenu();
    QMenu* permissionMenu();
    // Files inside collections are hidden; the filter reads it.
    bool hiddenFiles() const { return m_hiddenFiles; }
    void setHiddenFiles(bool hidden) { m_hiddenFiles = hidden; }
    // The spinner over the list while Quick Look downloads a preview.
    SpinningIndicator* quickLookProgress() const { return m_quickLookProgress; }
    // The floating name label that hovering photos and links show; made on first use.
    TQFloatingLabelController* labelController();

    // --- Content ---
    void setSortDescriptor(const std::optional<SortDescriptor>& descriptor) override;
    void setDataProvider(ListModel* provider) override;
    void setSearchString(const QString& searchString) override;
    // The provider as its class; null when another was set.
    TQTimeGroupedFilesController* groupedProvider() const;
    // Pull-to-refresh: asks the window for an incremental synchronisation.
    Q_INVOKABLE void ptrScrollViewDidTriggerRefresh(QObject* sender);

    // --- Rows ---
    // The record of a document row; none for a header row and beyond the rows.
    ManagedObjectPtr recordAtRow(int row) const;
    // The header of a group row; none otherwise.
    std::shared_ptr<const TQGroupWrapper> groupAtRow(int row) const;
    int rowOfRecord(const ManagedObjectPtr& record) const;
    // The records of the selected rows, in row order (headers left out).
    QList<ManagedObjectPtr> selectedRecords() const;
    // The row a contextual menu was opened on, -1 when none.
    int clickedRow() const;
    // The row last pressed (a row's own buttons send their commands from the list, not from the row),
    // -1 when none.
    int pressedRow() const;
    TQTableView* tableView();
    // The cell kept for the row, none when it has not been built since the last refresh.
    std::shared_ptr<Cell> cachedCellForRow(int row) const { return m_reusedCells.value(row); }

    // --- Table delegate and data source ---
    // (open and deleteEntity take the table here and any sender as commands: call the commands with
    // a QObject*, e.g. deleteEntity(static_cast<QObject*>(nullptr)).)
    bool respondsTo(Method method) const override;
    bool tableViewIsGroupRow(TQTableView* table, int row) override;
    bool tableViewShouldSelectRow(TQTableView* table, int row) override;
    Cell* tableViewDataCell(TQTableView* table, int row) override;
    void tableViewDidEndEditingCell(TQTableView* table, Cell* cell, const QString& newValue) override;
    void open(TQTableView* table) override;
    void deleteEntity(TQTableView* table) override;
    // The row's cell, built once per row and kept until the rows change; none for row -1.
    Cell* dataCellForRow(int row) override;
    // Sets what changes between draws: title, details, state, visibility, editor and overlay.
    void willDisplayCell(Cell* cell, int row);
    qreal heightOfRow(int row) const;
    bool isGroupRow(int row) const override;
    bool tableViewShouldSelectRow(int row) override;
    bool shouldEditRow(int row) const;
    bool shouldTrackCellOfRow(int row) const;
    // Items the user touched lose their new mark.
    void tableViewSelectionDidChange();

    // --- Notifications ---
    void onFileItemDidUpdate(const Notification& notification);
    void onToggleFilesInsideFolders(const Notification& notification);
    void onShowEmailProfileRequested(const Notification& notification);
    void onNewDocumentCreated(const Notification& notification);

    // --- Cells of a row (the people strip) ---
    // Unfolds a row's photo strip; the sender is the photo or link cell's row record.
    Q_INVOKABLE void unwindPhotos(QObject* sender);
    // The share button of a row: shares that row's record.
    Q_INVOKABLE void shareOneWith(QObject* sender);

    // --- Commands (TQAllItemsCommands.cpp) ---
    Q_INVOKABLE void executeFile(QObject* sender);
    Q_INVOKABLE void open(QObject* sender);
    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void openWith(QObject* sender);
    Q_INVOKABLE void chooseApplication(QObject* sender);
    Q_INVOKABLE void openInBrowser(QObject* sender);
    Q_INVOKABLE void showDetails(QObject* sender);
    Q_INVOKABLE void showPreview(QObject* sender);
    Q_INVOKABLE void showItemContacts(QObject* sender);
    Q_INVOKABLE void showSharingContacts(QObject* sender);
    Q_INVOKABLE void organize(QObject* sender);
    Q_INVOKABLE void toggleStarState(QObject* sender);
    Q_INVOKABLE void toggleStarStateOne(QObject* sender);
    Q_INVOKABLE void rename(QObject* sender);
    Q_INVOKABLE void toggleViewedState(QObject* sender);
    Q_INVOKABLE void toggleNewState(QObject* sender);
    Q_INVOKABLE void download(QObject* sender);
    Q_INVOKABLE void remove(QObject* sender);
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE void changeOwnership(QObject* sender);
    Q_INVOKABLE void printEntity(QObject* sender);
    Q_INVOKABLE void toggleGenericPermission(QObject* sender);
    // Shows the detail view of the selected record on the tab of the filter (0 preview, 1 sharing
    // details, 2 organize).
    void showDetailsFilterActivated(int filter);
    // The in-place rename's commit: renames the record unless the name is empty or unchanged.
    void renameRecord(const ManagedObjectPtr& record, const QString& newName);

    // Callbacks of the commands' actions.
    Q_INVOKABLE void documentsDidTrashWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void documentsDidDeleteWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void downloadDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void uploadDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void generalPermissionDidFinishWithResult(const QVariant& result, const QVariant& error);

    // --- Validation and menus (TQAllItemsValidation.cpp) ---
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;
    // Rebuilds the open-with submenu for one document (none: no document).
    void setupApplicationMenu(QMenu* menu, const ManagedObjectPtr& item);
    // Sets the change-owner item's title, enabled state and submenu.
    void setupOwnershipMenu(QObject* item);
    // The menus' delegate: items whose image inverts while highlighted.
    void menuWillHighlightItem(QMenu* menu, QAction* item);
    void menuDidClose(QMenu* menu);
    // Stars or unstars the documents.
    void toggleStarStateForSelection(const QList<ManagedObjectPtr>& items);

protected:
    QWidget* loadView() override;
    QAbstractItemView* makeTable(QWidget* parent) override;
    void arrangedObjectsDidChange() override;

private:
    // Opens the documents among the records, with the application (a desktop entry or a program) or
    // the default one when it is empty.
    void openRecords(const QList<ManagedObjectPtr>& records, const QUrl& application);
    // Builds the cell of a document row.
    std::shared_ptr<Cell> makeDocumentCell(int row, const ManagedObjectPtr& record);
    // Loads the records of the rows from about the row on, and the people their cells show, together.
    void fireFaultsAroundRow(int row);
    // The visibility menu of a row: a copy of the template for the record.
    QMenu* makePermissionMenu(const ManagedObjectPtr& record);
    // The date text (or size) under a row's title.
    QString subtitleForRecord(const ManagedObjectPtr& record,
                              const std::shared_ptr<const TQGroupWrapper>& group) const;
    void noteHeightOfRows();
    void selectFirstDocumentRow();
    // The views follow the provider's rows: cells made again, heights, the no-items views.
    void refreshViews();
    // Changes what the provider is asked for (order, filter), then refreshes once.
    void changeRequest(const std::function<void()>& change);

    QPointer<QMenu> m_rowMenu;
    QPointer<QMenu> m_permissionMenu;
    QHash<int, std::shared_ptr<Cell>> m_reusedCells;
    // The records of the last batch loaded for cells about to be made.
    QList<ManagedObjectPtr> m_prefetched;
    // The menus made for the rows' visibility buttons, freed with the cells.
    QHash<int, QPointer<QMenu>> m_rowPermissionMenus;
    // Counts refreshViews(), to tell whether a change has brought the views up to date.
    quint64 m_viewsRefreshed = 0;
    QPointer<QObject> m_owner;
    TQFloatingLabelController* m_labelController = nullptr;
    bool m_hiddenFiles = false;
    SpinningIndicator* m_quickLookProgress = nullptr;
};

} // namespace tavrel
