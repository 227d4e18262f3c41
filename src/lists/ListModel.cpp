#include "lists/ListModel.h"

#include "platform/store/EntityDescription.h"
#include "platform/store/KeyValueCoding.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/ObjectsDidChangeNotification.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/store/PredicateNode.h"
#include "platform/store/RelationshipDescription.h"

#include <QSet>
#include <algorithm>

namespace tavrel {

ListModel::ListModel(ManagedObjectContext* context, const QString& entityName, QObject* parent)
    : QAbstractListModel(parent), m_context(context), m_entityName(entityName)
{}

ListModel::~ListModel() = default;

void ListModel::setFilterPredicate(const Predicate& predicate)
{
    m_filterPredicate = predicate;
    ++m_requestChanges;
    forgetSearchBase();
    if (m_automaticallyPreparesContent)
        rearrangeObjects();
}

void ListModel::setSearchFormat(const QString& format)
{
    m_searchFormat = format;
    ++m_requestChanges;
    forgetSearchBase();
    if (m_automaticallyPreparesContent && !m_searchString.isEmpty())
        rearrangeObjects();
}

void ListModel::setSearchString(const QString& searchString)
{
    if (searchString == m_searchString && searchString.isNull() == m_searchString.isNull())
        return;
    m_searchString = searchString;
    ++m_requestChanges;
    if (!m_automaticallyPreparesContent)
        return;
    // Only the text changed: the fetch without it is filtered in memory, fetched anew when stale (a
    // cleared search without one is an ordinary fetch).
    QList<ManagedObjectID> rows;
    if (filterSearchBase(&rows) ||
        (!m_searchString.isEmpty() && fetchSearchBase(nullptr) && filterSearchBase(&rows))) {
        applyIDs(rows);
        return;
    }
    rearrangeObjects();
}

void ListModel::setSortDescriptors(const QList<SortDescriptor>& descriptors)
{
    m_sortDescriptors = descriptors;
    ++m_requestChanges;
    forgetSearchBase();
    if (m_automaticallyPreparesContent)
        rearrangeObjects();
}

Predicate ListModel::predicate() const
{
    QList<Predicate> parts;
    if (!m_filterPredicate.isNull())
        parts << m_filterPredicate;
    if (!m_searchString.isEmpty()) {
        // The text is an argument of the format, never part of it.
        const int arguments = int(m_searchFormat.count(QStringLiteral("%@")));
        parts << Predicate::fromFormat(m_searchFormat, QVariantList(arguments, m_searchString));
    }
    if (parts.isEmpty())
        return Predicate();
    return parts.size() == 1 ? parts.first() : Predicate::andPredicate(parts);
}

FetchRequest ListModel::fetchRequest() const
{
    FetchRequest request(m_entityName);
    request.setPredicate(predicate());
    request.setSortDescriptors(m_sortDescriptors);
    return request;
}

ManagedObjectPtr ListModel::objectAtRow(int row) const
{
    if (!m_context || row < 0 || row >= m_ids.size() || isOwnRowID(m_ids.at(row)))
        return nullptr;
    return m_context->objectWithID(m_ids.at(row));
}

namespace {
// The entity of the ids that stand for a list's own rows: of no store, so no record ever has one.
const EntityDescription* ownRowEntity()
{
    static const std::shared_ptr<ManagedObjectModel> model = [] {
        auto made = std::make_shared<ManagedObjectModel>();
        made->addEntity(QStringLiteral("ListOwnRow"));
        made->finalize();
        return made;
    }();
    return model->entity(QStringLiteral("ListOwnRow"));
}
} // namespace

ManagedObjectID ListModel::ownRowID(qint64 key)
{
    return ManagedObjectID(ownRowEntity(), key);
}

bool ListModel::isOwnRowID(const ManagedObjectID& id)
{
    return id.entity() == ownRowEntity();
}

QList<ManagedObjectID> ListModel::arrangeFetchedRows(const QList<ManagedObjectID>& ids,
                                                     const QList<QVariantList>&)
{
    return ids;
}

bool ListModel::fetchRows(const FetchRequest& request, QList<ManagedObjectID>* rows, Error* error)
{
    // The rows searches filter are fetched when a search is typed, with the searched text: reading
    // every title with every fetch would slow down each new order or grouping for a search that may
    // never come.
    forgetSearchBase();
    Error fetchError;
    ManagedObjectContext::FetchedValues fetched;
    const QList<FetchColumn> columns = fetchColumns();
    if (!m_context)
        fetchError = Error(ManagedObjectContext::kErrorDomain, ManagedObjectContext::FetchError);
    else if (columns.isEmpty())
        fetched.ids = m_context->executeFetchRequestForIDs(request, &fetchError);
    else
        fetched = m_context->executeFetchRequestForValues(request, columns, &fetchError);
    if (error)
        *error = fetchError;
    if (!fetchError.isNull())
        return false;
    *rows = arrangeFetchedRows(fetched.ids, fetched.values);
    return true;
}

bool ListModel::searchInMemory(QString* key, int* options) const
{
    const PersistentStoreCoordinator* coordinator =
        m_context ? m_context->persistentStoreCoordinator() : nullptr;
    const EntityDescription* entity =
        coordinator ? coordinator->managedObjectModel().entity(m_entityName) : nullptr;
    if (!entity || m_searchFormat.count(QStringLiteral("%@")) != 1)
        return false;
    const QString marker = QStringLiteral("\u0001search");
    Predicate parsed;
    try {
        parsed = Predicate::fromFormat(m_searchFormat, {marker});
    } catch (const std::exception&) {
        return false;
    }
    const PredicateNode* node = parsed.node().get();
    if (!node || node->kind != PredicateNode::Kind::Comparison || node->op != Predicate::Operator::Contains ||
        node->modifier != Predicate::Modifier::Direct ||
        node->left.kind != PredicateNode::Expression::Kind::KeyPath ||
        node->right.kind != PredicateNode::Expression::Kind::Constant ||
        node->right.constant != QVariant(marker))
        return false;
    const AttributeDescription* attribute = entity->attribute(node->left.keyPath);
    if (!attribute || attribute->type != AttributeDescription::Type::String)
        return false;
    *key = node->left.keyPath;
    *options = node->options;
    return true;
}

namespace {
// Adds the entities a key path from the entity reaches through relationships; false when a part of it
// is neither an attribute nor a relationship (a value the record class works out may read anything).
bool addKeyPathEntities(const EntityDescription* entity, const QString& keyPath, QSet<QString>* names)
{
    if (keyPath == QLatin1String("entity.name"))
        return true;
    const QStringList parts = keyPath.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts.at(i);
        const bool last = i + 1 == parts.size();
        if (entity->attribute(part))
            return last;
        // The number of records a to-many holds: its destination is already counted.
        if (last && i > 0 && part == QLatin1String("@count"))
            return true;
        const RelationshipDescription* relationship = entity->relationship(part);
        if (!relationship || !relationship->destination)
            return false;
        entity = relationship->destination;
        names->insert(entity->name());
    }
    return true;
}

bool addPredicateEntities(const EntityDescription* entity, const PredicateNode* node, QSet<QString>* names)
{
    if (!node)
        return true;
    switch (node->kind) {
    case PredicateNode::Kind::True:
    case PredicateNode::Kind::False:
        return true;
    case PredicateNode::Kind::And:
    case PredicateNode::Kind::Or:
    case PredicateNode::Kind::Not:
        return std::all_of(node->children.begin(), node->children.end(), [&](const auto& child) {
            return addPredicateEntities(entity, child.get(), names);
        });
    case PredicateNode::Kind::Comparison:
        for (const PredicateNode::Expression* side : {&node->left, &node->right})
            if (side->kind == PredicateNode::Expression::Kind::KeyPath &&
                !addKeyPathEntities(entity, side->keyPath, names))
                return false;
        return true;
    case PredicateNode::Kind::Block:
        return false;
    }
    return false;
}

bool ofEntities(const QList<ManagedObjectPtr>& records, const QSet<QString>& names)
{
    return std::any_of(records.begin(), records.end(), [&names](const ManagedObjectPtr& record) {
        for (const EntityDescription* entity = record ? record->entity() : nullptr; entity;
             entity = entity->parent())
            if (names.contains(entity->name()))
                return true;
        return false;
    });
}
} // namespace

