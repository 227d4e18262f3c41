#pragma once

#include <QString>
#include <QStringList>

namespace tavrel {

class CordelAppDelegate;
class InstanceChannel;

// "Restart Now" of the preferences: the program starts itself again and quits. The channel closes
// first, so that the new process takes it over instead of handing its start back here; the new one
// then waits for this one to save and let go of its store (InstanceLock) before it opens it. Only the
// options travel: a command of this start (files to upload) must not run twice.
class Relaunch
{
public:
    // The new process's id; 0 when it could not be started, and this one then keeps running and
    // listening.
    static qint64 relaunch(InstanceChannel& channel, CordelAppDelegate& delegate, const QString& program,
                           const QStringList& arguments);
};

} // namespace tavrel
