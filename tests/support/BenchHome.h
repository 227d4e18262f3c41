#pragma once

#include <QString>
#include <QStringList>

namespace tavrel::bench {

// A new folder /tmp/tavrel-bench-<name>-XXXXXX with the usual subfolders (plus `extra`), made the
// process's home: HOME, every XDG_* variable and TMPDIR point into it. Empty when it cannot be made.
QString makeHome(const QString& name, const QStringList& extra = {});
// Points HOME, the XDG_* variables and TMPDIR into an existing home made by makeHome.
QString useHome(const QString& root);
// The process's peak resident memory in kB and in MB, -1 when it cannot be read.
long peakRssKb();
double peakRssMb();

} // namespace tavrel::bench
