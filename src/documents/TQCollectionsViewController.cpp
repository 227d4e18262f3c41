#include "documents/TQCollectionsViewController.h"

#include "controls/TQCollectionTableCell.h"
#include "controls/TQHoverdButtonCell.h"
#include "controls/TQOutlineView.h"
#include "controls/TQTitledGroupTableCell.h"
#include "controls/ValueTransformer.h"
#include "documents/DocumentCommandSupport.h"
#include "lists/ListModel.h"
#include "lists/QuickSharePresenter.h"
#include "model/Category.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/UserInterfaceItem.h"
#include "window/ActionError.h"
#include "window/ActionRequests.h"
#include "window/TQNavigationController.h"
#include "window/ViewClasses.h"

#include <QPointer>

namespace tavrel {

namespace {

using Support = DocumentCommandSupport;

constexpr int kIndentationPerLevel = 20;

int depthOf(QModelIndex index)
{
    int depth = 0;
    while ((index = index.parent()).isValid())
        ++depth;
    return depth;
}

} // namespace

TQCollectionsViewController::TQCollectionsViewController(const QString& nibName, QObject* parent)
    : TQItemDetailsController(nibName, parent),
      m_outline(new CollectionsOutlineModel(managedObjectContext(), this)),
      m_headerCell(std::make_unique<TQTitledGroupTableCell>(QString())),
      m_collectionCell(std::make_unique<TQCollectionTableCell>(QString()))
{}

TQCollectionsViewController::~TQCollectionsViewController() = default;

TQOutlineView* TQCollectionsViewController::outlineView()
{
    return qobject_cast<TQOutlineView*>(table());
}

void TQCollectionsViewController::setItem(const ManagedObjectPtr& item)
{
    m_itemIsList = false;
    setItems(item ? QList<ManagedObjectPtr>{item} : QList<ManagedObjectPtr>{});
}

void TQCollectionsViewController::setItems(const QList<ManagedObjectPtr>& items)
{
    m_items = items;
    TQItemDetailsController::setItem(items.size() == 1 && !m_itemIsList ? items.constFirst() : nullptr);
    m_outline->setStateRule(stateRule());
    m_outline->setItems(items);
}

QVariant TQCollectionsViewController::itemValue() const
{
    if (!m_itemIsList)
        return m_items.isEmpty() ? QVariant() : QVariant::fromValue(m_items.constFirst());
    QVariantList values;
    for (const ManagedObjectPtr& record : m_items)
        values.append(QVariant::fromValue(record));
    return values;
}

void TQCollectionsViewController::setItemValue(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QVariantList>()) {
        QList<ManagedObjectPtr> records;
        for (const QVariant& each : value.toList())
            if (ManagedObjectPtr record = each.value<ManagedObjectPtr>())
                records.append(record);
        m_itemIsList = true;
        setItems(records);
        return;
    }
    setItem(value.value<ManagedObjectPtr>());
}

CollectionsOutlineModel::StateRule TQCollectionsViewController::stateRule() const
{
    return CollectionsOutlineModel::StateRule::Holds;
}

// --- View ---

QAbstractItemView* TQCollectionsViewController::makeTable(QWidget* parent)
{
    auto* outline = new TQOutlineView(parent);
    outline->setIndentation(kIndentationPerLevel);
    outline->setModel(m_outline);
    outline->setGroupTest([this](const QModelIndex& index) { return m_outline->isGroup(index); });
    outline->setCellProvider([this](const QModelIndex& index) { return cellForIndex(index); });
    outline->setSelectionMode(QAbstractItemView::NoSelection);
    // Sub-collections show at once; a rebuilt outline opens again.
    connect(m_outline, &QAbstractItemModel::modelReset, outline, &QTreeView::expandAll);
    return outline;
}

void TQCollectionsViewController::awakeFromNib()
{
    TQItemDetailsController::awakeFromNib();
    if (TQOutlineView* outline = outlineView())
        outline->setIndentation(kIndentationPerLevel);
}

void TQCollectionsViewController::viewDidInstall()
{
    TQItemDetailsController::viewDidInstall();
    m_outline->rebuild();
    outlineView()->expandAll();
    refresh();
}

void TQCollectionsViewController::setSearchString(const QString& searchString)
{
    TQViewController::setSearchString(searchString);
    m_outline->setSearchString(searchString);
}

void TQCollectionsViewController::refresh()
{
    // An outline with no collections is simply empty.
    if (!isViewLoaded())
        return;
    noItemsView()->hide();
    noSearchView()->hide();
    table()->viewport()->update();
}

void TQCollectionsViewController::reactivate()
{
    if (TQNavigationController* stack = navigationController())
        stack->popToRootController();
}

bool TQCollectionsViewController::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::newFakeAction || command == Commands::editEntity)
        return false;
    if (command == Commands::share && !QuickSharePresenter::sharingViewsExist()) {
        return false;
    }
    return TQItemDetailsController::validateUserInterfaceItem(item);
}

// --- Cells ---

Cell* TQCollectionsViewController::cellForIndex(const QModelIndex& index)
{
    if (!index.isValid())
        return nullptr;
    detachPrototypesFromTracking();
    return m_outline->isGroup(index) ? configureHeaderCell(index) : configureCollectionCell(index);
}

void TQCollectionsViewController::detachPrototypesFromTracking()
{
    if (!m_tracking.prototypesMustBeRemade(isViewLoaded() ? table() : nullptr))
        return;
    m_headerCell = std::make_unique<TQTitledGroupTableCell>(QString());
    m_collectionCell = std::make_unique<TQCollectionTableCell>(QString());
}

