#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

namespace tavrel {

// The desktop's applications as freedesktop describes them: ".desktop" entries in the applications
// folders of $XDG_DATA_HOME and $XDG_DATA_DIRS (the first folder holding an id wins; a Hidden entry
// deletes it, a missing TryExec program makes it not installed), and the default, added and removed
// associations of the "$desktop-mimeapps.list" and "mimeapps.list" files in $XDG_CONFIG_HOME,
// $XDG_CONFIG_DIRS and those applications folders ($desktop for each name in $XDG_CURRENT_DESKTOP).
// Names are in the user's language. Applications are started with an argument list, never through a
// shell. Read at each call (the files may change).
class DesktopApplications
{
public:
    // One application entry.
    struct Entry
    {
        QString path; // the .desktop file
        QString name;
        QString exec; // the Exec line as written
        QString icon; // the icon's theme name or path
        QStringList mimeTypes;
        bool isValid() const { return !path.isEmpty() && !exec.isEmpty(); }
    };

    // The entry of a desktop file path or id ("org.example.App.desktop"); invalid when none.
    static Entry entryForDesktopFile(const QString& pathOrId);
    // The default application for a MIME type, else the first associated one; invalid when none. It
    // may be one that menus leave out (NoDisplay, OnlyShowIn, NotShowIn): it still opens the file.
    static Entry defaultApplicationForMIMEType(const QString& MIMEType);
    // Every application that declares or is associated with the type, the defaults first, without
    // those that menus of the running desktop leave out.
    static QList<Entry> applicationsForMIMEType(const QString& MIMEType);

    // The program and arguments of an Exec line for the files, field codes expanded ("%f", "%F",
    // "%u", "%U", "%c", "%k", "%%"); empty when the line cannot be read.
    static QStringList commandForEntry(const Entry& entry, const QStringList& files);
    // Starts the application with the file; false when it could not be started.
    static bool openFileWithEntry(const QString& file, const Entry& entry);
    // Opens a file with the application at the URL (a .desktop file or a program), or, without one,
    // with the default application of its type (the desktop's own opener when none is known).
    static bool openFile(const QString& file, const QUrl& applicationURL = {});
};

} // namespace tavrel
