#pragma once

#include "lists/ListFetch.h"
#include "platform/ui/MessageNames.h"
#include "window/TQViewController.h"

#include <QPointer>

class QAbstractItemView;

namespace tavrel {

class Cell;
class CellItemDelegate;
class ListModel;
class Notification;
class SpinningIndicator;
class TQNoSearchProvider;

// The base of every list view: a table over a data provider (a ListModel), a spinner while the first
// fetch runs on a background thread, the no-items view (no rows, no search) and the no-search view
// (no rows for the search), refresh on request, the jump to the start, next and previous over group
// rows, and the rule that a click on an in-row button does not select the row.
//
// Subclasses supply the provider (setDataProvider), the row cells (dataCellForRow), which rows are
// group headers (isGroupRow), the no-items view and the commands. The table is any item view
// (makeTable): a plain one-column table unless a subclass brings its own.
class TQTableViewController : public TQViewController
{
    Q_OBJECT
public:
    static inline const QString kSidebarJumpToStartNotification = Notifications::sidebarJumpToStart;
    // The scroll to the top or bottom, in seconds.
    static constexpr double kScrollDuration = 0.75;

    explicit TQTableViewController(const QString& nibName = QString(), QObject* parent = nullptr);
    ~TQTableViewController() override;

    QAbstractItemView* table();
    SpinningIndicator* spinner();
    QWidget* noItemsView();
    QWidget* noSearchView();
    // The provider; the controller owns it.
    ListModel* dataProvider() const { return m_dataProvider; }
    virtual void setDataProvider(ListModel* provider);

    // The text of the no-search view.
    virtual QString noSearchString() const;

    void awakeFromNib() override;
    void viewDidInstall() override;
    void viewWillUninstall() override;
    void setSearchString(const QString& searchString) override;
    void setSortDescriptor(const std::optional<SortDescriptor>& descriptor) override;

    // Reloads the table and shows the no-items or no-search view when there are no rows.
    virtual void refresh();
    bool isFetching() const { return m_fetching; }

    Q_INVOKABLE void goTop(QObject* sender);
    Q_INVOKABLE void goBottom(QObject* sender);
    Q_INVOKABLE void selectNext(QObject* sender);
    Q_INVOKABLE void selectPrevious(QObject* sender);

    // Whether a user's click or key may select the row (-1: no row).
    virtual bool tableViewShouldSelectRow(int row);
    // Group header rows: none in the base.
    virtual bool isGroupRow(int row) const;
    // The row's full-width cell, configured for the row; none draws the row as text.
    virtual Cell* dataCellForRow(int row);

    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error) override;

    // The rows that are selected, in order.
    QList<int> selectedRows() const;
    // Selects exactly that row (none for -1), whatever tableViewShouldSelectRow says.
    void selectRow(int row);

protected:
    QWidget* loadView() override;
    // The list's table; the base makes a one-column table without headers or grid.
    virtual QAbstractItemView* makeTable(QWidget* parent);
    // The view shown when the list is empty without a search.
    virtual QWidget* makeNoItemsView(QWidget* parent);
    // The rows changed (the design's observation of arrangedObjects); nothing in the base.
    virtual void arrangedObjectsDidChange() {}
    bool eventFilter(QObject* watched, QEvent* event) override;
    // While the rows of the first fetch are taken: whether they are what a fetch would give now, so
    // that the refresh that follows need not fetch them again.
    bool fetchedRowsAreCurrent() const { return m_fetchedRowsCurrent; }

private:
    class RowSelectionModel;

    void prepareContent();
    void gotReady(const ListFetchPtr& fetch);
    void bindTable();
    void refreshAndSubscribe();
    void scrollTo(bool bottom);
    void layoutOverlays();
    void stepWithArrowKey(int direction);

    QPointer<QAbstractItemView> m_table;
    SpinningIndicator* m_spinner = nullptr;
    QWidget* m_noItemsView = nullptr;
    QWidget* m_noSearchView = nullptr;
    TQNoSearchProvider* m_noSearchProvider = nullptr;
    ListModel* m_dataProvider = nullptr;
    CellItemDelegate* m_cellDelegate = nullptr;
    RowSelectionModel* m_selectionModel = nullptr;
    QMetaObject::Connection m_observation;
    bool m_fetching = false;
    bool m_fetchedRowsCurrent = false;
    bool m_bound = false;
};

} // namespace tavrel
