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
#include <QTextBoundaryFinder>

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

namespace {

bool isDirectionControl(char16_t c)
{
    return c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

// The text without NUL, control characters and the terminal escape sequences they start: CSI ("ESC [" or
// U+009B, up to its final byte), OSC and the other string sequences after ESC (up to BEL or "ESC \\"),
// and two-character escapes. Line breaks and tabs become spaces.
QString withoutControls(const QString& text)
{
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == 0x1b || c == 0x9b) {
            char16_t kind = c;
            if (c == 0x1b) {
                if (i + 1 >= text.size())
                    continue;
                kind = text.at(++i).unicode();
            }
            if (kind == u'[' || kind == 0x9b) {
                while (i + 1 < text.size()) {
                    const char16_t next = text.at(++i).unicode();
                    if (next >= 0x40 && next <= 0x7e)
                        break;
                    if (next < 0x20 || next > 0x3f) { // no parameter or intermediate byte: the end
                        --i;
                        break;
                    }
                }
            } else if (kind == u']' || kind == u'P' || kind == u'X' || kind == u'^' || kind == u'_') {
                while (i + 1 < text.size()) {
                    const char16_t next = text.at(++i).unicode();
                    if (next == 0x07 || next == 0x9c)
                        break;
                    if (next == 0x1b && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\\')) {
                        ++i;
                        break;
                    }
                }
            }
            continue;
        }
        if (c == u'\t' || c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029) {
            clean += QLatin1Char(' ');
            continue;
        }
        if (text.at(i).category() == QChar::Other_Control || isDirectionControl(c))
            continue;
        clean += text.at(i);
    }
    return clean;
}

// The longest start of the text, cut between grapheme clusters, whose UTF-8 is at most `bytes` long.
QString leftByUtf8Bytes(const QString& text, qsizetype bytes)
{
    if (text.toUtf8().size() <= bytes)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype fits = 0;
    qsizetype used = 0;
    for (qsizetype start = 0, next = finder.toNextBoundary(); next > 0;
         start = next, next = finder.toNextBoundary()) {
        used += text.mid(start, next - start).toUtf8().size();
        if (used > bytes)
            break;
        fits = next;
    }
    return text.left(fits);
}

} // namespace

QString TransferSupport::safeFileName(const QString& title, const QString& extension)
{
    QString name = withoutControls(title).trimmed();
    name.replace(QLatin1Char('/'), QLatin1Char(':'));
    QString suffix;
    if (!extension.isEmpty()) {
        QString clean = withoutControls(extension).trimmed();
        clean.replace(QLatin1Char('/'), QLatin1Char(':'));
        if (!clean.isEmpty())
            suffix = QLatin1Char('.') + leftByUtf8Bytes(clean, 16);
    } else {
        // The title's own extension stays when the name is cut.
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0 && name.size() - dot <= 17 && !name.mid(dot).contains(QLatin1Char(' '))) {
            suffix = name.mid(dot);
            name.truncate(dot);
        }
    }
    if (name.isEmpty() && suffix.isEmpty())
        name = QStringLiteral("Untitled");
    name = leftByUtf8Bytes(name, kMaximumSafeNameBytes - suffix.toUtf8().size());
    // A cut may leave a space at the end, which no one sees.
    while (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    if (name.isEmpty())
        name = QStringLiteral("Untitled");
    name += suffix;
    // Hidden, or read by Qt as a path inside its resources.
    if (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char(':')))
        name.replace(0, 1, QLatin1Char('_'));
    return name;
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
