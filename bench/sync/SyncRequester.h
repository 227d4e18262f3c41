#pragma once

#include "platform/runtime/Error.h"

#include <QObject>
#include <QVariant>
#include <atomic>
#include <chrono>

namespace tavrel::bench {

// Stands in for the session as requester of a synchronisation: counts callbacks, keeps the error and
// the time of the callback.
class SyncRequester : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void synchronisationDidFinishWithError(const QVariant& error);

    std::atomic<int> calls = 0;
    std::chrono::steady_clock::time_point finishedAt; // when the callback came, on whatever thread
    Error error;
};

} // namespace tavrel::bench
