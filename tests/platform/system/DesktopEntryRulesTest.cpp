#include "platform/system/DesktopApplications.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace tavrel::test {

namespace {

constexpr auto kType = "text/x-tavrel";

// A desktop of its own: the user's folders, two system data folders and one system configuration
// folder, all below the temporary home.
class DesktopEntryRulesTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        for (const char* name : {"XDG_DATA_DIRS", "XDG_CONFIG_DIRS", "XDG_CURRENT_DESKTOP"})
            m_saved.append({name, qgetenv(name)});
        qputenv("XDG_DATA_DIRS", QFile::encodeName(path("first") + QLatin1Char(':') + path("second")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(path("etc")));
        qputenv("XDG_CURRENT_DESKTOP", "Acme:GNOME");
    }
    void TearDown() override
    {
        for (const auto& [name, value] : std::as_const(m_saved))
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
        QLocale::setDefault(QLocale::c());
        TempHomeTest::TearDown();
    }

    // A folder by role: "user" (the data home), "first" and "second" (the system data folders),
    // "config" (the configuration home), "etc" (the system configuration folder).
    QString path(const QString& role)
    {
        if (role == QLatin1String("user"))
            return home().dataHome();
        if (role == QLatin1String("config"))
            return home().configHome();
        return home().path() + QLatin1Char('/') + role;
    }

    void write(const QString& role, const QString& relative, const QByteArray& content)
    {
        const QString file = path(role) + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
    }
    // An application declaring the test type, with extra lines of its entry.
    void application(const QString& role, const QString& id, const QByteArray& name,
                     const QByteArray& extra = {})
    {
        QString relative = id;
        write(role, QStringLiteral("applications/") + relative.replace(QLatin1Char('+'), QLatin1Char('/')),
              "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + name.toLower() +
                  " %f\nMimeType=text/x-tavrel;\n" + extra);
    }

    // An installed application that does not declare the test type.
    void installed(const QString& role, const QString& id, const QByteArray& name)
    {
        write(role, QStringLiteral("applications/") + id,
              "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + name.toLower() + " %f\n");
    }

    static QStringList names(const QList<DesktopApplications::Entry>& entries)
    {
        QStringList out;
        for (const auto& entry : entries)
            out.append(entry.name);
        return out;
    }
    static QString defaultName()
    {
        return DesktopApplications::defaultApplicationForMIMEType(QString::fromLatin1(kType)).name;
    }
    static QStringList listed()
    {
        return names(DesktopApplications::applicationsForMIMEType(QString::fromLatin1(kType)));
    }

private:
    QList<std::pair<const char*, QByteArray>> m_saved;
};

} // namespace

TEST_F(DesktopEntryRulesTest, MenusShowOnlyEntriesMeantForThisDesktop)
{
    struct Row
    {
        const char* id;
        QByteArray extra;
        bool shown;
    };
    // The running desktop is "Acme:GNOME": its first name that an entry lists decides.
    const Row rows[] = {
        {"a-plain.desktop", "", true},
        {"b-nodisplay.desktop", "NoDisplay=true\n", false},
        {"c-kde-only.desktop", "OnlyShowIn=KDE;\n", false},
        {"d-gnome-only.desktop", "OnlyShowIn=XFCE;GNOME;\n", true},
        {"e-not-acme.desktop", "NotShowIn=Acme;\n", false},
        {"f-acme-not-gnome.desktop", "OnlyShowIn=Acme;\nNotShowIn=GNOME;\n", true},
        {"g-gnome-not-acme.desktop", "OnlyShowIn=GNOME;\nNotShowIn=Acme;\n", false},
        {"h-not-kde.desktop", "NotShowIn=KDE;\n", true},
    };
    QStringList expected;
    for (const Row& row : rows) {
        const QByteArray name = QByteArray(row.id).chopped(8);
        application(QStringLiteral("first"), QString::fromLatin1(row.id), name, row.extra);
        if (row.shown)
            expected.append(QString::fromLatin1(name));
    }
    EXPECT_EQ(listed(), expected);

    // A default the user chose opens the file even when menus leave it out.
    write(QStringLiteral("config"), QStringLiteral("mimeapps.list"),
          "[Default Applications]\ntext/x-tavrel=b-nodisplay.desktop\n");
    EXPECT_EQ(defaultName(), QStringLiteral("b-nodisplay"));
    EXPECT_FALSE(listed().contains(QStringLiteral("b-nodisplay")));
}

