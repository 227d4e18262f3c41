#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/FetchColumn.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObjectID.h"

#include <QList>
#include <memory>

namespace tavrel {

class PersistentStoreCoordinator;

// One fetch of a list's rows, made on the main thread and run on any thread: it reads the ids of the
// matching records, in order, with the values of the list's columns, in a context of the thread that
// runs it (records never cross threads; the main thread turns the ids into its own records).
class ListFetch
{
public:
    ListFetch(std::shared_ptr<PersistentStoreCoordinator> coordinator, FetchRequest request,
              QList<FetchColumn> columns = {});
    ListFetch(const ListFetch&) = default;
    virtual ~ListFetch() = default;

    // Answers whether the fetch succeeded; the ids, or the error, stay on the object.
    virtual bool run();

    const FetchRequest& request() const { return m_request; }
    const QList<FetchColumn>& columns() const { return m_columns; }
    const QList<ManagedObjectID>& ids() const { return m_ids; }
    // The values of the columns, one list per id (none without columns).
    const QList<QVariantList>& values() const { return m_values; }
    const Error& error() const { return m_error; }
    bool hasRun() const { return m_hasRun; }

    // What the list that made the fetch saw when it made it, to tell on adoption whether its request,
    // the store or its context may have changed meanwhile.
    struct Origin
    {
        bool known = false;
        quint64 requestChanges = 0;
        quint64 saves = 0;
        quint64 storeGeneration = 0;
    };
    const Origin& origin() const { return m_origin; }
    void setOrigin(const Origin& origin) { m_origin = origin; }

private:
    std::shared_ptr<PersistentStoreCoordinator> m_coordinator;
    FetchRequest m_request;
    QList<FetchColumn> m_columns;
    QList<ManagedObjectID> m_ids;
    QList<QVariantList> m_values;
    Error m_error;
    bool m_hasRun = false;
    Origin m_origin;
};

using ListFetchPtr = std::shared_ptr<ListFetch>;

} // namespace tavrel
