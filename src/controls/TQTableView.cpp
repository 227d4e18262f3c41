#include "controls/TQTableView.h"

#include "controls/ControlPopovers.h"
#include "controls/InPlaceEditableCell.h"
#include "controls/TQAnimatingBar.h"
#include "controls/TQDestinationDropDelegate.h"
#include "controls/TQShadowedCell.h"
#include "controls/TQTableViewDelegate.h"
#include "controls/TQTitledGroupTableCell.h"
#include "controls/TQUISettings.h"
#include "controls/WidgetCellHost.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/Animations.h"
#include "platform/ui/CellHost.h"
#include "platform/ui/CellItemDelegate.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/Drawing.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>

namespace tavrel {

// The bridge that draws each row through the table: background, cell or header, floating header.
class TQTableRowDelegate : public CellItemDelegate
{
public:
    TQTableRowDelegate(TQTableView* table, CellProvider provider)
        : CellItemDelegate(table, std::move(provider)), m_table(table)
    {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        m_table->drawRow(*painter, option.rect, index.row());
    }
    void paintCell(QPainter* painter, const QRect& rect, const QModelIndex& index, Cell* prepared) const
    {
        paintPrepared(painter, rect, index, prepared);
    }

private:
    TQTableView* m_table;
};

namespace {
const QColor kDropFrameColor = QColor::fromRgbF(0.70703125f, 0.83203125f, 1.0f, 1.0f);

} // namespace

TQTableView::TQTableView(QWidget* parent)
    : QTableView(parent), m_rows(this, [this](int row) { return rectOfRow(row); })
{
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(ExtendedSelection);
    setEditTriggers(NoEditTriggers);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A frame in the palette's highlight while the list has the keys, invisible otherwise.
    setFrameShape(QFrame::Box);
    setFrameShadow(QFrame::Plain);
    setLineWidth(kFocusFrameWidth);
    showFocusFrame(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    setDragDropMode(DragDrop);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, TQUISettings::rowBackgroundColor());
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    m_cellDelegate =
        new TQTableRowDelegate(this, [this](const QModelIndex& index) { return preparedCell(index.row()); });
    m_cellDelegate->setClickPolicy([this](const QModelIndex& index, Cell::HitResults hits) {
        // Rows the delegate does not let select are still tracked.
        auto press = CellItemDelegate::defaultClickPolicy(index, hits);
        if (press == CellItemDelegate::Press::TrackAndSelect && m_delegate &&
            m_delegate->respondsTo(TQTableViewDelegate::ShouldSelectRow) &&
            !m_delegate->tableViewShouldSelectRow(this, index.row()))
            press = CellItemDelegate::Press::Track;
        return press;
    });
    // Ours sees the viewport's events before the cell bridge's.
    viewport()->installEventFilter(this);
}

TQTableView::~TQTableView() = default;

void TQTableView::setTableDelegate(TQTableViewDelegate* delegate)
{
    m_delegate = delegate;
    viewport()->update();
}

void TQTableView::setRowHeight(int height)
{
    verticalHeader()->setDefaultSectionSize(height);
}

bool TQTableView::isGroupRow(int row) const
{
    return row >= 0 && m_delegate && m_delegate->respondsTo(TQTableViewDelegate::IsGroupRow) &&
           m_delegate->tableViewIsGroupRow(const_cast<TQTableView*>(this), row);
}

void TQTableView::noteHeightOfRows(const QList<int>& rows)
{
    for (const int row : rows)
        verticalHeader()->resizeSection(row, isGroupRow(row) ? kGroupHeaderHeight
                                                             : verticalHeader()->defaultSectionSize());
}

Cell* TQTableView::preparedCell(int row) const
{
    if (row < 0 || !m_delegate || !m_delegate->respondsTo(TQTableViewDelegate::DataCell))
        return nullptr;
    return m_delegate->tableViewDataCell(const_cast<TQTableView*>(this), row);
}

QRect TQTableView::rectOfRow(int row) const
{
    if (!model() || row < 0 || row >= model()->rowCount())
        return {};
    return {0, rowViewportPosition(row), viewport()->width(), rowHeight(row)};
}

QPair<int, int> TQTableView::rowsInRect(const QRect& rect) const
{
    if (!model() || model()->rowCount() == 0)
        return {0, 0};
    int first = rowAt(rect.top());
    if (first < 0)
        first = rect.top() < 0 ? 0 : model()->rowCount();
    int last = rowAt(rect.bottom());
    if (last < 0)
        last = model()->rowCount() - 1;
    return {first, qMax(0, last - first + 1)};
}

QRect TQTableView::headerStrip(int height) const
{
    return {0, 0, viewport()->width(), height};
}

void TQTableView::updateRow(int row)
{
    m_rows.updateRow(row);
}

void TQTableView::setTrackedRow(int row)
{
    if (!m_rows.setTrackedRow(row))
        return;
    updateRow(row);
    emit hoveredRowChanged(row);
}

// --- Hover and clicks ---

bool TQTableView::mouseMoved(const QPoint& point)
{
    if (trackedRow() < 0 && !viewport()->rect().contains(point))
        return false;
    if (m_overlay && m_overlay->geometry().contains(point))
        return false;
    if (ControlPopovers::presentModalContentController())
        return false;
    const bool sectioned = m_delegate && m_delegate->respondsTo(TQTableViewDelegate::IsGroupRow);
    int found = -1;
    const int row = rowAt(point.y());
    if (row >= 0 && !(sectioned && (isGroupRow(row) || headerStrip(kGroupHeaderHeight + 1).contains(point))))
        found = row;
    const int previous = trackedRow();
    if (found >= 0)
        updateRow(found);
    setTrackedRow(found);
    if (previous != trackedRow() && m_overlay)
        uninstallOverlay();
    return false;
}

bool TQTableView::mousePressed(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    const int row = rowAt(point.y());
    if (m_overlay && row != trackedRow()) {
        uninstallOverlay();
        return true;
    }
    if (m_overlay && m_overlay->geometry().contains(point))
        return true;
    if (!(m_delegate && m_delegate->respondsTo(TQTableViewDelegate::ShouldSelectRow) &&
          !m_delegate->tableViewShouldSelectRow(this, row)))
        m_lastClickedRow = row;
    if (row < 0)
        return false;
    const bool sectioned = m_delegate && m_delegate->respondsTo(TQTableViewDelegate::IsGroupRow);
    if (sectioned && (isGroupRow(row) || headerStrip(kGroupHeaderHeight + 1).contains(point)))
        return true;
    return false;
}

bool TQTableView::eventFilter(QObject* watched, QEvent* event)
{
    if (m_editor && watched == m_editor) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            endEditing(true);
            return true;
        }
        if (event->type() == QEvent::FocusOut)
            endEditing(false);
        return QTableView::eventFilter(watched, event);
    }
    if (watched == viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (!(mouse->buttons() & Qt::LeftButton))
                mouseMoved(mouse->position().toPoint());
            break;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && mousePressed(mouse))
                return true;
            break;
        }
        case QEvent::Leave:
            if (trackedRow() >= 0 && !ControlPopovers::presentModalContentController()) {
                setTrackedRow(-1);
                if (m_overlay)
                    uninstallOverlay();
            }
            break;
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void TQTableView::focusInEvent(QFocusEvent* event)
{
    QTableView::focusInEvent(event);
    showFocusFrame(true);
    viewport()->update();
}

