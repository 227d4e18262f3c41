#include "model/CacheHandlerAbstract.h"

#include "platform/system/TQLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tavrel {

namespace {

// Names in a folder, hidden ones skipped; nothing (and false) when it cannot be listed.
bool listFolder(const QString& path, QStringList* names)
{
    QDir folder(path);
    if (!folder.exists())
        return false;
    *names = folder.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    return true;
}

bool removePath(const QString& path, QString* reason)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink()) {
        if (QDir(path).removeRecursively())
            return true;
    } else if (QFile::remove(path)) {
        return true;
    }
    *reason = QStringLiteral("cannot remove %1").arg(path);
    return false;
}

} // namespace

CacheHandlerAbstract::CacheHandlerAbstract(QObject* session) : m_session(session) {}

CacheHandlerAbstract::~CacheHandlerAbstract() = default;

QUrl CacheHandlerAbstract::addFileAtURL(const QUrl& url, const IGoogleObject& object) const
{
    const QString source = url.toLocalFile();
    const QFileInfo sourceInfo(source);
    if (source.isEmpty() || !sourceInfo.exists()) {
        TQLog("E: CacheManager: No file at specified URL");
        return {};
    }
    const QUrl folderURL = URLForObject(object);
    if (folderURL.isEmpty())
        return {};
    const QString folder = folderURL.toLocalFile();
    if (!QDir().mkpath(folder)) {
        TQLog("E: CacheManager: Can not create caché directory %@, reason: %@", folder,
              QStringLiteral("the folder cannot be made"));
        return {};
    }
    const QString name = sourceInfo.fileName();
    const QString target = folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(target))
        return QUrl::fromLocalFile(target);
    // The leaf holds one file: an older one under another name goes first, or the next search would
    // find two and throw both away.
    QStringList present;
    if (listFolder(folder, &present)) {
        for (const QString& other : std::as_const(present)) {
            QString reason;
            if (!removePath(folder + QLatin1Char('/') + other, &reason))
                TQLog("E: CacheManager: Impossible to delete item at url: %@, error: %@", folder, reason);
        }
    }
    if (!QFile::rename(source, target)) {
        TQLog("E: CacheManager: It's not possible to move file at path %@, reason: %@", target,
              QStringLiteral("the file cannot be moved from %1").arg(source));
        QFile::remove(target); // a copy across file systems that stopped midway
        return {};
    }
    return QUrl::fromLocalFile(target);
}

QUrl CacheHandlerAbstract::searchObject(const IGoogleObject& object) const
{
    const QUrl folderURL = URLForObject(object);
    if (folderURL.isEmpty())
        return {};
    const QString folder = folderURL.toLocalFile();
    QStringList names;
    if (!listFolder(folder, &names))
        return {};
    if (names.size() == 1)
        return QUrl::fromLocalFile(folder + QLatin1Char('/') + names.first());
    // Empty or damaged: gone, so that it is fetched again.
    deleteDataForObject(object);
    return {};
}

void CacheHandlerAbstract::deleteDataForObject(const IGoogleObject& object) const
{
    const QUrl rootURL = URLRootForObject(object);
    if (rootURL.isEmpty())
        return;
    const QString root = rootURL.toLocalFile();
    if (!QFileInfo::exists(root))
        return;
    QString reason;
    if (!removePath(root, &reason))
        TQLog("E: CacheManager: Impossible to delete item at url: %@, error: %@", root, reason);
}

} // namespace tavrel
