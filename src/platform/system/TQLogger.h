#pragma once

#include <QString>
#include <QtGlobal>
#include <mutex>

namespace tavrel {

// The process-wide log writer behind TQLog: appends one line per message to Paths::logFile()
// (local time, the identity "Tavrel" with the process id, the level and the message), and to stderr
// in debug builds. Lines from several threads are written whole, never interleaved. Once
// installMessageHandler() ran, Qt's own messages (qWarning, qCWarning ...) are lines of the log too.
class TQLogger
{
public:
    // The shared writer, set up on first use; nullptr while the log file can't be made or opened, in
    // which case every later call tries the set-up again.
    static TQLogger* logger();

    // Writes the message as one line at the informational level.
    void logFormat(const QString& message);

    // Makes Qt's messages lines of the log at their own level ("<Warning>" ...), then hands them to
    // the handler that was installed before (the console). Messages of categories outside the
    // program's own carry the category's name in front. Installing twice changes nothing.
    static void installMessageHandler();

    // Closes the log file so that the next message sets up again at the current Paths::logFile()
    // (tests point the home elsewhere and start a "new run").
    static void resetForTesting();

    TQLogger(const TQLogger&) = delete;
    TQLogger& operator=(const TQLogger&) = delete;

private:
    TQLogger() = default;
    bool setUp();
    void writeLine(const char* level, const QString& message, bool echo);
    static void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message);

    std::mutex m_writeMutex;
    int m_descriptor = -1;
};

} // namespace tavrel
