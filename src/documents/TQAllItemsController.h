#pragma once

#include "controls/TQTableViewDelegate.h"
#include "lists/RowPrototypes.h"
#include "lists/TQFirstLevelViewController.h"
#include "platform/store/ManagedObject.h"
#include "platform/ui/MessageNames.h"

#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace tavrel {

class Cell;
class Notification;
class SpinningIndicator;
class TQAllItemsCommands;
class TQAllItemsDragging;
class TQAllItemsQuickLook;
class TQAnimatingBar;
class TQAllItemsRowMenus;
class TQBigDocumentTableCell;
class TQDynamicPhotoSubcell;
class TQFloatingLabelController;
class TQGroupWrapper;
class TQTableView;
class TQTimeGroupedFilesController;
class TQTitledGroupTableCell;

// The list of every document and collection of the signed-in account: document rows interleaved with
// the group headers its provider (a TQTimeGroupedFilesController) puts in for the chosen sort. Each row
// is drawn by one of two prototype cells (a header's, a document's) configured from the row's roles
// just before it is drawn or hit, so a change of a record reaches the screen as the provider's
// dataChanged for that row. It keeps the selection sensible across refreshes, follows three
// notifications and renames in place. Main thread only.
//
// Its jobs are classes of their own: the commands and their callbacks (TQAllItemsCommands, behind the
// list in the responder chain), their validation (TQAllItemsValidation) and the row menus
// (TQAllItemsRowMenus, the visibility menu made when its button is pressed, for that row).
class TQAllItemsController : public TQFirstLevelViewController, public TQTableViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(QObject* owner READ owner WRITE setOwner)
    Q_PROPERTY(bool hiddenFiles READ hiddenFiles WRITE setHiddenFiles)
public:
    static inline const QString kShowEmailProfileNotification = Notifications::showEmailProfile;
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
    // The rows this list shows in its own place of the window, read at each fetch: the filtering view
    // that wraps the list gives it this filter. The all-items list shows what is not trashed.
    virtual Predicate placePredicate() const;

    // The filtering view that hosts the list; not owned.
    QObject* owner() const { return m_owner; }
    void setOwner(QObject* owner) { m_owner = owner; }
    // The commands, their validation's menus and the row menus.
    TQAllItemsCommands* commands() const { return m_commands; }
    TQAllItemsRowMenus* rowMenus();
    TQAllItemsQuickLook* quickLook() const { return m_quickLook; }
    TQAllItemsDragging* dragging() const { return m_dragging; }
    // The contextual menu of every document row.
    QMenu* rowMenu();
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

    // --- Table delegate and data source ---
    bool respondsTo(Method method) const override;
    bool tableViewIsGroupRow(TQTableView* table, int row) override;
    bool tableViewShouldSelectRow(TQTableView* table, int row) override;
    Cell* tableViewDataCell(TQTableView* table, int row) override;
    void tableViewDidEndEditingCell(TQTableView* table, Cell* cell, const QString& newValue) override;
    void open(TQTableView* table) override;
    void deleteEntity(TQTableView* table) override;
    // Space: the preview window.
    void activateQuickLook(TQTableView* table) override;
    QMimeData* tableViewMimeDataForRows(TQTableView* table, const QList<int>& rows) override;
    QPixmap dragImageForRows(TQTableView* table, const QList<int>& rows, QPoint* offset) override;
    // The row's prototype cell (a header's or a document's), configured from the row's roles; none for
    // a row beyond the rows. Valid until the next row is asked for.
    Cell* dataCellForRow(int row) override;
    qreal heightOfRow(int row) const;
    bool isGroupRow(int row) const override;
    bool tableViewShouldSelectRow(int row) override;
    bool shouldEditRow(int row) const;
    bool shouldTrackCellOfRow(int row) const;
    // Items the user touched lose their new mark.
    void tableViewSelectionDidChange();

    // --- Notifications ---
    void onToggleFilesInsideFolders(const Notification& notification);
    void onShowEmailProfileRequested(const Notification& notification);
    void onNewDocumentCreated(const Notification& notification);

    // --- Cells of a row (the people strip) ---
    // Unfolds a row's photo strip; the sender is the photo or link cell's row record.
    Q_INVOKABLE void unwindPhotos(QObject* sender);
    // The hide button of the unwound strip: the bar leaves.
    Q_INVOKABLE void rewindPhotos(QObject* sender);
    // The bar of the unwound strip while it is over a row.
    TQAnimatingBar* photoBar() const;
    // The share button of a row: shares that row's record.
    Q_INVOKABLE void shareOneWith(QObject* sender);

    // The commands the base class declares go to the commands.
    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

protected:
    QWidget* loadView() override;
    QAbstractItemView* makeTable(QWidget* parent) override;
    void arrangedObjectsDidChange() override;
    // A list of its own commands puts them in place of these (the list owns them).
    void setCommands(TQAllItemsCommands* commands);
    // The sharing part of a document row: the people strip and the share button. A list about one
    // person shows that person's role instead.
    virtual void configureSharingCells(TQBigDocumentTableCell& cell, int row, const ManagedObjectPtr& record,
                                       const QList<ManagedObjectPtr>& people, const ManagedObjectPtr& link);
    // The widget the row cells are drawn in: the sender of their actions.
    QWidget* hostWidget();

private:
    // The prototype cells, configured for a row from its roles.
    Cell* configureHeaderCell(const QModelIndex& index);
    Cell* configureDocumentCell(const QModelIndex& index);
    // New prototypes while the table tracks a press on a copy of the last: the copy keeps its subcells.
    void detachPrototypesFromTracking();
    // The people strip of a row: photo subcells (kept for reuse) and the link button.
    void configurePeople(TQBigDocumentTableCell& cell, const QList<ManagedObjectPtr>& people,
                         const ManagedObjectPtr& link, const ManagedObjectPtr& record);
    void noteHeightOfRows();
    void selectFirstDocumentRow();
    // The views follow the provider's rows: heights, the no-items views, a repaint.
    void refreshViews();
    // Changes what the provider is asked for (order, filter), then refreshes once.
    void changeRequest(const std::function<void()>& change);

    TQAllItemsCommands* m_commands = nullptr;
    TQAllItemsQuickLook* m_quickLook = nullptr;
    TQAllItemsDragging* m_dragging = nullptr;
    TQAllItemsRowMenus* m_rowMenus = nullptr;
    std::unique_ptr<TQTitledGroupTableCell> m_headerCell;
    std::unique_ptr<TQBigDocumentTableCell> m_documentCell;
    QList<std::shared_ptr<TQDynamicPhotoSubcell>> m_photoCells;
    // Tells when the prototypes must be made anew for a tracked copy.
    RowPrototypes::TrackingWatch m_tracking;
    // Counts refreshViews(), to tell whether a change has brought the views up to date.
    quint64 m_viewsRefreshed = 0;
    QPointer<QObject> m_owner;
    TQFloatingLabelController* m_labelController = nullptr;
    bool m_hiddenFiles = false;
    SpinningIndicator* m_quickLookProgress = nullptr;
};

} // namespace tavrel
