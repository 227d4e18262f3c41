#include "actions/CoreDataUpdateSupport.h"

#include "actions/FastCoreDataUpdateOperation.h"
#include "model/TQMOCManager.h"
#include "pipeline/TQOperation.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/TQLog.h"

#include <QMetaObject>
#include <exception>

namespace tavrel {

Error CoreDataUpdateSupport::saveLocalContext(ManagedObjectContext* context, QObject* delegate,
                                              const QString& owner)
{
    if (!context)
        return VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("No context to save"));
    QMetaObject::Connection relay;
    if (delegate) {
        QPointer<QObject> target(delegate);
        relay = QObject::connect(
            context, &ManagedObjectContext::didSave, context,
            [target](const SaveNotification& notification) {
                if (target)
                    QMetaObject::invokeMethod(target, "updateOperationContextDidSave", Qt::DirectConnection,
                                              Q_ARG(tavrel::SaveNotification, notification));
            },
            Qt::DirectConnection);
    }
    Error error;
    bool saved = false;
    try {
        saved = context->save(&error);
    } catch (const std::exception& exception) {
        TQLog("E: Could not save local context for <%@> exception: %@", owner,
              QString::fromUtf8(exception.what()));
        error = VUvodozuManager::unexpectedErrorWithReason(QString::fromUtf8(exception.what()));
    }
    if (relay)
        QObject::disconnect(relay);
    if (saved)
        return Error();
    if (error.isNull())
        error = VUvodozuManager::unexpectedErrorWithReason(QStringLiteral("The store could not be saved"));
    TQLog("E: DEFAULT LOAD FAILED ABORTED ");
    TQLog("E: Context Saving Error code %@: %@", QString::number(error.code()), error.localizedDescription());
    QStringList info;
    for (auto it = error.userInfo().cbegin(); it != error.userInfo().cend(); ++it)
        info.append(QStringLiteral("%1 = %2").arg(it.key(), it.value().toString()));
    TQLog("E: Error userInfo: {%@}", info.join(QStringLiteral("; ")));
    // What failed to save must not ride along with the next save of this thread's context.
    context->reset();
    return VUvodozuManager::unexpectedErrorWithReason(error.localizedDescription());
}

void CoreDataUpdateSupport::configureOperation(TQOperation& operation, const QString& name,
                                               TQSessionProtocol* session)
{
    operation.setName(name);
    operation.setArguments({});
    operation.setIsExclusive(true);
    operation.setSession(session);
    if (session)
        operation.setManager(session->documentManager());
}

QString CoreDataUpdateSupport::accountAddress(TQSessionProtocol* session)
{
    TQMOCManager* store = session ? session->mocManager() : nullptr;
    return store ? store->username() : QString();
}

QString CoreDataUpdateSupport::largestChangestampKey(TQSessionProtocol* session)
{
    return FastCoreDataUpdateOperation::kLargestChangestampKeyFormat.arg(accountAddress(session));
}

} // namespace tavrel
