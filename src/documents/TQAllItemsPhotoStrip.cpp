// The photo strip of a document row unwound into a bar of large buttons over the row.

#include "controls/TQAnimatingBar.h"
#include "controls/TQBigDocumentTableCell.h"
#include "controls/TQBoxButton.h"
#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQTableView.h"
#include "controls/TQTitledGroupTableCell.h"
#include "documents/TQAllItemsController.h"
#include "platform/system/DMTracker.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"

#include <QScrollBar>
#include <QTimer>
#include <cmath>

namespace tavrel {

namespace {

constexpr int kButtonEdge = 48;
constexpr int kButtonPitch = 54;

std::shared_ptr<TQHoverdAdaptorButtonCell> makeHideCell()
{
    auto hide = std::make_shared<TQHoverdAdaptorButtonCell>(QString());
    hide->setRegularImage(ImageRegistry::pixmap(QStringLiteral("hide")));
    hide->setHoverImage(ImageRegistry::pixmap(QStringLiteral("hide_hover")));
    hide->setAlternateImage(ImageRegistry::pixmap(QStringLiteral("hide_active")));
    hide->setHovered(true);
    hide->setHasLink(true);
    return hide;
}

} // namespace

TQAnimatingBar* TQAllItemsController::photoBar() const
{
    auto* table = qobject_cast<TQTableView*>(const_cast<TQAllItemsController*>(this)->table());
    return table ? qobject_cast<TQAnimatingBar*>(table->overlay()) : nullptr;
}

void TQAllItemsController::unwindPhotos(QObject*)
{
    TQTableView* table = tableView();
    const int row = table ? pressedRow() : -1;
    if (row < 0 || isGroupRow(row))
        return;
    table->setShouldHighlightSelection(false);
    table->viewport()->update();
    auto* rowCell = dynamic_cast<TQBigDocumentTableCell*>(dataCellForRow(row));
    if (!rowCell)
        return;
    QRect rowRect = table->visualRect(table->model()->index(row, 0));
    // A row under the floating group header comes out from under it first.
    const int strip = int(TQTitledGroupTableCell::minCellHeight()) + 1;
    if (rowRect.top() < strip && isGroupRow(0)) {
        table->verticalScrollBar()->setValue(table->verticalScrollBar()->value() + rowRect.top() -
                                             int(TQTitledGroupTableCell::minCellHeight()));
        rowRect = table->visualRect(table->model()->index(row, 0));
    }
    const QRectF rowFrame(rowRect);
    const qreal d = rowFrame.right() - rowCell->frameForStaticActionCellInBounds(rowFrame).x();
    QRectF barFrame = rowFrame.adjusted(1, 1, -1, -1);
    barFrame.setWidth(barFrame.width() - d - 5);
    auto* bar = new TQAnimatingBar;
    bar->setBackgroundColor(QColor(255, 255, 255, int(0.95 * 255)));
    bar->setGeometry(barFrame.toRect());
    const QRectF first =
        rowCell->frameForActionCellInBounds(QRectF(0, 0, barFrame.width(), barFrame.height()), 0);
    const QRect buttonFrame(int(std::floor(first.center().x() - kButtonEdge / 2.0 + d + 5)),
                            int(std::floor(first.center().y() - kButtonEdge / 2.0)) + 1, kButtonEdge,
                            kButtonEdge);
    const int places = int(barFrame.width() / kButtonPitch);
    QList<std::shared_ptr<Cell>> cells = rowCell->actionCells();
    cells.prepend(makeHideCell());
    int added = 0;
    for (int i = 0; i < cells.size(); ++i) {
        const bool more = added == places - 1;
        std::shared_ptr<Cell> copy;
        if (more) {
            copy = std::shared_ptr<Cell>(rowCell->moreItemsCell().clone());
        } else {
            copy = std::shared_ptr<Cell>(cells[i]->clone());
            copy->setHovered(false);
        }
        auto* button = new TQBoxButton(copy, bar);
        button->setGeometry(buttonFrame);
        if (more) {
            button->setHiddenBackground(true);
            button->setTarget(this);
            button->setAction(QString(Commands::showItemContacts));
        } else if (i == 0) {
            button->setHiddenBackground(true);
            button->setTarget(this);
            button->setAction(QString(Commands::rewindPhotos));
        } else if (std::dynamic_pointer_cast<TQDynamicPhotoSubcell>(copy)) {
            button->setAction(TQDynamicPhotoSubcell::showQuickDialogAction());
        } else {
            button->setAction(TQHoverdAdaptorButtonCell::showLinkDialogAction());
        }
        if (i == 0) {
            button->raise();
        } else {
            const QList<QWidget*> children =
                bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            if (!children.isEmpty() && children.constFirst() != button)
                button->stackUnder(children.constFirst());
        }
        ++added;
        if (more)
            break;
    }
    // The row's buttons must not show through the bar while it is there.
    table->installOverlay(bar);
    QTimer::singleShot(0, bar, [bar] { bar->layoutSubviews(); });
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Action"),
                                                      QStringLiteral("ShareAnimation"),
                                                      QString::number(rowCell->actionCells().size()));
}

void TQAllItemsController::rewindPhotos(QObject*)
{
    if (TQTableView* table = tableView())
        table->uninstallOverlay();
}

} // namespace tavrel
