#include "lists/ListModel.h"

#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/ObjectsDidChangeNotification.h"

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
    if (m_automaticallyPreparesContent)
        rearrangeObjects();
}

void ListModel::setSearchFormat(const QString& format)
{
    m_searchFormat = format;
    if (m_automaticallyPreparesContent && !m_searchString.isEmpty())
        rearrangeObjects();
}

void ListModel::setSearchString(const QString& searchString)
{
    if (searchString == m_searchString && searchString.isNull() == m_searchString.isNull())
        return;
    m_searchString = searchString;
    if (m_automaticallyPreparesContent)
        rearrangeObjects();
}

void ListModel::setSortDescriptors(const QList<SortDescriptor>& descriptors)
{
    m_sortDescriptors = descriptors;
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

int ListModel::rowOfObjectID(const ManagedObjectID& id) const
{
    return m_rowOfID.value(id, -1);
}

ListFetchPtr ListModel::makeFetch() const
{
    return std::make_shared<ListFetch>(m_context ? m_context->coordinator() : nullptr, fetchRequest(),
                                       fetchColumns());
}

void ListModel::adoptFetch(const ListFetch& fetch)
{
    if (!fetch.hasRun() || !fetch.error().isNull())
        return;
    // Values read for other columns (the grouping changed meanwhile) would be read wrongly.
    if (fetch.columns() != fetchColumns()) {
        fetchWithRequest(std::nullopt, false, nullptr);
        return;
    }
    applyIDs(arrangeFetchedRows(fetch.ids(), fetch.values()));
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

bool ListModel::concernsEntity(const QList<ManagedObjectPtr>& records) const
{
    return std::any_of(records.begin(), records.end(), [this](const ManagedObjectPtr& record) {
        for (const EntityDescription* entity = record ? record->entity() : nullptr; entity;
             entity = entity->parent())
            if (entity->name() == m_entityName)
                return true;
        return false;
    });
}

bool ListModel::changeConcernsRows(const ObjectsDidChangeNotification& notification) const
{
    return notification.invalidatedAll || concernsEntity(notification.inserted) ||
           concernsEntity(notification.updated) || concernsEntity(notification.deleted);
}

void ListModel::contextObjectsDidChange(const ObjectsDidChangeNotification& notification)
{
    if (!changeConcernsRows(notification))
        return;
    QList<ManagedObjectID> ids;
    if (!fetchRows(fetchRequest(), &ids, nullptr))
        return;
    QList<ManagedObjectID> updated;
    for (const ManagedObjectPtr& record : notification.updated)
        if (record)
            updated << record->objectID();
    applyIDs(ids, updated);
}

void ListModel::applyIDs(const QList<ManagedObjectID>& ids, const QList<ManagedObjectID>& updated)
{
    const QSet<ManagedObjectID> newSet(ids.begin(), ids.end());
    bool changed = false;

    // Rows whose records left the list go, from the bottom up, a run of rows at a time.
    for (int row = int(m_ids.size()) - 1; row >= 0;) {
        if (newSet.contains(m_ids.at(row))) {
            --row;
            continue;
        }
        int first = row;
        while (first > 0 && !newSet.contains(m_ids.at(first - 1)))
            --first;
        beginRemoveRows(QModelIndex(), first, row);
        m_ids.remove(first, row - first + 1);
        endRemoveRows();
        changed = true;
        row = first - 1;
    }

    // The rows that stay: when their order changed, they move as one layout change.
    const QSet<ManagedObjectID> oldSet(m_ids.begin(), m_ids.end());
    QList<ManagedObjectID> staying;
    staying.reserve(m_ids.size());
    for (const ManagedObjectID& id : ids)
        if (oldSet.contains(id))
            staying << id;
    if (staying != m_ids) {
        emit layoutAboutToBeChanged();
        QHash<ManagedObjectID, int> newRow;
        for (int row = 0; row < staying.size(); ++row)
            newRow.insert(staying.at(row), row);
        const QModelIndexList persistent = persistentIndexList();
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (const QModelIndex& index : persistent)
            moved << (index.row() < m_ids.size() ? this->index(newRow.value(m_ids.at(index.row())))
                                                 : QModelIndex());
        m_ids = staying;
        changePersistentIndexList(persistent, moved);
        emit layoutChanged();
        changed = true;
    }

    // New rows come in at their places, a run at a time, top down.
    for (int row = 0; row < ids.size();) {
        if (oldSet.contains(ids.at(row))) {
            ++row;
            continue;
        }
        int last = row;
        while (last + 1 < ids.size() && !oldSet.contains(ids.at(last + 1)))
            ++last;
        beginInsertRows(QModelIndex(), row, last);
        m_ids.insert(row, last - row + 1, ManagedObjectID());
        for (int i = row; i <= last; ++i)
            m_ids[i] = ids.at(i);
        endInsertRows();
        changed = true;
        row = last + 1;
    }

    rebuildRowIndex();
    for (const ManagedObjectID& id : updated) {
        const int row = rowOfObjectID(id);
        if (row >= 0) {
            emit dataChanged(index(row), index(row));
            changed = true;
        }
    }
    if (changed)
        emit arrangedObjectsChanged();
}

void ListModel::rebuildRowIndex()
{
    m_rowOfID.clear();
    m_rowOfID.reserve(m_ids.size());
    for (int row = 0; row < m_ids.size(); ++row)
        m_rowOfID.insert(m_ids.at(row), row);
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
        if (const ManagedObjectPtr record = objectAtRow(index.row()))
            return record->valueForKey(m_displayKey);
        return {};
    default:
        return {};
    }
}

} // namespace tavrel
