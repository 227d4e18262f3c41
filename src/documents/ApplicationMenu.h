#pragma once

#include "platform/store/ManagedObject.h"
#include "platform/system/DesktopApplications.h"

#include <QList>
#include <QString>

class QMenu;
class QObject;

namespace tavrel {

// The open-with submenu of the document lists: the applications of the desktop that open a
// document's kind, rebuilt between the submenu's first item and the fixed item tagged 200.
class ApplicationMenu
{
public:
    // The fixed items of the submenu begin at this tag; the browser entry carries kBrowserTag.
    static constexpr int kFixedItemsTag = 200;
    static constexpr int kBrowserTag = 2001;

    // The applications for a file name (only its extension counts): the default one first (the
    // desktop's text editor when the kind has none), then every other one. Desktop entries of this
    // program are left out.
    static QList<DesktopApplications::Entry> applicationsForFileName(const QString& fileName);

    // The file name whose kind decides a document's applications: its cached copy's, else the name it
    // downloads under.
    static QString fileNameForRecord(const ManagedObjectPtr& record);

    // Rebuilds the submenu for the file name: item 0 becomes the default application, then a
    // separator, the browser entry (tag 2001, "openInBrowser:"), the other applications
    // ("openWith:", descending by file name), and the fixed items from the one tagged 200 on. Each
    // application's item represents the URL of its desktop file. The generated items target the
    // target.
    static void rebuild(QMenu* menu, const QString& fileName, QObject* target);
};

} // namespace tavrel
