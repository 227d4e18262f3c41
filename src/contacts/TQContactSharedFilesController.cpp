#include "contacts/TQContactSharedFilesController.h"

#include "contacts/ContactFileAccess.h"
#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQDynamicTableView.h"
#include "controls/TQHoverdButtonCell.h"
#include "controls/TQItemPermissionTableCell.h"
#include "controls/TQOwnerButtonCell.h"
#include "controls/TQPermissionTableCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTriSwitchButton.h"
#include "documents/DocumentCommandSupport.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/Mail.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "window/ActionError.h"
#include "window/ActionRequests.h"

#include <QPointer>

namespace tavrel {

namespace {

constexpr char kRowProperty[] = "row";

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

QString collectionsOf(const ManagedObjectPtr& record)
{
    QStringList titles;
    if (const auto file = std::dynamic_pointer_cast<File>(record))
        for (const auto& collection : file->categories())
            titles.append(collection->title());
    return titles.join(QStringLiteral(", "));
}

} // namespace

TQContactSharedFilesController::TQContactSharedFilesController(QObject* parent)
    : TQSharedFilesController(QStringLiteral("SharedFilesView"), parent),
      m_permissionCell(std::make_unique<TQItemPermissionTableCell>(QString()))
{}

TQContactSharedFilesController::~TQContactSharedFilesController() = default;

QAbstractItemView* TQContactSharedFilesController::makeTable(QWidget* parent)
{
    auto* table = new TQDynamicTableView(parent);
    table->setRowHeight(int(TQPermissionTableCell::minCellHeight()));
    table->setTableDelegate(this);
    return table;
}

void TQContactSharedFilesController::setSearchString(const QString& searchString)
{
    TQSharedFilesController::setSearchString(searchString);
    refresh();
}

void TQContactSharedFilesController::refresh()
{
    // The switches show the roles as they are now.
    if (auto* table = isViewLoaded() ? qobject_cast<TQDynamicTableView*>(this->table()) : nullptr)
        table->removeAllCachedViews();
    TQSharedFilesController::refresh();
}

void TQContactSharedFilesController::viewDidUninstall()
{
    TQSharedFilesController::viewDidUninstall();
    if (auto* table = qobject_cast<TQDynamicTableView*>(this->table()))
        table->removeAllCachedViews();
}

bool TQContactSharedFilesController::respondsTo(Method method) const
{
    return method == ViewForRow || TQSharedFilesController::respondsTo(method);
}

Cell* TQContactSharedFilesController::dataCellForRow(int row)
{
    const ManagedObjectPtr record = recordAtRow(row);
    const auto entry = entryOf(record);
    if (!entry)
        return TQSharedFilesController::dataCellForRow(row);
    TQItemPermissionTableCell& cell = *m_permissionCell;
    if (!cell.representedObject().isValid()) {
        cell.setHasLink(true);
        cell.setMenu(rowMenu());
        cell.setControlView(table()->viewport());
    }
    QPointer<TQContactSharedFilesController> self(this);
    const auto rowOf = [self](Cell& sender) {
        return self ? self->rowOfRecord(sender.representedObject().value<ManagedObjectPtr>()) : -1;
    };
    cell.setLinkAction([self, rowOf](Cell& sender) {
        if (self)
            self->clickLink(rowOf(sender));
    });
    cell.setRepresentedObject(QVariant::fromValue(record));
    cell.setPhoto(ImageRegistry::pixmap(QStringLiteral("document_google_big")));
    // The prototype's thumbnail subcell shows this row's document.
    if (const auto photo = std::dynamic_pointer_cast<TQDynamicPhotoSubcell>(cell.photoCell()))
        photo->setObject(QVariant::fromValue(record));
    cell.setTitle(entry->title());
    const QString details = collectionsOf(record);
    cell.setDetails(details.isEmpty() ? QString() : details);
    const bool owned = ContactFileAccess::isOwnedBy(record, email());
    cell.setDeletable(!owned);
    if (owned) {
        // The prototype may come from a deletable row: nothing of its button stays.
        TQHoverdButtonCell& button = cell.actionCell();
        button.setHovered(false);
        button.setHoverImage(QPixmap());
        button.setAlternateImage(QPixmap());
        button.setEnabled(false);
    }
    cell.setHasLongAuxiliaryView(!owned && entry->hasCommenterSupport());
    if (owned) {
        cell.setButtonAction({});
    } else {
        cell.setButtonAction([self, rowOf](Cell& sender) {
            if (self)
                self->deleteContact(rowOf(sender));
        });
    }
    TQTableView* list = tableView();
    cell.setShowsEditor(list && list->isEditing() && list->editor() &&
                        list->rowAt(list->editor()->geometry().center().y()) == row);
    return &cell;
}

QWidget* TQContactSharedFilesController::dynamicTableViewViewForRow(TQDynamicTableView* table, int row)
{
    const ManagedObjectPtr record = recordAtRow(row);
    const auto entry = entryOf(record);
    if (!entry || !table)
        return nullptr;
    auto* cell = static_cast<TQPermissionTableCell*>(dataCellForRow(row));
    const QRect frame = cell->frameForAuxiliaryViewInBounds(QRectF(table->rectOfRow(row))).toRect();
    if (ContactFileAccess::isOwnedBy(record, email())) {
        auto badge = std::make_shared<TQOwnerButtonCell>(StringTable::text(QStringLiteral("OWNER")));
        auto* button = new CellButton(badge, table->viewport());
        button->setObjectName(QStringLiteral("ownerBadge"));
        button->setEnabled(false);
        button->setGeometry(frame);
        return button;
    }
    TQSwitchButton* control = entry->hasCommenterSupport() ? new TQTriSwitchButton(table->viewport())
                                                           : new TQSwitchButton(table->viewport());
    control->setObjectName(QStringLiteral("permissionSwitch"));
    control->setProperty(kRowProperty, row);
    if (const std::optional<int> state = ContactFileAccess::switchState(*entry, email())) {
        control->setCellState(*state);
        control->synchronizeState();
    }
    control->setGeometry(frame);
    QPointer<TQContactSharedFilesController> self(this);
    control->setAction([self](TQSwitchButton& sender) {
        if (self)
            self->togglePermission(&sender);
    });
    return control;
}

void TQContactSharedFilesController::togglePermission(QObject* sender)
{
    auto* control = qobject_cast<TQSwitchButton*>(sender);
    const int row = sender ? sender->property(kRowProperty).toInt() : -1;
    const ManagedObjectPtr record = control && row >= 0 ? recordAtRow(row) : nullptr;
    if (!record || !email())
        return;
    TQLog("Set permission for: %@", DocumentCommandSupport::titleOf(record));
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"), nullptr,
        ContactFileAccess::setPermissionParameters(record, email(), control->state(), this));
}

void TQContactSharedFilesController::deleteContact(int row)
{
    const ManagedObjectPtr record = recordAtRow(row);
    if (!record || !email() || ContactFileAccess::isOwnedBy(record, email()))
        return;
    TQLog("Deleting permission for contact: %@ [%@]", email()->address(),
          DocumentCommandSupport::titleOf(record));
    ActionRequests::executeDocumentAction(
        QStringLiteral("RemovePermission"),
        DocumentCommandSupport::callback(this, Selectors::deleteDidFinish),
        ContactFileAccess::removePermissionParameters(record, email(), this));
}

void TQContactSharedFilesController::clickLink(int row)
{
    if (const ManagedObjectPtr record = recordAtRow(row))
        DocumentCommandSupport::showDetails(this, record, 0);
}

void TQContactSharedFilesController::deleteDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
    if (ActionError::errorFromValue(error).isNull())
        refresh();
}

} // namespace tavrel
