#include "actions/TransferSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tavrel::test {
namespace {

TEST(SafeFileName, TitlesBecomeOneNameThatStaysInItsFolderWithinTheLimit)
{
    const QString longLatin(300, QLatin1Char('a'));
    const QString longAccented = QString(200, QChar(0x00e9));                      // 2 bytes each
    const QString longEmoji = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(100); // 4 bytes each
    struct Row
    {
        const char* name;
        QString title;
        QString extension;
        QString expected; // empty: only the general promises are checked
    };
    const QList<Row> rows = {
        {"plain", QStringLiteral("Budget 2024"), QStringLiteral("xls"), QStringLiteral("Budget 2024.xls")},
        {"own extension kept", QStringLiteral("Scan.pdf"), {}, QStringLiteral("Scan.pdf")},
        {"slash", QStringLiteral("Q1/Q2 plan"), {}, QStringLiteral("Q1:Q2 plan")},
        {"resource path", QStringLiteral("/etc/passwd"), {}, QStringLiteral("_etc:passwd")},
        {"colon first", QStringLiteral(":memory"), {}, QStringLiteral("_memory")},
        {"hidden", QStringLiteral(".bashrc"), {}, QStringLiteral("_bashrc")},
        {"dot", QStringLiteral("."), {}, QStringLiteral("_")},
        {"dot dot", QStringLiteral(".."), {}, QStringLiteral("_.")},
        {"climbing", QStringLiteral("../../x"), {}, QStringLiteral("_.:..:x")},
        {"NUL", QStringLiteral("report") + QChar(0) + QStringLiteral("hidden"), QStringLiteral("doc"),
         QStringLiteral("reporthidden.doc")},
        {"controls",
         QStringLiteral("a\x01\x07\x7f"
                        "b\tc\nd"),
         {},
         QStringLiteral("ab c d")},
        {"C1 controls",
         QStringLiteral("x") + QChar(0x85) + QChar(0x9f) + QStringLiteral("y"),
         {},
         QStringLiteral("xy")},
        {"colour escape", QStringLiteral("\x1b[31;1mred\x1b[0m title"), {}, QStringLiteral("red title")},
        {"title escape", QStringLiteral("\x1b]0;pwned\x07name"), {}, QStringLiteral("name")},
        {"C1 escape", QChar(0x9b) + QStringLiteral("2Jclear"), {}, QStringLiteral("clear")},
        {"direction override",
         QStringLiteral("invoice") + QChar(0x202e) + QStringLiteral("fdp.exe"),
         {},
         QStringLiteral("invoicefdp.exe")},
        {"only controls", QStringLiteral("\x01\x02"), QStringLiteral("doc"), QStringLiteral("Untitled.doc")},
        {"empty", QString(), {}, QStringLiteral("Untitled")},
        {"long ASCII", longLatin, QStringLiteral("doc"),
         QString(219, QLatin1Char('a')) + QStringLiteral(".doc")},
        {"long ASCII with its own extension",
         longLatin + QStringLiteral(".txt"),
         {},
         QString(219, QLatin1Char('a')) + QStringLiteral(".txt")},
        {"long two-byte", longAccented, {}, QString(111, QChar(0x00e9))},
        {"long emoji", longEmoji, QStringLiteral("pdf"),
         QString::fromUtf8("\xF0\x9F\x98\x80").repeated(54) + QStringLiteral(".pdf")},
    };
    QTemporaryDir folder;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString name = TransferSupport::safeFileName(row.title, row.extension);
        if (!row.expected.isEmpty()) {
            EXPECT_EQ(name, row.expected);
        }
        EXPECT_FALSE(name.isEmpty());
        EXPECT_LE(name.toUtf8().size(), TransferSupport::kMaximumSafeNameBytes);
        EXPECT_FALSE(name.contains(QLatin1Char('/')));
        EXPECT_FALSE(name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char(':')));
        for (const QChar c : name)
            EXPECT_NE(c.category(), QChar::Other_Control);
        // It can be written, with room for a temporary copy's name beside it.
        QFile file(folder.filePath(QStringLiteral(".") + name + QStringLiteral(".XXXXXX.part (99)")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << file.errorString().toStdString();
        file.remove();
    }
}

} // namespace
} // namespace tavrel::test
