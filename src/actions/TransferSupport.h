#pragma once

#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/runtime/Error.h"
#include "platform/store/ManagedObject.h"

#include <QString>
#include <QUrl>
#include <QVariant>
#include <memory>

namespace tavrel {

class File;
class FileEntryAbstract;
class TQSessionProtocol;

// What the transfer actions share: records found again in the calling thread's context, copies into the
// document cache, safe and unique names for files made from titles.
class TransferSupport
{
public:
    // Whether a result value holds an error.
    static bool isError(const QVariant& value);
    static Error errorOf(const QVariant& value);
    static QVariant errorValue(const Error& error);

    // A copy of an operation's arguments for a step it runs: without the operation's own "actionID"
    // and requester's context, so the step finds its records in the worker's context.
    static QVariantMap stepArguments(const QVariantMap& arguments);
    // Whether a value is a list (an array parameter), and whether it is a general permission (a record or
    // detached value of IGeneralACLPermission).
    static bool isList(const QVariant& value);
    static bool isGeneralACLPermission(const QVariant& value);
    // The record a value holds, as the class asked for; nothing otherwise.
    template <class T> static std::shared_ptr<T> recordOf(const QVariant& value);

    // The record of an entry's resource identifier in the calling thread's context, with the values the
    // store holds now; nothing when there is none.
    static std::shared_ptr<FileEntryAbstract> recordForEntry(TQSessionProtocol* session,
                                                             const GDataEntryDocBase& entry);

    // Copies a local file into the record's document cache and answers the cached copy (nothing when
    // the copy or the cache failed; the file itself stays where it is).
    static QUrl cacheCopyOfFile(TQSessionProtocol* session, const std::shared_ptr<File>& record,
                                const QUrl& fileURL);
    // Moves a downloaded file into the record's document cache and answers the cached copy; what is left
    // of the download's temporary folder goes.
    static QUrl cacheDownloadedFile(TQSessionProtocol* session, const std::shared_ptr<File>& record,
                                    const QUrl& fileURL);

    // The bytes an upload of the path sends: a file's size, or the sizes of every file below a folder
    // whose path holds no hidden name (those are never uploaded).
    static quint64 uploadSizeOfPath(const QString& path);
    // Errors of local files: one that no longer exists, one that cannot be read, a copy that failed.
    static Error missingFileError(const QString& name);
    static Error unreadableFileError(const QString& name);
    static Error copyFailedError(const QString& name);

    // The one rule for names of downloads and exports: a title made into one file name that stays inside
    // its folder. '/' becomes ':'; NUL, control characters, terminal escape sequences and direction
    // overrides go; a leading '.' (hidden) or ':' (a Qt resource path) becomes '_'; an empty name is
    // "Untitled". The extension is added with a dot when given; otherwise the title's own (a short suffix
    // after its last dot) is kept when the name is shortened. Names are cut between whole characters to
    // kMaximumSafeNameBytes of UTF-8, which leaves room for a temporary copy's or a twin's additions
    // within the 255-byte limit of file names.
    static QString safeFileName(const QString& title, const QString& extension = {});
    static constexpr qsizetype kMaximumSafeNameBytes = 223;
    // A name in the folder that no file has yet: the name itself, else "name (2).ext", "name (3).ext" ...
    static QString uniqueFileNameInFolder(const QString& folder, const QString& name);
};

template <class T> std::shared_ptr<T> TransferSupport::recordOf(const QVariant& value)
{
    if (value.metaType() != QMetaType::fromType<std::shared_ptr<ManagedObject>>())
        return nullptr;
    return std::dynamic_pointer_cast<T>(value.value<std::shared_ptr<ManagedObject>>());
}

} // namespace tavrel
