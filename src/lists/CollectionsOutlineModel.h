#pragma once

#include "platform/store/ManagedObject.h"

#include <QAbstractItemModel>
#include <QPointer>
#include <QSet>

namespace tavrel {

class Category;
class ManagedObjectContext;
class ObjectsDidChangeNotification;

// The rows of the collections outline: the user's own collections under "GroupMyCollections", then
// those shared with the user under "GroupCollectionsShared" (a group without collections is left
// out), each with its sub-collections below it, and a check state per collection saying whether the
// items are in it. Roles are ListModel's (TitleRole, GroupRowRole, ObjectRole) and Qt::CheckStateRole.
//
// Top-level collections come newest first; a collection whose parent is shown in the same group is
// shown under it instead, sub-collections in order of title. Trashed collections are never shown; a
// collection whose parent is trashed is shown at the top. The items themselves are never shown.
// Roles are compared by whole address in any letter case.
//
// It follows the main context: a change of collections or documents redraws the check states, or
// rebuilds the rows when the collections shown change. Main thread only.
class CollectionsOutlineModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    // How a collection's box reads its items.
    enum class StateRule {
        // One item: on when the collection holds it (as a document or a sub-collection), mixed when a
        // sub-collection does.
        Holds,
        // Several items: on when the collection holds every one, mixed when some.
        Selection,
    };

    // The context is the main thread's; not owned.
    explicit CollectionsOutlineModel(ManagedObjectContext* context, QObject* parent = nullptr);
    ~CollectionsOutlineModel() override;

    QList<ManagedObjectPtr> items() const { return m_items; }
    void setItems(const QList<ManagedObjectPtr>& items);
    StateRule stateRule() const { return m_rule; }
    void setStateRule(StateRule rule);
    // The user that "own" and "shared" are about; the current session's user name unless set.
    QString username() const;
    void setUsername(const QString& username);
    // Only collections whose title contains the text (any case, any accents) are shown.
    QString searchString() const { return m_searchString; }
    void setSearchString(const QString& searchString);

    // Builds the rows again from the store.
    void rebuild();
    // The check state of a collection: 1 on, -1 mixed, 0 off.
    int stateOf(const Category& collection) const;
    ManagedObjectPtr recordAt(const QModelIndex& index) const;
    QModelIndex indexOf(const ManagedObjectPtr& record) const;
    bool isGroup(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Node
    {
        ManagedObjectPtr record; // none for a group title
        QString title;
        int parent = -1;
        int row = 0;
        QList<int> children;
    };

    QList<Node> buildNodes() const;
    void addGroup(QList<Node>* nodes, const QString& title,
                  const QList<std::shared_ptr<Category>>& group) const;
    void addChildren(QList<Node>* nodes, int parent, QSet<const ManagedObject*>* path) const;
    bool shown(const Category& collection) const;
    void contextObjectsDidChange(const ObjectsDidChangeNotification& notification);
    QModelIndex indexOfNode(int node) const;

    QPointer<ManagedObjectContext> m_context;
    QList<ManagedObjectPtr> m_items;
    StateRule m_rule = StateRule::Holds;
    QString m_username;
    bool m_hasUsername = false;
    QString m_searchString;
    // Nodes 0 .. the last; the roots are those without a parent, in order.
    QList<Node> m_nodes;
    QList<int> m_roots;
    bool m_rebuildQueued = false;
};

} // namespace tavrel
