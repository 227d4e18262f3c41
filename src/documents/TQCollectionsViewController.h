#pragma once

#include "lists/CollectionsOutlineModel.h"
#include "lists/RowPrototypes.h"
#include "lists/TQItemDetailsController.h"

#include <memory>

namespace tavrel {

class TQCollectionTableCell;
class TQOutlineView;
class TQTitledGroupTableCell;

// The collections tab of a document's detail view: every collection of the account in an outline, the
// user's own and those shared with the user, each with a box that says whether the shown item is in
// it. Clicking the box puts the item in or takes it out ("AssignCollections", "UnassignCollections");
// clicking a collection's title opens it; the share commands open the quick-share views for a
// collection. Rows are drawn by two prototype cells configured from the outline's roles.
//
// The item is one record, or a list of records (Organize, TQOrganizeItemsController); the property
// "item" takes either.
class TQCollectionsViewController : public TQItemDetailsController
{
    Q_OBJECT
    Q_PROPERTY(QVariant item READ itemValue WRITE setItemValue)
public:
    explicit TQCollectionsViewController(const QString& nibName = QStringLiteral("CollectionsView"),
                                         QObject* parent = nullptr);
    ~TQCollectionsViewController() override;

    CollectionsOutlineModel* outline() const { return m_outline; }
    TQOutlineView* outlineView();
    // The records the boxes are about.
    QList<ManagedObjectPtr> items() const { return m_items; }
    void setItem(const ManagedObjectPtr& item) override;
    void setItems(const QList<ManagedObjectPtr>& items);
    QVariant itemValue() const;
    void setItemValue(const QVariant& value);

    void awakeFromNib() override;
    void viewDidInstall() override;
    void setSearchString(const QString& searchString) override;
    void refresh() override;
    void reactivate() override;

    // The box of a collection was clicked, leaving it in the state (0 off: take the items out).
    void toggleUseStateFor(const ManagedObjectPtr& collection, int state);
    Q_INVOKABLE void assignDidFinishWithResult(const QVariant& result, const QVariant& error);
    // Pushes the collection's own view.
    void showCollectionRecord(const ManagedObjectPtr& collection);
    // The quick-share decision for one collection at its row; the share-with dialog for one.
    void shareForSelection(const QList<ManagedObjectPtr>& selection, const QModelIndex& row);
    void shareWithForSelection(const QList<ManagedObjectPtr>& selection, const QModelIndex& row);
    // The share-with dialog for the shown item.
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

    // The row's prototype cell configured from the outline's roles; none beyond the rows.
    Cell* cellForIndex(const QModelIndex& index);

protected:
    QAbstractItemView* makeTable(QWidget* parent) override;
    // How the boxes read the items; the detail tab's rule unless overridden.
    virtual CollectionsOutlineModel::StateRule stateRule() const;
    // A collection's title opens it here; not in the organize window.
    virtual bool titlesOpenCollections() const { return true; }

private:
    Cell* configureHeaderCell(const QModelIndex& index);
    Cell* configureCollectionCell(const QModelIndex& index);
    void detachPrototypesFromTracking();
    QPoint anchorOf(const QModelIndex& row);

    QList<ManagedObjectPtr> m_items;
    bool m_itemIsList = false;
    CollectionsOutlineModel* m_outline = nullptr;
    std::unique_ptr<TQTitledGroupTableCell> m_headerCell;
    std::unique_ptr<TQCollectionTableCell> m_collectionCell;
    RowPrototypes::TrackingWatch m_tracking;
};

} // namespace tavrel