void TQTableView::focusOutEvent(QFocusEvent* event)
{
    // The selection fades to grey with the focus.
    showFocusFrame(false);
    viewport()->update();
    QTableView::focusOutEvent(event);
}

void TQTableView::showFocusFrame(bool focused)
{
    QPalette framed = palette();
    framed.setColor(QPalette::WindowText, focused ? framed.color(QPalette::Active, QPalette::Highlight)
                                                  : TQUISettings::rowBackgroundColor());
    setPalette(framed);
    update();
}

QColor TQTableView::selectionColor(bool focused) const
{
    if (!focused)
        return TQUISettings::selectedGridBackgroundColor();
    // A tint of the palette's highlight, light enough for the cells' dark text.
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
    const QColor base = TQUISettings::rowBackgroundColor();
    const auto mix = [](int a, int b) { return (a * 2 + b) / 3; };
    return QColor(mix(base.red(), highlight.red()), mix(base.green(), highlight.green()),
                  mix(base.blue(), highlight.blue()));
}

// --- Drawing ---

void TQTableView::drawRow(QPainter& painter, const QRect& rect, int row)
{
    const QRect visible = viewport()->rect();
    const bool focused = hasFocus() || m_editor;
    const bool selected = selectionModel() && selectionModel()->isRowSelected(row, rootIndex());
    // Over the style's own selection panel: the look is ours alone.
    painter.fillRect(rect, TQUISettings::rowBackgroundColor());
    // Selected rows stay visible without focus, in grey (see selectionColor).
    if (m_rows.showsSelected(selected, true))
        painter.fillRect(rect, selectionColor(focused));
    if (m_rows.showsHovered(row, selected))
        painter.fillRect(rect, Qt::white);

    Cell* cell = preparedCell(row);
    auto* header = dynamic_cast<TQTitledGroupTableCell*>(cell);
    const bool group = isGroupRow(row);
    if (group && header) {
        // A header exactly at the top of a table that fills its scroll area has no top border.
        header->setShouldHaveTopBorder(rect.top() != visible.top());
        static_cast<TQTableRowDelegate*>(m_cellDelegate)
            ->paintCell(&painter, rect, model()->index(row, 0), cell);
    } else if (cell) {
        if (auto* shadowed = dynamic_cast<TQShadowedCell*>(cell))
            shadowed->setSelected(m_rows.showsSelected(selected, focused));
        if (auto* editable = InPlaceEditableCell::from(cell))
            editable->setShowsEditor(m_editor && row == m_editingRow);
        static_cast<TQTableRowDelegate*>(m_cellDelegate)
            ->paintCell(&painter, rect, model()->index(row, 0), cell);
    }

    // The floating header of the section scrolled under the top edge.
    if (!m_rows.touchesHeaderStrip(rect, kGroupHeaderHeight + 1) || !m_delegate ||
        !m_delegate->respondsTo(TQTableViewDelegate::IsGroupRow))
        return;
    const int above = ListRowBehaviour::groupRowAbove(row, [this](int at) { return isGroupRow(at); });
    if (above < 0)
        return;
    auto* floating = dynamic_cast<TQTitledGroupTableCell*>(preparedCell(above));
    if (!floating)
        return;
    m_rows.drawFloatingHeader(painter, *floating,
                              m_rows.floatingHeaderFrame(rect, group, kGroupHeaderHeight));
    // The row's own header is drawn again over it (the prototype was configured for the header above).
    if (group) {
        if (auto* own = dynamic_cast<TQTitledGroupTableCell*>(preparedCell(row)))
            m_rows.drawFloatingHeader(painter, *own, rect);
    }
}

