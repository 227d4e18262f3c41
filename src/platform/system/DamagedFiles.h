#pragma once

#include <QString>
#include <QStringList>

namespace tavrel {

// Files this program cannot read any more (a damaged store, an unreadable archive) are kept for
// inspection under another name, out of the way of the fresh file that replaces them.
class DamagedFiles
{
public:
    // Renames the file to "<path>.corrupt-<UTC time>" (with "-<n>" when that name is taken) and each
    // companion "<path><suffix>" that exists (a store's "-wal" and "-shm") to the new name with the
    // same suffix. A companion that cannot follow is removed: a fresh file must not pick it up.
    // Answers the new path; empty when the file itself could not be renamed (then nothing moved).
    static QString moveAside(const QString& path, const QStringList& companionSuffixes = {});
};

} // namespace tavrel
