#include "pipeline/GDManagerHandler.h"

#include "model/TQLocalizedStrings.h"
#include "pipeline/GDManagerManager.h"
#include "pipeline/IServiceTicket.h"
#include "platform/runtime/Exception.h"

namespace tavrel {

namespace {

QVariant errorValue(const Error& error)
{
    return error.isNull() ? QVariant() : QVariant::fromValue(error);
}

} // namespace

GDManagerHandler::GDManagerHandler() = default;
GDManagerHandler::~GDManagerHandler() = default;

GDManagerManager* GDManagerHandler::gdataManager() const
{
    return qobject_cast<GDManagerManager*>(m_gdataManager.data());
}

void GDManagerHandler::setGdataManager(GDManagerManager* manager)
{
    m_gdataManager = manager;
}

void GDManagerHandler::callHighLevelInvocation(const InvocationPtr& invocation, const QVariantMap& parameter,
                                               const QVariant& feed, const Error& error) const
{
    if (!invocation)
        return;
    QVariantMap result = parameter;
    result.insert(kFeedKey, feed);
    result.insert(kErrorKey, errorValue(error));
    invocation->setArgument(4, result);
    invocation->invoke();
}

void GDManagerHandler::executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters)
{
    Q_UNUSED(invocation);
    Q_UNUSED(parameters);
    throw Exception(kNotImplementedException,
                    QStringLiteral("You must implement this method in your handler"));
}

QVariantMap GDManagerHandler::defaultCallbackForParams(const QVariantMap& result)
{
    Q_UNUSED(result);
    throw Exception(kNotImplementedException,
                    QStringLiteral("You must implement this method in your handler"));
}

void GDManagerHandler::_encapsulateInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                              const QVariant& parameter)
{
    QVariantMap answer;
    if (first) {
        first->setArgument(2, parameter);
        first->invoke();
        answer = first->returnValue().toMap();
    }
    answer.remove(kTicketKey);
    answer.remove(kFetcherKey);
    if (second) {
        second->setArgument(4, answer);
        second->invoke();
    }
}

void GDManagerHandler::_defaultCallbackForFeed(IServiceTicket& ticket, const QVariant& feed,
                                               const Error& error)
{
    Error mappedError = error;
    QVariant mappedFeed = feed;
    defaultHandlingError(&mappedError, &mappedFeed);
    finishTicket(ticket, mappedFeed, mappedError);
}

void GDManagerHandler::_defaultCallbackForBatchFeed(IServiceTicket& ticket, const QVariant& feed,
                                                    const Error& error)
{
    Error mappedError = error;
    QVariant mappedFeed = feed;
    batchDefaultHandlingError(&mappedError, &mappedFeed);
    finishTicket(ticket, mappedFeed, mappedError);
}

void GDManagerHandler::finishTicket(IServiceTicket& ticket, const QVariant& feed, const Error& error)
{
    const InvocationPtr invocation = ticket.propertyForKey(kInvocationKey).value<InvocationPtr>();
    ticket.setProperty(kInvocationKey, QVariant());
    QVariantMap result = ticket.properties();
    result.insert(kTicketKey, ticket.ticketValue());
    result.insert(kErrorKey, errorValue(error));
    result.insert(kFeedKey, feed);
    if (invocation) {
        invocation->setArgument(4, result);
        invocation->invoke();
    }
}

bool GDManagerHandler::defaultHandlingError(Error* error, QVariant* feed) const
{
    if (!error || error->isNull() || error->domain() != kServiceErrorDomain)
        return true;
    *error = Error::errorWithError(*error, GDManagerManager::kErrorDomain,
                                   error->code() == 401 ? GDManagerManager::kNotAuthorizedErrorCode
                                                        : GDManagerManager::kServiceErrorCode);
    if (feed)
        *feed = QVariant();
    return false;
}

bool GDManagerHandler::batchDefaultHandlingError(Error* error, QVariant* feed) const
{
    if (!defaultHandlingError(error, feed))
        return false;
    QVariantList successes;
    QVariantMap failures;
    const QList<BatchEntry> entries = feed ? batchEntriesOfFeed(*feed) : QList<BatchEntry>();
    for (const BatchEntry& entry : entries) {
        // Every 2xx is a success: inserts answer 201.
        if (entry.statusCode >= 200 && entry.statusCode < 300)
            successes.append(entry.entry);
        else if (entry.statusCode == 503)
            failures.insert(entry.batchIdentifier,
                            TQLocalizedStrings::localizedStringForKey(QStringLiteral("tooManyBatchRequest")));
        else
            failures.insert(entry.batchIdentifier, entry.reason);
        if (entry.interrupted) {
            if (feed)
                *feed = successes;
            if (error)
                *error = Error(GDManagerManager::kErrorDomain, GDManagerManager::kBatchErrorCode, failures);
            return false;
        }
    }
    if (feed)
        *feed = successes;
    if (failures.isEmpty() || !error)
        return true;
    *error = Error(GDManagerManager::kErrorDomain, GDManagerManager::kBatchErrorCode, failures);
    return false;
}

QList<GDManagerHandler::BatchEntry> GDManagerHandler::batchEntriesOfFeed(const QVariant& feed) const
{
    Q_UNUSED(feed);
    return {};
}

Error GDManagerHandler::noTicketError()
{
    return Error(GDManagerManager::kErrorDomain, GDManagerManager::kServiceErrorCode,
                 {{Error::kLocalizedDescriptionKey,
                   TQLocalizedStrings::localizedStringForKey(QStringLiteral("NoTicketError"))}});
}

} // namespace tavrel
