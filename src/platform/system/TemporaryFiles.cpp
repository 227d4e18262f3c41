#include "platform/system/TemporaryFiles.h"

#include "platform/system/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <unistd.h>

namespace tavrel {

namespace {

QByteArray templatePath(const char* name)
{
    return QFile::encodeName(Paths::tempFolder() + QLatin1Char('/') + QLatin1String(name));
}

bool copyRecursively(const QString& source, const QString& destination)
{
    const QFileInfo info(source);
    if (info.isSymLink())
        return QFile::link(info.symLinkTarget(), destination);
    if (!info.isDir())
        return QFile::copy(source, destination);
    if (!QDir().mkdir(destination))
        return false;
    const QDir folder(source);
    const QStringList entries =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries)
        if (!copyRecursively(folder.filePath(entry), destination + QLatin1Char('/') + entry))
            return false;
    return true;
}

} // namespace

QUrl TemporaryFiles::URLTempUniqueFile()
{
    QByteArray path = templatePath("tavrel.XXXXXX");
    const int descriptor = ::mkstemp(path.data());
    // A name that was not made is not reserved: answer nothing rather than a path someone else may take.
    if (descriptor < 0)
        return QUrl();
    ::close(descriptor);
    return QUrl::fromLocalFile(QFile::decodeName(path));
}

QUrl TemporaryFiles::URLTempUniqueFileWithExtension(const QString& extension)
{
    if (extension.isNull())
        return QUrl();
    const QByteArray suffix = QFile::encodeName(QLatin1Char('.') + extension);
    QByteArray path = templatePath("tavrel.XXXXXX") + suffix;
    const int descriptor = ::mkstemps(path.data(), int(suffix.size()));
    if (descriptor < 0)
        return QUrl();
    ::close(descriptor);
    return QUrl::fromLocalFile(QFile::decodeName(path));
}

QUrl TemporaryFiles::URLTempUniqueDirectory()
{
    QByteArray path = templatePath("TavrelD.XXXXXX");
    if (!::mkdtemp(path.data()))
        return QUrl();
    return QUrl::fromLocalFile(QFile::decodeName(path));
}

QUrl TemporaryFiles::fileSystemCopyFileToUniqueURLfromFileAtURL(const QUrl& source)
{
    const QString sourcePath = source.toLocalFile();
    if (sourcePath.isEmpty() || !QFileInfo(sourcePath).exists())
        return QUrl();
    const QUrl folder = URLTempUniqueDirectory();
    if (folder.isEmpty())
        return QUrl();
    const QString name = QFileInfo(QDir::cleanPath(sourcePath)).fileName();
    const QString destination = folder.toLocalFile() + QLatin1Char('/') + name;
    if (!copyRecursively(sourcePath, destination))
        return QUrl();
    return QUrl::fromLocalFile(destination);
}

} // namespace tavrel
