#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace tavrel {

// The crash reporter, kept on this machine: a run marks itself as running, and the next start that
// finds the mark of a run that never quit keeps that run's last log lines in the crash-reports folder
// and logs where. Nothing is sent anywhere. Once started it hands control back to its delegate
// (showMainApplicationWindow) on the next turn of the event loop: the start never waits for it.
class CrashReporter : public QObject
{
    Q_OBJECT
public:
    static inline const QString kHandBackSelector = QStringLiteral("showMainApplicationWindow");
    // Lines of the log kept with a report.
    static constexpr int kReportedLogLines = 200;

    static CrashReporter* sharedManager();

    void configureWithIdentifier(const QString& identifier, const QString& companyName,
                                 QObject* crashReportManagerDelegate);
    void startManager();
    // The program quits normally: the running mark goes.
    void applicationWillTerminate();

    QString identifier() const { return m_identifier; }
    QString companyName() const { return m_companyName; }
    bool didCrashInLastSession() const { return m_didCrashInLastSession; }
    // The report of the run that ended without quitting, when this start found one.
    QString lastCrashReport() const { return m_lastCrashReport; }
    bool isStarted() const { return m_started; }

    static QString crashReportsFolder();
    static QString runningMarkFile();

    void resetForTesting();

private:
    CrashReporter() = default;
    void keepReportOfLastRun();

    QString m_identifier;
    QString m_companyName;
    QPointer<QObject> m_delegate;
    bool m_started = false;
    bool m_didCrashInLastSession = false;
    QString m_lastCrashReport;
};

} // namespace tavrel
