#include "model/RecordListModel.h"

#include "platform/store/ManagedObjectContext.h"
#include "platform/store/ObjectsDidChangeNotification.h"

namespace tavrel {

RecordListModel::RecordListModel(QObject* parent) : QAbstractListModel(parent) {}

RecordListModel::~RecordListModel() = default;

void RecordListModel::setList(int count, Fetcher fetcher)
{
    beginResetModel();
    m_count = qMax(0, count);
    m_fetcher = std::move(fetcher);
    m_records.clear();
    m_rows.clear();
    endResetModel();
}

void RecordListModel::setContext(ManagedObjectContext* context)
{
    disconnect(m_contextConnection);
    m_context = context;
    if (context)
        m_contextConnection = connect(context, &ManagedObjectContext::objectsDidChange, this,
                                      &RecordListModel::objectsDidChange);
}

ManagedObjectPtr RecordListModel::record(int row) const
{
    if (row < 0 || row >= m_count)
        return {};
    const auto found = m_records.constFind(row);
    if (found != m_records.constEnd())
        return *found;
    if (!m_fetcher)
        return {};
    const int offset = row - row % kBatchSize;
    const int limit = qMin(kBatchSize, m_count - offset);
    const QList<ManagedObjectPtr> batch = m_fetcher(offset, limit);
    for (int i = 0; i < limit; ++i) {
        const ManagedObjectPtr object = i < batch.size() ? batch[i] : ManagedObjectPtr();
        m_records.insert(offset + i, object);
        if (object)
            m_rows.insert(object.get(), offset + i);
    }
    return m_records.value(row);
}

int RecordListModel::rowOfRecord(const ManagedObject* record) const
{
    return m_rows.value(record, -1);
}

int RecordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == kRecordRole)
        return QVariant::fromValue(record(index.row()));
    return {};
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex& index) const
{
    return QAbstractListModel::flags(index) | Qt::ItemIsDragEnabled;
}

void RecordListModel::objectsDidChange(const ObjectsDidChangeNotification& notification)
{
    if (notification.invalidatedAll) {
        // Everything fetched is stale: fetch again as the rows are drawn.
        m_records.clear();
        m_rows.clear();
        if (m_count > 0)
            emit dataChanged(index(0), index(m_count - 1));
        return;
    }
    for (const ManagedObjectPtr& object : notification.updated) {
        const int row = rowOfRecord(object.get());
        if (row >= 0)
            emit dataChanged(index(row), index(row));
    }
}

} // namespace tavrel
