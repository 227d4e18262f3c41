#pragma once

#include "platform/runtime/Error.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace tavrel {

class ManagedObjectContext;

// What the full and the incremental synchronisation share: saving the worker context with the
// master context told of the save, and where the settings keep the account's changestamp.
class CoreDataUpdateSupport
{
public:
    // Saves the context; while it saves, `delegate` (when set) receives the did-save notification
    // through its updateOperationContextDidSave slot, on this thread. A failure is logged (with the
    // "E: " prefix when `logPrefix` is set), the context's unsaved changes are dropped so that they do
    // not leak into a later action of this thread, and the error is answered; a null error after
    // success.
    static Error saveLocalContext(ManagedObjectContext* context, QObject* delegate, const QString& owner,
                                  bool logPrefix);
};

} // namespace tavrel
