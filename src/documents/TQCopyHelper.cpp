#include "documents/TQCopyHelper.h"

#include "actions/TransferKeys.h"
#include "actions/TransferSupport.h"
#include "actions/gddmhGetFile.h"
#include "model/FileEntryAbstract.h"
#include "model/TQPreferencesManager.h"
#include "platform/store/ManagedObject.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QThread>
#include <QUrl>
#include <QWidget>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavrel {

namespace {

const QString kDestinationURLsKey = QStringLiteral("destinationURLs");
const QString kExistedURLsKey = QStringLiteral("existedURLs");
// The file name worked out from the record on the thread that owns it, for a background run.
const QString kResolvedNameKey = QStringLiteral("TQCopyHelperFileName");
constexpr qint64 kChunkSize = 1 << 20;

// What the run has decided about destinations that already hold something.
enum class Decision { None, Remove };

QList<QUrl> urlsOf(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<QList<QUrl>>())
        return value.value<QList<QUrl>>();
    QList<QUrl> urls;
    for (const QVariant& each : value.toList())
        urls.append(each.metaType() == QMetaType::fromType<QUrl>() ? each.toUrl()
                                                                   : QUrl::fromUserInput(each.toString()));
    return urls;
}

QString localPath(const QUrl& url)
{
    return url.isLocalFile() ? QDir::cleanPath(url.toLocalFile()) : QString();
}

QString fileNameForRecord(const std::shared_ptr<FileEntryAbstract>& record)
{
    return TransferSupport::safeFileName(record->title(),
                                         gddmhGetFile::exportFormatForResourceID(record->resourceId()));
}

// Copies the source into a new temporary file in the destination's folder; answers its path, or
// nothing with the reason.
QString writeTemporaryCopy(const QString& source, const QString& destination, QString* error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return {};
    }
    const QFileInfo target(destination);
    QTemporaryFile out(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                       QStringLiteral(".XXXXXX.part"));
    if (!out.open()) {
        *error = out.errorString();
        return {};
    }
    QByteArray chunk;
    while (!(chunk = in.read(kChunkSize)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            *error = out.errorString();
            return {};
        }
    }
    if (in.error() != QFileDevice::NoError) {
        *error = in.errorString();
        return {};
    }
    if (!out.flush()) {
        *error = out.errorString();
        return {};
    }
    // A downloaded file reads as any file the user saves (the temporary one is private).
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                       QFileDevice::ReadOther);
    out.setAutoRemove(false);
    return out.fileName();
}

// Puts the finished copy in place: over the destination when replacing, else at the first name at
// which nothing exists (the rename refuses to overwrite, so a file appearing meanwhile is kept too).
// Answers the path taken, or nothing with the reason; the temporary copy never stays behind.
QString moveIntoPlace(const QString& temporary, const QString& destination, bool replace, QString* error)
{
    QString taken;
    if (replace) {
        if (std::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(destination).constData()) == 0)
            taken = destination;
        else
            *error = QString::fromLocal8Bit(std::strerror(errno));
    } else {
        // A few tries: each failure is a name taken since it was found free.
        for (int attempt = 0; attempt < 100 && taken.isEmpty(); ++attempt) {
            const QString candidate = TQCopyHelper::freePathFor(destination);
            QFile file(temporary);
            if (file.rename(candidate))
                taken = candidate;
            else if (!QFileInfo::exists(candidate)) {
                *error = file.errorString();
                break;
            }
        }
        if (taken.isEmpty() && error->isEmpty())
            *error = QStringLiteral("no free name");
    }
    if (taken.isEmpty())
        QFile::remove(temporary);
    return taken;
}

} // namespace

TQCopyHelper* TQCopyHelper::copingHelper()
{
    static TQCopyHelper* helper = new TQCopyHelper;
    return helper;
}

void TQCopyHelper::setInteractionWindow(QWidget* window)
{
    QMutexLocker lock(&m_mutex);
    m_interactionWindow = window;
}

QWidget* TQCopyHelper::interactionWindow() const
{
    QMutexLocker lock(&m_mutex);
    return m_interactionWindow;
}

