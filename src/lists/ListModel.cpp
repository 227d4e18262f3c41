#include "lists/ListModel.h"

#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObjectContext.h"
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
    if (!m_context || row < 0 || row >= m_ids.size())
        return nullptr;
    return m_context->objectWithID(m_ids.at(row));
}

int ListModel::rowOfObjectID(const ManagedObjectID& id) const
{
    return m_rowOfID.value(id, -1);
}

ListFetchPtr ListModel::makeFetch() const
{
    return std::make_shared<ListFetch>(m_context ? m_context->coordinator() : nullptr, fetchRequest());
}

void ListModel::adoptFetch(const ListFetch& fetch)
{
    if (!fetch.hasRun() || !fetch.error().isNull())
        return;
    applyIDs(fetch.ids());
}

bool ListModel::fetchWithRequest(const std::optional<FetchRequest>& request, bool, Error* error)
{
    Error fetchError;
    QList<ManagedObjectID> ids;
    if (m_context)
        ids = m_context->executeFetchRequestForIDs(request.value_or(fetchRequest()), &fetchError);
    else
        fetchError = Error(ManagedObjectContext::kErrorDomain, ManagedObjectContext::FetchError);
    if (error)
        *error = fetchError;
    if (!fetchError.isNull())
        return false;
    applyIDs(ids);
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

void ListModel::contextObjectsDidChange(const ObjectsDidChangeNotification& notification)
{
    if (!notification.invalidatedAll && !concernsEntity(notification.inserted) &&
        !concernsEntity(notification.updated) && !concernsEntity(notification.deleted))
        return;
    QList<ManagedObjectID> ids;
    Error error;
    ids = m_context->executeFetchRequestForIDs(fetchRequest(), &error);
    if (!error.isNull())
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
