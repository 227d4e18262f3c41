#pragma once

#include "pipeline/ActionResultKeys.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Invocation.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

namespace tavrel {

class GDManagerManager;
class IServiceTicket;

// Base of the service-side handlers ("gddmh<Action>", "gdcmh<Action>"), found by class name and made
// anew for each action. A concrete handler is a registered subclass that implements:
//   - executeActionAndCall(): start the service call with a completion that ends in
//     _defaultCallbackForFeed() (or _defaultCallbackForBatchFeed()), and park the invocation it was
//     given as the ticket's property "invocation"; when no ticket comes back, answer through
//     callHighLevelInvocation() with noTicketError();
//   - defaultCallbackForParams() (Q_INVOKABLE): receives the raw result dictionary and answers the one
//     for the store side (often unchanged; it must keep "error").
// Service errors are mapped into the domain "rez.uzorevuza.GDManagerErrorDomain" (401 -> 602, any
// other -> 601, failed batch entries -> 603).
class GDManagerHandler : public QObject
{
    Q_OBJECT
public:
    static inline const QString kTicketKey = QStringLiteral("ticket");
    static inline const QString kFetcherKey = QStringLiteral("fetcher");
    static inline const QString kInvocationKey = QStringLiteral("invocation");
    static inline const QString kParameterKey = QStringLiteral("parameter");
    static inline const QString kDefaultCallbackSelector = QStringLiteral("defaultCallbackForParams:");
    // The domain of the service client's HTTP failures (the HTTP status is the code).
    static inline const QString kServiceErrorDomain = QStringLiteral("GDataServiceDomain");
    static inline const QString kNotImplementedException = QStringLiteral("GDataHandlerMethodNotImplemented");

    // One answered entry of a batch request.
    struct BatchEntry
    {
        QVariant entry;
        QString batchIdentifier;
        int statusCode = 0;
        QString reason;
        bool interrupted = false; // the service stopped the batch after this entry
    };

    GDManagerHandler();
    ~GDManagerHandler() override;

    // The manager that made this handler; watched, not owned.
    GDManagerManager* gdataManager() const;
    void setGdataManager(GDManagerManager* manager);

    // Answers without a service call: the parameters plus "feed" and "error" (absent values as the
    // null object) as the invocation's argument 4, then invokes it. Nothing for a null invocation.
    void callHighLevelInvocation(const InvocationPtr& invocation, const QVariantMap& parameter,
                                 const QVariant& feed, const Error& error) const;

    // Pure: a handler implements both. Their bodies, for a handler that passes the call up, raise
    // "GDataHandlerMethodNotImplemented".
    virtual void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) = 0;
    Q_INVOKABLE virtual QVariantMap defaultCallbackForParams(const QVariantMap& result) = 0;

    // The service-side step of the chain: gives the dictionary to `first` (defaultCallbackForParams:),
    // removes "ticket" and "fetcher" from its answer and hands that to `second` (the store side) as
    // argument 4.
    virtual void _encapsulateInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                        const QVariant& parameter);

    // The ticket callbacks of single and batch requests: map the error, take the parked invocation
    // out of the ticket and invoke it with the ticket's properties plus "ticket", "error" and "feed".
    void _defaultCallbackForFeed(IServiceTicket& ticket, const QVariant& feed, const Error& error);
    void _defaultCallbackForBatchFeed(IServiceTicket& ticket, const QVariant& feed, const Error& error);

    // A service error becomes 602 (HTTP 401) or 601 with a null feed; answers false then. Other
    // errors are left alone.
    bool defaultHandlingError(Error* error, QVariant* feed) const;
    // As defaultHandlingError(), then the feed becomes the list of the entries that succeeded and,
    // when some failed or the batch was interrupted, the error a 603 whose user info maps each failed
    // entry's batch identifier to its reason.
    bool batchDefaultHandlingError(Error* error, QVariant* feed) const;
    // The answered entries of a batch feed, in order; the service handler families read them from
    // their feed objects. None here.
    virtual QList<BatchEntry> batchEntriesOfFeed(const QVariant& feed) const;

    // 601 with the "NoTicketError" description: the service call could not be started.
    static Error noTicketError();

private:
    void finishTicket(IServiceTicket& ticket, const QVariant& feed, const Error& error);

    QPointer<QObject> m_gdataManager;
};

} // namespace tavrel
