#include "actions/FileMonitor.h"

#include "model/File.h"
#include "model/TQMOCManager.h"
#include "model/TQMOCMaster.h"
#include "model/TQPlaces.h"
#include "pipeline/TQSessionProtocol.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/ThreadDispatch.h"
#include "platform/system/TQLog.h"
#include "progress/TQProgressManager.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QJsonDocument>
#include <QSaveFile>
#include <QThreadPool>
#include <QTimer>

namespace tavrel {

namespace {

QDateTime modificationDate(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? info.lastModified().toUTC() : QDateTime();
}

} // namespace

std::unique_ptr<FileMonitor> FileMonitor::managerWithSession(TQSessionProtocol* session)
{
    if (!session)
        return nullptr;
    return std::make_unique<FileMonitor>(session);
}

FileMonitor::FileMonitor(TQSessionProtocol* session, QObject* parent) : QObject(parent), m_session(session) {}

FileMonitor::~FileMonitor()
{
    unwatchAll();
}

bool FileMonitor::isMonitoring() const
{
    std::lock_guard lock(m_mutex);
    return m_monitoring;
}

QString FileMonitor::storedMonitoredFilesPath() const
{
    TQMOCManager* store = m_session ? m_session->mocManager() : nullptr;
    const QString folder = store ? TQPlaces::tavrelSupportDirectoryForUsername(store->username()) : QString();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + kStoredFileName;
}

QList<MonitoredFile> FileMonitor::monitoredFiles() const
{
    std::lock_guard lock(m_mutex);
    return m_monitoredFiles.values();
}

bool FileMonitor::storeMonitoredFiles() const
{
    const QString path = storedMonitoredFilesPath();
    if (path.isEmpty())
        return false;
    QJsonObject list;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_monitoredFiles.cbegin(); it != m_monitoredFiles.cend(); ++it)
            list.insert(it.key(), it.value().toJson());
    }
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(list).toJson()) < 0 || !file.commit()) {
        TQLog("E: FileMonitor: Cannot store the monitored files at %@", path);
        return false;
    }
    return true;
}

void FileMonitor::restoreMonitoredFiles()
{
    QHash<QString, MonitoredFile> restored;
    QFile file(storedMonitoredFilesPath());
    if (file.open(QIODevice::ReadOnly)) {
        const QJsonObject list = QJsonDocument::fromJson(file.readAll()).object();
        for (auto it = list.constBegin(); it != list.constEnd(); ++it) {
            const MonitoredFile entry = MonitoredFile::fromJson(it.value().toObject());
            if (!entry.identifier.isEmpty())
                restored.insert(QDir::cleanPath(entry.dirPath), entry);
        }
    }
    std::lock_guard lock(m_mutex);
    // Copies added before the start stay; the stored ones come back beside them.
    for (auto it = restored.cbegin(); it != restored.cend(); ++it)
        if (!m_monitoredFiles.contains(it.key()))
            m_monitoredFiles.insert(it.key(), it.value());
}

bool FileMonitor::start()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_monitoring)
            return false;
        m_monitoring = true;
    }
    restoreMonitoredFiles();
    QList<MonitoredFile> kept;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_monitoredFiles.begin(); it != m_monitoredFiles.end();) {
            if (!QFileInfo::exists(it->fullPath())) {
                TQLog("E: Cannot return a stream for a file that not exist");
                it = m_monitoredFiles.erase(it);
            } else {
                kept.append(*it);
                ++it;
            }
        }
    }
    for (const MonitoredFile& file : std::as_const(kept))
        watch(file);
    storeMonitoredFiles();
    // Saved while the program was not running (or sent without success before): the dates tell.
    for (const MonitoredFile& file : std::as_const(kept))
        if (modificationDate(file.fullPath()) > file.lastModificationDate)
            folderChanged(file.dirPath);
    return true;
}

