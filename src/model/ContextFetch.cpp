#include "model/ContextFetch.h"

#include "platform/store/ManagedObjectContext.h"

#include <QVariantHash>
#include <QVariantMap>

namespace tavrel {

namespace {

struct ContextLocker
{
    explicit ContextLocker(ManagedObjectContext* c) : context(c) { context->lock(); }
    ~ContextLocker() { context->unlock(); }
    ManagedObjectContext* context;
};

QVariant rebuild(ManagedObjectContext* context, const QVariant& object, ManagedObjectContext** detected)
{
    const QMetaType type = object.metaType();
    if (type == QMetaType::fromType<QVariantList>()) {
        QVariantList out;
        const QVariantList in = object.toList();
        out.reserve(in.size());
        for (const QVariant& element : in)
            out.append(rebuild(context, element, detected));
        return out;
    }
    if (type == QMetaType::fromType<QList<ManagedObjectPtr>>()) {
        QList<ManagedObjectPtr> out;
        for (const ManagedObjectPtr& element : object.value<QList<ManagedObjectPtr>>())
            out.append(rebuild(context, QVariant::fromValue(element), detected).value<ManagedObjectPtr>());
        return QVariant::fromValue(out);
    }
    if (type == QMetaType::fromType<QVariantMap>()) {
        QVariantMap out;
        const QVariantMap in = object.toMap();
        for (auto it = in.cbegin(); it != in.cend(); ++it)
            out.insert(it.key(), rebuild(context, it.value(), detected));
        return out;
    }
    if (type == QMetaType::fromType<QVariantHash>()) {
        QVariantHash out;
        const QVariantHash in = object.toHash();
        for (auto it = in.cbegin(); it != in.cend(); ++it)
            out.insert(it.key(), rebuild(context, it.value(), detected));
        return out;
    }
    if (type == QMetaType::fromType<ManagedObjectPtr>()) {
        const ManagedObjectPtr record = object.value<ManagedObjectPtr>();
        if (!record)
            return {};
        // A record whose context is gone (deleted and saved) names no context to report.
        if (detected && record->managedObjectContext())
            *detected = record->managedObjectContext();
        const ManagedObjectPtr twin = ContextFetch::fetchInContext(record, context);
        return twin ? QVariant::fromValue(twin) : QVariant();
    }
    return object;
}

} // namespace

ManagedObjectPtr ContextFetch::fetchInContext(const ManagedObjectPtr& object, ManagedObjectContext* context)
{
    if (!object || !context)
        return {};
    const ManagedObjectID id = object->objectID();
    if (id.isNull())
        return {};
    Error ignored;
    return context->existingObjectWithID(id, &ignored);
}

QVariant ContextFetch::fetchEntitiesFromObject(ManagedObjectContext* context, const QVariant& object,
                                               ManagedObjectContext** detectedSource)
{
    if (!context)
        return {};
    ContextLocker locker(context);
    // Several records are read in one statement per table rather than one each; held here, they stay
    // loaded until the re-building takes them.
    QList<ManagedObjectID> ids;
    for (const ManagedObjectPtr& record : recordsInObject(object)) {
        const ManagedObjectID id = record->objectID();
        if (!id.isNull() && !id.isTemporaryID())
            ids.append(id);
    }
    QList<ManagedObjectPtr> held;
    if (ids.size() > 1) {
        held.reserve(ids.size());
        for (const ManagedObjectID& id : std::as_const(ids))
            held.append(context->objectWithID(id));
        context->fireFaults(ids);
    }
    return rebuild(context, object, detectedSource);
}

void ContextFetch::collectRecords(const QVariant& object, QList<ManagedObjectPtr>& records)
{
    const QMetaType type = object.metaType();
    if (type == QMetaType::fromType<ManagedObjectPtr>()) {
        if (const ManagedObjectPtr record = object.value<ManagedObjectPtr>())
            records.append(record);
    } else if (type == QMetaType::fromType<QList<ManagedObjectPtr>>()) {
        for (const ManagedObjectPtr& record : object.value<QList<ManagedObjectPtr>>())
            if (record)
                records.append(record);
    } else if (type == QMetaType::fromType<QVariantList>()) {
        for (const QVariant& element : object.toList())
            collectRecords(element, records);
    } else if (type == QMetaType::fromType<QVariantMap>()) {
        const QVariantMap map = object.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            collectRecords(it.value(), records);
    } else if (type == QMetaType::fromType<QVariantHash>()) {
        const QVariantHash hash = object.toHash();
        for (auto it = hash.cbegin(); it != hash.cend(); ++it)
            collectRecords(it.value(), records);
    }
}

QList<ManagedObjectPtr> ContextFetch::recordsInObject(const QVariant& object)
{
    QList<ManagedObjectPtr> records;
    collectRecords(object, records);
    return records;
}

QList<ManagedObjectPtr> ContextFetch::executeFetchRequestSafely(ManagedObjectContext* context,
                                                                const FetchRequest& request, Error* error)
{
    if (!context)
        return {};
    ContextLocker locker(context);
    return context->executeFetchRequest(request, error);
}

} // namespace tavrel