bool ListModel::entitiesRead(const Predicate& predicate, const QString& searchKey, QSet<QString>* names) const
{
    const PersistentStoreCoordinator* coordinator =
        m_context ? m_context->persistentStoreCoordinator() : nullptr;
    const EntityDescription* entity =
        coordinator ? coordinator->managedObjectModel().entity(m_entityName) : nullptr;
    if (!entity)
        return false;
    names->insert(m_entityName);
    if (!addPredicateEntities(entity, predicate.node().get(), names) ||
        (!searchKey.isEmpty() && !addKeyPathEntities(entity, searchKey, names)))
        return false;
    // A comparator of its own may read anything.
    for (const SortDescriptor& descriptor : m_sortDescriptors)
        if (descriptor.hasComparator() || !addKeyPathEntities(entity, descriptor.key(), names))
            return false;
    for (const FetchColumn& column : fetchColumns()) {
        const bool known = column.kind() == FetchColumn::Kind::Condition
                               ? addPredicateEntities(entity, column.predicate().node().get(), names)
                               : addKeyPathEntities(entity, column.key(), names);
        if (!known)
            return false;
    }
    return true;
}

bool ListModel::searchBaseHasUnsavedChanges(bool anyChange, const QSet<QString>& entities) const
{
    return !m_context || (anyChange ? m_context->hasChanges() : m_context->hasChangesForEntities(entities));
}

