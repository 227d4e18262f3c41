#include "model/TQUtility.h"

#include "model/TQPreferencesManager.h"
#include "platform/system/Paths.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <atomic>
#include <gtest/gtest.h>

namespace tavrel::test {

namespace {

using Person = TQFolderPreviewContent::Person;
const Person kUser{QStringLiteral("me@example.com"), QStringLiteral("Me")};
const Person kAnn{QStringLiteral("ann@example.com"), QStringLiteral("Ann")};
const Person kBob{QStringLiteral("bob@example.com"), QStringLiteral("Bob")};

class TQUtilityTest : public TempHomeTest
{
protected:
    static void writeFile(const QString& path, qsizetype bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(bytes, 'x'));
    }

    static QString previewOf(const TQFolderPreviewContent& content)
    {
        const QUrl url = TQUtility::sharedInstance()->preparePreviewWithCategory(content, kUser.address);
        QFile page(url.toLocalFile());
        if (!page.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(page.readAll());
    }
};

} // namespace

TEST_F(TQUtilityTest, DefaultApplicationFollowsTheKindOfTheResource)
{
    TQPreferencesManager* preferences = TQPreferencesManager::sharedManager();
    EXPECT_TRUE(TQUtility::defaultApplicationForResourcesID(QStringLiteral("spreadsheet:abc")).isEmpty())
        << "nothing chosen yet";
    preferences->setDocumentsAppURL(QUrl(QStringLiteral("file:///apps/writer.desktop")));
    preferences->setPresentationsAppURL(QUrl(QStringLiteral("file:///apps/impress.desktop")));
    preferences->setSpreadsheetsAppURL(QUrl(QStringLiteral("file:///apps/calc.desktop")));
    preferences->setFormsAppURL(QUrl(QStringLiteral("file:///apps/forms.desktop")));
    preferences->setDrawingsAppURL(QUrl(QStringLiteral("file:///apps/draw.desktop")));

    const QList<QPair<QString, QString>> rows{
        {"document:1", "file:///apps/writer.desktop"},
        {"presentation:2", "file:///apps/impress.desktop"},
        {"spreadsheet:3", "file:///apps/calc.desktop"},
        {"form:4", "file:///apps/forms.desktop"},
        {"drawing:5", "file:///apps/draw.desktop"},
        {"folder:6", ""},
        {"pdf:7", ""},
        {"", ""},
    };
    for (const auto& [resourceID, expected] : rows)
        EXPECT_EQ(TQUtility::defaultApplicationForResourcesID(resourceID).toString(), expected)
            << resourceID.toStdString();
}

TEST_F(TQUtilityTest, PreviewTemplateIsFilledInOnePassWithEscapedValues)
{
    const QString pageTemplate = QStringLiteral("<h1>[TITLE]</h1><p>[OWNER]</p><p>[UNKNOWN]</p>");
    struct Row
    {
        QString title;
        QString owner;
        QString expected;
    };
    const QList<Row> rows{
        {"Plans", "Owned by Ann", "<h1>Plans</h1><p>Owned by Ann</p><p>[UNKNOWN]</p>"},
        // A value holding a placeholder is not replaced again.
        {"[OWNER]", "Owned by [TITLE]", "<h1>[OWNER]</h1><p>Owned by [TITLE]</p><p>[UNKNOWN]</p>"},
        {"<script>alert('x')</script> & \"q\"", "Owned by <b>",
         "<h1>&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;</h1><p>Owned by "
         "&lt;b&gt;</p>"
         "<p>[UNKNOWN]</p>"},
        {"", "", "<h1></h1><p></p><p>[UNKNOWN]</p>"},
    };
    for (const Row& row : rows) {
        const QHash<QString, QString> values{{"[TITLE]", row.title}, {"[OWNER]", row.owner}};
        EXPECT_EQ(TQUtility::previewPageFromTemplate(pageTemplate, values), row.expected)
            << row.title.toStdString();
    }
}

TEST_F(TQUtilityTest, PreviewPageLiesInTheProgramCacheWithItsIcons)
{
    TQFolderPreviewContent content;
    content.title = QStringLiteral("[OWNER] <Reports>");
    content.itemCount = 2;
    content.owner = kAnn;
    content.lastModifiedBy = kBob;
    content.updatedDate = QDateTime(QDate(2026, 3, 4), QTime(10, 0), Qt::UTC);

    const QUrl url = TQUtility::sharedInstance()->preparePreviewWithCategory(content, kUser.address);
    const QString path = url.toLocalFile();
    EXPECT_TRUE(path.startsWith(Paths::cacheHome() + QLatin1Char('/'))) << path.toStdString();
    EXPECT_FALSE(QDir(Paths::documentsFolder()).exists()) << "nothing is written into the user's documents";
    for (const QString& icon : {TQUtility::kFolderIconName, TQUtility::kSharedFolderIconName}) {
        const QFileInfo info(QFileInfo(path).path() + QLatin1Char('/') + icon);
        EXPECT_TRUE(info.isFile() && info.size() > 0) << icon.toStdString();
    }

    const QString page = previewOf(content);
    EXPECT_TRUE(page.contains(QStringLiteral("<title>[OWNER] &lt;Reports&gt;</title>")));
    EXPECT_TRUE(page.contains(QStringLiteral(">2 items<")));
    EXPECT_TRUE(page.contains(QStringLiteral(">Owned by Ann<")));
    EXPECT_EQ(page.count(QStringLiteral("Owned by")), 1) << "the title's placeholder text stays text";
    EXPECT_TRUE(page.contains(QStringLiteral("Last modified ") +
                              TQUtility::sharedShortDateFormatter().stringFromDate(content.updatedDate) +
                              QStringLiteral(" by Bob")));
    EXPECT_FALSE(page.contains(QStringLiteral("<Reports>")));
}

TEST_F(TQUtilityTest, PreviewCountsItemsChoosesTheIconAndNamesWhoItIsSharedWith)
{
    struct Row
    {
        const char* label;
        quint64 items;
        Person owner;
        QList<Person> editors, viewers, commenters;
        QString content, icon, shared;
    };
    const QList<Row> rows{
        {"mine, shared with nobody", 0, kUser, {}, {}, {}, "0 items", TQUtility::kFolderIconName, ""},
        {"mine, one viewer",
         1,
         kUser,
         {},
         {kAnn},
         {},
         "1 item",
         TQUtility::kSharedFolderIconName,
         "Shared with Ann"},
        {"mine, editor and commenter are one person",
         3,
         kUser,
         {kAnn},
         {},
         {kAnn},
         "3 items",
         TQUtility::kSharedFolderIconName,
         "Shared with Ann"},
        {"mine, two people",
         2,
         kUser,
         {kAnn},
         {kBob},
         {},
         "2 items",
         TQUtility::kSharedFolderIconName,
         "Shared with 2 people"},
        {"another's, I view it",
         1,
         kAnn,
         {},
         {kUser},
         {},
         "1 item",
         TQUtility::kSharedFolderIconName,
         "Shared with Me"},
        {"another's, shared with someone else",
         1,
         kAnn,
         {kBob},
         {},
         {},
         "1 item",
         TQUtility::kFolderIconName,
         "Shared with Bob"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        TQFolderPreviewContent content;
        content.title = QStringLiteral("Folder");
        content.itemCount = row.items;
        content.owner = row.owner;
        content.editors = row.editors;
        content.viewers = row.viewers;
        content.commenters = row.commenters;
        const QString page = previewOf(content);
        EXPECT_TRUE(page.contains(QStringLiteral(">%1<").arg(row.content)));
        EXPECT_TRUE(page.contains(QStringLiteral("src=\"%1\"").arg(row.icon)));
        EXPECT_TRUE(page.contains(QStringLiteral("<div class=\"detail\">%1</div>").arg(row.shared)));
    }
}

TEST_F(TQUtilityTest, SizeOfPathAddsVisibleFilesAtAnyDepth)
{
    const QString root = home().path() + QStringLiteral("/measure");
    writeFile(root + QStringLiteral("/ten.bin"), 10);
    writeFile(root + QStringLiteral("/sub/five.bin"), 5);
    writeFile(root + QStringLiteral("/.hidden"), 100);
    writeFile(root + QStringLiteral("/.git/seven.bin"), 7);
    writeFile(root + QStringLiteral("/.git/.ignored"), 1000);
    writeFile(root + QStringLiteral("/empty/.keep"), 3);

    const QList<QPair<QString, quint64>> rows{
        {root, 22}, // hidden folders are walked, hidden names are not counted
        {root + QStringLiteral("/ten.bin"), 10},
        {root + QStringLiteral("/.hidden"), 0},
        {root + QStringLiteral("/.git"), 0}, // the path itself is hidden
        {root + QStringLiteral("/sub"), 5},
        {root + QStringLiteral("/missing"), 0},
        {QString(), 0},
    };
    for (const auto& [path, expected] : rows)
        EXPECT_EQ(TQUtility::sizeofPath(path), expected) << path.toStdString();
}

TEST_F(TQUtilityTest, SizeOfPathStopsWhenCancelled)
{
    const QString root = home().path() + QStringLiteral("/measure");
    for (int i = 0; i < 5; ++i)
        writeFile(root + QStringLiteral("/f%1.bin").arg(i), 10);

    EXPECT_EQ(TQUtility::sizeofPath(root, [] { return true; }), 0u);
    std::atomic<int> asked{0};
    // Cancelled before the fourth entry: three files counted.
    EXPECT_EQ(TQUtility::sizeofPath(root, [&] { return ++asked > 3; }), 30u);
    EXPECT_EQ(TQUtility::sizeofPath(root, [] { return false; }), 50u);
}

TEST_F(TQUtilityTest, SupportFolderIsRemovedOnlyForANewerBuild)
{
    const QString folder = Paths::applicationSupportFolder();
    writeFile(folder + QStringLiteral("/account/data.storedata"), 10);
    const QDateTime created = QFileInfo(folder).birthTime().isValid()
                                  ? QFileInfo(folder).birthTime()
                                  : QFileInfo(folder).metadataChangeTime();

    TQUtility::resetDirectory(folder, created.addSecs(-3600));
    EXPECT_TRUE(QFileInfo::exists(folder)) << "an older build keeps the folder";
    TQUtility::resetDirectory(folder, QDateTime());
    EXPECT_TRUE(QFileInfo::exists(folder)) << "an unknown build date keeps the folder";

    TQUtility::resetDirectory(folder, created.addSecs(3600));
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(waitUntil([&] { return !QFileInfo::exists(folder + QStringLiteral(".tmp")); }));
}

} // namespace tavrel::test
