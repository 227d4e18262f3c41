#include "app/RealMainWindowController.h"

#include "AppShellTest.h"
#include "accounts/TQAccountManager.h"
#include "actions/GDataContactManager.h"
#include "actions/GDataDocumentManager.h"
#include "app/TQMainStatusItemController.h"
#include "chrome/IUIAction.h"
#include "chrome/TQActionProcessor.h"
#include "chrome/TQFilteringViewController.h"
#include "documents/TQAllItemsCommands.h"
#include "documents/TQAllItemsController.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/TQMOCMaster.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/gdata/GDataServiceGoogleContact.h"
#include "platform/gdata/GDataServiceGoogleDocs.h"
#include "platform/runtime/Timing.h"
#include "platform/store/FetchRequest.h"
#include "platform/system/Paths.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ConnectionStatus.h"
#include "support/WaitUntil.h"
#include "window/ActionError.h"
#include "window/TQMainWindowController.h"
#include "window/TQNotificationController.h"

#include <QAction>
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

// Requests the services refuse are retried; a test need not wait seconds for that.
void shortenRetries(TQSession* session)
{
    for (GDataServiceBase* client :
         {static_cast<GDataServiceBase*>(session->documentManager()->gdataManager()->service()),
          static_cast<GDataServiceBase*>(session->contactManager()->gdataManager()->service())}) {
        client->setServiceRetryBaseInterval(0.01);
        client->setServiceMaxRetryInterval(0.02);
    }
}

TEST_F(RealMainWindowControllerTest,
       ARenameTheServiceRefusesReachesTheBannerWithItsCauseAndOfflineShowsAtOnce)
{
    // The connection's own look comes far too late to count: only the refused request can tell it.
    Timing::Override interval("reachabilityProbeInterval", 600000);
    Timing::Override offlineInterval("reachabilityOfflineProbeInterval", 600000);
    launchSignedIn();
    if (HasFatalFailure())
        return;
    TQSession* session = currentSession();
    shortenRetries(session);
    ConnectionStatus* connection = m_delegate->connectionStatus();
    ASSERT_TRUE(waitUntil([&] { return connection && connection->isOnline(); }, 20000));
    auto* window = qobject_cast<TQMainWindowController*>(controller()->controllerObject());
    auto* filtering = qobject_cast<TQFilteringViewController*>(window->allItemsController());
    ASSERT_NE(filtering, nullptr);
    auto* list = qobject_cast<TQAllItemsController*>(filtering->controller());
    ASSERT_NE(list, nullptr);
    const auto documents = ContextFetch::executeFetchRequestSafely<File>(
        session->mocManager()->masterMOC(), FetchRequest(QStringLiteral("File")));
    ASSERT_FALSE(documents.isEmpty());
    const QString title = documents.first()->title();
    TQNotificationController* banner = TQNotificationController::sharedNotificationController();
    banner->setMessage(QString());

    m_account.service.stop();
    list->commands()->renameRecord(documents.first(), QStringLiteral("Renamed while offline"));
    EXPECT_TRUE(waitUntil([&] { return !connection->isOnline(); }, 5000));
    // Whichever of the window's actions fails first (the rename, a thumbnail), it says why.
    const QString cause = StringTable::format(QStringLiteral("ActionFailedFormat"), QString());
    EXPECT_TRUE(waitUntil(
        [&] {
            const QString text = banner->plainText();
            return text.startsWith(cause) && text.contains(QStringLiteral("refused"), Qt::CaseInsensitive);
        },
        20000))
        << banner->plainText().toStdString();
    const QString shown = banner->plainText();
    EXPECT_TRUE(shown.contains(StringTable::text(QStringLiteral("MoreDetail")))) << shown.toStdString();
    EXPECT_TRUE(TQActionProcessor::sharedActionProcessor()->actionNamed(QStringLiteral("moreDetail")));
    // Nothing was renamed: the stored title stays.
    EXPECT_EQ(documents.first()->title(), title);
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

TEST_F(RealMainWindowControllerTest, ARefusedSignInSaysSoAndOffersSigningInAgainNeverUpdated)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    TQSession* session = currentSession();
    shortenRetries(session);
    TQMainStatusItemController* status = TQMainStatusItemController::existingController();
    ASSERT_NE(status, nullptr);
    m_delegate->connectionStatus()->setOnline(true);
    // A synchronisation that succeeds says so.
    QList<Error> finished;
    QObject::connect(session, &TQSession::synchronisationFinished, session,
                     [&](const Error& error) { finished.append(error); });
    session->mocManager()->masterMOC()->fastUpdate();
    ASSERT_TRUE(waitUntil([&] { return !finished.isEmpty(); }, 20000));
    EXPECT_TRUE(finished.last().isNull()) << finished.last().description().toStdString();
    const QString updated =
        StringTable::format(QStringLiteral("UpdatedAt"), QString()).section(QLatin1Char(' '), 0, 0);
    // Once the other actions of the start are done.
    EXPECT_TRUE(waitUntil([&] { return status->status().startsWith(updated); }, 20000))
        << status->status().toStdString();

    // The user withdrew the program's access: the refresh token is refused ("invalid_grant").
    m_account.service.revokeTokens();
    session->mocManager()->masterMOC()->fastUpdate();
    ASSERT_TRUE(waitUntil([&] { return finished.size() == 2; }, 20000));
    EXPECT_FALSE(finished.last().isNull());
    EXPECT_TRUE(session->needsSignIn());
    EXPECT_EQ(status->status(), StringTable::text(QStringLiteral("SignInAgainNeeded")));
    EXPECT_FALSE(status->status().startsWith(updated));
    TQNotificationController* banner = TQNotificationController::sharedNotificationController();
    EXPECT_TRUE(banner->plainText().startsWith(StringTable::text(QStringLiteral("SignInAgainNeeded"))))
        << banner->plainText().toStdString();
    EXPECT_TRUE(banner->plainText().contains(StringTable::text(QStringLiteral("SignInAgain"))));
    // The session's menu item offers it too, and the banner's link signs out to sign in again.
    QAction* item = UserInterfaceItem::makeAction(QString(), QStringLiteral("toggleSession:"), session);
    m_delegate->validateUserInterfaceItem(item);
    EXPECT_EQ(item->text(), StringTable::text(QStringLiteral("SignInAgain")));
    const IUIActionPtr signIn =
        TQActionProcessor::sharedActionProcessor()->actionNamed(QStringLiteral("signInAgain"));
    ASSERT_TRUE(signIn);
    QPointer<TQSession> old(session);
    signIn->execute();
    EXPECT_TRUE(waitUntil([&] { return currentSession() != old.data() || !old; }, 20000));
}

} // namespace
} // namespace tavrel::test