void TQTableView::drawGrid(QPainter& painter, const QRect& clip)
{
    const auto [first, count] = rowsInRect(clip);
    const bool sectioned = m_delegate && m_delegate->respondsTo(TQTableViewDelegate::IsGroupRow);
    const QRect visible = viewport()->rect();
    const QRect gridStrip = headerStrip(kGroupHeaderHeight);
    const bool focused = hasFocus() || m_editor;
    const int rows = model() ? model()->rowCount() : 0;
    for (int row = first; row < first + count; ++row) {
        if (sectioned && (isGroupRow(row) || isGroupRow(row + 1)))
            continue;
        const QRect rr = rectOfRow(row);
        const QRectF line(rr.left(), Drawing::floorf(rr.bottom() + 1 - 0.5), rr.width(), 1);
        if ((sectioned && line.intersects(gridStrip)) || !line.intersects(visible))
            continue;
        const bool nextSelected = row + 1 < rows && selectionModel()->isRowSelected(row + 1, rootIndex());
        const bool selected = selectionModel()->isRowSelected(row, rootIndex()) || nextSelected;
        painter.fillRect(line,
                         m_rows.gridColor(selected, focused, TQUISettings::selectedGridBackgroundColor(),
                                          TQUISettings::gridBackgroundColor()));
    }
    NotificationCenter::defaultCenter().post(DragBus::kDragAreaCleanNotification);
    if (!m_hasDraggingProgress)
        return;
    QRect frame;
    if (m_dropTarget == DropOnRow)
        frame = rectOfRow(rowAt(viewport()->mapFrom(window(), m_dropLocation).y()));
    else if (m_dropTarget == DropOnTable)
        frame = visible;
    if (frame.isEmpty())
        return;
    painter.save();
    painter.setPen(QPen(kDropFrameColor, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(frame).adjusted(1.5, 1.5, -1.5, -1.5));
    painter.restore();
    NotificationCenter::defaultCenter().post(DragBus::kDragAreaHighlightNotification);
}

void TQTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    QPainter painter(viewport());
    drawGrid(painter, event->rect());
}

// --- Selection ---

