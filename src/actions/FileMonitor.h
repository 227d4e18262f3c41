#pragma once

#include "actions/MonitoredFile.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Timing.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QUrl>
#include <memory>
#include <mutex>

class QFileSystemWatcher;
class QTimer;

namespace tavrel {

class File;
class TQSessionProtocol;

// The locally edited copies of the session's documents (one per private folder) and their watch: when a
// copy's modification date moves forward, its document gets the copy as a new revision
// ("UploadRevision"). Writes are gathered by a quiet period (3 s), so a burst of saves sends one
// revision. The new date is recorded only once the revision is on the service: a failed upload is sent
// again at the next save or start. The list is kept in the account's folder ("fileMonitor"), so a copy
// saved while the program was not running is found at the next start by its date.
//
// Made and watching on the main thread; the list is locked, so copies are added and looked up from any
// thread.
class FileMonitor : public QObject
{
    Q_OBJECT
public:
    static constexpr Timing kQuietPeriod{"fileMonitorQuietPeriod", 3000};
    static inline const QString kStoredFileName = QStringLiteral("fileMonitor");

    // Nothing for no session.
    static std::unique_ptr<FileMonitor> managerWithSession(TQSessionProtocol* session);
    explicit FileMonitor(TQSessionProtocol* session, QObject* parent = nullptr);
    ~FileMonitor() override;

    TQSessionProtocol* session() const { return m_session; }
    bool isMonitoring() const;

    // Restores the list, drops copies that are gone, watches the others and sends the ones changed since
    // their recorded date. False when already monitoring.
    bool start();
    // Ends every watch and stores the list. False when not monitoring.
    bool stop();
    // Stops and forgets the list, on disk too.
    void clean();

    // Watches a fresh copy of the record (any thread); logged and ignored without record or file.
    void addFileToMonitorAtPath(const QString& path, const std::shared_ptr<File>& record);
    // The watched copy made from the record's current version, or nothing (any thread).
    QUrl URLMonitoredFileForFileEntity(const File& record) const;
    // Forgets the copy at the path (any thread).
    void removeMonitoredFileAtPath(const QString& path);
    // A watched folder changed: its copy is sent when its date moved forward (main thread).
    void checkModifiedFileAtPath(const QString& dirPath);

    // The stored list's path, and the list itself (a copy).
    QString storedMonitoredFilesPath() const;
    QList<MonitoredFile> monitoredFiles() const;
    bool storeMonitoredFiles() const;
    void restoreMonitoredFiles();

    // A quiet period is counting or a revision is on its way (tests wait for it to end).
    bool hasPendingWork() const;

private:
    void watch(const MonitoredFile& file);
    void unwatchAll();
    void folderChanged(const QString& dirPath);
    void revisionDidFinish(const QString& dirPath, const QDateTime& sent, const QVariant& result,
                           const Error& error);

    TQSessionProtocol* m_session;
    mutable std::recursive_mutex m_mutex;
    QHash<QString, MonitoredFile> m_monitoredFiles; // folder -> its copy
    bool m_monitoring = false;
    QPointer<QFileSystemWatcher> m_watcher;
    QHash<QString, QTimer*> m_quiet;
    QSet<QString> m_uploading;
    QSet<QString> m_changedWhileUploading;
};

} // namespace tavrel