TEST_F(DesktopEntryRulesTest, HiddenEntriesAreDeletedAndMissingTryExecProgramsNotInstalled)
{
    // The user's Hidden copy deletes the system's entry of the same id.
    application(QStringLiteral("first"), QStringLiteral("masked.desktop"), "Masked");
    application(QStringLiteral("user"), QStringLiteral("masked.desktop"), "Masked", "Hidden=true\n");
    application(QStringLiteral("first"), QStringLiteral("no-program.desktop"), "NoProgram",
                "TryExec=tavrel-no-such-program\n");
    application(QStringLiteral("first"), QStringLiteral("absolute.desktop"), "Absolute", "TryExec=/bin/sh\n");
    application(QStringLiteral("first"), QStringLiteral("searched.desktop"), "Searched", "TryExec=sh\n");
    application(QStringLiteral("second"), QStringLiteral("vendor+nested.desktop"), "Nested");
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("Absolute"), QStringLiteral("Searched"),
                                     QStringLiteral("Nested")}));
    EXPECT_FALSE(DesktopApplications::entryForDesktopFile(QStringLiteral("masked.desktop")).isValid());
    EXPECT_FALSE(DesktopApplications::entryForDesktopFile(QStringLiteral("no-program.desktop")).isValid());
    EXPECT_EQ(DesktopApplications::entryForDesktopFile(QStringLiteral("vendor-nested.desktop")).name,
              QStringLiteral("Nested"));
}

TEST_F(DesktopEntryRulesTest, RemovedAssociationsReachOnlyLessImportantPlaces)
{
    application(QStringLiteral("user"), QStringLiteral("early.desktop"), "Early");
    application(QStringLiteral("first"), QStringLiteral("declared.desktop"), "Declared");
    application(QStringLiteral("first"), QStringLiteral("late.desktop"), "Late");
    application(QStringLiteral("second"), QStringLiteral("later.desktop"), "Later");
    installed(QStringLiteral("first"), QStringLiteral("other.desktop"), "Other");
    installed(QStringLiteral("first"), QStringLiteral("kept.desktop"), "Kept");
    // The user removes what the system declares and adds, but keeps what the same file adds.
    write(QStringLiteral("config"), QStringLiteral("mimeapps.list"),
          "[Added Associations]\ntext/x-tavrel=kept.desktop;\n"
          "[Removed Associations]\ntext/x-tavrel=declared.desktop;other.desktop;kept.desktop;\n");
    write(QStringLiteral("etc"), QStringLiteral("mimeapps.list"),
          "[Added Associations]\ntext/x-tavrel=other.desktop;\n");
    // A system folder's removal reaches its own and later folders, never the user's.
    write(QStringLiteral("first"), QStringLiteral("applications/mimeapps.list"),
          "[Removed Associations]\ntext/x-tavrel=early.desktop;late.desktop;later.desktop;\n");
    EXPECT_EQ(listed(), (QStringList{QStringLiteral("Kept"), QStringLiteral("Early")}));
    EXPECT_EQ(defaultName(), QStringLiteral("Kept"));
}

TEST_F(DesktopEntryRulesTest, DefaultsFollowThePrecedenceOfDesktopAndCommonLists)
{
    for (const char* name : {"Acme", "Gnome", "Common", "System"})
        installed(QStringLiteral("first"), QString::fromLatin1(name).toLower() + QStringLiteral(".desktop"),
                  name);
    application(QStringLiteral("second"), QStringLiteral("declared.desktop"), "Declared");
    struct Row
    {
        const char* role;
        const char* file;
        const char* defaults;
    };
    // Most important first; each row's list names the application the row expects.
    const Row rows[] = {
        {"config", "acme-mimeapps.list", "missing.desktop;acme.desktop"},
        {"config", "gnome-mimeapps.list", "gnome.desktop"},
        {"config", "mimeapps.list", "common.desktop"},
        {"etc", "acme-mimeapps.list", "system.desktop"},
    };
    for (const Row& row : rows)
        write(QString::fromLatin1(row.role), QString::fromLatin1(row.file),
              QByteArray("[Default Applications]\ntext/x-tavrel=") + row.defaults + "\n");
    const QStringList order{QStringLiteral("Acme"), QStringLiteral("Gnome"), QStringLiteral("Common"),
                            QStringLiteral("System"), QStringLiteral("Declared")};
    EXPECT_EQ(listed(), order);
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");
    EXPECT_EQ(defaultName(), QStringLiteral("Gnome"));
    qunsetenv("XDG_CURRENT_DESKTOP");
    EXPECT_EQ(defaultName(), QStringLiteral("Common"));
    QFile::remove(path(QStringLiteral("config")) + QStringLiteral("/mimeapps.list"));
    EXPECT_EQ(defaultName(), QStringLiteral("Declared")) << "the desktop's own lists are not read";
}

TEST_F(DesktopEntryRulesTest, NamesAreInTheUsersLanguage)
{
    application(QStringLiteral("first"), QStringLiteral("editor.desktop"), "Editor",
                "Name[de]=Bearbeiter\nName[de_AT]=Bearbeiter (AT)\nName[fr_CA]=Editeur (CA)\n");
    const struct
    {
        const char* locale;
        const char* name;
    } rows[] = {{"de_AT", "Bearbeiter (AT)"}, {"de_DE", "Bearbeiter"}, {"fr_FR", "Editor"}, {"C", "Editor"}};
    for (const auto& row : rows) {
        QLocale::setDefault(QLocale(QString::fromLatin1(row.locale)));
        EXPECT_EQ(defaultName(), QString::fromUtf8(row.name)) << row.locale;
    }
}

} // namespace tavrel::test