QString TQCopyHelper::downloadsFolder()
{
    const QByteArray bookmark = TQPreferencesManager::sharedManager()->downloadsBookmark();
    if (!bookmark.isEmpty()) {
        const QString folder = QString::fromUtf8(bookmark);
        if (QFileInfo(folder).isDir())
            return QDir::cleanPath(folder);
        TQLog("Cannot resolve secure-scope bookmark: %@", QStringLiteral("no folder at %1").arg(folder));
    }
    return Paths::downloadsFolder();
}

QString TQCopyHelper::freePathFor(const QString& path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return path;
    const QFileInfo info(path);
    const QString name = info.fileName();
    // The extension is what follows the last dot of a name that does not begin with it.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0;
    const QString base = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    const QDir folder = info.dir();
    for (quint64 n = 1;; ++n) {
        const QString candidate = folder.filePath(QStringLiteral("%1 (%2)").arg(base).arg(n) + extension);
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

QStringList TQCopyHelper::copyDownloads(const QVariantList& results)
{
    QStringList written;
    // Once a run meets the placeholder of a promised file, it removes such placeholders: only they,
    // never a file that was there before the promise.
    Decision decision = Decision::None;
    for (qsizetype index = 0; index < results.size(); ++index) {
        const QVariantMap item = results.at(index).toMap();
        const QUrl source = item.value(TransferKeys::kFileURL).toUrl();
        const ManagedObjectPtr object =
            item.value(TransferKeys::kDocumentEntity).value<std::shared_ptr<ManagedObject>>();
        const auto record = std::dynamic_pointer_cast<FileEntryAbstract>(object);
        if (source.isEmpty() || !record) {
            TQLog("E: GetFile action returned empty 'feed'");
            continue;
        }

        const QList<QUrl> destinations = urlsOf(item.value(kDestinationURLsKey));
        const QString promised = index < destinations.size() ? localPath(destinations.at(index)) : QString();
        QString destination = promised;
        if (destination.isEmpty()) {
            const QString name = item.contains(kResolvedNameKey) ? item.value(kResolvedNameKey).toString()
                                                                 : fileNameForRecord(record);
            if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
                TQLog("E: Cannot copy <%@>: the document has no usable name", source.toString());
                continue;
            }
            const QString folder = downloadsFolder();
            QDir().mkpath(folder);
            destination = QDir(folder).filePath(name);
        }

        bool placeholder = false;
        if (!promised.isEmpty() && item.contains(kExistedURLsKey)) {
            bool existed = false;
            for (const QUrl& url : urlsOf(item.value(kExistedURLsKey)))
                existed = existed || localPath(url) == promised;
            placeholder = !existed;
        }
        if (placeholder)
            decision = Decision::Remove;
        const bool replace = placeholder && decision == Decision::Remove;

        QString error;
        QString target = replace ? destination : freePathFor(destination);
        const QString temporary = writeTemporaryCopy(source.toLocalFile(), target, &error);
        if (!temporary.isEmpty())
            target = moveIntoPlace(temporary, target, replace, &error);
        if (temporary.isEmpty() || target.isEmpty()) {
            TQLog("E: Cannot copy <%@> to <%@>. Error: %@", source.toString(),
                  QUrl::fromLocalFile(destination).toString(), error);
            continue;
        }
        TQLog("Downloaded file to: %@", QUrl::fromLocalFile(target).toString());
        written.append(target);
    }
    return written;
}

QThread* TQCopyHelper::copyDownloadsInBackground(const QVariantList& results)
{
    // Records belong to the caller's thread: their names are read here.
    QVariantList resolved;
    for (const QVariant& result : results) {
        QVariantMap item = result.toMap();
        const auto record = std::dynamic_pointer_cast<FileEntryAbstract>(
            item.value(TransferKeys::kDocumentEntity).value<std::shared_ptr<ManagedObject>>());
        if (record)
            item.insert(kResolvedNameKey, fileNameForRecord(record));
        resolved.append(item);
    }
    QThread* thread = QThread::create([this, resolved] { copyDownloads(resolved); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    return thread;
}

} // namespace tavrel
