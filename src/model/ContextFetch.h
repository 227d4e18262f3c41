#pragma once

#include "platform/runtime/Error.h"
#include "platform/store/FetchRequest.h"
#include "platform/store/ManagedObject.h"

#include <QVariant>

namespace tavrel {

class ManagedObjectContext;

// Moving records between contexts by object id, and fetching under a context's lock. Records are
// passed inside QVariants as ManagedObjectPtr; lists (QVariantList, QList<ManagedObjectPtr>) and maps
// (QVariantMap, QVariantHash) are walked at every depth. Sets of records are lists here.
class ContextFetch
{
public:
    // The record with the same id in the target context, or nothing when the store no longer holds it
    // (or the id is temporary and unknown to the target).
    static ManagedObjectPtr fetchInContext(const ManagedObjectPtr& object, ManagedObjectContext* context);

    // The object re-built for the target context, under the target's lock: containers are new ones
    // holding re-built elements (a record that no longer exists becomes an invalid QVariant, the null
    // object); records become their twins (nothing at the top level when gone); anything else comes
    // back untouched. Through detectedSource, when given, the context of the last record met that
    // still has one (left as it was when there is none).
    static QVariant fetchEntitiesFromObject(ManagedObjectContext* context, const QVariant& object,
                                            ManagedObjectContext** detectedSource = nullptr);

    // The records inside the object, at every depth, in the order met.
    static QList<ManagedObjectPtr> recordsInObject(const QVariant& object);

    // The context's fetch run under its lock, so that it never overlaps a re-building or another
    // such fetch on the same context.
    static QList<ManagedObjectPtr> executeFetchRequestSafely(ManagedObjectContext* context,
                                                             const FetchRequest& request,
                                                             Error* error = nullptr);
    template <typename T>
    static QList<std::shared_ptr<T>> executeFetchRequestSafely(ManagedObjectContext* context,
                                                               const FetchRequest& request,
                                                               Error* error = nullptr)
    {
        QList<std::shared_ptr<T>> result;
        for (const auto& o : executeFetchRequestSafely(context, request, error))
            if (auto t = std::dynamic_pointer_cast<T>(o))
                result.append(t);
        return result;
    }
    // The first record of a lookup, or nothing (also when the fetch fails).
    template <typename T>
    static std::shared_ptr<T> firstRecord(ManagedObjectContext* context, const FetchRequest& request)
    {
        if (!context)
            return {};
        const auto rows = executeFetchRequestSafely(context, request);
        return rows.isEmpty() ? nullptr : std::dynamic_pointer_cast<T>(rows.first());
    }

private:
    static void collectRecords(const QVariant& object, QList<ManagedObjectPtr>& records);
};

} // namespace tavrel
