#pragma once

#include "platform/store/ManagedObjectContext.h"

#include <QPointer>
#include <QVariant>

namespace tavrel {

class TQMOCManager;

// The store half of a session's TQSessionProtocol: contexts and records as they travel through the
// action machinery. A context travels as a QPointer<ManagedObjectContext> (a worker's context goes when
// its thread ends, so a raw pointer could outlive it); records travel as ManagedObjectPtr.
class TQSessionContexts
{
public:
    // The master context on the main thread, else the calling thread's own context (made on first use).
    static QVariant managedObjectContextForCurrentThread(TQMOCManager* mocManager);
    static QVariant masterManagedObjectContext(TQMOCManager* mocManager);
    // A live context given as QPointer<ManagedObjectContext> or as a QObject pointer to one.
    static bool isManagedObjectContext(const QVariant& value);
    // The context inside the value, or nullptr.
    static ManagedObjectContext* contextFromValue(const QVariant& value);
    static QVariant valueForContext(ManagedObjectContext* context);
    // Every record inside the object replaced by its twin in the context (ContextFetch). Twins that
    // the target context already held are refreshed from the store, keeping their unsaved values, so
    // that a requester sees what the service answer changed. Through detectedSource, the context the
    // records came from (left as it was when there is no record). Without a context the object comes
    // back unchanged.
    static QVariant fetchEntitiesFromObject(const QVariant& context, const QVariant& object,
                                            QVariant* detectedSource = nullptr);
};

} // namespace tavrel

Q_DECLARE_METATYPE(QPointer<tavrel::ManagedObjectContext>)