Cell* TQCollectionsViewController::configureHeaderCell(const QModelIndex& index)
{
    m_headerCell->setTitle(index.data(ListModel::TitleRole).toString());
    return m_headerCell.get();
}

Cell* TQCollectionsViewController::configureCollectionCell(const QModelIndex& index)
{
    const ManagedObjectPtr collection = index.data(ListModel::ObjectRole).value<ManagedObjectPtr>();
    if (!collection)
        return nullptr;
    TQCollectionTableCell& cell = *m_collectionCell;
    if (!cell.representedObject().isValid()) {
        // What every row's cell has alike, set once per prototype.
        QPointer<TQCollectionsViewController> self(this);
        cell.setStateAction([self](Cell& sender) {
            auto* row = dynamic_cast<TQCollectionTableCell*>(&sender);
            if (self && row)
                self->toggleUseStateFor(row->representedObject().value<ManagedObjectPtr>(), row->state());
        });
        cell.setHasLink(titlesOpenCollections());
        if (titlesOpenCollections())
            cell.setLinkAction([self](Cell& sender) {
                if (self)
                    self->showCollectionRecord(sender.representedObject().value<ManagedObjectPtr>());
            });
        const bool sharing = QuickSharePresenter::sharingViewsExist() && titlesOpenCollections();
        cell.setAllowedSharings(sharing);
        if (sharing)
            cell.setButtonAction([self](Cell& sender) {
                const ManagedObjectPtr record = sender.representedObject().value<ManagedObjectPtr>();
                if (self && record)
                    self->shareForSelection({record}, self->outline()->indexOf(record));
            });
        else
            cell.actionCell().setRegularImage(QPixmap());
        if (TQOutlineView* outline = outlineView())
            cell.setControlView(outline->viewport());
    }
    cell.setRepresentedObject(QVariant::fromValue(collection));
    cell.setTitle(index.data(ListModel::TitleRole).toString());
    static const std::shared_ptr<ValueTransformer> icons =
        ValueTransformer::valueTransformerForName(TQCollectionTableCell::kCollectionIconTransformer);
    cell.setPhoto(icons ? icons->transformedValue(QVariant::fromValue(collection)).value<QPixmap>()
                        : QPixmap());
    const auto check = Qt::CheckState(index.data(Qt::CheckStateRole).toInt());
    cell.setState(check == Qt::Checked ? 1 : check == Qt::PartiallyChecked ? -1 : 0);
    const int indentation = outlineView() ? outlineView()->indentation() : kIndentationPerLevel;
    cell.setIndentation(indentation * (depthOf(index) + 1));
    return &cell;
}

// --- Commands ---

void TQCollectionsViewController::toggleUseStateFor(const ManagedObjectPtr& collection, int state)
{
    if (!collection) {
        TQLog("E: Called Collection Use for no selection");
        return;
    }
    ActionRequests::executeDocumentAction(
        state != 0 ? QStringLiteral("AssignCollections") : QStringLiteral("UnassignCollections"),
        Support::callback(this, Selectors::assignDidFinish),
        {{QStringLiteral("documentEntities"), Support::recordValues(m_items)},
         {QStringLiteral("collectionEntity"), QVariant::fromValue(collection)},
         {QStringLiteral("statusID"), Support::identifier("tocollection")},
         {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)}});
}

void TQCollectionsViewController::assignDidFinishWithResult(const QVariant&, const QVariant& error)
{
    TQLog("Received action callback");
    ActionError::processActionError(ActionError::errorFromValue(error));
    // The boxes show what the store holds, whatever the answer.
    m_outline->rebuild();
    refresh();
}

void TQCollectionsViewController::showCollectionRecord(const ManagedObjectPtr& collection)
{
    if (!collection)
        return;
    TQLog("Show collection: %@", Support::titleOf(collection));
    auto* details = ViewClasses::make<TQViewController>(QStringLiteral("TQFileViewController"));
    if (!details) {
        TQLog("E: No detail view to show %@", Support::titleOf(collection));
        return;
    }
    details->setProperty("item", QVariant::fromValue(collection));
    if (TQNavigationController* stack = navigationController())
        stack->pushController(details);
    else if (!ViewClasses::isShared(QStringLiteral("TQFileViewController")))
        delete details;
}

QPoint TQCollectionsViewController::anchorOf(const QModelIndex& row)
{
    TQOutlineView* outline = outlineView();
    return outline && row.isValid()
               ? QuickSharePresenter::anchorForRow(outline->viewport(), outline->visualRect(row))
               : QPoint();
}

void TQCollectionsViewController::shareForSelection(const QList<ManagedObjectPtr>& selection,
                                                    const QModelIndex& row)
{
    QuickSharePresenter::share(this, selection, anchorOf(row),
                               [](const QList<ManagedObjectPtr>& documents, const QPoint& point) {
                                   QuickSharePresenter::showShareWith(documents, point, false);
                               },
                               // Outline rows are never selected: nothing to unselect.
                               {});
}

void TQCollectionsViewController::shareWithForSelection(const QList<ManagedObjectPtr>& selection,
                                                        const QModelIndex& row)
{
    QuickSharePresenter::showShareWith(selection, anchorOf(row), false);
}

void TQCollectionsViewController::share(QObject*)
{
    QuickSharePresenter::showShareWith(m_items, QPoint(), false);
}

} // namespace tavrel
