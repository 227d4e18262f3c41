#pragma once

#include "platform/runtime/Error.h"

#include <QObject>
#include <QVariant>

namespace tavrel::bench {

// Stands in for the session as requester of a synchronisation: counts callbacks and keeps the error.
class SyncRequester : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void synchronisationDidFinishWithError(const QVariant& error);

    int calls = 0;
    Error error;
};

} // namespace tavrel::bench
