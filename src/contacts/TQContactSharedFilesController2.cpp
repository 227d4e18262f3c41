#include "contacts/TQContactSharedFilesController2.h"

#include "contacts/ContactFileAccess.h"
#include "controls/TQGroupWrapper.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "controls/TQOwnerButtonCell.h"
#include "controls/TQSwitchButton.h"
#include "controls/TQTablePermissionCellView.h"
#include "controls/TQTrackingTextField.h"
#include "controls/TQTriSwitchButton.h"
#include "controls/TQViewTableView.h"
#include "documents/DocumentCommandSupport.h"
#include "lists/TQMailGroupedFilesController.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/Mail.h"
#include "platform/system/TQLog.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/ActionError.h"
#include "window/ActionRequests.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>

namespace tavrel {

namespace {

constexpr char kTagProperty[] = "tag";

std::shared_ptr<FileEntryAbstract> entryOf(const ManagedObjectPtr& record)
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(record);
}

int tagOf(QObject* sender)
{
    if (auto* field = qobject_cast<TQTrackingTextField*>(sender))
        return field->tag();
    const QVariant tag = sender ? sender->property(kTagProperty) : QVariant();
    return tag.isValid() ? tag.toInt() : -1;
}

} // namespace

TQContactSharedFilesController2::TQContactSharedFilesController2(QObject* parent)
    : TQTableViewController(QStringLiteral("ContactSharedFiles2"), parent)
{
    auto* provider = new TQMailGroupedFilesController(managedObjectContext());
    provider->setSearchFormat(QStringLiteral("title CONTAINS[c] %@"));
    provider->setFilterPredicate(Predicate::falsePredicate());
    setDataProvider(provider);
}

TQContactSharedFilesController2::~TQContactSharedFilesController2() = default;

void TQContactSharedFilesController2::setEmail(const std::shared_ptr<Mail>& email)
{
    m_email = email;
    auto* provider = qobject_cast<TQMailGroupedFilesController*>(dataProvider());
    if (!provider)
        return;
    provider->setEmail(email);
    const ManagedObjectPtr person = email;
    provider->setFilterPredicate(
        email ? Predicate::format(QStringLiteral("owner == %@ OR ANY editors == %@ OR ANY viewers == %@ OR "
                                                 "ANY commenters == %@"),
                                  person, person, person, person)
              : Predicate::falsePredicate());
    if (isInstalled())
        refresh();
}

void TQContactSharedFilesController2::setEmail(const QVariant& email)
{
    setEmail(std::dynamic_pointer_cast<Mail>(email.value<ManagedObjectPtr>()));
}

QString TQContactSharedFilesController2::noSearchString() const
{
    return StringTable::text(QStringLiteral("NoSearchItems"));
}

void TQContactSharedFilesController2::setSearchString(const QString& searchString)
{
    TQViewController::setSearchString(searchString);
    if (dataProvider())
        dataProvider()->setSearchString(searchString);
    refresh();
}

void TQContactSharedFilesController2::setSortDescriptor(const std::optional<SortDescriptor>& descriptor)
{
    TQViewController::setSortDescriptor(descriptor);
    if (dataProvider())
        dataProvider()->setSortDescriptors(descriptor ? QList<SortDescriptor>{*descriptor}
                                                      : QList<SortDescriptor>{});
}

QAbstractItemView* TQContactSharedFilesController2::makeTable(QWidget* parent)
{
    auto* table = new TQViewTableView(parent);
    table->horizontalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setShowGrid(false);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    m_rowMenu = new QMenu(parent);
    m_rowMenu->setObjectName(QStringLiteral("rowMenu"));
    const auto add = [this](const char* key, const QString& command) {
        m_rowMenu->addAction(
            UserInterfaceItem::makeAction(StringTable::text(QLatin1String(key)), command, m_rowMenu));
    };
    add("MenuOpen", Commands::open);
    add("Rename", Commands::rename);
    add("MenuRemoveAccess", Commands::deleteEntity);
    connect(table, &QWidget::customContextMenuRequested, this, [this, table](const QPoint& point) {
        // The row under the pointer is selected alone unless it is part of the selection.
        const int row = table->indexAt(point).row();
        if (row < 0 || isGroupRow(row))
            return;
        table->setFocus(Qt::PopupFocusReason);
        if (!table->selectionModel()->isRowSelected(row, QModelIndex()))
            selectRow(row);
        m_rowMenu->popup(table->viewport()->mapToGlobal(point));
    });
    connect(table, &QAbstractItemView::doubleClicked, this, [this] { open(nullptr); });
    return table;
}