void ListModel::countSaves()
{
    PersistentStoreCoordinator* coordinator = m_context ? m_context->persistentStoreCoordinator() : nullptr;
    if (!m_savesConnection && coordinator)
        m_savesConnection = connect(
            coordinator, &PersistentStoreCoordinator::contextDidSave, this,
            [saves = m_saves](const SaveNotification&) { ++*saves; }, Qt::DirectConnection);
}

bool ListModel::fetchSearchBase(Error* error)
{
    forgetSearchBase();
    QString key;
    int options = 0;
    if (!m_context || !searchInMemory(&key, &options))
        return false;
    QSet<QString> entities;
    const bool anyChange = !entitiesRead(m_filterPredicate, key, &entities);
    // Unsaved changes of the records the fetch reads are matched in memory and may change without a
    // save: not kept.
    if (searchBaseHasUnsavedChanges(anyChange, entities))
        return false;
    PersistentStoreCoordinator* coordinator = m_context->persistentStoreCoordinator();
    countSaves();
    SearchBase base;
    base.key = key;
    base.options = options;
    base.columns = fetchColumns();
    base.saves = m_saves->load();
    base.anyChange = anyChange;
    base.entities = std::move(entities);
    base.storeGeneration = coordinator->storeGeneration();
    FetchRequest request = fetchRequest();
    request.setPredicate(m_filterPredicate);
    QList<FetchColumn> columns = base.columns;
    columns.append(FetchColumn::keyPath(key));
    Error fetchError;
    ManagedObjectContext::FetchedValues fetched =
        m_context->executeFetchRequestForValues(request, columns, &fetchError);
    if (error)
        *error = fetchError;
    if (!fetchError.isNull() || fetched.values.size() != fetched.ids.size())
        return false;
    base.folded.reserve(fetched.values.size());
    for (QVariantList& values : fetched.values) {
        const QVariant text = values.isEmpty() ? QVariant() : values.takeLast();
        // As the store matches: only text, never nil or another kind of value.
        base.folded.append(
            text.typeId() == QMetaType::QString ? KeyValueCoding::fold(text.toString(), options) : QString());
    }
    base.ids = std::move(fetched.ids);
    // As a fetch without columns answers: no values at all.
    if (!base.columns.isEmpty())
        base.values = std::move(fetched.values);
    base.valid = true;
    m_searchBase = std::move(base);
    return true;
}

