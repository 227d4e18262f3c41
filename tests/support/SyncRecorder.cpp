#include "SyncRecorder.h"

#include "pipeline/TQActionRequester.h"

namespace tavrel::test {

void SyncRecorder::progressStatus(int status, float processed, quint64 total, float percentage)
{
    reports.append({status, processed, total, percentage});
}

void SyncRecorder::synchronisationDidFinishWithError(const QVariant& answer)
{
    finishedAt = std::chrono::steady_clock::now();
    callbackThread = QThread::currentThread();
    error = TQActionRequester::errorFromVariant(answer);
    ++calls;
}

} // namespace tavrel::test
