#include "app/RealMainWindowController.h"

#include "AppShellTest.h"
#include "accounts/TQAccountManager.h"
#include "chrome/TQActionProcessor.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/system/Paths.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "support/WaitUntil.h"
#include "window/ActionError.h"
#include "window/TQMainWindowController.h"
#include "window/TQNotificationController.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

namespace tavrel::test {
namespace {

// The shell with the program's own main window.
class RealMainWindowControllerTest : public AppShellTest
{
protected:
    MainWindowFactory windowFactory() const override { return RealMainWindowController::factory(); }

    IMainWindowController* controller() const { return m_delegate->existingMainController(); }
    static QString log()
    {
        QFile file(Paths::logFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    QString makeFile(const QString& name)
    {
        QFile file(QDir(home().path()).filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("content of " + name.toUtf8());
        return file.fileName();
    }
    qsizetype uploads() const
    {
        return m_account.requests(QStringLiteral("POST"), QStringLiteral("/feeds/upload")).size();
    }
};

TEST_F(RealMainWindowControllerTest, ShowsTheSignedInWindowAndLogsTheAccountsDocuments)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(qobject_cast<TQMainWindowController*>(controller()->controllerObject()));
    const QRegularExpression shown(QStringLiteral("MainWindow: %1 with [1-9][0-9]* documents")
                                       .arg(QRegularExpression::escape(m_account.address())));
    EXPECT_TRUE(waitUntil([&] { return shown.match(log()).hasMatch(); }, 20000)) << log().toStdString();
}

TEST_F(RealMainWindowControllerTest, FileVerbsAndDropsReachTheWindowsServices)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    struct Row
    {
        const char* name;
        std::function<void(const QString& file)> send;
        const char* logged;
    };
    const QList<Row> rows{
        {"upload verb",
         [this](const QString& file) {
             m_delegate->handleCommand(LaunchCommand(LaunchCommand::Verb::Upload, {file}));
         },
         nullptr},
        {"get-link verb",
         [this](const QString& file) {
             m_delegate->handleCommand(LaunchCommand(LaunchCommand::Verb::GetLink, {file}));
         },
         "Called service: getLinkToShare"},
        {"drop on the window",
         [this](const QString& file) {
             QMimeData data;
             data.setUrls({QUrl::fromLocalFile(file)});
             QWidget* window = controller()->window();
             QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
             // Straight to the window's filter: a drop sent without a drag in progress never reaches it.
             static_cast<RealMainWindowController*>(controller())->eventFilter(window, &drop);
             EXPECT_TRUE(drop.isAccepted());
         },
         nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const QString file =
            makeFile(QString::fromLatin1(row.name).replace(QLatin1Char(' '), QLatin1Char('-')) +
                     QStringLiteral(".txt"));
        ASSERT_FALSE(file.isEmpty());
        const qsizetype before = uploads();
        row.send(file);
        EXPECT_TRUE(waitUntil([&] { return uploads() > before; }, 20000));
        if (row.logged) {
            EXPECT_TRUE(log().contains(QLatin1String(row.logged)));
        }
    }
}

TEST_F(RealMainWindowControllerTest, TheWindowsActionErrorsReachItsBannerWithTheDetailLink)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    const Error error(VUvodozuManager::kErrorDomain, VUvodozuManager::kSomeFetchErrorCode,
                      {{Error::kLocalizedDescriptionKey, QStringLiteral("It broke")}});
    // As the window's action callbacks report them: up the responder chain to the application.
    EXPECT_TRUE(ActionError::processActionError(error));
    const QString shown = TQNotificationController::sharedNotificationController()->plainText();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("It broke"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(StringTable::text(QStringLiteral("MoreDetail"))));
    EXPECT_TRUE(TQActionProcessor::sharedActionProcessor()->actionNamed(QStringLiteral("moreDetail")));
}

TEST_F(RealMainWindowControllerTest, SignOutClickedInTheWindowsOwnMenusEndsTheSessionAndTheWindowSafely)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    // Sign Out is in the application's submenu of the window's menu, and in the status menu the window
    // hosts where there is no tray; the browser signs in again after each.
    for (const char* which : {"application menu", "status menu"}) {
        SCOPED_TRACE(which);
        ASSERT_TRUE(waitUntil(
            [this] {
                return controller() && controller()->window()->isVisible() && currentSession() &&
                       currentSession()->state() == TQSession::kRunning;
            },
            20000));
        auto* windowController = qobject_cast<TQMainWindowController*>(controller()->controllerObject());
        ASSERT_TRUE(windowController);
        QMenu* mainMenu = windowController->mainMenu();
        ASSERT_TRUE(mainMenu);
        QList<QMenu*> holders;
        QList<QAction*> items;
        for (QAction* entry : mainMenu->actions()) {
            if (QMenu* submenu = entry->menu())
                for (QAction* item : submenu->actions())
                    if (UserInterfaceItem::command(item) == QLatin1String("toggleSession:")) {
                        holders << submenu;
                        items << item;
                    }
        }
        ASSERT_EQ(holders.size(), 2);
        const int index = QLatin1String(which) == QLatin1String("application menu") ? 0 : 1;
        QMenu* submenu = holders.at(index);
        QAction* signOut = items.at(index);
        QPointer<QWidget> window = controller()->window();
        QPointer<QMenu> main = mainMenu;
        const qsizetype signIns = m_signInPages.size();

        // As a user does: the window's menu opens, then the submenu, and the item is clicked.
        mainMenu->popup(window->mapToGlobal(QPoint(window->width() - 40, 40)));
        ASSERT_TRUE(waitUntil([&] { return mainMenu->isVisible(); }));
        mainMenu->setActiveAction(submenu->menuAction());
        submenu->popup(mainMenu->mapToGlobal(mainMenu->actionGeometry(submenu->menuAction()).topRight()));
        ASSERT_TRUE(waitUntil([&] { return submenu->isVisible(); }));
        QTest::mouseClick(submenu, Qt::LeftButton, {}, submenu->actionGeometry(signOut).center());

        EXPECT_TRUE(waitUntil([&] { return window.isNull() && main.isNull(); }));
        EXPECT_TRUE(waitUntil([&] { return m_signInPages.size() == signIns + 1; }));
    }
    EXPECT_TRUE(waitUntil([] { return TQAccountManager::accounts().size() == 1; }));
}

} // namespace
} // namespace tavrel::test
