#include "lists/CollectionsOutlineModel.h"

#include "lists/ListModel.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/SharingRoles.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ObjectsDidChangeNotification.h"
#include "platform/system/TQLog.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QCollator>
#include <algorithm>

namespace tavrel {

namespace {

// Text without letter case or accents, for the search.
QString folded(const QString& text)
{
    QString decomposed = text.normalized(QString::NormalizationForm_D);
    decomposed.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    return decomposed.toCaseFolded();
}

bool isEntity(const ManagedObjectPtr& record, const char* name)
{
    for (const EntityDescription* entity = record ? record->entity() : nullptr; entity;
         entity = entity->parent())
        if (entity->name() == QLatin1String(name))
            return true;
    return false;
}

} // namespace

CollectionsOutlineModel::CollectionsOutlineModel(ManagedObjectContext* context, QObject* parent)
    : QAbstractItemModel(parent), m_context(context)
{
    if (context)
        connect(context, &ManagedObjectContext::objectsDidChange, this,
                &CollectionsOutlineModel::contextObjectsDidChange);
}

CollectionsOutlineModel::~CollectionsOutlineModel() = default;

void CollectionsOutlineModel::setItems(const QList<ManagedObjectPtr>& items)
{
    m_items = items;
    rebuild();
}

void CollectionsOutlineModel::setStateRule(StateRule rule)
{
    m_rule = rule;
    rebuild();
}

QString CollectionsOutlineModel::username() const
{
    if (m_hasUsername)
        return m_username;
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

void CollectionsOutlineModel::setUsername(const QString& username)
{
    m_username = username;
    m_hasUsername = true;
}

void CollectionsOutlineModel::setSearchString(const QString& searchString)
{
    if (searchString == m_searchString)
        return;
    m_searchString = searchString;
    rebuild();
}

bool CollectionsOutlineModel::shown(const Category& collection) const
{
    if (collection.isTrashed())
        return false;
    for (const ManagedObjectPtr& item : m_items)
        if (item.get() == &collection)
            return false;
    return true;
}

QList<CollectionsOutlineModel::Node> CollectionsOutlineModel::buildNodes() const
{
    QList<Node> nodes;
    if (!m_context)
        return nodes;
    FetchRequest request(QStringLiteral("Category"));
    request.setSortDescriptors({SortDescriptor(QStringLiteral("updatedDate"), false)});
    Error error;
    const QList<std::shared_ptr<Category>> all = m_context->executeFetchRequest<Category>(request, &error);
    if (!error.isNull())
        TQLog("E: Cannot fetch category: error %@", error.localizedDescription());
    const QString me = username();
    const QString search = folded(m_searchString);
    QList<std::shared_ptr<Category>> mine;
    QList<std::shared_ptr<Category>> shared;
    for (const auto& collection : all) {
        if (!search.isEmpty() && !folded(collection->title()).contains(search))
            continue;
        if (SharingRoles::isOwner(*collection, me))
            mine.append(collection);
        else if (SharingRoles::isEditor(*collection, me) || SharingRoles::isViewer(*collection, me))
            shared.append(collection);
    }
    addGroup(&nodes, StringTable::text(QStringLiteral("GroupMyCollections")), mine);
    addGroup(&nodes, StringTable::text(QStringLiteral("GroupCollectionsShared")), shared);
    return nodes;
}

void CollectionsOutlineModel::addGroup(QList<Node>* nodes, const QString& title,
                                       const QList<std::shared_ptr<Category>>& group) const
{
    // A collection goes under its parent when the parent is shown at the top of the same group.
    QSet<const ManagedObject*> inGroup;
    for (const auto& collection : group)
        if (shown(*collection))
            inGroup.insert(collection.get());
    QList<std::shared_ptr<Category>> top;
    for (const auto& collection : group) {
        if (!inGroup.contains(collection.get()))
            continue;
        const auto parent = collection->parent();
        if (!parent || !inGroup.contains(parent.get()))
            top.append(collection);
    }
    if (top.isEmpty())
        return;
    const int header = int(nodes->size());
    nodes->append(Node{nullptr, title, -1, 0, {}});
    for (const auto& collection : top) {
        const int node = int(nodes->size());
        nodes->append(Node{collection, collection->title(), -1, 0, {}});
        QSet<const ManagedObject*> path{collection.get()};
        addChildren(nodes, node, &path);
    }
    Q_UNUSED(header);
}

void CollectionsOutlineModel::addChildren(QList<Node>* nodes, int parent,
                                          QSet<const ManagedObject*>* path) const
{
    const auto collection = std::dynamic_pointer_cast<Category>((*nodes)[parent].record);
    QList<std::shared_ptr<Category>> sons;
    for (const auto& son : collection->sons())
        if (son && shown(*son) && !path->contains(son.get()))
            sons.append(son);
    // The store keeps no order of sub-collections: by title, as people read them.
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(sons.begin(), sons.end(), [&collator](const auto& a, const auto& b) {
        return collator.compare(a->title(), b->title()) < 0;
    });
    for (const auto& son : sons) {
        const int node = int(nodes->size());
        nodes->append(Node{son, son->title(), parent, int((*nodes)[parent].children.size()), {}});
        (*nodes)[parent].children.append(node);
        path->insert(son.get());
        addChildren(nodes, node, path);
        path->remove(son.get());
    }
}

void CollectionsOutlineModel::rebuild()
{
    m_rebuildQueued = false;
    QList<Node> nodes = buildNodes();
    QList<int> roots;
    for (int i = 0; i < nodes.size(); ++i)
        if (nodes[i].parent < 0) {
            nodes[i].row = int(roots.size());
            roots.append(i);
        }
    // The same rows: only what they show may have changed.
    bool same = nodes.size() == m_nodes.size();
    for (int i = 0; same && i < nodes.size(); ++i)
        same = nodes[i].record == m_nodes[i].record && nodes[i].parent == m_nodes[i].parent &&
               nodes[i].title == m_nodes[i].title;
    if (same) {
        for (int i = 0; i < m_nodes.size(); ++i)
            if (m_nodes[i].record) {
                const QModelIndex at = indexOfNode(i);
                emit dataChanged(at, at, {Qt::CheckStateRole});
            }
        return;
    }
    beginResetModel();
    m_nodes = std::move(nodes);
    m_roots = std::move(roots);
    endResetModel();
}

void CollectionsOutlineModel::contextObjectsDidChange(const ObjectsDidChangeNotification& notification)
{
    bool concerns = notification.invalidatedAll;
    for (const QList<ManagedObjectPtr>* records :
         {&notification.inserted, &notification.updated, &notification.deleted})
        for (const ManagedObjectPtr& record : *records)
            concerns = concerns || isEntity(record, "FileEntryAbstract") || isEntity(record, "Mail");
    if (!concerns || m_rebuildQueued)
        return;
    // One rebuild for the changes of one turn of the event loop.
    m_rebuildQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_rebuildQueued)
                rebuild();
        },
        Qt::QueuedConnection);
}

