#include "app/CrashReporter.h"

#include "platform/system/Paths.h"
#include "platform/system/TQLog.h"
#include "platform/ui/MethodNames.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QTimer>

namespace tavrel {

CrashReporter* CrashReporter::sharedManager()
{
    static CrashReporter* shared = new CrashReporter();
    return shared;
}

QString CrashReporter::crashReportsFolder()
{
    return Paths::stateHome() + QStringLiteral("/Tavrel/CrashReports");
}

QString CrashReporter::runningMarkFile()
{
    return Paths::stateHome() + QStringLiteral("/Tavrel/running");
}

void CrashReporter::configureWithIdentifier(const QString& identifier, const QString& companyName,
                                            QObject* crashReportManagerDelegate)
{
    m_identifier = identifier;
    m_companyName = companyName;
    m_delegate = crashReportManagerDelegate;
}

void CrashReporter::startManager()
{
    if (m_started)
        return;
    m_started = true;
    if (QFile::exists(runningMarkFile()))
        keepReportOfLastRun();
    QDir().mkpath(QFileInfo(runningMarkFile()).absolutePath());
    QFile mark(runningMarkFile());
    if (mark.open(QIODevice::WriteOnly | QIODevice::Truncate))
        mark.write(QByteArray::number(QCoreApplication::applicationPid()));
    else
        TQLog("E: CrashReporter: cannot write %@: %@", runningMarkFile(), mark.errorString());

    QPointer<QObject> delegate = m_delegate;
    QTimer::singleShot(0, this, [delegate] {
        if (delegate)
            QMetaObject::invokeMethod(delegate, Methods::showMainApplicationWindow, Qt::DirectConnection);
    });
}

void CrashReporter::applicationWillTerminate()
{
    if (m_started)
        QFile::remove(runningMarkFile());
}

void CrashReporter::keepReportOfLastRun()
{
    m_didCrashInLastSession = true;
    QStringList lines;
    QFile log(Paths::logFile());
    if (log.open(QIODevice::ReadOnly)) {
        // The end of the log is enough: read only its last part.
        constexpr qint64 kTail = 256 * 1024;
        if (log.size() > kTail)
            log.seek(log.size() - kTail);
        lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
        if (lines.size() > kReportedLogLines)
            lines = lines.mid(lines.size() - kReportedLogLines);
    }
    QDir().mkpath(crashReportsFolder());
    const QString report = crashReportsFolder() + QStringLiteral("/") +
                           QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                           QStringLiteral(".log");
    QFile file(report);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(lines.join(QLatin1Char('\n')).toUtf8());
        m_lastCrashReport = report;
    }
    TQLog("E: CrashReporter: the last run ended without quitting; its last log lines are in %@", report);
}

void CrashReporter::resetForTesting()
{
    m_identifier.clear();
    m_companyName.clear();
    m_delegate = nullptr;
    m_started = false;
    m_didCrashInLastSession = false;
    m_lastCrashReport.clear();
}

} // namespace tavrel
