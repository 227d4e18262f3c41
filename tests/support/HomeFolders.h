#pragma once

#include <QString>
#include <QStringList>

namespace tavrel::test {

// The usual subfolders of a home (config, data, state, cache, runtime, tmp, then `extra`) made below
// root; runtime is the owner's alone, as the desktop expects.
void makeHomeFolders(const QString& root, const QStringList& extra = {});
// HOME, every XDG_* folder and TMPDIR pointed into root. The desktop's own folders (downloads ...) come
// from the home's configuration too, never the user's.
void pointHomeAt(const QString& root);

} // namespace tavrel::test