void TQContactSharedFilesController2::arrangedObjectsDidChange()
{
    // A header first: the first document is selected instead.
    const int rows = dataProvider() ? dataProvider()->count() : 0;
    const QList<int> selected = selectedRows();
    if (rows > 1 && (selected.isEmpty() || selected == QList<int>{0}) && isGroupRow(0))
        selectRow(1);
    refresh();
}

void TQContactSharedFilesController2::refresh()
{
    TQTableViewController::refresh();
    rebuildRowViews();
}

bool TQContactSharedFilesController2::isGroupRow(int row) const
{
    const auto* grouped = qobject_cast<TQTimeGroupedFilesController*>(dataProvider());
    return grouped && row >= 0 && row < grouped->count() && grouped->isGroupRow(row);
}

ManagedObjectPtr TQContactSharedFilesController2::recordAtRow(int row) const
{
    if (!dataProvider() || row < 0 || row >= dataProvider()->count() || isGroupRow(row))
        return nullptr;
    return dataProvider()->objectAtRow(row);
}

TQTablePermissionCellView* TQContactSharedFilesController2::rowView(int row) const
{
    auto* self = const_cast<TQContactSharedFilesController2*>(this);
    QAbstractItemView* list = self->isViewLoaded() ? self->table() : nullptr;
    if (!list || !dataProvider() || row < 0 || row >= dataProvider()->count())
        return nullptr;
    return qobject_cast<TQTablePermissionCellView*>(list->indexWidget(dataProvider()->index(row)));
}

void TQContactSharedFilesController2::rebuildRowViews()
{
    auto* list = isViewLoaded() ? qobject_cast<QTableView*>(table()) : nullptr;
    if (!list || list->model() != dataProvider())
        return;
    for (int row = 0; row < dataProvider()->count(); ++row) {
        list->verticalHeader()->resizeSection(row, isGroupRow(row) ? kGroupRowHeight : kDocumentRowHeight);
        list->setIndexWidget(dataProvider()->index(row), makeRowView(row));
    }
}

QWidget* TQContactSharedFilesController2::makeRowView(int row)
{
    if (isGroupRow(row)) {
        auto* header =
            new QLabel(dataProvider()->data(dataProvider()->index(row), Qt::DisplayRole).toString());
        header->setObjectName(QStringLiteral("TQGroupRowKey"));
        header->setFont(Drawing::font(11, QFont::Bold));
        header->setContentsMargins(10, 0, 0, 0);
        // The widget covers the row: the table draws nothing of its own under it.
        header->setAutoFillBackground(true);
        return header;
    }
    const ManagedObjectPtr record = recordAtRow(row);
    const auto entry = entryOf(record);
    if (!entry)
        return nullptr;
    const bool owned = ContactFileAccess::isOwnedBy(record, m_email);
    auto* view = new TQTablePermissionCellView;
    view->setObjectName(owned                          ? QStringLiteral("TQFileItemOwnerCellKey")
                        : entry->hasCommenterSupport() ? QStringLiteral("TQFileItemCommenterCellKey")
                                                       : QStringLiteral("TQFileItemCellKey"));
    view->resize(480, kDocumentRowHeight);
    view->setAutoFillBackground(true);
    auto picture = std::make_shared<TQHoverdAdaptorButtonCell>();
    picture->setRegularImage(ImageRegistry::pixmap(QStringLiteral("document_google_big")));
    auto* photo = new CellButton(picture, view);
    photo->setProperty(kTagProperty, row);
    photo->setGeometry(10, 10, 48, 48);
    connect(photo, &QAbstractButton::clicked, this, [this, photo] { clickLink(photo); });
    view->setPhotoButton(photo);
    auto* title = new TQTrackingTextField(entry->title(), view);
    title->setObjectName(QStringLiteral("textField"));
    title->setEditable(false);
    title->setTag(row);
    title->setTarget(this);
    title->setEndEditAction(Commands::renameAfterEdit);
    title->setGeometry(68, 14, 240, 22);
    view->setTextField(title);
    QStringList collections;
    if (const auto file = std::dynamic_pointer_cast<File>(record))
        for (const auto& collection : file->categories())
            collections.append(collection->title());
    auto* details = new QLabel(collections.join(QStringLiteral(", ")), view);
    details->setGeometry(68, 38, 240, 18);
    view->setDetailsField(details);
    if (owned) {
        auto* badge = new CellButton(
            std::make_shared<TQOwnerButtonCell>(StringTable::text(QStringLiteral("OWNER"))), view);
        badge->setObjectName(QStringLiteral("ownerBadge"));
        badge->setEnabled(false);
        badge->setGeometry(330, 22, 80, 24);
    } else {
        auto* action = new CellButton(std::make_shared<TQHoverdAdaptorButtonCell>(), view);
        action->setProperty(kTagProperty, row);
        action->setGeometry(440, 22, 24, 24);
        connect(action, &QAbstractButton::clicked, this, [this, row] {
            selectRow(row);
            deleteEntity(nullptr);
        });
        view->setActionButton(action);
        TQSwitchButton* control =
            entry->hasCommenterSupport() ? new TQTriSwitchButton(view) : new TQSwitchButton(view);
        control->setObjectName(QStringLiteral("permissionButton"));
        control->setProperty(kTagProperty, row);
        if (const std::optional<int> state = ContactFileAccess::switchState(*entry, m_email)) {
            control->setCellState(*state);
            control->synchronizeState();
        }
        control->setGeometry(330, 20, entry->hasCommenterSupport() ? 100 : 80, 28);
        control->setAction([this](TQSwitchButton& sender) { togglePermission(&sender); });
        view->setPermissionButton(control);
    }
    view->setDeletable(!owned);
    view->awake();
    view->layoutTitle();
    view->setContextMenuPolicy(Qt::NoContextMenu);
    return view;
}

