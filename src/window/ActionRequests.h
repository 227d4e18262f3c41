#pragma once

#include "platform/runtime/Invocation.h"

#include <QList>
#include <QString>
#include <QVariantMap>

namespace tavrel {

// The way the window and its views ask the current session's managers for an action: one place that
// knows where the managers are, and where a test can see the requests instead of running them.
class ActionRequests
{
public:
    enum class Manager { Documents, Contacts };

    struct Request
    {
        Manager manager = Manager::Documents;
        QString action;
        InvocationPtr callback;
        QVariantMap parameters;
    };

    // Queues the action on the manager of the current session with the callback (may be null); without
    // a session it is logged and dropped.
    static void execute(Manager manager, const QString& action, const InvocationPtr& callback,
                        const QVariantMap& parameters);
    static void executeDocumentAction(const QString& action, const InvocationPtr& callback,
                                      const QVariantMap& parameters)
    {
        execute(Manager::Documents, action, callback, parameters);
    }

    // A number no other request of the process has, for the status identifiers ("upload_%llu") and
    // the notification identifiers of the requests.
    static quint64 uniqueNumber();

    // While one exists, requests are recorded here and nothing is queued (tests).
    class Recorder
    {
    public:
        Recorder();
        ~Recorder();
        Recorder(const Recorder&) = delete;
        Recorder& operator=(const Recorder&) = delete;

        QList<Request> requests;
        // The requests of one action, in order.
        QList<Request> requestsOf(const QString& action) const;
        // Answers the last request's callback with the result and error, as the pipeline does.
        void answerLast(const QVariant& result, const QVariant& error = {});
    };
};

} // namespace tavrel
