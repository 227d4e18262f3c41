// The gallery: renders every registered page of the interface to a PNG file, offscreen.
//
//     tavrel-gallery [--check] [--scale RATIO] [--page NAME ...] [DIRECTORY]
//
// DIRECTORY defaults to "gallery" in the working directory. The exit status is 1 when a page cannot be
// rendered, and with --check also when there is no page at all.

#include "GallerySheet.h"
#include "platform/ui/Animations.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/UiPlatform.h"
#include "window/ControlServicesFeed.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// Whatever the pages do (alerts store their check box, views write settings), it stays in a
// temporary home.
void useTemporaryHome(const QTemporaryDir& home)
{
    const QString root = home.path();
    for (const char* sub : {"config", "data", "state", "cache", "runtime"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", QFile::encodeName(root));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    qputenv("XDG_STATE_HOME", QFile::encodeName(root + QStringLiteral("/state")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(root + QStringLiteral("/cache")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root + QStringLiteral("/runtime")));
}

} // namespace

int main(int argc, char** argv)
{
    bool check = false;
    double scale = 1.0;
    QStringList onlyPages;
    QString directory = QStringLiteral("gallery");
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QStringLiteral("--check")) {
            check = true;
        } else if (argument == QStringLiteral("--scale") && i + 1 < argc) {
            scale = QString::fromLocal8Bit(argv[++i]).toDouble();
        } else if (argument == QStringLiteral("--page") && i + 1 < argc) {
            onlyPages.append(QString::fromLocal8Bit(argv[++i]));
        } else if (argument.startsWith(QStringLiteral("--"))) {
            std::fprintf(stderr,
                         "usage: tavrel-gallery [--check] [--scale RATIO] [--page NAME ...] [DIRECTORY]\n");
            return 2;
        } else {
            directory = argument;
        }
    }
    if (scale <= 0)
        scale = 1.0;

    QTemporaryDir home;
    if (!home.isValid()) {
        std::fprintf(stderr, "tavrel-gallery: cannot make a temporary home\n");
        return 1;
    }
    useTemporaryHome(home);
    // A desktop-sized screen: dialogs size themselves from it.
    const QString screens = home.filePath(QStringLiteral("screens.json"));
    QFile config(screens);
    if (config.open(QIODevice::WriteOnly))
        config.write(R"({"screens": [{"name": "gallery", "x": 0, "y": 0, "width": 1920, "height": 1200,
                         "logicalDpi": 96, "dpr": 1}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screens));
    qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));

    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    QApplication::setStyle(QStringLiteral("Fusion"));
    tavrel::UiPlatform::initialize();
    tavrel::ControlServicesFeed::install();
    tavrel::Animations::setFactor(0.0);
    // Away from every sample window, so that none is drawn hovered.
    QCursor::setPos(-10000, -10000);

    if (!QDir().mkpath(directory)) {
        std::fprintf(stderr, "tavrel-gallery: cannot make %s\n", qPrintable(directory));
        return 1;
    }
    int failures = 0;
    int written = 0;
    for (const tavrel::GalleryRegistry::Page& page : tavrel::GalleryRegistry::instance().pages()) {
        if (!onlyPages.isEmpty() && !onlyPages.contains(page.name))
            continue;
        tavrel::gallery::GallerySheet sheet(page.title, page.make());
        const QImage image = sheet.render(app.devicePixelRatio());
        const QString path = QDir(directory).filePath(page.name + QStringLiteral(".png"));
        if (image.isNull() || !image.save(path)) {
            std::fprintf(stderr, "tavrel-gallery: %s: %s\n", qPrintable(page.name),
                         qPrintable(image.isNull() ? sheet.error() : QStringLiteral("cannot write ") + path));
            ++failures;
            continue;
        }
        std::printf("%s\n", qPrintable(path));
        ++written;
    }
    if (written == 0 && failures == 0) {
        std::fprintf(stderr, "tavrel-gallery: no page to render\n");
        return check ? 1 : 0;
    }
    return failures > 0 ? 1 : 0;
}
