#include "lists/ListFetch.h"

#include "platform/store/ManagedObjectContext.h"
#include "platform/store/PersistentStoreCoordinator.h"

namespace tavrel {

ListFetch::ListFetch(std::shared_ptr<PersistentStoreCoordinator> coordinator, FetchRequest request,
                     QList<FetchColumn> columns)
    : m_coordinator(std::move(coordinator)), m_request(std::move(request)), m_columns(std::move(columns))
{}

bool ListFetch::run()
{
    m_hasRun = true;
    m_ids.clear();
    m_values.clear();
    m_error = Error();
    if (!m_coordinator) {
        m_error = Error(ManagedObjectContext::kErrorDomain, ManagedObjectContext::FetchError);
        return false;
    }
    // A context of this thread, gone with the fetch: unsaved changes of the main context are not
    // seen here, the main context's own notifications bring them later.
    ManagedObjectContext context(m_coordinator);
    Error error;
    if (m_columns.isEmpty()) {
        m_ids = context.executeFetchRequestForIDs(m_request, &error);
    } else {
        ManagedObjectContext::FetchedValues fetched =
            context.executeFetchRequestForValues(m_request, m_columns, &error);
        m_ids = std::move(fetched.ids);
        m_values = std::move(fetched.values);
    }
    m_error = error;
    return m_error.isNull();
}

} // namespace tavrel
