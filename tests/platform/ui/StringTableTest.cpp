#include "platform/ui/StringTable.h"

#include "support/TestData.h"
#include "support/ui/LoggingTest.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QUuid>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using StringTableTest = test::LoggingTest;

TEST_F(StringTableTest, TextsAndFormatsAreLookedUpByKey)
{
    EXPECT_EQ(StringTable::text(QStringLiteral("OK")), QStringLiteral("OK"));
    EXPECT_EQ(StringTable::format(QStringLiteral("ContactsXY"), 12, quint64(3400)),
              QStringLiteral("12 of 3400 contacts"));
    EXPECT_EQ(StringTable::format(QStringLiteral("FileModifiedTimeBy"), QStringLiteral("10:24"),
                                  QStringLiteral("Ana")),
              QStringLiteral("Changed 10:24 by Ana"));
    // Arguments are not read again: a title holding "%2" stays as it is.
    EXPECT_EQ(StringTable::format(QStringLiteral("FileModifiedTimeBy"), QStringLiteral("%2"),
                                  QStringLiteral("Ana")),
              QStringLiteral("Changed %2 by Ana"));
    EXPECT_EQ(StringTable::substitute(QStringLiteral("100% of %1, %3"), {QStringLiteral("x")}),
              QStringLiteral("100% of x, %3"));
}

TEST_F(StringTableTest, AMissingKeyShowsTheKeyAndIsLoggedOnce)
{
    // A key of its own for each run: the table remembers which keys it reported.
    const QString key = QStringLiteral("NoSuchKey") + QUuid::createUuid().toString(QUuid::Id128);
    EXPECT_EQ(StringTable::text(key), key);
    EXPECT_EQ(StringTable::format(key, 3), key);
    EXPECT_EQ(logCount("E: No localised string for the key " + key.toUtf8()), 1);
    // Titles of the interface table without a translation stay as they are, unlogged.
    EXPECT_EQ(StringTable::text(QStringLiteral("Open With"), StringTable::kInterfaceTable),
              QStringLiteral("Open With"));
    EXPECT_EQ(logCount("Open With"), 0);
}

TEST_F(StringTableTest, EveryTextIsWrittenAndNumbersItsArgumentsFromOne)
{
    static const QRegularExpression placeholder(QStringLiteral("%(\\d)"));
    const QStringList keys = StringTable::keys();
    ASSERT_GT(keys.size(), 100);
    for (const QString& key : keys) {
        const QString text = StringTable::text(key);
        EXPECT_FALSE(text.trimmed().isEmpty()) << key.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("%@"))) << key.toStdString();
        int highest = 0;
        QSet<int> seen;
        for (auto match = placeholder.globalMatch(text); match.hasNext();) {
            const int n = match.next().captured(1).toInt();
            seen.insert(n);
            highest = qMax(highest, n);
        }
        for (int n = 1; n <= highest; ++n)
            EXPECT_TRUE(seen.contains(n)) << key.toStdString() << " lacks %" << n;
    }
}

// Every key that code under src/ looks up literally must be in the table, the core's lookups included.
TEST_F(StringTableTest, EveryKeyTheCodeUsesExists)
{
    const QString sources = test::testDataDir() + QStringLiteral("/../../src");
    static const QRegularExpression lookup(QStringLiteral(
        R"re((?:StringTable::(?:text|format)|TQLocalizedStrings::localizedStringForKey)\(\s*QStringLiteral\("((?:[^"\\]|\\.)*)"\))re"));
    QStringList used;
    for (QDirIterator it(sources, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (auto match = lookup.globalMatch(text); match.hasNext();)
            used.append(match.next().captured(1));
    }
    ASSERT_FALSE(used.isEmpty()) << "no lookups found below " << sources.toStdString();
    for (const QString& key : used)
        EXPECT_TRUE(StringTable::contains(key)) << key.toStdString();
}

TEST_F(StringTableTest, ViewsAndMenusKeepTitlesWithoutATranslation)
{
    QWidget view;
    auto* layout = new QVBoxLayout(&view);
    auto* button = new QPushButton(QStringLiteral("Upload"));
    auto* label = new QLabel(QStringLiteral("Shared with"));
    layout->addWidget(button);
    layout->addWidget(label);
    QMenu menu(QStringLiteral("File"));
    menu.addAction(QStringLiteral("New Document"));
    menu.addSeparator();
    button->setMenu(&menu);
    StringTable::localizeView(&view);
    EXPECT_EQ(button->text(), QStringLiteral("Upload"));
    EXPECT_EQ(label->text(), QStringLiteral("Shared with"));
    EXPECT_EQ(menu.title(), QStringLiteral("File"));
    EXPECT_EQ(menu.actions().first()->text(), QStringLiteral("New Document"));
}

} // namespace
} // namespace tavrel