void TQTableView::selectRowIndexes(const QList<int>& rows, bool extend)
{
    if (!selectionModel() || !model())
        return;
    if (!extend)
        selectionModel()->clearSelection();
    for (const int row : rows)
        selectionModel()->select(model()->index(row, 0),
                                 QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (rows.size() == 1) {
        const int top = rowViewportPosition(rows.first());
        const int contentTop = top + verticalScrollBar()->value();
        selectionModel()->setCurrentIndex(model()->index(rows.first(), 0), QItemSelectionModel::NoUpdate);
        // A row above the visible area of a sectioned list shows just under the floating header.
        if (isGroupRow(0) && top < 0)
            verticalScrollBar()->setValue(contentTop - kGroupHeaderHeight);
    }
    viewport()->update();
}

void TQTableView::reloadData()
{
    uninstallOverlay();
    viewport()->update();
}

void TQTableView::reset()
{
    uninstallOverlay();
    QTableView::reset();
}

void TQTableView::rowsInserted(const QModelIndex& parent, int start, int end)
{
    uninstallOverlay();
    QTableView::rowsInserted(parent, start, end);
}

void TQTableView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    uninstallOverlay();
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

// --- Keys and the context menu ---

void TQTableView::keyPressEvent(QKeyEvent* event)
{
    if (!m_editor && m_delegate) {
        const int key = event->key();
        if (key == Qt::Key_Space && m_delegate->respondsTo(TQTableViewDelegate::ActivateQuickLook)) {
            m_delegate->activateQuickLook(this);
            return;
        }
        if (key == Qt::Key_O && event->modifiers() == Qt::ControlModifier &&
            m_delegate->respondsTo(TQTableViewDelegate::Open)) {
            m_delegate->open(this);
            return;
        }
        if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) &&
            m_delegate->respondsTo(TQTableViewDelegate::DeleteEntity)) {
            m_delegate->deleteEntity(this);
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

QMenu* TQTableView::menuForRow(int row)
{
    if (row < 0 || isGroupRow(row))
        return nullptr;
    m_lastClickedRow = row;
    setFocus(Qt::PopupFocusReason);
    if (!selectionModel()->isRowSelected(row, rootIndex())) {
        selectRowIndexes({row}, false);
        viewport()->repaint();
    }
    Cell* cell = preparedCell(row);
    QMenu* menu = cell ? cell->menu() : nullptr;
    if (m_delegate && m_delegate->respondsTo(TQTableViewDelegate::WillDisplayMenu)) {
        QList<int> rows;
        for (const QModelIndex& index : selectionModel()->selectedRows())
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        m_delegate->tableViewWillDisplayMenu(this, menu, rows);
    }
    return menu;
}

void TQTableView::contextMenuEvent(QContextMenuEvent* event)
{
    if (QMenu* menu = menuForRow(rowAt(event->pos().y())))
        menu->popup(event->globalPos());
}

// --- Rename ---

void TQTableView::editRow(int row)
{
    Cell* cell = preparedCell(row);
    InPlaceEditableCell* editable = InPlaceEditableCell::from(cell);
    if (!editable)
        return;
    endEditing(true);
    m_editingRow = row;
    auto* editor = new QLineEdit(viewport());
    editor->setFrame(false);
    editor->setFont(editable->editingFont());
    editor->setText(cell->title());
    editor->setGeometry(editable->editingFrame(QRectF(rectOfRow(row))).toAlignedRect());
    editor->installEventFilter(this);
    connect(editor, &QLineEdit::returnPressed, this, [this] { endEditing(false); });
    m_editor = editor;
    editable->setShowsEditor(true);
    editor->show();
    editor->selectAll();
    editor->setFocus(Qt::OtherFocusReason);
    updateRow(row);
}

void TQTableView::endEditing(bool cancelled)
{
    if (!m_editor)
        return;
    QPointer<QLineEdit> editor = m_editor;
    m_editor = nullptr;
    const int row = m_editingRow;
    m_editingRow = -1;
    const QString text = editor->text();
    Cell* cell = preparedCell(row);
    if (!cancelled && m_delegate && m_delegate->respondsTo(TQTableViewDelegate::DidEndEditingCell))
        m_delegate->tableViewDidEndEditingCell(this, cell, text);
    if (auto* editable = InPlaceEditableCell::from(cell))
        editable->setShowsEditor(false);
    editor->hide();
    editor->deleteLater();
    setFocus(Qt::OtherFocusReason);
    updateRow(row);
}

// --- Drag source ---

bool TQTableView::canDragRows(const QList<int>& rows) const
{
    for (const int row : rows)
        if (isGroupRow(row))
            return false;
    return !rows.isEmpty();
}

void TQTableView::startDrag(Qt::DropActions supportedActions)
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    if (!canDragRows(rows) || !model())
        return;
    QMimeData* mime = nullptr;
    if (m_delegate && m_delegate->respondsTo(TQTableViewDelegate::WriteRows)) {
        mime = m_delegate->tableViewMimeDataForRows(this, rows);
    } else {
        QModelIndexList indexes;
        for (const int row : rows)
            indexes.append(model()->index(row, 0));
        mime = model()->mimeData(indexes);
    }
    if (!mime)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    if (m_delegate && m_delegate->respondsTo(TQTableViewDelegate::DragImage)) {
        QPoint offset;
        const QPixmap image = m_delegate->dragImageForRows(this, rows, &offset);
        if (!image.isNull()) {
            drag->setPixmap(image);
            drag->setHotSpot(offset);
        }
    }
    DragBus::exec(drag, supportedActions, Qt::MoveAction);
}

// --- Drop target ---

Qt::DropAction TQTableView::draggingEntered(QDropEvent* event)
{
    if (!TQDestinationDropDelegate::canAcceptDraggingInfo(m_dropDelegate, this, event))
        return Qt::IgnoreAction;
    m_hasDraggingProgress = true;
    m_dropLocation = viewport()->mapTo(window(), event->position().toPoint());
    viewport()->update();
    return TQDestinationDropDelegate::dragOperation(event->mimeData());
}

Qt::DropAction TQTableView::draggingUpdated(QDropEvent* event)
{
    if (!TQDestinationDropDelegate::canAcceptDraggingInfo(m_dropDelegate, this, event))
        return Qt::IgnoreAction;
    m_hasDraggingProgress = true;
    m_dropLocation = viewport()->mapTo(window(), event->position().toPoint());
    if (m_dropTarget == DropOnRow)
        viewport()->update();
    return TQDestinationDropDelegate::dragOperation(event->mimeData());
}

void TQTableView::draggingExited()
{
    m_hasDraggingProgress = false;
    viewport()->update();
    if (CurrentEvent::isCancel())
        NotificationCenter::defaultCenter().post(DragBus::kDragDidCancelNotification);
}

bool TQTableView::prepareForDragOperation(QDropEvent* event)
{
    if (TQDestinationDropDelegate::validateDraggingInfo(m_dropDelegate, this, event))
        return true;
    m_hasDraggingProgress = false;
    viewport()->update();
    return false;
}

bool TQTableView::performDragOperation(QDropEvent* event)
{
    if (TQDestinationDropDelegate::processDraggingInfo(m_dropDelegate, this, event))
        return true;
    m_hasDraggingProgress = false;
    viewport()->update();
    return false;
}

void TQTableView::concludeDragOperation()
{
    m_hasDraggingProgress = false;
    viewport()->update();
}

namespace {
void answer(QDropEvent* event, Qt::DropAction action)
{
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}
} // namespace

void TQTableView::dragEnterEvent(QDragEnterEvent* event)
{
    const Qt::DropAction action = draggingEntered(event);
    answer(event, action);
    if (action == Qt::IgnoreAction) {
        // A refused drag is still followed, so that a later update may accept it.
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
    }
}

void TQTableView::dragMoveEvent(QDragMoveEvent* event)
{
    answer(event, draggingUpdated(event));
}

void TQTableView::dragLeaveEvent(QDragLeaveEvent*)
{
    draggingExited();
}

void TQTableView::dropEvent(QDropEvent* event)
{
    const bool done = prepareForDragOperation(event) && performDragOperation(event);
    concludeDragOperation();
    if (done) {
        event->setDropAction(TQDestinationDropDelegate::dragOperation(event->mimeData()));
        event->accept();
    } else {
        event->ignore();
    }
}

// --- Overlay ---

void TQTableView::installOverlay(QWidget* overlay)
{
    if (!overlay || overlay == m_overlay)
        return;
    uninstallOverlay();
    overlay->setParent(viewport());
    m_overlay = overlay;
    overlay->show();
    Animations::fade(overlay, 1.0, Animations::kShort);
}

void TQTableView::uninstallOverlay()
{
    QPointer<QWidget> overlay = m_overlay;
    m_overlay = nullptr;
    if (!overlay)
        return;
    if (auto* bar = qobject_cast<TQAnimatingBar*>(overlay.data()))
        bar->scheduleRemoveFromSuperview();
    else
        overlay->deleteLater();
}

int TQTableView::overlayRow() const
{
    if (!m_overlay)
        return -1;
    const QRect frame = m_overlay->geometry();
    return rowAt(frame.y() + frame.height() / 2);
}

} // namespace tavrel
