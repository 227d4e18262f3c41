#include "model/TQUtility.h"

#include "model/TQPreferencesManager.h"
#include "platform/system/Paths.h"
#include "platform/system/TQLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QThreadPool>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>

namespace tavrel {

namespace {

const QString kPreviewResourceFolder = QStringLiteral(":/preview-folder/");

QString localizedString(const char* key, const QString& english)
{
    const QString translated = QCoreApplication::translate("Localizable", key);
    return translated == QLatin1String(key) ? english : translated;
}

QString htmlEscaped(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\''), QStringLiteral("&#39;"));
}

// The creation date of a file or folder, else its last change of status.
QDateTime creationDate(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QDateTime();
    const QDateTime birth = info.birthTime();
    return birth.isValid() ? birth : info.metadataChangeTime();
}

bool isHiddenName(const QString& path)
{
    return QFileInfo(path).fileName().startsWith(QLatin1Char('.'));
}

quint64 fileSize(const QString& path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return 0;
    return quint64(status.st_size);
}

QString personText(const TQFolderPreviewContent::Person& person)
{
    return person.displayName.isEmpty() ? person.address : person.displayName;
}

QString formatted(const QString& format, const QStringList& arguments)
{
    return detail::formatLogMessage(format.toUtf8().constData(), arguments);
}

} // namespace

TQUtility* TQUtility::sharedInstance()
{
    static std::mutex mutex;
    static TQUtility* shared = nullptr;
    std::lock_guard lock(mutex);
    if (!shared)
        shared = new TQUtility();
    return shared;
}

const TQDateFormatter& TQUtility::sharedShortDateFormatter()
{
    static const TQDateFormatter formatter(TQDateFormatter::ShortStyle, TQDateFormatter::NoStyle);
    return formatter;
}

const TQDateFormatter& TQUtility::sharedShortDateTimeFormatter()
{
    static const TQDateFormatter formatter(TQDateFormatter::ShortStyle, TQDateFormatter::ShortStyle);
    return formatter;
}

const TQDateFormatter& TQUtility::sharedShortTimeFormatter()
{
    static const TQDateFormatter formatter(TQDateFormatter::NoStyle, TQDateFormatter::ShortStyle);
    return formatter;
}

QUrl TQUtility::defaultApplicationForResourcesID(const QString& resourceID)
{
    TQPreferencesManager* preferences = TQPreferencesManager::sharedManager();
    if (resourceID.startsWith(QLatin1String("document")))
        return preferences->documentsAppURL();
    if (resourceID.startsWith(QLatin1String("presentation")))
        return preferences->presentationsAppURL();
    if (resourceID.startsWith(QLatin1String("spreadsheet")))
        return preferences->spreadsheetsAppURL();
    if (resourceID.startsWith(QLatin1String("form")))
        return preferences->formsAppURL();
    if (resourceID.startsWith(QLatin1String("drawing")))
        return preferences->drawingsAppURL();
    return QUrl();
}

void TQUtility::resetTavrelDirectory()
{
    const QString executable = QCoreApplication::applicationFilePath();
    QDateTime buildDate;
    if (!executable.isEmpty()) {
        const QFileInfo info(executable);
        buildDate = info.birthTime().isValid() ? info.birthTime() : info.lastModified();
    }
    if (!buildDate.isValid())
        TQLog("E: Cannot read app build date: %@", QStringLiteral("no file at '%1'").arg(executable));
    resetDirectory(Paths::applicationSupportFolder(), buildDate);
}

void TQUtility::resetDirectory(const QString& folder, const QDateTime& buildDate)
{
    const QDateTime folderDate = creationDate(folder);
    if (!folderDate.isValid())
        TQLog("E: Cannot read app directory date: %@", QStringLiteral("no folder at '%1'").arg(folder));
    if (!buildDate.isValid() || !folderDate.isValid() || buildDate <= folderDate)
        return;

    const QString movedTo = folder + QStringLiteral(".tmp");
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(folder).toStdString()),
                            std::filesystem::path(QFile::encodeName(movedTo).toStdString()), error);
    if (error) {
        TQLog("%@", QString::fromStdString(error.message()));
        return;
    }
    QThreadPool::globalInstance()->start([movedTo] {
        std::error_code removeError;
        std::filesystem::remove_all(std::filesystem::path(QFile::encodeName(movedTo).toStdString()),
                                    removeError);
        if (removeError)
            TQLog("E: Cannot remove app directory: %@", QString::fromStdString(removeError.message()));
    });
}

quint64 TQUtility::sizeofPath(const QString& path, const std::function<bool()>& cancelled)
{
    if (path.isEmpty() || isHiddenName(path))
        return 0;
    const QFileInfo info(path);
    if (!info.exists())
        return 0;
    if (!info.isDir())
        return fileSize(path);

    quint64 total = 0;
    QDirIterator walk(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDirIterator::Subdirectories);
    while (walk.hasNext()) {
        if (cancelled && cancelled())
            break;
        const QString entry = walk.next();
        const QFileInfo entryInfo = walk.fileInfo();
        // Folders add nothing themselves; a link to a folder is not walked into either.
        if (entryInfo.isDir())
            continue;
        if (!isHiddenName(entry))
            total += fileSize(entry);
    }
    return total;
}