bool ListModel::filterSearchBase(QList<ManagedObjectID>* rows)
{
    SearchBase& base = m_searchBase;
    QString key;
    int options = 0;
    const PersistentStoreCoordinator* coordinator =
        m_context ? m_context->persistentStoreCoordinator() : nullptr;
    if (!base.valid || !coordinator || searchBaseHasUnsavedChanges(base.anyChange, base.entities) ||
        base.saves != m_saves->load() || base.storeGeneration != coordinator->storeGeneration() ||
        !searchInMemory(&key, &options) || key != base.key || options != base.options ||
        base.columns != fetchColumns())
        return false;
    if (m_searchString.isEmpty()) {
        *rows = arrangeFetchedRows(base.ids, base.values);
        return true;
    }
    // Text that is not valid UTF-16 reaches the store changed by its UTF-8 round trip, and text that
    // folds to nothing matches every text: the store answers both.
    const QString pattern = KeyValueCoding::fold(m_searchString, options);
    if (pattern.isEmpty() || !m_searchString.isValidUtf16())
        return false;
    const auto matches = [&base, &pattern](qsizetype i) { return base.folded.at(i).contains(pattern); };
    // Matching is cheap next to growing long lists: the matches are counted first, so that the lists
    // are made at their size, or the kept ones shared when every row matches (the first characters of
    // a word most titles hold).
    qsizetype count = 0;
    for (qsizetype i = 0; i < base.ids.size(); ++i)
        count += matches(i);
    if (count == base.ids.size()) {
        *rows = arrangeFetchedRows(base.ids, base.values);
        return true;
    }
    QList<ManagedObjectID> ids;
    QList<QVariantList> values;
    ids.reserve(count);
    if (!base.values.isEmpty())
        values.reserve(count);
    for (qsizetype i = 0; i < base.ids.size(); ++i) {
        if (!matches(i))
            continue;
        ids.append(base.ids.at(i));
        if (!base.values.isEmpty())
            values.append(base.values.at(i));
    }
    *rows = arrangeFetchedRows(ids, values);
    return true;
}

int ListModel::rowOfObjectID(const ManagedObjectID& id) const
{
    return rowIndex().value(id, -1);
}

ListFetchPtr ListModel::makeFetch()
{
    auto fetch = std::make_shared<ListFetch>(m_context ? m_context->coordinator() : nullptr, fetchRequest(),
                                             fetchColumns());
    const PersistentStoreCoordinator* coordinator =
        m_context ? m_context->persistentStoreCoordinator() : nullptr;
    if (coordinator) {
        // Saves are counted before the fetch starts: one that lands while it runs is told on adoption.
        countSaves();
        ListFetch::Origin origin;
        origin.known = true;
        origin.requestChanges = m_requestChanges;
        origin.saves = m_saves->load();
        origin.storeGeneration = coordinator->storeGeneration();
        fetch->setOrigin(origin);
    }
    return fetch;
}

bool ListModel::adoptFetch(const ListFetch& fetch)
{
    if (!fetch.hasRun() || !fetch.error().isNull())
        return false;
    forgetSearchBase();
    // Values read for other columns (the grouping changed meanwhile) would be read wrongly.
    if (fetch.columns() != fetchColumns())
        return fetchWithRequest(std::nullopt, false, nullptr);
    applyIDs(arrangeFetchedRows(fetch.ids(), fetch.values()));

    const ListFetch::Origin& origin = fetch.origin();
    const PersistentStoreCoordinator* coordinator =
        m_context ? m_context->persistentStoreCoordinator() : nullptr;
    if (!origin.known || !coordinator || origin.requestChanges != m_requestChanges ||
        origin.saves != m_saves->load() || origin.storeGeneration != coordinator->storeGeneration())
        return false;
    // The fetch did not see the main context's unsaved changes.
    QSet<QString> entities;
    const bool anyChange = !entitiesRead(predicate(), QString(), &entities);
    return !searchBaseHasUnsavedChanges(anyChange, entities);
}

bool ListModel::fetchWithRequest(const std::optional<FetchRequest>& request, bool, Error* error)
{
    QList<ManagedObjectID> rows;
    if (!fetchRows(request.value_or(fetchRequest()), &rows, error))
        return false;
    applyIDs(rows);
    return true;
}

void ListModel::rearrangeObjects()
{
    fetchWithRequest(std::nullopt, false, nullptr);
}

