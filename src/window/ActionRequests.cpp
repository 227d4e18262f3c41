#include "window/ActionRequests.h"

#include "platform/system/TQLog.h"
#include "session/TQSessionManager.h"

#include <atomic>

namespace tavrel {

namespace {
ActionRequests::Recorder* g_recorder = nullptr;
} // namespace

void ActionRequests::execute(Manager manager, const QString& action, const InvocationPtr& callback,
                             const QVariantMap& parameters)
{
    if (g_recorder) {
        g_recorder->requests.append({manager, action, callback, parameters});
        return;
    }
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    VUvodozuManager* target = nullptr;
    if (session)
        target = manager == Manager::Documents ? static_cast<VUvodozuManager*>(session->documentManager())
                                               : static_cast<VUvodozuManager*>(session->contactManager());
    if (!target) {
        TQLog("E: No session to run the action %@", action);
        return;
    }
    target->executeAction(action, callback, parameters);
}

quint64 ActionRequests::uniqueNumber()
{
    static std::atomic<quint64> counter{0};
    return ++counter;
}

ActionRequests::Recorder::Recorder()
{
    g_recorder = this;
}

ActionRequests::Recorder::~Recorder()
{
    if (g_recorder == this)
        g_recorder = nullptr;
}

QList<ActionRequests::Request> ActionRequests::Recorder::requestsOf(const QString& action) const
{
    QList<Request> found;
    for (const Request& request : requests)
        if (request.action == action)
            found.append(request);
    return found;
}

void ActionRequests::Recorder::answerLast(const QVariant& result, const QVariant& error)
{
    if (requests.isEmpty() || !requests.last().callback)
        return;
    const InvocationPtr callback = requests.last().callback;
    callback->setArgument(Invocation::kFirstArgument, result);
    callback->setArgument(Invocation::kFirstArgument + 1, error);
    callback->invoke();
}

} // namespace tavrel
