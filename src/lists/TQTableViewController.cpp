#include "lists/TQTableViewController.h"

#include "controls/SpinningIndicator.h"
#include "lists/ListModel.h"
#include "lists/TQNoSearchProvider.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Cell.h"
#include "platform/ui/CellItemDelegate.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/ControlServicesFeed.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QPropertyAnimation>
#include <QScrollBar>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

namespace tavrel {

// Lets a user's click or key select only the rows the controller allows; the controller's own
// selection passes as it is.
class TQTableViewController::RowSelectionModel : public QItemSelectionModel
{
public:
    RowSelectionModel(QAbstractItemModel* model, TQTableViewController* controller)
        : QItemSelectionModel(model, controller), m_controller(controller)
    {}

    bool programmatic = false;

    using QItemSelectionModel::select;
    void select(const QItemSelection& selection, QItemSelectionModel::SelectionFlags command) override
    {
        if (programmatic || !(command & (Select | Toggle))) {
            QItemSelectionModel::select(selection, command);
            return;
        }
        QItemSelection allowed;
        for (const QItemSelectionRange& range : selection)
            for (int row = range.top(); row <= range.bottom(); ++row)
                if (m_controller->tableViewShouldSelectRow(row))
                    allowed.select(model()->index(row, range.left()), model()->index(row, range.right()));
        // A refused click leaves the selection as it was.
        if (allowed.isEmpty() && !selection.isEmpty())
            return;
        QItemSelectionModel::select(allowed, command);
    }

private:
    TQTableViewController* m_controller;
};

TQTableViewController::TQTableViewController(const QString& nibName, QObject* parent)
    : TQViewController(nibName, parent)
{}

TQTableViewController::~TQTableViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    disconnect(m_observation);
}

QAbstractItemView* TQTableViewController::table()
{
    view();
    return m_table;
}

SpinningIndicator* TQTableViewController::spinner()
{
    view();
    return m_spinner;
}

QWidget* TQTableViewController::noItemsView()
{
    view();
    return m_noItemsView;
}

QWidget* TQTableViewController::noSearchView()
{
    view();
    return m_noSearchView;
}

void TQTableViewController::setDataProvider(ListModel* provider)
{
    if (provider == m_dataProvider)
        return;
    delete m_dataProvider;
    m_dataProvider = provider;
    m_bound = false;
    if (provider) {
        provider->setParent(this);
        provider->setSearchString(searchString());
    }
}

QString TQTableViewController::noSearchString() const
{
    return StringTable::text(QStringLiteral("No search results"));
}

QWidget* TQTableViewController::loadView()
{
    auto* view = new QWidget;
    m_table = makeTable(view);
    m_table->setObjectName(QStringLiteral("table"));
    // Rows with parts usable only online take the flag from the list they are drawn in.
    ControlServicesFeed::followConnection(m_table);
    m_spinner = new SpinningIndicator(view);
    m_spinner->setObjectName(QStringLiteral("spinner"));
    m_noItemsView = makeNoItemsView(view);
    m_noItemsView->setObjectName(QStringLiteral("noItemsView"));
    m_noItemsView->hide();
    view->installEventFilter(this);
    m_table->installEventFilter(this);
    return view;
}

QAbstractItemView* TQTableViewController::makeTable(QWidget* parent)
{
    auto* table = new QTableView(parent);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setShowGrid(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setFrameShape(QFrame::NoFrame);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    return table;
}

QWidget* TQTableViewController::makeNoItemsView(QWidget* parent)
{
    return TQNoSearchProvider::makeMessageView(parent, StringTable::text(QStringLiteral("NoItems")));
}

void TQTableViewController::awakeFromNib()
{
    TQViewController::awakeFromNib();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, kSidebarJumpToStartNotification, QVariant(), [this](const Notification&) {
        // Only a list that is in a view tree jumps.
        if (isViewLoaded() && view()->parentWidget())
            goTop(nullptr);
    });
    center.addObserver(this, kRefreshIfInstalledNotification, QVariant(), [this](const Notification&) {
        if (isInstalled())
            refresh();
    });
    // No type-to-select: keys are commands.
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Above the table; the first refresh decides whether it shows.
    m_noSearchProvider = new TQNoSearchProvider(this);
    m_noSearchView = m_noSearchProvider->view();
    m_noSearchView->setParent(view());
    m_noSearchProvider->labelField()->setText(noSearchString());
    m_noSearchView->setObjectName(QStringLiteral("noSearchView"));
    m_noSearchView->hide();
    layoutOverlays();
}

