#include "platform/ui/DocumentPrinter.h"

#include "platform/ui/StringTable.h"
#include "support/TempHome.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>
#include <QPrinter>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

class DocumentPrinterTest : public test::TempHomeTest
{
protected:
    QString path(const char* name) { return home().path() + QLatin1Char('/') + QLatin1String(name); }
    // A PDF of that many pages, each with its number written on it.
    QString makePdf(const char* name, int pages)
    {
        const QString file = path(name);
        QPdfWriter writer(file);
        writer.setPageSize(QPageSize(QPageSize::A5));
        QPainter painter(&writer);
        for (int page = 0; page < pages; ++page) {
            if (page > 0)
                writer.newPage();
            painter.drawText(QPointF(200, 200), QStringLiteral("Page %1").arg(page + 1));
        }
        painter.end();
        return file;
    }
    // Prints the file into a PDF file; answers the pages it holds (-1 when it is no readable PDF).
    int printToPdf(const QString& file, QString* error)
    {
        const QString output = file + QStringLiteral(".printed.pdf");
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(output);
        if (!DocumentPrinter::printFile(file, &printer, error))
            return 0;
        QPdfDocument printed;
        if (printed.load(output) != QPdfDocument::Error::None)
            return -1;
        return printed.pageCount();
    }
};

TEST_F(DocumentPrinterTest, PdfImagesAndTextPrintPageByPage)
{
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(path("photo.png")));
    QFile text(path("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("First line\nSecond line – ünïcode\n");
    text.close();

    struct Row
    {
        QString file;
        DocumentPrinter::Kind kind;
        int pages;
    };
    const Row rows[] = {
        {makePdf("report.pdf", 3), DocumentPrinter::Kind::Pdf, 3},
        {makePdf("one.pdf", 1), DocumentPrinter::Kind::Pdf, 1},
        {path("photo.png"), DocumentPrinter::Kind::Image, 1},
        {path("notes.txt"), DocumentPrinter::Kind::Text, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file.toStdString());
        EXPECT_EQ(DocumentPrinter::kindOfFile(row.file), row.kind);
        QString error;
        EXPECT_EQ(printToPdf(row.file, &error), row.pages);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    }
}

TEST_F(DocumentPrinterTest, OtherKindsAndBrokenFilesAreRefusedWithTheReason)
{
    QFile archive(path("sheet.ods"));
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
    archive.write(QByteArray("PK\x03\x04", 4) + QByteArray(64, '\0'));
    archive.close();
    QFile broken(path("broken.pdf"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("%PDF-1.4\nnot really\n");
    broken.close();

    QString error;
    EXPECT_EQ(DocumentPrinter::kindOfFile(path("sheet.ods")), DocumentPrinter::Kind::Unsupported);
    EXPECT_EQ(printToPdf(path("sheet.ods"), &error), 0);
    EXPECT_EQ(error, StringTable::format(QStringLiteral("CannotPrintKind"), QStringLiteral("sheet.ods")));
    error.clear();
    EXPECT_EQ(printToPdf(path("broken.pdf"), &error), 0);
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_EQ(printToPdf(path("missing.pdf"), &error), 0);
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace tavrel
