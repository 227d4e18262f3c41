#pragma once

#include "platform/store/Predicate.h"
#include "platform/store/SortDescriptor.h"

#include <QList>
#include <QString>

namespace tavrel {

// What to fetch: an entity (and, by default, its sub-entities), a predicate, an order, a window.
class FetchRequest
{
public:
    enum class ResultType { ManagedObjects, ManagedObjectIDs };

    FetchRequest() = default;
    explicit FetchRequest(QString entityName) : m_entityName(std::move(entityName)) {}
    static FetchRequest fetchRequestWithEntityName(const QString& entityName)
    {
        return FetchRequest(entityName);
    }

    const QString& entityName() const { return m_entityName; }
    void setEntityName(const QString& name) { m_entityName = name; }
    const Predicate& predicate() const { return m_predicate; }
    void setPredicate(const Predicate& predicate) { m_predicate = predicate; }
    const QList<SortDescriptor>& sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const QList<SortDescriptor>& descriptors) { m_sortDescriptors = descriptors; }
    // 0: no limit.
    qsizetype fetchLimit() const { return m_fetchLimit; }
    void setFetchLimit(qsizetype limit) { m_fetchLimit = limit; }
    qsizetype fetchOffset() const { return m_fetchOffset; }
    void setFetchOffset(qsizetype offset) { m_fetchOffset = offset; }
    // 0: the values of every result are loaded by the fetch. Otherwise results come back as faults and
    // touching one loads it with the next batch of its fetch (for very long lists).
    qsizetype fetchBatchSize() const { return m_fetchBatchSize; }
    void setFetchBatchSize(qsizetype size) { m_fetchBatchSize = size; }
    bool includesSubentities() const { return m_includesSubentities; }
    void setIncludesSubentities(bool include) { m_includesSubentities = include; }
    // Unsaved inserts, changes and deletions of the context take part (default yes).
    bool includesPendingChanges() const { return m_includesPendingChanges; }
    void setIncludesPendingChanges(bool include) { m_includesPendingChanges = include; }
    // Records from executeFetchRequest, ids from executeFetchRequestForIDs; kept for callers that
    // hand a request on and let the receiver choose.
    ResultType resultType() const { return m_resultType; }
    void setResultType(ResultType type) { m_resultType = type; }

private:
    QString m_entityName;
    Predicate m_predicate;
    QList<SortDescriptor> m_sortDescriptors;
    qsizetype m_fetchLimit = 0;
    qsizetype m_fetchOffset = 0;
    qsizetype m_fetchBatchSize = 0;
    bool m_includesSubentities = true;
    bool m_includesPendingChanges = true;
    ResultType m_resultType = ResultType::ManagedObjects;
};

} // namespace tavrel
