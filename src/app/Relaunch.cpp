#include "app/Relaunch.h"

#include "app/CordelAppDelegate.h"
#include "app/InstanceChannel.h"
#include "app/LaunchCommand.h"
#include "platform/system/TQLog.h"

#include <QProcess>

namespace tavrel {

qint64 Relaunch::relaunch(InstanceChannel& channel, CordelAppDelegate& delegate, const QString& program,
                          const QStringList& arguments)
{
    channel.close();
    qint64 pid = 0;
    if (!QProcess::startDetached(program, LaunchCommand::optionArguments(arguments), QString(), &pid)) {
        TQLog("E: Restart: cannot start %@", program);
        channel.listen();
        return 0;
    }
    TQLog("Restart: started process %@, this one quits", QString::number(pid));
    delegate.terminate(nullptr);
    return pid;
}

} // namespace tavrel
