#include "platform/ui/ImageRegistry.h"

#include "support/TestData.h"
#include "support/ui/LoggingTest.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class ImageRegistryTest : public test::LoggingTest
{
protected:
    void SetUp() override
    {
        LoggingTest::SetUp();
        ImageRegistry::addSearchPath(test::testDataDir() + QStringLiteral("/images"));
        ImageRegistry::clearCache();
    }
    static QColor centreColour(const QPixmap& pixmap)
    {
        const QImage image = pixmap.toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    }
};

TEST_F(ImageRegistryTest, PixmapsAreRenderedForTheSizeAndRatioAndKnowTheirName)
{
    struct Row
    {
        QSizeF size;
        qreal ratio;
        QSize devicePixels;
    };
    const Row rows[]{
        {QSizeF(), 1.0, QSize(16, 8)},  // natural size
        {QSizeF(), 2.0, QSize(32, 16)}, // sharp on a high-density screen
        {QSizeF(32, 16), 1.0, QSize(32, 16)},
        {QSizeF(32, 16), 1.5, QSize(48, 24)},
    };
    for (const Row& row : rows) {
        const QPixmap pixmap = ImageRegistry::pixmap(QStringLiteral("sample"), row.size, row.ratio);
        EXPECT_EQ(pixmap.size(), row.devicePixels) << row.ratio;
        EXPECT_EQ(pixmap.devicePixelRatio(), row.ratio);
        EXPECT_EQ(pixmap.deviceIndependentSize(), row.size.isEmpty() ? QSizeF(16, 8) : row.size);
        EXPECT_EQ(ImageRegistry::nameOf(pixmap), QStringLiteral("sample"));
        EXPECT_EQ(centreColour(pixmap), QColor(Qt::red));
    }
    EXPECT_EQ(ImageRegistry::naturalSize(QStringLiteral("close_regular")), QSizeF(12, 12));
    QPixmap foreign(4, 4);
    EXPECT_TRUE(ImageRegistry::nameOf(foreign).isEmpty());
}

TEST_F(ImageRegistryTest, VariantsAreTheirOwnFilesAtTheBasePixmapsSizeAndRatio)
{
    const QPixmap base = ImageRegistry::pixmap(QStringLiteral("sample"), QSizeF(32, 16), 2.0);
    struct Row
    {
        const char* suffix;
        QColor colour;
    };
    const Row rows[]{{"_hover", Qt::blue}, {"_active", Qt::green}, {"_on", Qt::black}, {"-white", Qt::white}};
    for (const Row& row : rows) {
        const QPixmap variant = ImageRegistry::variant(base, QString::fromLatin1(row.suffix));
        ASSERT_FALSE(variant.isNull()) << row.suffix;
        EXPECT_EQ(ImageRegistry::nameOf(variant), QStringLiteral("sample") + QString::fromLatin1(row.suffix));
        EXPECT_EQ(variant.deviceIndependentSize(), QSizeF(32, 16));
        EXPECT_EQ(variant.devicePixelRatio(), 2.0);
        EXPECT_EQ(centreColour(variant), row.colour) << row.suffix;
    }
    EXPECT_TRUE(ImageRegistry::variant(base, QStringLiteral("_white")).isNull()) << "no such file";
    EXPECT_TRUE(ImageRegistry::variant(QPixmap(4, 4), QStringLiteral("_hover")).isNull()) << "not ours";
}

TEST_F(ImageRegistryTest, AnUnknownNameIsNullAndLoggedOnce)
{
    EXPECT_TRUE(ImageRegistry::pixmap(QStringLiteral("no_such_image")).isNull());
    EXPECT_TRUE(ImageRegistry::pixmap(QStringLiteral("no_such_image"), QSizeF(10, 10)).isNull());
    EXPECT_FALSE(ImageRegistry::contains(QStringLiteral("no_such_image")));
    EXPECT_EQ(logCount("E: No image named no_such_image"), 1);
}

TEST_F(ImageRegistryTest, ImagesFromFilesAreRegisteredUnderTheirPath)
{
    QPixmap photo(40, 40);
    photo.fill(Qt::darkCyan);
    const QString path = QStringLiteral("/home/ana/photo.png");
    ImageRegistry::registerPixmap(path, photo);
    EXPECT_TRUE(ImageRegistry::contains(path));
    EXPECT_EQ(ImageRegistry::pixmap(path).cacheKey(), photo.cacheKey());
    EXPECT_EQ(ImageRegistry::nameOf(photo), path);
    const QPixmap smaller = ImageRegistry::pixmap(path, QSizeF(20, 20), 1.0);
    EXPECT_EQ(smaller.size(), QSize(20, 20));
    EXPECT_EQ(ImageRegistry::nameOf(smaller), path);
    EXPECT_EQ(ImageRegistry::pixmap(path, QSizeF(20, 20), 1.0).cacheKey(), smaller.cacheKey());

    // A new picture under the same path replaces the old one at every size.
    QPixmap newer(40, 40);
    newer.fill(Qt::darkMagenta);
    ImageRegistry::registerPixmap(path, newer);
    EXPECT_EQ(centreColour(ImageRegistry::pixmap(path, QSizeF(20, 20), 1.0)), QColor(Qt::darkMagenta));
}

// Restores the desktop icon theme a test changed.
class ThemeGuard
{
public:
    ThemeGuard() : m_theme(QIcon::themeName()), m_fallback(QIcon::fallbackThemeName()) {}
    ~ThemeGuard()
    {
        QIcon::setThemeName(m_theme);
        QIcon::setFallbackThemeName(m_fallback);
    }

private:
    QString m_theme;
    QString m_fallback;
};

TEST_F(ImageRegistryTest, FileIconsComeFromTheDesktopThemeAndOurOwnImageLast)
{
    ASSERT_EQ(QIcon::themeName(), ImageRegistry::fallbackIconTheme())
        << "offscreen, the fallback theme is the theme";
    struct Row
    {
        const char* file;
        const char* themeIcon;
    };
    const Row rows[]{
        {"report.pdf", "x-office-document"}, // the kind's generic icon where the theme has no own one
        {"budget.ods", "x-office-spreadsheet"},
        {"photo.jpg", "image-x-generic"},
        {"notes.zzq-unknown", "application-x-generic"}, // an unknown kind
    };
    for (const Row& row : rows) {
        const QIcon icon = ImageRegistry::fileTypeIcon(QString::fromLatin1(row.file));
        EXPECT_FALSE(icon.isNull()) << row.file;
        EXPECT_EQ(icon.name(), QString::fromLatin1(row.themeIcon)) << row.file;
    }
    EXPECT_EQ(ImageRegistry::folderIcon().name(), QStringLiteral("folder"));

    ThemeGuard guard;
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    QIcon::setFallbackThemeName(QStringLiteral("no-such-theme"));
    EXPECT_EQ(ImageRegistry::fileTypeIcon(QStringLiteral("report.pdf")).name(),
              QStringLiteral("generic_document"));
    EXPECT_EQ(ImageRegistry::folderIcon().name(), QStringLiteral("generic_folder"));
    EXPECT_FALSE(ImageRegistry::folderIcon().pixmap(QSize(32, 32)).isNull());
}

} // namespace
} // namespace tavrel