bool FileMonitor::stop()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_monitoring)
            return false;
        m_monitoring = false;
    }
    unwatchAll();
    storeMonitoredFiles();
    return true;
}

void FileMonitor::clean()
{
    stop();
    const QString path = storedMonitoredFilesPath();
    {
        std::lock_guard lock(m_mutex);
        m_monitoredFiles.clear();
    }
    if (!path.isEmpty())
        QThreadPool::globalInstance()->start([path] { QFile::remove(path); });
}

void FileMonitor::addFileToMonitorAtPath(const QString& path, const std::shared_ptr<File>& record)
{
    if (!record) {
        TQLog("E: FileMonitor: Can not add a file to monitor without a File Entity");
        return;
    }
    const QFileInfo info(path);
    if (!info.exists()) {
        TQLog("E: FileMonitor: The File you are trying to monitor does not exist");
        return;
    }
    const QDateTime date = modificationDate(path);
    if (!date.isValid()) {
        TQLog("E: FileMonitor: Is not possibile to read lastModificationDate!");
        return;
    }
    MonitoredFile entry;
    entry.identifier = record->identifier();
    entry.eTag = record->eTag();
    entry.dirPath = QDir::cleanPath(info.absolutePath());
    entry.filename = info.fileName();
    entry.lastModificationDate = date;
    bool monitoring;
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_monitoredFiles.constFind(entry.dirPath);
        if (found != m_monitoredFiles.constEnd() && found->filename == entry.filename)
            return;
        m_monitoredFiles.insert(entry.dirPath, entry);
        monitoring = m_monitoring;
    }
    storeMonitoredFiles();
    if (monitoring) {
        const QPointer<FileMonitor> self(this);
        ThreadDispatch::performOnMainThread(
            [self, entry] {
                if (self && self->isMonitoring())
                    self->watch(entry);
            },
            ThreadDispatch::isMainThread());
    }
}

QUrl FileMonitor::URLMonitoredFileForFileEntity(const File& record) const
{
    std::lock_guard lock(m_mutex);
    for (const MonitoredFile& entry : m_monitoredFiles)
        if (entry.belongsToFileEntity(record))
            return QUrl::fromLocalFile(entry.fullPath());
    return {};
}

void FileMonitor::removeMonitoredFileAtPath(const QString& path)
{
    const QString folder = QDir::cleanPath(QFileInfo(path).absolutePath());
    {
        std::lock_guard lock(m_mutex);
        if (m_monitoredFiles.remove(folder) == 0)
            return;
    }
    storeMonitoredFiles();
    const QPointer<FileMonitor> self(this);
    ThreadDispatch::performOnMainThread(
        [self, folder] {
            if (!self || !self->m_watcher)
                return;
            self->m_watcher->removePath(folder);
            for (const QString& file : self->m_watcher->files())
                if (QFileInfo(file).absolutePath() == folder)
                    self->m_watcher->removePath(file);
        },
        ThreadDispatch::isMainThread());
}

void FileMonitor::watch(const MonitoredFile& file)
{
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        // The folder tells of a copy replaced by rename (how many programs save); the file of a copy
        // written in place.
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
                [this](const QString& path) { folderChanged(QDir::cleanPath(path)); });
        connect(m_watcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& path) {
            folderChanged(QDir::cleanPath(QFileInfo(path).absolutePath()));
        });
    }
    if (!m_watcher->directories().contains(file.dirPath))
        m_watcher->addPath(file.dirPath);
    if (QFileInfo::exists(file.fullPath()) && !m_watcher->files().contains(file.fullPath()))
        m_watcher->addPath(file.fullPath());
}

void FileMonitor::unwatchAll()
{
    for (QTimer* timer : std::as_const(m_quiet))
        delete timer;
    m_quiet.clear();
    delete m_watcher.data();
}

