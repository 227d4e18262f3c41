#include "app/ApplicationInfo.h"
#include "app/ApplicationResources.h"
#include "app/TQAboutController.h"
#include "app/TQDefaultPrefViewController.h"
#include "app/TQErrorDetailWindowController.h"
#include "app/TQPreferencesWindowController.h"
#include "app/TQSplashWindowController.h"
#include "model/TQPreferencesManager.h"
#include "platform/system/DMTracker.h"
#include "platform/system/Settings.h"
#include "platform/ui/StringTable.h"
#include "support/TempHome.h"
#include "support/WaitUntil.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

namespace tavrel::test {
namespace {

class ShellWindowsTest : public TempHomeTest
{
protected:
    void SetUp() override
    {
        TempHomeTest::SetUp();
        ApplicationResources::initialize();
        TQPreferencesWindowController::resetForTesting();
        TQSplashWindowController::resetForTesting();
    }
    void TearDown() override
    {
        TQAboutController::resetForTesting();
        TQErrorDetailWindowController::resetForTesting();
        TQPreferencesWindowController::resetForTesting();
        TQSplashWindowController::resetForTesting();
        TQDefaultPrefViewController::setRelauncher({});
        TQPreferencesManager::sharedManager()->setTransientValue({}, TQPreferencesManager::kTQFirstLaunchKey);
        TempHomeTest::TearDown();
    }

