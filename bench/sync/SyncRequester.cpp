#include "SyncRequester.h"

#include "session/TQActionRequester.h"

namespace tavrel::bench {

void SyncRequester::synchronisationDidFinishWithError(const QVariant& answer)
{
    error = TQActionRequester::errorFromVariant(answer);
    ++calls;
}

} // namespace tavrel::bench
