#include "actions/TransferSupport.h"

#include "model/File.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/IGeneralACLPermission.h"
#include "model/TQCacheManager.h"
#include "model/TQLocalizedStrings.h"
#include "model/TQMOCManager.h"
#include "pipeline/TQSessionProtocol.h"
#include "platform/runtime/FileNameEncoding.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/TemporaryFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSequentialIterable>

namespace tavrel {

bool TransferSupport::isError(const QVariant& value)
{
    return !errorOf(value).isNull();
}

Error TransferSupport::errorOf(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<Error>() ? value.value<Error>() : Error();
}

QVariant TransferSupport::errorValue(const Error& error)
{
    return error.isNull() ? QVariant() : QVariant::fromValue(error);
}

QVariantMap TransferSupport::stepArguments(const QVariantMap& arguments)
{
    QVariantMap step = arguments;
    step.remove(QStringLiteral("actionID"));
    step.remove(QStringLiteral("managedObjectContext"));
    return step;
}

bool TransferSupport::isList(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QVariantList || value.metaType().id() == QMetaType::QStringList)
        return true;
    if (value.metaType().id() == QMetaType::QString || value.metaType().id() == QMetaType::QByteArray)
        return false;
    return value.isValid() && value.canView<QSequentialIterable>();
}

bool TransferSupport::isGeneralACLPermission(const QVariant& value)
{
    if (recordOf<IGeneralACLPermission>(value))
        return true;
    if (value.metaType() == QMetaType::fromType<std::shared_ptr<GeneralACLPermissionAdapter>>())
        return bool(value.value<std::shared_ptr<GeneralACLPermissionAdapter>>());
    if (value.metaType() == QMetaType::fromType<std::shared_ptr<IGeneralACLPermission>>())
        return bool(value.value<std::shared_ptr<IGeneralACLPermission>>());
    return false;
}

std::shared_ptr<FileEntryAbstract> TransferSupport::recordForEntry(TQSessionProtocol* session,
                                                                   const GDataEntryDocBase& entry)
{
    TQMOCManager* store = session ? session->mocManager() : nullptr;
    ManagedObjectContext* context = store ? store->managedObjectContextForCurrentThread() : nullptr;
    if (!context)
        return nullptr;
    const QString identifier = FileEntryAbstract::identifierFromGDataResourceId(entry.resourceID());
    context->lock();
    const auto record = FileEntryAbstract::fileEntryAbstractWithIdentifier(identifier, context);
    // Loaded before the change reached the store: read it again.
    if (record && !record->isFault() && !record->isInserted())
        context->refreshObject(record, true);
    context->unlock();
    return record;
}

QUrl TransferSupport::cacheCopyOfFile(TQSessionProtocol* session, const std::shared_ptr<File>& record,
                                      const QUrl& fileURL)
{
    if (!record || !session || !session->cacheManager())
        return {};
    const QUrl copy = TemporaryFiles::fileSystemCopyFileToUniqueURLfromFileAtURL(fileURL);
    if (copy.isEmpty()) {
        // The unique folder may have been made before the copy failed.
        return {};
    }
    return cacheDownloadedFile(session, record, copy);
}

QUrl TransferSupport::cacheDownloadedFile(TQSessionProtocol* session, const std::shared_ptr<File>& record,
                                          const QUrl& fileURL)
{
    TQCacheManager* cache = session ? session->cacheManager() : nullptr;
    if (!cache || !record || fileURL.isEmpty())
        return {};
    cache->addData({{kTQCacheTypeFileDocument, fileURL}}, record.get());
    const QUrl cached = cache->searchObject(record.get(), kTQCacheTypeFileDocument);
    // The download's own unique folder holds nothing worth keeping now.
    const QFileInfo left(fileURL.toLocalFile());
    if (left.exists())
        QFile::remove(left.filePath());
    QDir().rmdir(left.path());
    return cached;
}

quint64 TransferSupport::uploadSizeOfPath(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    if (!info.isDir())
        return quint64(info.size());
    quint64 total = 0;
    const QFileInfoList entries =
        QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries)
        if (!entry.fileName().startsWith(QLatin1Char('.')))
            total += uploadSizeOfPath(entry.filePath());
    return total;
}

namespace {
Error fileError(int code, const QString& key, const QString& name)
{
    return Error(
        Error::kPOSIXErrorDomain, code,
        {{Error::kLocalizedDescriptionKey, TQLocalizedStrings::localizedStringForKey(key).arg(name)}});
}
} // namespace

Error TransferSupport::missingFileError(const QString& name)
{
    return fileError(2, QStringLiteral("TransferFileMissingError"), name); // ENOENT
}

Error TransferSupport::unreadableFileError(const QString& name)
{
    return fileError(13, QStringLiteral("TransferFileUnreadableError"), name); // EACCES
}

Error TransferSupport::copyFailedError(const QString& name)
{
    return fileError(5, QStringLiteral("TransferCopyFailedError"), name); // EIO
}

QString TransferSupport::safeFileName(const QString& title, const QString& extension)
{
    QString clean;
    clean.reserve(title.size());
    for (const QChar c : title)
        clean += (c.category() == QChar::Other_Control || c == QChar(0x7f)) ? QLatin1Char(' ') : c;
    clean = clean.trimmed();
    QString name = FileNameEncoding::stringByEncodingFileName(clean);
    if (name.isEmpty())
        name = QStringLiteral("Untitled");
    // A name that begins with a dot would be hidden (and skipped by the caches).
    if (name.startsWith(QLatin1Char('.')))
        name = QStringLiteral("%2E") + name.mid(1);
    if (extension.isEmpty())
        return name;
    const QString suffix = QLatin1Char('.') + extension;
    // The encoded name is ASCII: its length is its size in bytes. Cut before an escape, never inside.
    qsizetype room = FileNameEncoding::kMaximumNameBytes - suffix.toUtf8().size();
    if (name.size() > room) {
        name.truncate(std::max<qsizetype>(1, room));
        const qsizetype escape = name.lastIndexOf(QLatin1Char('%'));
        if (escape >= 0 && escape > name.size() - 3)
            name.truncate(std::max<qsizetype>(1, escape));
    }
    return name + suffix;
}

QString TransferSupport::uniqueFileNameInFolder(const QString& folder, const QString& name)
{
    const QDir dir(folder);
    if (!QFileInfo::exists(dir.filePath(name)))
        return name;
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() || info.completeBaseName().isEmpty()
                               ? QString()
                               : QLatin1Char('.') + info.suffix();
    QString stem = suffix.isEmpty() ? name : name.left(name.size() - suffix.size());
    for (int n = 2;; ++n) {
        const QString mark = QStringLiteral(" (%1)").arg(n);
        QString candidate = stem + mark + suffix;
        // Names stay within the file-name limit.
        while (candidate.toUtf8().size() > FileNameEncoding::kMaximumNameBytes && !stem.isEmpty()) {
            stem.chop(1);
            candidate = stem + mark + suffix;
        }
        if (!QFileInfo::exists(dir.filePath(candidate)))
            return candidate;
    }
}

} // namespace tavrel
