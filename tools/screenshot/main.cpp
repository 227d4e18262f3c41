// tavrel-screenshot OUT.png: saves the whole X display named by DISPLAY and prints what it holds:
// its size, the number of distinct colours and the box of everything that differs from the corner's
// colour (the empty desktop), so a script can tell a shown window from a blank screen.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tavrel-screenshot OUT.png\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "tavrel-screenshot: no screen\n");
        return 1;
    }
    // Window 0 is the root window: the picture comes from the X server, not from any program's drawing.
    const QImage image = screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    if (image.isNull() || !image.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "tavrel-screenshot: could not take or save the picture\n");
        return 1;
    }
    const QRgb background = image.pixel(0, 0);
    QSet<QRgb> colours;
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (colours.size() < 100000)
                colours.insert(line[x]);
            if (line[x] != background) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    std::printf("size: %dx%d\ncolours: %lld\n", image.width(), image.height(), qlonglong(colours.size()));
    if (right >= 0)
        std::printf("content: %d %d %d %d\n", left, top, right - left + 1, bottom - top + 1);
    else
        std::printf("content: none\n");
    return 0;
}
