// The sharing commands of the all-items list: the share command of the menus and a row's share
// button open the share-with dialog for the documents the user may share.

#include "controls/TQTableView.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQAllItemsController.h"
#include "model/FileEntryAbstract.h"
#include "platform/system/DMTracker.h"
#include "platform/ui/Alert.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/SharingPermissions.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

#include <QAction>
#include <QMenu>

namespace tavrel {

namespace {

void trackShare(const QString& name)
{
    DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Share"), name, QString());
}

// The middle of the row's right edge, moved 2 points beyond the window's right edge, in the window's
// coordinates; the null point without a row.
QPoint anchorOfRow(TQAllItemsController* list, int row)
{
    TQTableView* table = list->tableView();
    if (row < 0 || !table)
        return {};
    const QRect rect = table->visualRect(table->model()->index(row, 0));
    QWidget* window = table->window();
    const QPoint middle = table->viewport()->mapTo(window, QPoint(rect.right(), rect.center().y()));
    return {window->width() + 2, middle.y()};
}

} // namespace

void TQAllItemsCommands::share(QObject* sender)
{
    auto* item = qobject_cast<QAction*>(sender);
    if (item)
        DMTracker::defaultTracker()->trackEventInCategory(QStringLiteral("Action"),
                                                          QStringLiteral("ContextualMenu"), Commands::share);
    shareNonTracked(sender);
    if (item) {
        bool fromRowMenu = false;
        for (QObject* holder : item->associatedObjects())
            fromRowMenu = fromRowMenu || holder == m_list->rowMenu();
        trackShare(fromRowMenu ? QStringLiteral("ContextualMenu") : QStringLiteral("MenuBar"));
    }
}

void TQAllItemsCommands::shareOneWith(QObject* sender)
{
    const int row = m_list->pressedRow();
    if (row >= 0 && m_list->tableView())
        m_list->tableView()->selectRowIndexes({row}, false);
    shareNonTracked(sender);
    trackShare(QStringLiteral("Button Share"));
}

void TQAllItemsCommands::shareNonTracked(QObject*)
{
    QList<int> rows = m_list->selectedRows();
    const int clicked = m_list->clickedRow();
    if (clicked >= 0)
        rows = {clicked};
    const QString username = SharingPermissions::username();
    QList<ManagedObjectPtr> permitted;
    QList<int> permittedRows;
    for (const int row : std::as_const(rows)) {
        const ManagedObjectPtr record = m_list->recordAtRow(row);
        const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (entry && SharingPermissions::mayChangeVisibility(*entry, username)) {
            permitted.append(record);
            permittedRows.append(row);
        }
    }
    if (permitted.isEmpty()) {
        if (!rows.isEmpty())
            SharingPermissions::showShareDenied();
        return;
    }
    if (permitted.size() >= rows.size()) {
        shareWithForSelection(permitted, anchorOfRow(m_list, clicked >= 0 ? clicked : m_list->pressedRow()));
        return;
    }
    // Some may not be shared: the user decides whether the others go anyway.
    auto* alert = new Alert;
    alert->setMessageText(
        StringTable::format(QStringLiteral("MixedPermissionTitle"), rows.size() - permitted.size()));
    alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
    alert->setAlternateButtonTitle(StringTable::text(QStringLiteral("Cancel")));
    alert->setInformativeText(StringTable::text(QStringLiteral("MixedPermissionMessage")));
    const QPointer<TQAllItemsCommands> self(this);
    alert->beginSheet(window(), [self, permittedRows](int response, bool) {
        if (!self || response != Alert::DefaultResponse || !self->list()->tableView())
            return;
        self->list()->tableView()->selectRowIndexes(permittedRows, false);
        self->shareWithForSelection(self->list()->selectedRecords(), QPoint());
    });
}

void TQAllItemsCommands::shareWithForSelection(const QList<ManagedObjectPtr>& records, const QPoint& point)
{
    auto* dialog = ViewClasses::make<TQFloatingContentController>(TQMainWindowController::kShareWithClass);
    if (!dialog)
        return;
    QVariantList values;
    for (const ManagedObjectPtr& record : records)
        values.append(QVariant::fromValue(record));
    dialog->setProperty("item", values.size() == 1 ? values.constFirst() : QVariant(values));
    QWidget* from = m_list->isViewLoaded() ? m_list->view() : nullptr;
    QuickShareDialogs::showQuickShareDialog(
        from, dialog, values, QuickShareDialogs::pointBesideWindow(from, point, dialog->view()->size()));
}

} // namespace tavrel
