#include "pipeline/TQSessionContexts.h"

#include "model/ContextFetch.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/store/ManagedObjectContext.h"

#include <QSet>

namespace tavrel {

namespace {

using ContextPointer = QPointer<ManagedObjectContext>;

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
    for (const ManagedObjectPtr& record : ContextFetch::recordsInObject(object)) {
        const ManagedObjectPtr twin = target->objectRegisteredForID(record->objectID());
        if (twin && !twin->isFault())
            loadedBefore.insert(twin->objectID());
    }
    const QVariant fetched = ContextFetch::fetchEntitiesFromObject(target, object, &source);
    for (const ManagedObjectPtr& record : ContextFetch::recordsInObject(fetched))
        if (loadedBefore.contains(record->objectID()) && !record->isFault() && !record->isInserted() &&
            !record->isDeleted())
            target->refreshObject(record, true);
    target->unlock();
    if (detectedSource && source)
        *detectedSource = valueForContext(source);
    return fetched;
}

} // namespace tavrel
