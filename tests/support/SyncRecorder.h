#pragma once

#include "platform/runtime/Error.h"

#include <QList>
#include <QObject>
#include <QThread>
#include <QVariant>
#include <atomic>
#include <chrono>

namespace tavrel::test {

// Stands in for the session as requester of a synchronisation: records its progress reports and its
// callback (how many, the error, when and on which thread).
class SyncRecorder : public QObject
{
    Q_OBJECT
public:
    struct Report
    {
        int status = 0;
        float processed = 0;
        quint64 total = 0;
        float percentage = 0;
    };

    Q_INVOKABLE void progressStatus(int status, float processed, quint64 total, float percentage);
    Q_INVOKABLE void synchronisationDidFinishWithError(const QVariant& error);

    std::atomic<int> calls = 0;
    Error error;
    QList<Report> reports;
    std::chrono::steady_clock::time_point finishedAt;
    QThread* callbackThread = nullptr;
};

} // namespace tavrel::test
