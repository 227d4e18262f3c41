#include "documents/ApplicationMenu.h"

#include "model/File.h"
#include "model/TQStringExtensions.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMimeDatabase>
#include <QUrl>
#include <algorithm>

namespace tavrel {

namespace {

constexpr qreal kIconSize = 17;

// The type, what it is also known as, then what it is a kind of (text/plain ...).
QStringList typeNames(const QString& fileName)
{
    static const QMimeDatabase types;
    const QMimeType type = types.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    return QStringList{type.name()} + type.aliases() + type.allAncestors();
}

QString desktopFileName(const DesktopApplications::Entry& entry)
{
    return QFileInfo(entry.path).fileName();
}

bool isOurs(const DesktopApplications::Entry& entry)
{
    const QString own = QCoreApplication::applicationName();
    return !own.isEmpty() && desktopFileName(entry).startsWith(own, Qt::CaseInsensitive);
}

QIcon iconOf(const DesktopApplications::Entry& entry)
{
    if (entry.icon.startsWith(QLatin1Char('/')))
        return QIcon(entry.icon);
    return ImageRegistry::themeIcon(entry.icon.isEmpty() ? QStringLiteral("application-x-executable")
                                                         : entry.icon);
}

// The entry's title: its name, else its desktop file's name without the extension.
QString titleOf(const DesktopApplications::Entry& entry)
{
    return entry.name.isEmpty() ? QFileInfo(entry.path).completeBaseName() : entry.name;
}

void describe(QAction* item, const DesktopApplications::Entry& entry)
{
    item->setText(titleOf(entry));
    item->setIcon(iconOf(entry));
    UserInterfaceItem::setRepresentedObject(item, QUrl::fromLocalFile(entry.path));
}

} // namespace

QList<DesktopApplications::Entry> ApplicationMenu::applicationsForFileName(const QString& fileName)
{
    QList<DesktopApplications::Entry> found;
    const auto add = [&found](const DesktopApplications::Entry& entry) {
        if (!entry.isValid() || isOurs(entry))
            return;
        for (const auto& known : std::as_const(found))
            if (known.path == entry.path)
                return;
        found.append(entry);
    };
    const QStringList names = typeNames(fileName);
    for (const QString& name : names) {
        const auto entry = DesktopApplications::defaultApplicationForMIMEType(name);
        if (entry.isValid() && !isOurs(entry)) {
            add(entry);
            break;
        }
    }
    // A kind nothing opens: the text editor stands in.
    if (found.isEmpty())
        add(DesktopApplications::defaultApplicationForMIMEType(QStringLiteral("text/plain")));
    for (const QString& name : names)
        for (const auto& entry : DesktopApplications::applicationsForMIMEType(name))
            add(entry);
    return found;
}

QString ApplicationMenu::fileNameForRecord(const ManagedObjectPtr& record)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    if (!entry)
        return {};
    if (const auto file = std::dynamic_pointer_cast<File>(record); file && !file->filePath().isEmpty()) {
        const QUrl url(file->filePath());
        const QString name =
            QFileInfo(url.isValid() && !url.path().isEmpty() ? url.path() : file->filePath()).fileName();
        if (!name.isEmpty())
            return name;
    }
    return TQStringExtensions::exportNameWithResourceId(entry->title(), entry->resourceId());
}

void ApplicationMenu::rebuild(QMenu* menu, const QString& fileName, QObject* target)
{
    if (!menu)
        return;
    // Away with what the last validation made: everything between the first item and the fixed ones.
    while (menu->actions().size() > 1 && UserInterfaceItem::tag(menu->actions().at(1)) != kFixedItemsTag) {
        QAction* item = menu->actions().at(1);
        menu->removeAction(item);
        if (item->parent() == menu)
            delete item;
    }
    if (menu->actions().isEmpty())
        return;

    QList<DesktopApplications::Entry> applications = applicationsForFileName(fileName);
    QAction* first = menu->actions().constFirst();
    if (applications.isEmpty()) {
        first->setText(QString());
        first->setIcon(QIcon());
        UserInterfaceItem::setRepresentedObject(first, QVariant());
    } else {
        describe(first, applications.takeFirst());
    }

    // Inserting each at index 1 in ascending order leaves them descending.
    std::sort(applications.begin(), applications.end(),
              [](const auto& a, const auto& b) { return desktopFileName(a) < desktopFileName(b); });
    const auto insertAtOne = [menu](QAction* item) {
        const QList<QAction*> items = menu->actions();
        menu->insertAction(items.size() > 1 ? items.at(1) : nullptr, item);
    };
    for (const auto& entry : std::as_const(applications)) {
        QAction* item = UserInterfaceItem::makeAction(QString(), Commands::openWith, menu, 0, target);
        describe(item, entry);
        insertAtOne(item);
    }
    QAction* browser = UserInterfaceItem::makeAction(QStringLiteral("Google Docs"), Commands::openInBrowser,
                                                     menu, kBrowserTag, target);
    browser->setIcon(QIcon(ImageRegistry::pixmap(QStringLiteral("th_google_favicon"),
                                                 QSizeF(kIconSize, kIconSize), menu->devicePixelRatioF())));
    insertAtOne(browser);
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    insertAtOne(separator);
}

} // namespace tavrel