int CollectionsOutlineModel::stateOf(const Category& collection) const
{
    const QList<std::shared_ptr<File>> files = collection.files();
    const QList<std::shared_ptr<Category>> sons = collection.sons();
    const auto holds = [](const Category& holder, const ManagedObjectPtr& item) {
        for (const auto& file : holder.files())
            if (file == item)
                return true;
        for (const auto& son : holder.sons())
            if (son == item)
                return true;
        return false;
    };
    if (m_rule == StateRule::Holds) {
        if (m_items.size() != 1)
            return 0;
        const ManagedObjectPtr item = m_items.constFirst();
        if (holds(collection, item))
            return 1;
        for (const auto& son : sons)
            if (son && holds(*son, item))
                return -1;
        return 0;
    }
    qsizetype inside = 0;
    for (const ManagedObjectPtr& item : m_items)
        if (holds(collection, item))
            ++inside;
    if (inside == 0 || m_items.isEmpty())
        return 0;
    return inside == m_items.size() ? 1 : -1;
}

ManagedObjectPtr CollectionsOutlineModel::recordAt(const QModelIndex& index) const
{
    const int node = index.isValid() ? int(index.internalId()) : -1;
    return node >= 0 && node < m_nodes.size() ? m_nodes[node].record : nullptr;
}

QModelIndex CollectionsOutlineModel::indexOf(const ManagedObjectPtr& record) const
{
    for (int i = 0; record && i < m_nodes.size(); ++i)
        if (m_nodes[i].record == record)
            return indexOfNode(i);
    return {};
}

bool CollectionsOutlineModel::isGroup(const QModelIndex& index) const
{
    const int node = index.isValid() ? int(index.internalId()) : -1;
    return node >= 0 && node < m_nodes.size() && !m_nodes[node].record;
}

QModelIndex CollectionsOutlineModel::indexOfNode(int node) const
{
    return node >= 0 && node < m_nodes.size() ? createIndex(m_nodes[node].row, 0, quintptr(node))
                                              : QModelIndex();
}

QModelIndex CollectionsOutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < m_roots.size() ? indexOfNode(m_roots[row]) : QModelIndex();
    const int node = int(parent.internalId());
    if (parent.model() != this || node < 0 || node >= m_nodes.size() || row >= m_nodes[node].children.size())
        return {};
    return indexOfNode(m_nodes[node].children[row]);
}

QModelIndex CollectionsOutlineModel::parent(const QModelIndex& child) const
{
    const int node = child.isValid() ? int(child.internalId()) : -1;
    if (node < 0 || node >= m_nodes.size())
        return {};
    return indexOfNode(m_nodes[node].parent);
}

int CollectionsOutlineModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return int(m_roots.size());
    if (parent.column() != 0)
        return 0;
    const int node = int(parent.internalId());
    return node >= 0 && node < m_nodes.size() ? int(m_nodes[node].children.size()) : 0;
}

int CollectionsOutlineModel::columnCount(const QModelIndex&) const
{
    return 1;
}

bool CollectionsOutlineModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant CollectionsOutlineModel::data(const QModelIndex& index, int role) const
{
    const int node = index.isValid() ? int(index.internalId()) : -1;
    if (node < 0 || node >= m_nodes.size())
        return {};
    const Node& shownNode = m_nodes[node];
    switch (role) {
    case Qt::DisplayRole:
    case ListModel::TitleRole:
        return shownNode.title;
    case ListModel::GroupRowRole:
        return !shownNode.record;
    case ListModel::ObjectRole:
        return shownNode.record ? QVariant::fromValue(shownNode.record) : QVariant();
    case Qt::CheckStateRole: {
        const auto collection = std::dynamic_pointer_cast<Category>(shownNode.record);
        if (!collection)
            return {};
        const int state = stateOf(*collection);
        return int(state == 1 ? Qt::Checked : state == -1 ? Qt::PartiallyChecked : Qt::Unchecked);
    }
    default:
        return {};
    }
}

Qt::ItemFlags CollectionsOutlineModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Rows are never selected: the box and the title act.
    return isGroup(index) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
}

} // namespace tavrel