void ListModel::setAutomaticallyPreparesContent(bool prepares)
{
    if (prepares == m_automaticallyPreparesContent)
        return;
    m_automaticallyPreparesContent = prepares;
    disconnect(m_changesConnection);
    if (prepares && m_context)
        m_changesConnection = connect(m_context, &ManagedObjectContext::objectsDidChange, this,
                                      &ListModel::contextObjectsDidChange);
}

bool ListModel::changeOfEntities(const ObjectsDidChangeNotification& notification, const QSet<QString>& names)
{
    return ofEntities(notification.inserted, names) || ofEntities(notification.updated, names) ||
           ofEntities(notification.deleted, names);
}

bool ListModel::changeConcernsRows(const ObjectsDidChangeNotification& notification) const
{
    return notification.invalidatedAll || changeOfEntities(notification, {m_entityName});
}

void ListModel::collectChangedRows(const ObjectsDidChangeNotification& notification,
                                   ChangedRows* changed) const
{
    const QList<int> roles = recordRoles();
    for (const ManagedObjectPtr& record : notification.updated)
        if (record)
            (*changed)[record->objectID()] += roles;
}

QList<int> ListModel::recordRoles() const
{
    return {Qt::DisplayRole, TitleRole};
}

void ListModel::contextObjectsDidChange(const ObjectsDidChangeNotification& notification)
{
    // A change of records the base does not read (a cached file's bookkeeping while rows are drawn)
    // leaves it as the store answers it.
    if (notification.invalidatedAll || m_searchBase.anyChange ||
        changeOfEntities(notification, m_searchBase.entities))
        forgetSearchBase();
    ChangedRows changed;
    collectChangedRows(notification, &changed);
    if (!changeConcernsRows(notification)) {
        // The rows stay; those whose records (or the records they show) changed redraw.
        if (!changed.isEmpty())
            emitRowsChanged(changed);
        return;
    }
    QList<ManagedObjectID> ids;
    if (!fetchRows(fetchRequest(), &ids, nullptr))
        return;
    applyIDs(ids, changed);
}

void ListModel::emitRowsChanged(const ChangedRows& changed)
{
    // The rows stay as they are: only what they show changed.
    redrawRows(changed);
}

bool ListModel::redrawRows(const ChangedRows& changed)
{
    bool any = false;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it) {
        const int row = rowOfObjectID(it.key());
        if (row < 0)
            continue;
        QList<int> roles = it.value();
        std::sort(roles.begin(), roles.end());
        roles.erase(std::unique(roles.begin(), roles.end()), roles.end());
        emit dataChanged(index(row), index(row), roles);
        any = true;
    }
    return any;
}

int ListModel::runsToApply(const QList<bool>& stays, const QList<bool>& comes) const
{
    int runs = 0;
    bool inRun = false;
    // Past the most that are applied one by one, the rest need not be counted.
    for (qsizetype row = 0; row < stays.size() && runs <= kMaximumRuns; ++row) {
        const bool goes = !stays.at(row);
        runs += goes && !inRun;
        inRun = goes;
    }
    inRun = false;
    for (qsizetype row = 0; row < comes.size() && runs <= kMaximumRuns; ++row) {
        runs += comes.at(row) && !inRun;
        inRun = comes.at(row);
    }
    return runs;
}

