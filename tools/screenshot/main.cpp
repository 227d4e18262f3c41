// tavrel-screenshot OUT.png [X Y W H]: saves the whole X display named by DISPLAY and prints what it
// holds: its size, the number of distinct colours and the box of everything that differs from the
// corner's colour (the empty desktop), so a script can tell a shown window from a blank screen. With a
// box, it also prints what the box holds: the share of black pixels in percent (a window nobody painted
// shows black on X), its distinct colours, and how many of its pixel rows carry anything but their
// own background (text and lines drawn in it).
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QSet>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: tavrel-screenshot OUT.png [X Y W H]\n");
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
    if (argc == 6) {
        const QRect box =
            QRect(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]))
                .intersected(image.rect());
        qint64 black = 0;
        int inkedRows = 0;
        QSet<QRgb> boxColours;
        for (int y = box.top(); y <= box.bottom(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            bool inked = false;
            for (int x = box.left(); x <= box.right(); ++x) {
                const QRgb pixel = line[x];
                if (qRed(pixel) < 8 && qGreen(pixel) < 8 && qBlue(pixel) < 8)
                    ++black;
                if (boxColours.size() < 100000)
                    boxColours.insert(pixel);
                inked = inked || pixel != line[box.left()];
            }
            inkedRows += inked ? 1 : 0;
        }
        const qint64 area = qint64(box.width()) * box.height();
        std::printf("box: %d %d %d %d\nbox-black: %lld\nbox-colours: %lld\nbox-inked-rows: %d\n", box.x(),
                    box.y(), box.width(), box.height(), area > 0 ? black * 100 / area : 100LL,
                    qlonglong(boxColours.size()), inkedRows);
    }
    return 0;
}
