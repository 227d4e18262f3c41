// Gallery pages of the application shell: the tray icon's states, the status menu, the error details,
// the first-run tour, About and Preferences. The shell's windows are one per process, so each page
// shows a snapshot of the window (the gallery frames it as a window).

#include "app/TQAboutController.h"
#include "app/TQActionMenuItemController.h"
#include "app/TQDefaultPrefViewController.h"
#include "app/TQErrorDetailWindowController.h"
#include "app/TQMainStatusItemController.h"
#include "app/TQPreferencesWindowController.h"
#include "app/TQSessionMenuItemController.h"
#include "app/TQSplashWindowController.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace tavrel {

namespace {

// A picture of a window as it is now, titled as the window.
QWidget* snapshot(QWidget* window)
{
    window->adjustSize();
    window->show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    auto* label = new QLabel();
    label->setPixmap(window->grab());
    label->setWindowTitle(window->windowTitle());
    window->hide();
    return label;
}

// A menu drawn as it pops up.
QWidget* menuSnapshot(QMenu* menu)
{
    menu->ensurePolished();
    menu->adjustSize();
    auto* label = new QLabel();
    label->setPixmap(menu->grab());
    return label;
}

QList<GallerySample> trayIcons()
{
    const QList<QPair<QString, QString>> states{
        {QStringLiteral("Offline"), QStringLiteral("disabled-top-bar")},
        {QStringLiteral("Idle"), QStringLiteral("icon-top-bar")},
        {QStringLiteral("New documents"), QStringLiteral("icon-top-bar-blue")},
        {QStringLiteral("Pressed"), QStringLiteral("icon-top-bar-selected")},
        {QStringLiteral("Working, frames 1 to 5"), QStringLiteral("icon-top-bar-activity")},
        {QStringLiteral("Working with new documents"), QStringLiteral("icon-top-bar-blue")},
    };
    QList<GallerySample> samples;
    for (int i = 0; i < states.size(); ++i) {
        auto* strip = new QWidget();
        strip->setAutoFillBackground(true);
        QPalette palette = strip->palette();
        // The pressed image is drawn on the panel's highlight.
        palette.setColor(QPalette::Window, i == 3 ? QColor(0x26, 0x5F, 0x99) : QColor(0xF2, 0xF2, 0xF2));
        strip->setPalette(palette);
        auto* layout = new QHBoxLayout(strip);
        layout->setContentsMargins(8, 4, 8, 4);
        const bool animated = i >= 4;
        for (int frame = 1; frame <= (animated ? 5 : 1); ++frame) {
            auto* icon = new QLabel(strip);
            const QString name =
                animated ? QStringLiteral("%1-%2").arg(states[i].second).arg(frame) : states[i].second;
            icon->setPixmap(ImageRegistry::pixmap(name, QSizeF(22, 22)));
            layout->addWidget(icon);
        }
        samples.append({states[i].first, strip});
    }
    return samples;
}
TAVREL_GALLERY_PAGE("tray-icon", "Tray icon", trayIcons)

QList<GallerySample> statusMenu()
{
    TQMainStatusItemController* controller = TQMainStatusItemController::sharedStatusItemController();
    controller->setupMenubarIcon();
    QMenu* menu = controller->menu();
    // The recent documents' submenu is filled when the menu opens; here the item is enabled as with
    // documents in the store.
    controller->recentModifiedItem()->setEnabled(true);
    TQSessionMenuItemController* status = controller->statusController();
    QList<GallerySample> samples;

    status->setActiveIcon(QStringLiteral("icon-updated"));
    status->setTitle(StringTable::format(QStringLiteral("UpdatedAt"), QStringLiteral("10/12/2026 14:05")));
    samples.append({QStringLiteral("Online and up to date"), menuSnapshot(menu)});

    status->setActiveIcon(QStringLiteral("icon-uploading"));
    status->setTitle(StringTable::format(QStringLiteral("UploadingXItems"), 3));
    status->setTitleExtension(TQActionMenuItemController::percentageExtension(37, 200));
    status->setAction(Commands::cancelTopSession);
    samples.append({QStringLiteral("Three uploads running"), menuSnapshot(menu)});

    // The submenu of the uploads, one cancellable row each.
    QMenu uploads;
    const QList<QPair<QString, int>> rows{{QStringLiteral("Quarterly report.pdf"), 62},
                                          {QStringLiteral("Team photo.jpg"), 18},
                                          {QStringLiteral("Budget 2027.ods"), 0}};
    for (const auto& row : rows) {
        auto* item = new QWidgetAction(&uploads);
        auto* controllerOfRow = new TQActionMenuItemController(item);
        controllerOfRow->setTitle(StringTable::format(QStringLiteral("UploadingOne"), row.first));
        controllerOfRow->setTitleExtension(
            TQActionMenuItemController::percentageExtension(quint64(row.second), 100));
        controllerOfRow->setAction(Commands::cancelAction);
        uploads.addAction(item);
    }
    samples.append({QStringLiteral("The uploads' submenu"), menuSnapshot(&uploads)});

    status->setAction({});
    status->setTitleExtension({});
    status->setActiveIcon(QStringLiteral("icon-offline"));
    status->setTitle(StringTable::text(QStringLiteral("Offline")));
    samples.append({QStringLiteral("Offline"), menuSnapshot(menu)});
    return samples;
}
TAVREL_GALLERY_PAGE("status-menu", "Status menu", statusMenu)

QList<GallerySample> errorDetails()
{
    TQErrorDetailWindowController* details = TQErrorDetailWindowController::sharedController();
    details->setError(Error(
        VUvodozuManager::kErrorDomain, VUvodozuManager::kSomeFetchErrorCode,
        {{Error::kLocalizedDescriptionKey, StringTable::text(QStringLiteral("SomeTrashError"))},
         {QStringLiteral("document:1"), QStringLiteral("“Quarterly report” was changed by someone else.")},
         {QStringLiteral("document:2"), QStringLiteral("You cannot move “Budget 2027” to the trash.")}}));
    return {{QStringLiteral("Three messages of one error"), snapshot(details->window()), true}};
}
TAVREL_GALLERY_PAGE("error-details", "Error details", errorDetails)

QList<GallerySample> splashScreens()
{
    QList<GallerySample> samples;
    for (int i = 0; i < TQSplashWindowController::kScreenCount; ++i) {
        auto* splash = new TQSplashWindowController();
        for (int step = 0; step < i; ++step)
            splash->pushScreen(step + 1);
        samples.append({QStringLiteral("Screen %1").arg(i + 1), snapshot(splash->window()), true});
        delete splash;
    }
    return samples;
}
TAVREL_GALLERY_PAGE("splash", "First-run tour", splashScreens)

QList<GallerySample> about()
{
    return {{QStringLiteral("About"), snapshot(TQAboutController::aboutController()->window()), true}};
}
TAVREL_GALLERY_PAGE("about", "About", about)

QList<GallerySample> preferences()
{
    TQPreferencesWindowController* controller = TQPreferencesWindowController::sharedPreferencesController();
    return {{QStringLiteral("General"), snapshot(controller->window()), true}};
}
TAVREL_GALLERY_PAGE("preferences", "Preferences", preferences)

} // namespace

} // namespace tavrel
