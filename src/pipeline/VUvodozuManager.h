#pragma once

#include "platform/runtime/Error.h"
#include "platform/runtime/Invocation.h"

#include <QObject>
#include <QVariantMap>
#include <memory>

namespace tavrel {

class GDataAuthorizer;
class GDManagerManager;
class TQMOCMaster;
class TQMOCMasterUpdater;
class TQOperation;
class TQQueueManager;
class TQSessionProtocol;
class VUvodozuHandler;

// Base of the store-side action managers (the document manager "dmh", the contact manager "cmh"):
// turns an action name into a queued operation and brings its answer back to the requester.
//
// executeAction(name, callback, parameters) resolves the name: a registered class
// "TQ<prefix><name>Operation" (derived from TQOperation) is made and run as it is; otherwise the
// handler class "<prefix><name>" (derived from VUvodozuHandler) runs in the operation class it names.
// An unknown name is logged and answered with 703. The callback is an invocation of a requester's method
// taking (result, error); it is performed on the thread that called executeAction, with the result
// re-fetched into the requester's context.
class VUvodozuManager : public QObject
{
    Q_OBJECT
public:
    // The store side's error domain and codes.
    static inline const QString kErrorDomain = QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz");
    static constexpr qint64 kMissingParameterErrorCode = 701;
    static constexpr qint64 kNotAuthorizedErrorCode = 702;
    static constexpr qint64 kUnexpectedErrorCode = 703;
    static constexpr qint64 kSomeFetchErrorCode = 704;

    static inline const QString kCallbackSelector =
        QStringLiteral("fetchManagedObjectCallbackArguments:callbackError:callback:operation:");

    explicit VUvodozuManager(TQSessionProtocol* session, QObject* parent = nullptr);
    ~VUvodozuManager() override;

    // The handler prefix of the concrete manager ("dmh", "cmh"). Pure; its body, for a manager that
    // passes the call up, logs and raises.
    virtual QString handlerPrefix() const = 0;
    // The service-side manager the handlers pass actions on to; nullptr here.
    virtual GDManagerManager* gdataManager() const;

    // The per-session service calls; nothing here.
    virtual void start();
    virtual void stop();
    virtual void clean();

    TQSessionProtocol* session() const { return m_session; }
    std::shared_ptr<GDataAuthorizer> authentication() const;
    void setAuthentication(std::shared_ptr<GDataAuthorizer> authentication);
    TQQueueManager* queueManager() const;
    // The session's master context; nullptr without a store.
    TQMOCMaster* masterMOC() const;
    // Its updater, the only writer of service results into it.
    TQMOCMasterUpdater* masterMOCUpdater() const;

    // Builds the operation for the action and schedules it.
    void executeAction(const QString& action, const InvocationPtr& callback, const QVariantMap& parameters);
    // The configured operation for the action, or nullptr when the name resolves to nothing. Its
    // callback bridges to `callback` (which may be null), its arguments are a copy of the parameters
    // (with "actionID"), its progress consumer is parameters["progressConsumer"] and its queue priority
    // parameters["queuePriority"] (0 when absent).
    std::shared_ptr<TQOperation> operationByActionName(const QString& action, const InvocationPtr& callback,
                                                       const QVariantMap& parameters);
    // The store-side handler "<prefix><action>", or nullptr (logged).
    std::shared_ptr<VUvodozuHandler> handlerByActionName(const QString& action);

    // Performed on the requester's thread: re-fetches the result into the requester's context (the
    // operation's "managedObjectContext", else the master context), invokes the callback with
    // (result, error), and clears the operation's callback.
    Q_INVOKABLE void fetchManagedObjectCallbackArguments(const QVariant& result,
                                                         const QVariant& callbackError,
                                                         const QVariant& callback, const QVariant& operation);

    // 703 with the "UnexpectedError" description and the reason as failure reason.
    static Error unexpectedErrorWithReason(const QString& reason);

private:
    TQSessionProtocol* m_session;
    std::shared_ptr<GDataAuthorizer> m_authentication;
};

} // namespace tavrel
