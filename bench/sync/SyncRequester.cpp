#include "SyncRequester.h"

#include "pipeline/TQActionRequester.h"

#include <QThread>
#include <cstdio>

namespace tavrel::bench {

void SyncRequester::synchronisationDidFinishWithError(const QVariant& answer)
{
    finishedAt = std::chrono::steady_clock::now();
    if (QThread::currentThread() != thread())
        std::fprintf(stderr, "the callback came on another thread\n");
    error = TQActionRequester::errorFromVariant(answer);
    ++calls;
}

} // namespace tavrel::bench