    // An application entry in the user's applications folder.
    QUrl installApplication(const QString& id, const QString& name)
    {
        const QString folder = home().dataHome() + QStringLiteral("/applications");
        QDir().mkpath(folder);
        QFile file(folder + QLatin1Char('/') + id);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nName=" + name.toUtf8() + "\nExec=true %F\n");
        return QUrl::fromLocalFile(file.fileName());
    }
};

TEST_F(ShellWindowsTest, AboutShowsTheVersionAndIsCentredEveryTime)
{
    TQAboutController* about = TQAboutController::aboutController();
    EXPECT_EQ(about->version(), StringTable::text(QStringLiteral("Version")) + QStringLiteral(" ") +
                                    ApplicationInfo::version());
    EXPECT_EQ(about->applicationName(),
              ApplicationInfo::infoValueForKey(QStringLiteral("CFBundleName")).toString());
    EXPECT_FALSE(about->copyright().isEmpty());
    EXPECT_FALSE(about->applicationIcon().isNull());
    const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
    for (int i = 0; i < 2; ++i) {
        about->window()->move(3, 3);
        about->showWindow(nullptr);
        EXPECT_LE((about->window()->frameGeometry().center() - centre).manhattanLength(), 2);
    }
    about->close(nullptr);
    EXPECT_FALSE(about->window()->isVisible());
}

TEST_F(ShellWindowsTest, PreferencesOpenOverTheWindowTheyWereAskedFromAndOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QWidget main;
    QMenu menu(&main);
    QAction* item = menu.addAction(QStringLiteral("Preferences…"));
    TQPreferencesWindowController* preferences = TQPreferencesWindowController::sharedPreferencesController();
    QWidget* window = preferences->window();
    const struct
    {
        const char* name;
        QRect main;
    } rows[] = {
        {"in the middle", QRect(40, 50, 700, 500)},
        {"at the screen's right edge", QRect(screen.right() - 150, 60, 600, 400)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        main.setGeometry(row.main);
        main.show();
        ASSERT_TRUE(waitUntil([&] { return main.isVisible(); }));
        preferences->showWindow(item);
        ASSERT_TRUE(waitUntil([&] { return window->isVisible(); }));
        const QRect frame = window->frameGeometry();
        EXPECT_TRUE(screen.contains(frame));
        // Centred, give or take the few points its layout settles by once shown.
        if (screen.contains(main.frameGeometry())) {
            EXPECT_LE((frame.center() - main.frameGeometry().center()).manhattanLength(), 8);
        }
        window->hide();
        main.hide();
    }
}

TEST_F(ShellWindowsTest, InformationKeysPreferTheirTranslation)
{
    // The strings table translates the name; keys it lacks come from the program itself.
    EXPECT_EQ(ApplicationInfo::infoValueForKey(QStringLiteral("CFBundleName")),
              QVariant(StringTable::text(QStringLiteral("CFBundleName"), ApplicationInfo::kLocalizedTable)));
    EXPECT_EQ(ApplicationInfo::infoValueForKey(QStringLiteral("CFBundleVersion")),
              QVariant(ApplicationInfo::version()));
    EXPECT_FALSE(ApplicationInfo::infoValueForKey(QStringLiteral("NoSuchKey")).isValid());
}

TEST_F(ShellWindowsTest, TheTourStepsThroughFourScreensAndClearsTheFirstLaunchMarkOnce)
{
    TQPreferencesManager* preferences = TQPreferencesManager::sharedManager();
    Settings::setValue(TQPreferencesManager::kUsageStatisticsKey, true);
    QStringList events;
    QObject listening;
    QObject::connect(DMTracker::defaultTracker(), &DMTracker::eventTracked, &listening,
                     [&events](const QString& category, const QString& name, const QString& value) {
                         events.append(category + QLatin1Char('/') + name + QLatin1Char('/') + value);
                     });
    preferences->setTransientValue(QStringLiteral("1"), TQPreferencesManager::kTQFirstLaunchKey);
    QWidget main;
    main.show();

    auto* tour = new TQSplashWindowController();
    QPointer<TQSplashWindowController> alive = tour;
    tour->showWindowModalToWindow(&main);
    QStringList labels;
    for (int i = 0; i < TQSplashWindowController::kScreenCount; ++i) {
        EXPECT_EQ(tour->currentIndex(), i);
        labels.append(tour->continueButton()->text());
        tour->continueButton()->click();
    }
    EXPECT_EQ(labels, (QStringList{StringTable::text(QStringLiteral("Continue")),
                                   StringTable::text(QStringLiteral("Continue")),
                                   StringTable::text(QStringLiteral("Continue")),
                                   StringTable::text(QStringLiteral("Close"))}));
    ASSERT_TRUE(waitUntil([&] { return alive.isNull(); })) << "the tour releases itself when it ends";
    EXPECT_FALSE(preferences->transientValueForKey(TQPreferencesManager::kTQFirstLaunchKey).isValid());
    ASSERT_TRUE(waitUntil([&] { return !events.isEmpty(); }));
    EXPECT_EQ(events, QStringList{QStringLiteral("Installation/Installation/") + ApplicationInfo::version()});
    EXPECT_EQ(preferences->lastVersion(), ApplicationInfo::version());

    // A second tour in the same process (after a new sign-in), skipped at once, leaves the mark.
    preferences->setTransientValue(QStringLiteral("1"), TQPreferencesManager::kTQFirstLaunchKey);
    auto* again = new TQSplashWindowController();
    alive = again;
    again->showWindowModalToWindow(&main);
    again->skipButton()->click();
    ASSERT_TRUE(waitUntil([&] { return alive.isNull(); }));
    EXPECT_EQ(preferences->transientValueForKey(TQPreferencesManager::kTQFirstLaunchKey),
              QVariant(QStringLiteral("1")));
    QCoreApplication::processEvents();
    EXPECT_EQ(events.size(), 1);
}

TEST_F(ShellWindowsTest, ErrorDetailsReuseTheirWindowAndTheCloseBoxEndsTheModalRun)
{
    TQErrorDetailWindowController* details = TQErrorDetailWindowController::sharedController();
    const QList<Error> errors{
        Error(QStringLiteral("d"), 704,
              {{QStringLiteral("a"), QStringLiteral("one")}, {QStringLiteral("b"), 2}}),
        Error(QStringLiteral("d"), 704,
              {{QStringLiteral("cause"),
                QVariant::fromValue(Error(QStringLiteral("d"), 1,
                                          {{Error::kLocalizedDescriptionKey, QStringLiteral("inner")}}))}}),
    };
    const QList<QStringList> expected{{QStringLiteral("one"), QStringLiteral("2")},
                                      {QStringLiteral("inner")}};
    QWidget* firstWindow = details->window();
    for (int i = 0; i < errors.size(); ++i) {
        QTimer::singleShot(0, details->window(), [details] { details->window()->close(); });
        EXPECT_EQ(details->showDetailsForError(errors[i]), 1);
        EXPECT_EQ(details->container(), expected[i]);
        EXPECT_FALSE(details->isRunningModal());
        EXPECT_EQ(details->window(), firstWindow);
    }
    EXPECT_EQ(details->title(), StringTable::text(QStringLiteral("ErrorDetailTitle")));
}

class PreferencesTest : public ShellWindowsTest
{
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        m_writer = installApplication(QStringLiteral("test-writer.desktop"), QStringLiteral("Test Writer"));
        m_slides = installApplication(QStringLiteral("test-slides.desktop"), QStringLiteral("Test Slides"));
    }

    // Browser, an installed suite and one that is not installed.
    static QJsonObject schema()
    {
        return QJsonDocument::fromJson(R"({
            "suites": [{"id": "web", "name": "SuiteWeb"},
                       {"id": "test", "name": "Test Suite", "apps": ["test-writer.desktop"]},
                       {"id": "absent", "name": "Absent Suite", "apps": ["absent.desktop"]}],
            "documents": [{"name": "OpenInBrowser"}, {"name": "Test Writer", "app": "test-writer.desktop"}, {"name": "A", "app": "absent.desktop"}],
            "presentations": [{"name": "OpenInBrowser"}, {"name": "Test Slides", "app": "test-slides.desktop"}, {"name": "A", "app": "absent.desktop"}],
            "spreadsheets": [{"name": "OpenInBrowser"}, {"name": "OpenInBrowser"}, {"name": "A", "app": "absent.desktop"}],
            "forms": [{"name": "OpenInBrowser"}, {"name": "OpenInBrowser"}, {"name": "A"}],
            "drawings": [{"name": "OpenInBrowser"}, {"name": "Gone", "app": "gone.desktop"}, {"name": "A"}]})")
            .object();
    }