int TQContactSharedFilesController2::selectedRow() const
{
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.constLast();
}

void TQContactSharedFilesController2::open(QObject* sender)
{
    DocumentCommandSupport::trackMenuEvent(sender, Commands::open);
    if (const ManagedObjectPtr record = recordAtRow(selectedRow()))
        DocumentCommandSupport::openRecords(this, {record}, QUrl());
}

void TQContactSharedFilesController2::togglePermission(QObject* sender)
{
    auto* control = qobject_cast<TQSwitchButton*>(sender);
    const ManagedObjectPtr record = recordAtRow(tagOf(sender));
    if (!control || !record || !m_email || ContactFileAccess::isOwnedBy(record, m_email))
        return;
    TQLog("Set permission for: %@", DocumentCommandSupport::titleOf(record));
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"), nullptr,
        ContactFileAccess::setPermissionParameters(record, m_email, control->state(), this));
}

void TQContactSharedFilesController2::deleteEntity(QObject* sender)
{
    DocumentCommandSupport::trackMenuEvent(sender, Commands::deleteEntity);
    const ManagedObjectPtr record = recordAtRow(selectedRow());
    if (record && m_email) {
        if (ContactFileAccess::isOwnedBy(record, m_email)) {
            TQLog("E: Cannot remove the owner %@ from %@", m_email->address(),
                  DocumentCommandSupport::titleOf(record));
        } else {
            TQLog("Deleting permission for contact: %@ [%@]", m_email->address(),
                  DocumentCommandSupport::titleOf(record));
            ActionRequests::executeDocumentAction(
                QStringLiteral("RemovePermission"),
                DocumentCommandSupport::callback(this, Selectors::deleteDidFinish),
                ContactFileAccess::removePermissionParameters(record, m_email, this));
        }
    }
    DocumentCommandSupport::trackUsage(QStringLiteral("Toolbar"), QStringLiteral("Delete"),
                                       QStringLiteral("Document"));
}

void TQContactSharedFilesController2::clickLink(QObject* sender)
{
    if (const ManagedObjectPtr record = recordAtRow(tagOf(sender)))
        DocumentCommandSupport::showDetails(this, record, 0);
}

void TQContactSharedFilesController2::rename(QObject* sender)
{
    DocumentCommandSupport::trackMenuEvent(sender, Commands::rename);
    TQTablePermissionCellView* view = rowView(selectedRow());
    if (!view || !view->textField())
        return;
    view->textField()->setEditable(true);
    view->textField()->setFocus(Qt::OtherFocusReason);
    view->textField()->selectAll();
}

void TQContactSharedFilesController2::renameAfterEdit(QObject* sender)
{
    auto* field = qobject_cast<TQTrackingTextField*>(sender);
    if (!field)
        return;
    DocumentCommandSupport::renameRecord(this, recordAtRow(field->tag()), field->stringValue());
    field->setEditable(false);
}

void TQContactSharedFilesController2::deleteDidFinishWithResult(const QVariant& result, const QVariant& error)
{
    operationDidFinishWithResult(result, error);
    if (ActionError::errorFromValue(error).isNull())
        refresh();
}

bool TQContactSharedFilesController2::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::deleteEntity) {
        const ManagedObjectPtr record = recordAtRow(selectedRow());
        return record && !ContactFileAccess::isOwnedBy(record, m_email);
    }
    if (command == Commands::rename)
        return selectedRows().size() == 1;
    return TQTableViewController::validateUserInterfaceItem(item);
}

} // namespace tavrel