QString TQUtility::previewFolder()
{
    return Paths::cacheHome() + QStringLiteral("/Tavrel/FolderPreview");
}

QString TQUtility::previewPageFromTemplate(const QString& pageTemplate, const QHash<QString, QString>& values)
{
    static const QRegularExpression placeholder(QStringLiteral("\\[[A-Z_]+\\]"));
    QString page;
    page.reserve(pageTemplate.size());
    qsizetype copied = 0;
    QRegularExpressionMatchIterator matches = placeholder.globalMatch(pageTemplate);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const auto value = values.constFind(match.captured());
        if (value == values.constEnd())
            continue;
        page += QStringView(pageTemplate).mid(copied, match.capturedStart() - copied);
        page += htmlEscaped(*value);
        copied = match.capturedEnd();
    }
    page += QStringView(pageTemplate).mid(copied);
    return page;
}

QUrl TQUtility::preparePreviewWithCategory(const TQFolderPreviewContent& category, const QString& userAddress)
{
    const QString folder = previewFolder();
    const QString pagePath = folder + QLatin1Char('/') + kPreviewPageName;
    const QUrl pageURL = QUrl::fromLocalFile(pagePath);
    if (!QDir().mkpath(folder))
        TQLog("E: Cannot cache resources: %@", QStringLiteral("cannot make folder '%1'").arg(folder));

    for (const QString& icon : {kFolderIconName, kSharedFolderIconName}) {
        const QString target = folder + QLatin1Char('/') + icon;
        if (QFile::exists(target))
            continue;
        QFile source(kPreviewResourceFolder + icon);
        if (!source.copy(target)) {
            TQLog("E: Cannot cache resources: %@", source.errorString());
            continue;
        }
        // Copies of resources are read-only.
        QFile::setPermissions(target,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }

    QFile templateFile(kPreviewResourceFolder + QStringLiteral("preview-folder.html"));
    if (!templateFile.open(QIODevice::ReadOnly)) {
        TQLog("E: Cannot read folder preview template: %@", templateFile.errorString());
        return pageURL;
    }
    const QString pageTemplate = QString::fromUtf8(templateFile.readAll());

    QHash<QString, QString> values;
    values.insert(QStringLiteral("[TITLE]"), category.title);
    values.insert(QStringLiteral("[NAME]"), category.title);
    values.insert(QStringLiteral("[CONTENT]"), category.itemCount == 1
                                                   ? QStringLiteral("1 item")
                                                   : QStringLiteral("%1 items").arg(category.itemCount));
    values.insert(QStringLiteral("[OWNER]"), QStringLiteral("Owned by %1").arg(personText(category.owner)));
    values.insert(QStringLiteral("[MODIFIED]"),
                  QStringLiteral("Last modified %1 by %2")
                      .arg(sharedShortDateFormatter().stringFromDate(category.updatedDate),
                           personText(category.lastModifiedBy)));

    const auto sameAddress = [](const QString& a, const QString& b) {
        return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
    };
    bool shared = false;
    if (sameAddress(category.owner.address, userAddress)) {
        shared = !category.viewers.isEmpty() || !category.editors.isEmpty() || !category.commenters.isEmpty();
    } else {
        for (const auto* people : {&category.editors, &category.viewers, &category.commenters}) {
            for (const auto& person : *people)
                shared = shared || sameAddress(person.address, userAddress);
        }
    }
    values.insert(QStringLiteral("[ICON_NAME]"), shared ? kSharedFolderIconName : kFolderIconName);

    // A person in two roles counts once.
    QSet<QString> seen;
    QList<TQFolderPreviewContent::Person> people;
    for (const auto* list : {&category.editors, &category.viewers, &category.commenters}) {
        for (const auto& person : *list) {
            const QString key = person.address.isEmpty() ? person.displayName : person.address.toLower();
            if (!seen.contains(key)) {
                seen.insert(key);
                people.append(person);
            }
        }
    }
    QString sharing;
    if (people.size() == 1)
        sharing = personText(people.first());
    else if (people.size() > 1)
        sharing = QStringLiteral("%1 people").arg(people.size());
    if (!people.isEmpty())
        sharing = formatted(localizedString("SharedWith_", QStringLiteral("Shared with %@")), {sharing});
    values.insert(QStringLiteral("[SHARED]"), sharing);

    QSaveFile page(pagePath);
    if (!page.open(QIODevice::WriteOnly) ||
        page.write(previewPageFromTemplate(pageTemplate, values).toUtf8()) < 0 || !page.commit())
        TQLog("E: Cannot write folder preview: %@", page.errorString());
    return pageURL;
}

} // namespace tavrel
