#include "platform/system/DesktopApplications.h"
#include "platform/system/Thumbnails.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>

namespace tavrel::test {

struct ExecRow
{
    const char* exec;
    QStringList expected; // for the file "/d/My File.txt"
};

TEST(DesktopApplicationsTest, ExecLinesBecomeArgumentListsWithFieldCodesExpanded)
{
    const QString file = QStringLiteral("/d/My File.txt");
    const ExecRow rows[] = {
        {"editor %f", {"editor", "/d/My File.txt"}},
        {"editor --new-window %U", {"editor", "--new-window", "file:///d/My%20File.txt"}},
        {"\"/opt/my app/bin\" -x %F", {"/opt/my app/bin", "-x", "/d/My File.txt"}},
        {"viewer \"quoted \\\"arg\\\"\" %%f %f", {"viewer", "quoted \"arg\"", "%f", "/d/My File.txt"}},
        {"plain", {"plain", "/d/My File.txt"}},
        {"sh -c 'rm -rf ~' %f", {"sh", "-c", "'rm", "-rf", "~'", "/d/My File.txt"}},
        {"app --icon %i %c %f", {"app", "--icon", "App", "/d/My File.txt"}},
        {"broken \"unterminated %f", {}},
    };
    for (const ExecRow& row : rows) {
        DesktopApplications::Entry entry;
        entry.path = QStringLiteral("/apps/app.desktop");
        entry.name = QStringLiteral("App");
        entry.exec = QString::fromUtf8(row.exec);
        EXPECT_EQ(DesktopApplications::commandForEntry(entry, {file}), row.expected) << row.exec;
    }
}

class DesktopAssociationsTest : public TempHomeTest
{
protected:
    void writeFile(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
    }
};

TEST_F(DesktopAssociationsTest, TheUsersDefaultWinsOverDeclaredTypes)
{
    const QString apps = home().dataHome() + QStringLiteral("/applications");
    writeFile(apps + QStringLiteral("/a-first.desktop"),
              "[Desktop Entry]\nType=Application\nName=First\nExec=first %f\nMimeType=text/x-tavrel;\n");
    writeFile(apps + QStringLiteral("/z-chosen.desktop"),
              "[Desktop Entry]\nType=Application\nName=Chosen\nExec=chosen %f\n");
    writeFile(
        apps + QStringLiteral("/hidden.desktop"),
        "[Desktop Entry]\nType=Application\nName=Hidden\nHidden=true\nExec=h %f\nMimeType=text/x-tavrel;\n");
    EXPECT_EQ(DesktopApplications::defaultApplicationForMIMEType(QStringLiteral("text/x-tavrel")).name,
              QStringLiteral("First"));

    writeFile(home().configHome() + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\ntext/x-tavrel=z-chosen.desktop;a-first.desktop;\n");
    const auto all = DesktopApplications::applicationsForMIMEType(QStringLiteral("text/x-tavrel"));
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all.at(0).name, QStringLiteral("Chosen"));
    EXPECT_EQ(all.at(1).name, QStringLiteral("First"));
    EXPECT_FALSE(DesktopApplications::defaultApplicationForMIMEType(QStringLiteral("text/x-none")).isValid());
}

class ThumbnailsTest : public TempHomeTest
{
};

TEST_F(ThumbnailsTest, ImagesAndThePdfsFirstPageFitTheAskedSize)
{
    const QString png = home().path() + QStringLiteral("/wide.png");
    QImage wide(400, 200, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    ASSERT_TRUE(wide.save(png));
    const QImage fromPng = Thumbnails::thumbnailForFile(png, QSize(72, 72));
    EXPECT_EQ(fromPng.size(), QSize(72, 36));
    EXPECT_EQ(QColor(fromPng.pixel(10, 10)), QColor(Qt::blue));

    const QString small = home().path() + QStringLiteral("/small.png");
    ASSERT_TRUE(QImage(10, 20, QImage::Format_RGB32).save(small));
    EXPECT_EQ(Thumbnails::thumbnailForFile(small, QSize(72, 72)).size(), QSize(36, 72));

    const QString pdf = home().path() + QStringLiteral("/page.pdf");
    {
        QPdfWriter writer(pdf);
        writer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&writer);
        painter.fillRect(QRect(0, 0, writer.width(), writer.height() / 2), Qt::red);
        writer.newPage();
        painter.fillRect(QRect(0, 0, writer.width(), writer.height()), Qt::green);
    }
    const QImage fromPdf = Thumbnails::thumbnailForFile(pdf, QSize(72, 72));
    ASSERT_FALSE(fromPdf.isNull());
    EXPECT_EQ(fromPdf.height(), 72);
    EXPECT_EQ(fromPdf.width(), 51); // A4 portrait
    // The first page: red at the top, the paper's white below.
    EXPECT_EQ(QColor(fromPdf.pixel(25, 5)).red(), 255);
    EXPECT_LT(QColor(fromPdf.pixel(25, 5)).green(), 40);
    EXPECT_EQ(QColor(fromPdf.pixel(25, 65)), QColor(Qt::white));

    const QString text = home().path() + QStringLiteral("/notes.txt");
    QFile notes(text);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("just words");
    notes.close();
    EXPECT_TRUE(Thumbnails::thumbnailForFile(text, QSize(72, 72)).isNull());
    EXPECT_TRUE(
        Thumbnails::thumbnailForFile(home().path() + QStringLiteral("/missing.png"), QSize(72, 72)).isNull());
}

} // namespace tavrel::test