void FileMonitor::folderChanged(const QString& dirPath)
{
    if (!isMonitoring())
        return;
    QTimer*& timer = m_quiet[dirPath];
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, dirPath] {
            if (QTimer* done = m_quiet.take(dirPath))
                done->deleteLater();
            MonitoredFile entry;
            {
                std::lock_guard lock(m_mutex);
                entry = m_monitoredFiles.value(dirPath);
            }
            // A copy replaced by rename is a new file to the watch: watch it again.
            if (!entry.identifier.isEmpty())
                watch(entry);
            checkModifiedFileAtPath(dirPath);
        });
    }
    // Each write starts the quiet period again: one save, however many writes, sends one revision.
    timer->start(int(kQuietPeriod.milliseconds()));
}

void FileMonitor::checkModifiedFileAtPath(const QString& dirPath)
{
    MonitoredFile entry;
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_monitoredFiles.constFind(QDir::cleanPath(dirPath));
        if (found == m_monitoredFiles.constEnd()) {
            TQLog("I: FileMonitor: Event received for non directly monitored file");
            return;
        }
        entry = *found;
    }
    const QDateTime date = modificationDate(entry.fullPath());
    if (!date.isValid()) {
        TQLog("E: FileMonitor: Is not possibile to read lastModificationDate!");
        return;
    }
    if (!(entry.lastModificationDate < date))
        return;
    if (m_uploading.contains(entry.dirPath)) {
        // Sent again once the revision on its way is done.
        m_changedWhileUploading.insert(entry.dirPath);
        return;
    }
    VUvodozuManager* documents = m_session ? m_session->documentManager() : nullptr;
    TQMOCManager* store = m_session ? m_session->mocManager() : nullptr;
    if (!documents || !store || !store->masterMOC())
        return;
    QVariantMap parameters{{QStringLiteral("progressConsumer"),
                            QVariant::fromValue<QObject*>(TQProgressManager::progressManager())},
                           {QStringLiteral("filePath"), entry.fullPath()}};
    if (const auto record = File::fileWithIdentifier(entry.identifier, store->masterMOC()))
        parameters.insert(QStringLiteral("documentEntity"), QVariant::fromValue(ManagedObjectPtr(record)));
    TQLog("I: FileMonitor: Uploading a new revision of %@", entry.fullPath());
    m_uploading.insert(entry.dirPath);
    const QPointer<FileMonitor> self(this);
    const QString folder = entry.dirPath;
    const InvocationPtr callback = Invocation::invocationWithFunction(
        QStringLiteral("revisionDidUploadWithResult:error:"), [self, folder, date](Invocation& answer) {
            if (self)
                self->revisionDidFinish(folder, date, answer.argument(2),
                                        answer.argument(3).metaType() == QMetaType::fromType<Error>()
                                            ? answer.argument(3).value<Error>()
                                            : Error());
            return QVariant();
        });
    documents->executeAction(QStringLiteral("UploadRevision"), callback, parameters);
}

void FileMonitor::revisionDidFinish(const QString& dirPath, const QDateTime& sent, const QVariant& result,
                                    const Error& error)
{
    m_uploading.remove(dirPath);
    if (error.isNull()) {
        const auto record = std::dynamic_pointer_cast<File>(result.value<ManagedObjectPtr>());
        {
            std::lock_guard lock(m_mutex);
            auto found = m_monitoredFiles.find(dirPath);
            if (found != m_monitoredFiles.end()) {
                found->lastModificationDate = sent;
                // The copy is the service's current version now: opening the document again finds it.
                if (record)
                    found->eTag = record->eTag();
            }
        }
        storeMonitoredFiles();
    } else {
        TQLog("E: FileMonitor: The new revision of %@ was not uploaded: %@", dirPath, error.description());
    }
    if (m_changedWhileUploading.remove(dirPath))
        checkModifiedFileAtPath(dirPath);
}

bool FileMonitor::hasPendingWork() const
{
    return !m_quiet.isEmpty() || !m_uploading.isEmpty();
}

} // namespace tavrel
