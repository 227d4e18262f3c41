#pragma once

#include <QString>
#include <QUrl>

namespace tavrel {

// Unique temporary files and folders in Paths::tempFolder(). Every failure answers an empty URL.
class TemporaryFiles
{
public:
    // A new empty file "tavrel.XXXXXX" (the X made unique); no descriptor stays open.
    static QUrl URLTempUniqueFile();
    // A new empty file "tavrel.XXXXXX.<extension>", reserving the very name it answers and making
    // nothing else. Empty for a null extension.
    static QUrl URLTempUniqueFileWithExtension(const QString& extension);
    // A new folder "TavrelD.XXXXXX", readable only by the user.
    static QUrl URLTempUniqueDirectory();
    // Copies the file or folder into a new unique folder under its own name and answers the copy's
    // URL. On failure the new folder is left in place.
    static QUrl fileSystemCopyFileToUniqueURLfromFileAtURL(const QUrl& source);
};

} // namespace tavrel