    TQDefaultPrefViewController* pane()
    {
        TQDefaultPrefViewController* general =
            TQPreferencesWindowController::sharedPreferencesController()->generalPane();
        general->setSchema(schema());
        return general;
    }

    QUrl m_writer;
    QUrl m_slides;
};

TEST_F(PreferencesTest, ChoosingASuiteSetsEveryKindAndSurvivesARestart)
{
    TQDefaultPrefViewController* general = pane();
    QStringList suites;
    for (int i = 0; i < general->suitesPopup()->count(); ++i)
        suites.append(general->suitesPopup()->itemText(i));
    EXPECT_EQ(suites,
              (QStringList{StringTable::text(QStringLiteral("SuiteWeb")), QStringLiteral("Test Suite")}))
        << "a suite none of whose applications is installed is not offered";
    EXPECT_EQ(general->suitesPopup()->currentIndex(), 0);

    general->changeSuite(1);
    TQPreferencesManager* store = TQPreferencesManager::sharedManager();
    EXPECT_EQ(store->applicationsSuite(), QStringLiteral("test"));
    EXPECT_EQ(store->documentsAppURL(), m_writer);
    EXPECT_EQ(store->presentationsAppURL(), m_slides);
    EXPECT_TRUE(store->spreadsheetsAppURL().isEmpty());
    EXPECT_TRUE(store->drawingsAppURL().isEmpty()) << "an application that is not installed stores nothing";

    // A new window reads what was stored.
    TQPreferencesWindowController::resetForTesting();
    TQDefaultPrefViewController* reopened = pane();
    EXPECT_EQ(reopened->suitesPopup()->currentText(), QStringLiteral("Test Suite"));
    EXPECT_EQ(reopened->popupForKind(TQDefaultPrefViewController::Documents)->currentText(),
              QStringLiteral("Test Writer"));
    EXPECT_EQ(reopened->popupForKind(TQDefaultPrefViewController::Spreadsheets)->currentText(),
              StringTable::text(QStringLiteral("OpenInBrowser")));
}

TEST_F(PreferencesTest, CancellingTheOtherApplicationPanelKeepsTheChoiceAndAcceptingStoresIt)
{
    TQDefaultPrefViewController* general = pane();
    QComboBox* documents = general->popupForKind(TQDefaultPrefViewController::Documents);
    general->changeApp(TQDefaultPrefViewController::Documents,
                       documents->findText(QStringLiteral("Test Writer")));
    ASSERT_EQ(TQPreferencesManager::sharedManager()->documentsAppURL(), m_writer);

    const int other = documents->count() - 1;
    ASSERT_TRUE(documents->itemData(other, TQDefaultPrefViewController::kOtherRole).toBool());
    general->changeApp(TQDefaultPrefViewController::Documents, other);
    ASSERT_NE(general->openPanel(), nullptr);
    EXPECT_EQ(documents->currentText(), QStringLiteral("Test Writer"));
    general->openPanel()->reject();
    EXPECT_EQ(TQPreferencesManager::sharedManager()->documentsAppURL(), m_writer);
    EXPECT_EQ(documents->currentText(), QStringLiteral("Test Writer"));

    general->changeApp(TQDefaultPrefViewController::Documents, other);
    general->openPanel()->selectFile(m_slides.toLocalFile());
    static_cast<QDialog*>(general->openPanel())->accept();
    EXPECT_EQ(TQPreferencesManager::sharedManager()->documentsAppURL(), m_slides);
    EXPECT_EQ(documents->currentText(), QStringLiteral("Test Slides"));
}

TEST_F(PreferencesTest, TheDownloadsFolderIsKeptUntilReset)
{
    TQDefaultPrefViewController* general = pane();
    const QString folder = home().path() + QStringLiteral("/Elsewhere");
    QDir().mkpath(folder);
    general->chooseOtherDownloads();
    ASSERT_NE(general->openPanel(), nullptr);
    general->openPanel()->selectFile(folder);
    static_cast<QDialog*>(general->openPanel())->accept();
    EXPECT_EQ(TQDefaultPrefViewController::downloadsFolder(), folder);
    EXPECT_EQ(general->downloadsPopup()->currentText(), QStringLiteral("Elsewhere"));

    TQPreferencesWindowController::resetForTesting();
    EXPECT_EQ(pane()->downloadsPopup()->currentText(), QStringLiteral("Elsewhere"));
    pane()->resetDownloadFolder();
    EXPECT_TRUE(TQPreferencesManager::sharedManager()->downloadsBookmark().isEmpty());
    EXPECT_EQ(pane()->downloadsPopup()->currentData(TQDefaultPrefViewController::kTagRole).toInt(),
              TQDefaultPrefViewController::kDownloadsFolderTag);
}

TEST_F(PreferencesTest, WithoutATrayTheTrayOnlyChoiceIsOffWithItsReasonAndTheWindowIsInForce)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // offscreen has none
    TQPreferencesManager::sharedManager()->setApplicationLaunchPolicy(
        TQDefaultPrefViewController::kTrayOnlyPolicy);
    QComboBox* launch = pane()->launchPopup();
    const QModelIndex trayOnly = launch->model()->index(TQDefaultPrefViewController::kTrayOnlyPolicy, 0);
    EXPECT_FALSE(launch->model()->flags(trayOnly).testFlag(Qt::ItemIsEnabled));
    EXPECT_EQ(trayOnly.data(Qt::ToolTipRole).toString(),
              StringTable::text(QStringLiteral("LaunchPolicyNeedsTray")));
    EXPECT_EQ(launch->toolTip(), StringTable::text(QStringLiteral("LaunchPolicyNeedsTray")));
    EXPECT_EQ(launch->currentIndex(), 0);
    // The stored choice is kept for a desktop that has a tray.
    EXPECT_EQ(TQPreferencesManager::sharedManager()->applicationLaunchPolicy(),
              TQDefaultPrefViewController::kTrayOnlyPolicy);
}

TEST_F(PreferencesTest, ChangingTheLaunchPolicyAsksToRestart)
{
    int relaunches = 0;
    TQDefaultPrefViewController::setRelauncher([&relaunches] { ++relaunches; });
    TQDefaultPrefViewController* general = pane();
    for (const bool restartNow : {false, true}) {
        SCOPED_TRACE(restartNow ? "restart now" : "later");
        const int policy = restartNow ? 0 : 1;
        general->changeLaunchPolicy(policy);
        EXPECT_EQ(TQPreferencesManager::sharedManager()->applicationLaunchPolicy(), policy);
        ASSERT_NE(general->restartAlert(), nullptr);
        QMessageBox* box = general->restartAlert()->messageBox();
        ASSERT_NE(box, nullptr);
        const QString title =
            StringTable::text(restartNow ? QStringLiteral("RestartNow") : QStringLiteral("Later"));
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == title)
                button->click();
        }
        EXPECT_EQ(relaunches, restartNow ? 1 : 0);
    }
}

} // namespace
} // namespace tavrel::test