void TQTableViewController::layoutOverlays()
{
    QWidget* container = view();
    const QRect bounds = container->rect();
    // A table inside a scroll view of its own (pull to refresh) is laid out through it.
    QWidget* host = m_table;
    while (host->parentWidget() && host->parentWidget() != container)
        host = host->parentWidget();
    host->setGeometry(bounds);
    m_noItemsView->setGeometry(bounds);
    if (m_noSearchView)
        m_noSearchView->setGeometry(bounds);
    const QSize spin = m_spinner->sizeHint();
    m_spinner->setGeometry(QRect(bounds.center() - QPoint(spin.width() / 2, spin.height() / 2), spin));
    m_spinner->raise();
}

bool TQTableViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (isViewLoaded() && watched == view() && event->type() == QEvent::Resize)
        layoutOverlays();
    if (watched == m_table && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) && key->modifiers() == Qt::NoModifier) {
            stepWithArrowKey(key->key() == Qt::Key_Down ? 1 : -1);
            return true;
        }
    }
    return TQViewController::eventFilter(watched, event);
}

void TQTableViewController::viewDidInstall()
{
    // The base's hook is not run: a list does its own responder work.
    if (isInstalled())
        return;
    setIsInstalled(true);
    QAbstractItemView* table = this->table();
    table->setFocus();
    // The controller answers right after the table.
    if (!ResponderChain::respondersBehind(table).contains(this))
        ResponderChain::insertResponder(table, this);
    if (m_dataProvider && m_dataProvider->count() == 0) {
        // The table shows as it is (empty) until the stored rows come: a table painted through an
        // opacity effect is left black by the X backing store where its viewport should be.
        m_spinner->startAnimation();
        prepareContent();
        return;
    }
    QMetaObject::invokeMethod(
        this, [this] { refreshAndSubscribe(); }, Qt::QueuedConnection);
}

void TQTableViewController::viewWillUninstall()
{
    TQViewController::viewWillUninstall();
    if (isInstalled())
        disconnect(m_observation);
}