bool ListModel::replaceRows(const QList<ManagedObjectID>& ids)
{
    // Which rows stay and which ids come, told through the rows' index; through a set of the new ids
    // when rows repeat an id.
    const QHash<ManagedObjectID, int>& index = rowIndex();
    QList<bool> stays(m_ids.size(), false);
    QList<bool> comes(ids.size(), false);
    if (index.size() == m_ids.size()) {
        for (qsizetype i = 0; i < ids.size(); ++i) {
            const auto found = index.constFind(ids.at(i));
            if (found == index.cend())
                comes[i] = true;
            else
                stays[found.value()] = true;
        }
    } else {
        const QSet<ManagedObjectID> newSet(ids.begin(), ids.end());
        for (qsizetype row = 0; row < m_ids.size(); ++row)
            stays[row] = newSet.contains(m_ids.at(row));
        for (qsizetype i = 0; i < ids.size(); ++i)
            comes[i] = !index.contains(ids.at(i));
    }

    // Each run of rows that goes or comes moves the rows below it once: a new search or grouping of a
    // long list (thousands of runs) is shown afresh instead, in one pass.
    if (runsToApply(stays, comes) > kMaximumRuns) {
        beginResetModel();
        m_ids = ids;
        invalidateRowIndex();
        endResetModel();
        emit arrangedObjectsChanged();
        return false;
    }

    // Rows whose records left the list go, from the bottom up, a run of rows at a time (the rows above
    // keep their places, so `stays` still tells them).
    for (int row = int(m_ids.size()) - 1; row >= 0;) {
        if (stays.at(row)) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && !stays.at(first - 1))
            --first;
        beginRemoveRows(QModelIndex(), first, row);
        m_ids.remove(first, row - first + 1);
        endRemoveRows();
        row = first - 1;
    }

    // The rows that stay: when their order changed, they move as one layout change.
    QList<ManagedObjectID> staying;
    staying.reserve(m_ids.size());
    for (qsizetype i = 0; i < ids.size(); ++i)
        if (!comes.at(i))
            staying << ids.at(i);
    if (staying != m_ids) {
        emit layoutAboutToBeChanged();
        QHash<ManagedObjectID, int> newRow;
        for (int row = 0; row < staying.size(); ++row)
            newRow.insert(staying.at(row), row);
        const QModelIndexList persistent = persistentIndexList();
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex& old : persistent)
            moved << (old.row() < m_ids.size() ? this->index(newRow.value(m_ids.at(old.row())))
                                               : QModelIndex());
        m_ids = staying;
        changePersistentIndexList(persistent, moved);
        emit layoutChanged();
    }

    // New rows come in at their places, a run at a time, top down.
    for (int row = 0; row < ids.size();) {
        if (!comes.at(row)) {
            ++row;
            continue;
        }
        int last = row;
        while (last + 1 < ids.size() && comes.at(last + 1))
            ++last;
        beginInsertRows(QModelIndex(), row, last);
        m_ids.insert(row, last - row + 1, ManagedObjectID());
        for (int i = row; i <= last; ++i)
            m_ids[i] = ids.at(i);
        endInsertRows();
        row = last + 1;
    }

    invalidateRowIndex();
    return true;
}

void ListModel::applyIDs(const QList<ManagedObjectID>& ids, const ChangedRows& changed)
{
    bool moved = false;
    // The same rows (a search that keeps them all, a change that moves nothing) only redraw.
    if (ids != m_ids) {
        if (!replaceRows(ids))
            return;
        moved = true;
    }
    redrawRows(changed);
    if (moved)
        emit arrangedObjectsChanged();
}

void ListModel::invalidateRowIndex()
{
    m_rowOfID.clear();
    m_rowIndexValid = false;
}

const QHash<ManagedObjectID, int>& ListModel::rowIndex() const
{
    if (!m_rowIndexValid) {
        m_rowOfID.reserve(m_ids.size());
        for (int row = 0; row < m_ids.size(); ++row)
            m_rowOfID.insert(m_ids.at(row), row);
        m_rowIndexValid = true;
    }
    return m_rowOfID;
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_ids.size())
        return {};
    switch (role) {
    case ObjectIDRole:
        return QVariant::fromValue(m_ids.at(index.row()));
    case ObjectRole:
        return QVariant::fromValue(objectAtRow(index.row()));
    case Qt::DisplayRole:
    case TitleRole:
        if (const ManagedObjectPtr record = objectAtRow(index.row()))
            return record->valueForKey(m_displayKey);
        return {};
    case GroupRowRole:
        return isOwnRowID(m_ids.at(index.row()));
    default:
        return {};
    }
}

QHash<int, QByteArray> ListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert({{ObjectRole, "object"},
                  {ObjectIDRole, "objectID"},
                  {GroupRole, "group"},
                  {GroupRowRole, "groupRow"},
                  {TitleRole, "title"},
                  {SubtitleRole, "subtitle"},
                  {DetailsRole, "details"},
                  {PeopleRole, "people"},
                  {AccessIndexRole, "accessIndex"},
                  {ItemStateRole, "itemState"},
                  {StarredRole, "starred"},
                  {LinkRole, "link"},
                  {ThumbnailRole, "thumbnail"}});
    return names;
}

} // namespace tavrel
