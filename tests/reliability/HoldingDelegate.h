#pragma once

#include "platform/store/SaveNotification.h"

#include <QObject>
#include <atomic>

namespace tavrel::test {

// Stands in for the master context as a synchronisation's delegate in the child process: once a
// save has written documents it says so on standard output and holds the synchronisation there,
// between two saves, until the process is killed.
class HoldingDelegate : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE void updateOperationContextDidSave(const tavrel::SaveNotification& notification);
};

} // namespace tavrel::test
