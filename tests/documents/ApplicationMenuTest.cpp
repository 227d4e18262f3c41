#include "documents/ApplicationMenu.h"

#include "platform/ui/UserInterfaceItem.h"
#include "support/TempHome.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QUrl>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

// A desktop of our own: applications and associations only in the temporary home.
class ApplicationMenuTest : public test::TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        savedDataDirs = qgetenv("XDG_DATA_DIRS");
        savedConfigDirs = qgetenv("XDG_CONFIG_DIRS");
        // The system's types stay known; its applications do not.
        const QString data = home().path() + QStringLiteral("/system-data");
        QDir().mkpath(data);
        for (const QString& folder :
             QString::fromLocal8Bit(savedDataDirs.isEmpty() ? "/usr/local/share:/usr/share" : savedDataDirs)
                 .split(u':', Qt::SkipEmptyParts))
            if (QFileInfo(folder + QStringLiteral("/mime")).isDir() &&
                !QFileInfo::exists(data + QStringLiteral("/mime")))
                QFile::link(folder + QStringLiteral("/mime"), data + QStringLiteral("/mime"));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(data));
        QDir().mkpath(home().path() + QStringLiteral("/empty"));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(home().path() + QStringLiteral("/empty")));
        application("org.example.Reader", "Reader", "application/pdf;");
        application("alpha", "Alpha Viewer", "application/pdf;image/png;");
        application("zeta", "Zeta", "application/pdf;");
        application("tavrel", "Tavrel", "application/pdf;"); // this program: never offered
        application("editor", "Editor", "text/plain;");
        write(home().configHome() + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\napplication/pdf=org.example.Reader.desktop\n"
              "text/plain=editor.desktop\n");
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_DIRS", savedDataDirs);
        qputenv("XDG_CONFIG_DIRS", savedConfigDirs);
        TempHomeTest::TearDown();
    }
    static void write(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QString desktopFile(const char* id)
    {
        return home().dataHome() + QStringLiteral("/applications/") + QLatin1String(id) +
               QStringLiteral(".desktop");
    }
    void application(const char* id, const char* name, const char* types)
    {
        write(desktopFile(id), QByteArray("[Desktop Entry]\nType=Application\nName=") + name +
                                   "\nExec=/bin/true %f\nMimeType=" + types + "\n");
    }
    // The submenu as the interface file makes it: the default application's item, then the fixed
    // items from the one tagged 200.
    void makeMenu()
    {
        menu = std::make_unique<QMenu>();
        menu->addAction(UserInterfaceItem::makeAction(QStringLiteral("Default"), QStringLiteral("openWith:"),
                                                      menu.get()));
        menu->addAction(UserInterfaceItem::makeAction(QStringLiteral("Other…"),
                                                      QStringLiteral("chooseApplication:"), menu.get(),
                                                      ApplicationMenu::kFixedItemsTag));
    }
    QStringList titles() const
    {
        QStringList found;
        for (QAction* item : menu->actions())
            found << (item->isSeparator() ? QStringLiteral("-") : item->text());
        return found;
    }

    QByteArray savedDataDirs;
    QByteArray savedConfigDirs;
    std::unique_ptr<QMenu> menu;
    QObject target;
};

TEST_F(ApplicationMenuTest, TheSubmenuListsTheKindsApplicationsOnceEachTimeItIsRebuilt)
{
    makeMenu();
    struct Row
    {
        const char* fileName;
        QStringList titles;
    };
    const QString other = QStringLiteral("Other…");
    const Row rows[] = {
        {"Report.pdf", {"Reader", "-", "Google Docs", "Zeta", "Alpha Viewer", other}},
        {"Report.pdf", {"Reader", "-", "Google Docs", "Zeta", "Alpha Viewer", other}},
        // A kind no application takes: the text editor stands in.
        {"archive.unknownkind", {"Editor", "-", "Google Docs", other}},
        // Only the extension counts; the default is the first association, then the others.
        {"photo.png", {"Alpha Viewer", "-", "Google Docs", other}},
        {"Report.pdf", {"Reader", "-", "Google Docs", "Zeta", "Alpha Viewer", other}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fileName);
        ApplicationMenu::rebuild(menu.get(), QString::fromLatin1(row.fileName), &target);
        EXPECT_EQ(titles(), row.titles);
    }
    const QList<QAction*> items = menu->actions();
    EXPECT_EQ(UserInterfaceItem::representedObject(items[0]).toUrl(),
              QUrl::fromLocalFile(desktopFile("org.example.Reader")));
    EXPECT_EQ(UserInterfaceItem::command(items[2]), QStringLiteral("openInBrowser:"));
    EXPECT_EQ(UserInterfaceItem::tag(items[2]), ApplicationMenu::kBrowserTag);
    EXPECT_EQ(UserInterfaceItem::target(items[2]), &target);
    EXPECT_EQ(UserInterfaceItem::command(items[3]), QStringLiteral("openWith:"));
    EXPECT_EQ(UserInterfaceItem::target(items[3]), &target);
    EXPECT_EQ(UserInterfaceItem::representedObject(items[3]).toUrl(),
              QUrl::fromLocalFile(desktopFile("zeta")));
    EXPECT_EQ(UserInterfaceItem::representedObject(items[4]).toUrl(),
              QUrl::fromLocalFile(desktopFile("alpha")));
    EXPECT_EQ(UserInterfaceItem::command(items[5]), QStringLiteral("chooseApplication:"));
}

TEST_F(ApplicationMenuTest, WithoutItsFixedItemsTheSubmenuIsRebuiltToItsEndWithoutDuplicates)
{
    // A submenu that lost the item tagged 200 (or never had it): the old entries go up to its end.
    menu = std::make_unique<QMenu>();
    menu->addAction(
        UserInterfaceItem::makeAction(QStringLiteral("Default"), QStringLiteral("openWith:"), menu.get()));
    const QStringList expected{QStringLiteral("Reader"), QStringLiteral("-"), QStringLiteral("Google Docs"),
                               QStringLiteral("Zeta"), QStringLiteral("Alpha Viewer")};
    for (int opening = 0; opening < 2; ++opening) {
        ApplicationMenu::rebuild(menu.get(), QStringLiteral("Report.pdf"), &target);
        EXPECT_EQ(titles(), expected) << "opening " << opening;
    }
    // An empty submenu stays empty.
    QMenu empty;
    ApplicationMenu::rebuild(&empty, QStringLiteral("Report.pdf"), &target);
    EXPECT_TRUE(empty.actions().isEmpty());
}

} // namespace
} // namespace tavrel
