#pragma once

#include "pipeline/ActionResultKeys.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Invocation.h"

#include <QObject>
#include <QPointer>
#include <QVariantMap>

namespace tavrel {

class GDManagerManager;
class TQMOCManager;
class TQMOCMaster;
class TQMOCMasterUpdater;
class TQSessionProtocol;
class VUvodozuManager;

// Base of the store-side handlers ("dmh<Action>", "cmh<Action>"), found by class name and made anew
// for each action. A concrete handler is a registered subclass (TAVREL_REGISTER_CLASS) that
// implements:
//   - executeActionAndCall(): validate the parameters, then answer at once through
//     callExternalInvocation() or pass the action on with forwardActionToService() (the family bases
//     wrap it as forwardAction()), forwarding the very invocation it was given;
//   - defaultCallbackForParams() (Q_INVOKABLE): receives the mapped result dictionary {"feed", "error"}
//     on the worker thread, applies it to the store and answers the dictionary for the requester;
//   - gdataManager(), usually through its family base.
// Those three are pure: a handler that leaves one out does not compile. Their bodies are the answer to a
// handler that passes the call up: they log "E: Must override ..." and raise the unrecognised-selector
// exception.
// It may name another operation class in handlerOperationClass() (TQBackgroundHandlerOperation for
// transfers).
class VUvodozuHandler : public QObject
{
    Q_OBJECT
public:
    static inline const QString kDefaultCallbackSelector = QStringLiteral("defaultCallbackForParams:");

    VUvodozuHandler();
    ~VUvodozuHandler() override;

    TQSessionProtocol* session() const { return m_session; }
    void setSession(TQSessionProtocol* session) { m_session = session; }
    // The manager that made this handler; watched, not owned.
    VUvodozuManager* manager() const;
    void setManager(VUvodozuManager* manager);

    // The session's store and its master context (nullptr without a store).
    TQMOCManager* mocManager() const;
    TQMOCMaster* masterMOC() const;
    // The master context's updater, the only writer of service results into it.
    TQMOCMasterUpdater* masterMOCUpdater() const;

    // The service-side manager the action goes on to.
    virtual GDManagerManager* gdataManager() const = 0;

    // Answers without a service call: {"feed": feed, "error": error} (absent values as the null
    // object) as the invocation's argument 4, then invokes it. Nothing for a null invocation.
    void callExternalInvocation(const InvocationPtr& invocation, const QVariant& feed,
                                const Error& error) const;

    // The store-side step of the chain: maps the dictionary's error, gives it to `first` (the
    // handler's defaultCallbackForParams:), and passes the answer's feed and error (the null object
    // as nil) to `second` at arguments 2 and 3.
    virtual void _encapsulateInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                        const QVariant& parameter);

    virtual void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) = 0;
    Q_INVOKABLE virtual QVariantMap defaultCallbackForParams(const QVariantMap& result) = 0;

    // The store-side error mapping of a result dictionary: 601 -> 703 ("UnexpectedError"), 603 -> 704
    // ("SomeFetchError", the feed kept), 602 -> 702; a mapped 601 or 602 loses its feed. Other errors
    // pass unchanged.
    static QVariantMap defaultHandlingError(const QVariantMap& result);

    // The class of the operation that runs this handler.
    virtual QString handlerOperationClass() const;

    // The error of a required parameter that is missing or of the wrong class (701).
    static Error missingParameterError();
    // The raised unrecognised-selector exception of an abstract method.
    [[noreturn]] static void raiseUnrecognizedSelector(const QObject* receiver, const char* selector);

protected:
    // Passes the action on to gdataManager() with the very invocation it was given; without a service
    // manager the requester gets 703 with the reason.
    void forwardActionToService(const QString& action, const InvocationPtr& invocation,
                                const QVariantMap& parameters, const QString& noServiceReason) const;

private:
    TQSessionProtocol* m_session = nullptr;
    QPointer<QObject> m_manager;
};

} // namespace tavrel
