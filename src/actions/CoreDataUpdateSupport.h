#pragma once

#include "platform/runtime/Error.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace tavrel {

class ManagedObjectContext;
class TQOperation;
class TQSessionProtocol;

// What the full and the incremental synchronisation share: saving the worker context with the
// master context told of the save, and where the settings keep the account's changestamp.
class CoreDataUpdateSupport
{
public:
    // Saves the context; while it saves, `delegate` (when set) receives the did-save notification
    // through its updateOperationContextDidSave slot, on this thread. A failure is logged with its
    // cause, the context's unsaved changes are dropped so that they do not leak into a later action of
    // this thread, and the error (its failure reason the cause) is answered; a null error after
    // success.
    static Error saveLocalContext(ManagedObjectContext* context, QObject* delegate, const QString& owner);

    // Both synchronisations are exclusive document-manager operations without arguments.
    static void configureOperation(TQOperation& operation, const QString& name, TQSessionProtocol* session);
    // The account's address, from the session's store; empty without one.
    static QString accountAddress(TQSessionProtocol* session);
    // The settings key of the account's largest changestamp: "TQlargestChangestamp" and the address.
    static QString largestChangestampKey(TQSessionProtocol* session);
};

} // namespace tavrel
