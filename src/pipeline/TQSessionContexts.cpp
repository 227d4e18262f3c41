#include "pipeline/TQSessionContexts.h"

#include "model/ContextFetch.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/store/ManagedObjectContext.h"

#include <QSet>
#include <QVariantHash>
#include <QVariantMap>

namespace tavrel {

namespace {

using ContextPointer = QPointer<ManagedObjectContext>;

// The records of a re-built object that the context had loaded before: they may hold values older
// than the store's.
void collectRecords(const QVariant& object, QList<ManagedObjectPtr>& records)
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

} // namespace

QVariant TQSessionContexts::managedObjectContextForCurrentThread(TQMOCManager* mocManager)
{
    if (!mocManager)
        return {};
    if (ThreadDispatch::isMainThread())
        return masterManagedObjectContext(mocManager);
    return valueForContext(mocManager->managedObjectContextForCurrentThread());
}

QVariant TQSessionContexts::masterManagedObjectContext(TQMOCManager* mocManager)
{
    return mocManager ? valueForContext(mocManager->masterMOC()) : QVariant();
}

bool TQSessionContexts::isManagedObjectContext(const QVariant& value)
{
    return contextFromValue(value) != nullptr;
}

ManagedObjectContext* TQSessionContexts::contextFromValue(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<ContextPointer>())
        return value.value<ContextPointer>().data();
    if (value.metaType().flags() & QMetaType::PointerToQObject)
        return qobject_cast<ManagedObjectContext*>(value.value<QObject*>());
    return nullptr;
}

QVariant TQSessionContexts::valueForContext(ManagedObjectContext* context)
{
    return context ? QVariant::fromValue(ContextPointer(context)) : QVariant();
}

QVariant TQSessionContexts::fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                                    QVariant* detectedSource)
{
    ManagedObjectContext* target = contextFromValue(context);
    if (!target)
        return object;
    ManagedObjectContext* source = nullptr;
    target->lock();
    // Only the twins loaded before may be older than the store: the others were just read from it.
    QSet<ManagedObjectID> loadedBefore;
    {
        QList<ManagedObjectPtr> given;
        collectRecords(object, given);
        for (const ManagedObjectPtr& record : std::as_const(given)) {
            const ManagedObjectPtr twin = target->objectRegisteredForID(record->objectID());
            if (twin && !twin->isFault())
                loadedBefore.insert(twin->objectID());
        }
    }
    const QVariant fetched = ContextFetch::fetchEntitiesFromObject(target, object, &source);
    QList<ManagedObjectPtr> records;
    collectRecords(fetched, records);
    for (const ManagedObjectPtr& record : std::as_const(records))
        if (loadedBefore.contains(record->objectID()) && !record->isFault() && !record->isInserted() &&
            !record->isDeleted())
            target->refreshObject(record, true);
    target->unlock();
    if (detectedSource && source)
        *detectedSource = valueForContext(source);
    return fetched;
}

} // namespace tavrel
