#pragma once

#include "platform/store/ManagedObject.h"

#include <QAbstractListModel>
#include <QHash>
#include <QPointer>
#include <functional>

namespace tavrel {

class ManagedObjectContext;
class ObjectsDidChangeNotification;

// The rows of a list as the tables ask for them: it knows how many there are without loading any, and
// fetches records in batches around the rows that are drawn. A change of a fetched record (its title,
// star, icon) redraws its row alone; a list whose membership changes tells the model its new count.
class RecordListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr int kBatchSize = 50;
    static constexpr int kRecordRole = Qt::UserRole + 1;

    // The records [offset, offset + limit) of the list.
    using Fetcher = std::function<QList<ManagedObjectPtr>(int offset, int limit)>;

    explicit RecordListModel(QObject* parent = nullptr);
    ~RecordListModel() override;

    // A new list: its number of rows and how to fetch them; nothing is fetched yet.
    void setList(int count, Fetcher fetcher);
    // Follows the context's changes: updated records that were fetched redraw their rows.
    void setContext(ManagedObjectContext* context);

    ManagedObjectPtr record(int row) const;
    // The row of a fetched record, -1 when it was not fetched.
    int rowOfRecord(const ManagedObject* record) const;
    // How many rows were fetched so far (every row of each batch asked for).
    int fetchedRowCount() const { return int(m_records.size()); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void objectsDidChange(const ObjectsDidChangeNotification& notification);

    int m_count = 0;
    Fetcher m_fetcher;
    mutable QHash<int, ManagedObjectPtr> m_records;
    mutable QHash<const ManagedObject*, int> m_rows;
    QPointer<ManagedObjectContext> m_context;
    QMetaObject::Connection m_contextConnection;
};

} // namespace tavrel