void TQTableViewController::prepareContent()
{
    m_fetching = true;
    const ListFetchPtr fetch = m_dataProvider->makeFetch();
    // The fetch reads the store in a context of its own thread and keeps nothing of the controller:
    // a list that goes meanwhile never hears of it.
    QThread* thread = QThread::create([fetch] {
        if (!fetch->run())
            TQLog("E: Cannot fetch Files from CoreData: %@", fetch->error().localizedDescription());
    });
    connect(thread, &QThread::finished, this, [this, fetch] { gotReady(fetch); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

void TQTableViewController::gotReady(const ListFetchPtr& fetch)
{
    m_fetching = false;
    m_spinner->stopAnimation();
    m_fetchedRowsCurrent = m_dataProvider && m_dataProvider->adoptFetch(*fetch);
    bindTable();
    refreshAndSubscribe();
    m_fetchedRowsCurrent = false;
}

void TQTableViewController::bindTable()
{
    if (m_bound || !m_dataProvider)
        return;
    m_bound = true;
    QItemSelectionModel* old = m_table->selectionModel();
    m_table->setModel(m_dataProvider);
    m_selectionModel = new RowSelectionModel(m_dataProvider, this);
    m_table->setSelectionModel(m_selectionModel);
    if (old && old != m_selectionModel)
        old->deleteLater();
    // A table with a cell bridge of its own keeps it.
    if (!m_cellDelegate && !qobject_cast<CellItemDelegate*>(m_table->itemDelegate()))
        m_cellDelegate = new CellItemDelegate(
            m_table, [this](const QModelIndex& index) { return dataCellForRow(index.row()); });
}

void TQTableViewController::refreshAndSubscribe()
{
    if (!m_dataProvider)
        return;
    // A list whose provider was filled before it was first shown is bound here.
    bindTable();
    m_dataProvider->setAutomaticallyPreparesContent(true);
    refresh();
    disconnect(m_observation);
    m_observation = connect(m_dataProvider, &ListModel::arrangedObjectsChanged, this,
                            [this] { arrangedObjectsDidChange(); });
    const QList<int> selected = selectedRows();
    if (selected.isEmpty()) {
        // The second row: the first is often a group header. Fewer rows: nothing.
        if (m_dataProvider->count() > 1)
            selectRow(1);
    } else {
        m_table->scrollTo(m_dataProvider->index(selected.first()));
    }
}

void TQTableViewController::refresh()
{
    if (!isViewLoaded())
        return;
    m_table->viewport()->update();
    const int rows = m_dataProvider ? m_dataProvider->count() : 0;
    const bool searching = searchString().length() > 0;
    // While the stored rows are being read, an empty list is not yet known to be empty.
    m_noItemsView->setHidden(!(rows == 0 && !searching && !m_fetching));
    m_noSearchView->setHidden(!(rows == 0 && searching && !m_fetching));
    if (!m_noItemsView->isHidden())
        m_noItemsView->raise();
    if (!m_noSearchView->isHidden())
        m_noSearchView->raise();
}

void TQTableViewController::setSearchString(const QString& searchString)
{
    TQViewController::setSearchString(searchString);
    if (m_dataProvider)
        m_dataProvider->setSearchString(searchString);
    if (isInstalled())
        refresh();
}

void TQTableViewController::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    TQViewController::setSortDescriptor(descriptor);
    if (m_dataProvider && descriptor)
        m_dataProvider->setSortDescriptors({*descriptor});
}

void TQTableViewController::goTop(QObject*)
{
    scrollTo(false);
}

void TQTableViewController::goBottom(QObject*)
{
    scrollTo(true);
}

void TQTableViewController::scrollTo(bool bottom)
{
    QScrollBar* bar = table()->verticalScrollBar();
    Animations::start(Animations::property(bar, "value", bottom ? bar->maximum() : bar->minimum(),
                                           kScrollDuration, Animations::Curve::EaseOut, this));
}

QList<int> TQTableViewController::selectedRows() const
{
    QList<int> rows;
    if (!m_table || !m_table->selectionModel())
        return rows;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TQTableViewController::selectRow(int row)
{
    if (!m_table || !m_table->model())
        return;
    QItemSelectionModel* selection = m_table->selectionModel();
    if (m_selectionModel)
        m_selectionModel->programmatic = true;
    if (row < 0 || row >= m_table->model()->rowCount()) {
        selection->clearSelection();
    } else {
        const QModelIndex index = m_table->model()->index(row, 0);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_table->scrollTo(index);
    }
    if (m_selectionModel)
        m_selectionModel->programmatic = false;
    m_table->viewport()->update();
}

void TQTableViewController::selectNext(QObject*)
{
    const int rows = m_table && m_table->model() ? m_table->model()->rowCount() : 0;
    if (rows == 0)
        return;
    const QList<int> selected = selectedRows();
    // From nothing, or from the last row, the first row is next.
    int target = selected.isEmpty() ? 0 : selected.last() + 1;
    if (target >= rows)
        target = 0;
    // One group header is stepped over; past the end the list starts again.
    if (isGroupRow(target))
        target = target + 1 < rows ? target + 1 : 0;
    selectRow(target);
}

void TQTableViewController::selectPrevious(QObject*)
{
    const int rows = m_table && m_table->model() ? m_table->model()->rowCount() : 0;
    if (rows == 0)
        return;
    const QList<int> selected = selectedRows();
    // From nothing, or from the first row, the last row is previous.
    int target = selected.isEmpty() || selected.last() == 0 ? rows - 1 : selected.last() - 1;
    if (isGroupRow(target))
        target = target == 0 ? rows - 1 : target - 1;
    selectRow(target);
}

void TQTableViewController::stepWithArrowKey(int direction)
{
    const int rows = m_table->model() ? m_table->model()->rowCount() : 0;
    const QList<int> selected = selectedRows();
    int target = selected.isEmpty() ? (direction > 0 ? 0 : rows - 1)
                                    : (direction > 0 ? selected.last() : selected.first()) + direction;
    // Arrow keys step over every header and stop at the ends.
    while (target >= 0 && target < rows && !tableViewShouldSelectRow(target))
        target += direction;
    if (target >= 0 && target < rows)
        selectRow(target);
}

bool TQTableViewController::tableViewShouldSelectRow(int row)
{
    if (row == -1)
        return true;
    if (isGroupRow(row))
        return false;
    bool answer = true;
    const QEvent::Type type = CurrentEvent::type();
    const Qt::MouseButton button = CurrentEvent::button();
    if (type == QEvent::MouseButtonPress && (button == Qt::LeftButton || button == Qt::RightButton)) {
        if (Cell* cell = dataCellForRow(row)) {
            const QRectF frame = m_table->visualRect(m_table->model()->index(row, 0));
            const Cell::HitResults hits =
                cell->hitTest(CurrentEvent::mousePosition(m_table->viewport()), frame);
            if (hits & Cell::NoSelect)
                answer = false;
        }
    }
    const QRect rowRect = m_table->visualRect(m_table->model()->index(row, 0));
    if (rowRect.intersects(m_table->viewport()->rect()))
        m_table->viewport()->update();
    return answer;
}

bool TQTableViewController::isGroupRow(int) const
{
    return false;
}

Cell* TQTableViewController::dataCellForRow(int)
{
    return nullptr;
}

bool TQTableViewController::validateUserInterfaceItem(QObject* item)
{
    bool valid = TQViewController::validateUserInterfaceItem(item);
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::share || command == Commands::deleteEntity || command == Commands::editEntity) {
        QWidget* window = m_table ? m_table->window() : nullptr;
        valid = valid && window && window->focusWidget() == m_table;
    }
    return valid;
}

void TQTableViewController::operationDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    TQViewController::operationDidFinishWithResult(result, error);
    refresh();
}

} // namespace tavrel
