#include "AppShellTest.h"
#include "accounts/TQAccountManager.h"
#include "actions/DocumentManagerHandler.h"
#include "actions/FastCoreDataUpdateOperation.h"
#include "app/CordelApplication.h"
#include "app/InstanceChannel.h"
#include "app/TQErrorDetailWindowController.h"
#include "app/TQMainStatusItemController.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/TQMOCMaster.h"
#include "model/TQPreferencesManager.h"
#include "pipeline/VUvodozuManager.h"
#include "platform/runtime/ClassRegistry.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/system/Paths.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSessionManager.h"
#include "support/Unreadable.h"
#include "support/WaitUntil.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSystemTrayIcon>
#include <QTimer>
#include <future>
#include <thread>

namespace tavrel {

// Stands in for the upload action where the program has none of its own: records what it was asked.
class dmhUploadFiles : public DocumentManagerHandler
{
    Q_OBJECT
public:
    static QList<QList<QUrl>>& requests()
    {
        static QList<QList<QUrl>> received;
        return received;
    }
    void executeActionAndCall(const InvocationPtr& invocation, const QVariantMap& parameters) override
    {
        requests().append(parameters.value(QStringLiteral("fileURLs")).value<QList<QUrl>>());
        callExternalInvocation(invocation, QVariant(), Error());
    }
    Q_INVOKABLE QVariantMap defaultCallbackForParams(const QVariantMap& result) override { return result; }
};

TAVREL_REGISTER_CLASS(dmhUploadFiles)

namespace test {
namespace {

class CordelAppDelegateTest : public AppShellTest
{
};

// An action's error as the responder chain carries it.
class ErrorSender : public QObject
{
public:
    explicit ErrorSender(const Error& error) { setProperty("error", QVariant::fromValue(error)); }
};

TEST_F(CordelAppDelegateTest, WithoutAnAccountTheSignInPageOpensAndNothingElse)
{
    m_browserSignsIn = false;
    launch();
    ASSERT_TRUE(waitUntil([this] { return !m_signInPages.isEmpty(); }));
    EXPECT_TRUE(m_signInPages.first().path().endsWith(QLatin1String("/o/oauth2/auth")));
    EXPECT_EQ(m_delegate->existingMainController(), nullptr);
    EXPECT_EQ(TQMainStatusItemController::setupCount(), 0);
    EXPECT_NE(m_delegate->connectionStatus(), nullptr);
}

TEST_F(CordelAppDelegateTest, ASignedInSessionShowsTheWindowAndOneTrayItemAndLogOutAsksAgain)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    EXPECT_EQ(m_signInPages.size(), 1);
    EXPECT_EQ(TQMainStatusItemController::setupCount(), 1);
    EXPECT_EQ(TQAccountManager::accounts().size(), 1);
    ASSERT_TRUE(waitUntil([this] { return window()->documentList()->count() > 0; }));
    EXPECT_EQ(window()->accountLabel()->text(), m_account.address());

    // Log out: the account is forgotten, the window goes and the sign-in page opens again; the
    // browser signs in again, and the program comes back with a new window but the same tray item.
    StandInMainWindowController* first = window();
    QPointer<QWidget> firstWindow = first->window();
    m_delegate->toggleSession(nullptr);
    // The window hides at once and goes once the event that asked is over.
    ASSERT_FALSE(firstWindow.isNull());
    EXPECT_FALSE(firstWindow->isVisible());
    EXPECT_TRUE(waitUntil([&] { return firstWindow.isNull(); }));
    ASSERT_TRUE(waitUntil([this] { return m_signInPages.size() == 2; }));
    ASSERT_TRUE(waitUntil([this] { return window() && window()->window()->isVisible(); }, 20000));
    EXPECT_EQ(TQMainStatusItemController::setupCount(), 1);
    EXPECT_EQ(TQAccountManager::accounts().size(), 1);
    EXPECT_EQ(
        TQPreferencesManager::sharedManager()->transientValueForKey(TQPreferencesManager::kTQFirstLaunchKey),
        QVariant(QStringLiteral("1")));
}

TEST_F(CordelAppDelegateTest, InTheTrayOnlyWithoutATrayTheWindowShowsAnyway)
{
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()); // offscreen has none
    m_activationPolicy = CordelApplication::Accessory;
    launchSignedIn();
    if (HasFatalFailure())
        return;
    EXPECT_TRUE(window()->window()->isVisible());
    ASSERT_TRUE(TQMainStatusItemController::existingController());
    EXPECT_FALSE(TQMainStatusItemController::existingController()->trayIcon());
}

TEST_F(CordelAppDelegateTest, TheDefaultAccountResumesWithoutSigningIn)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    endDelegate();
    ASSERT_EQ(TQAccountManager::accounts().size(), 1) << "ending the program is no log-out";
    TQMainStatusItemController::resetForTesting();

    launchSignedIn();
    EXPECT_EQ(m_signInPages.size(), 1);
}

TEST_F(CordelAppDelegateTest, QuittingSavesTheStoreOnceHoweverOftenItIsAsked)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    TQMOCMaster* master = currentSession()->mocManager()->masterMOC();
    const auto documents =
        ContextFetch::executeFetchRequestSafely<File>(master, FetchRequest(QStringLiteral("File")));
    ASSERT_FALSE(documents.isEmpty());
    documents.first()->setIsNew(!documents.first()->isNew());
    ASSERT_TRUE(master->hasChanges());
    // A synchronisation runs while the quits arrive.
    currentSession()->scheduleUpdateOperation(QStringLiteral("FastCoreDataUpdateOperation"), false, master);

    int ready = 0;
    QObject::connect(m_delegate.get(), &CordelAppDelegate::readyToQuit, [&ready] { ++ready; });
    m_delegate->terminate(nullptr);
    m_delegate->terminate(nullptr);
    EXPECT_EQ(ready, 1);
    EXPECT_FALSE(master->hasChanges());
    EXPECT_TRUE(m_delegate->isTerminating());
    endDelegate();
    EXPECT_EQ(TQAccountManager::accounts().size(), 1);
}

TEST_F(CordelAppDelegateTest, EveryActionErrorReachesTheBannerWithItsCause)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    struct Row
    {
        const char* name;
        QString domain;
        qint64 code;
        QString text; // how the banner starts
        QString link;
    };
    const QString domain = VUvodozuManager::kErrorDomain;
    const QString details = StringTable::text(QStringLiteral("MoreDetail"));
    const QList<Row> rows{
        {"unexpected", domain, VUvodozuManager::kUnexpectedErrorCode, QStringLiteral("It broke"), QString()},
        {"some entries failed", domain, VUvodozuManager::kSomeFetchErrorCode, QStringLiteral("It broke"),
         details},
        {"another domain (a refused connection)", QStringLiteral("GTMHTTPFetcherErrorDomain"), 1,
         StringTable::format(QStringLiteral("ActionFailedFormat"), QStringLiteral("It broke")), details},
        {"not authorised", domain, VUvodozuManager::kNotAuthorizedErrorCode,
         StringTable::text(QStringLiteral("SignInAgainNeeded")),
         StringTable::text(QStringLiteral("SignInAgain"))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        window()->banner()->hide();
        window()->banner()->clear();
        const Error error(row.domain, row.code,
                          {{Error::kLocalizedDescriptionKey, QStringLiteral("It broke")}});
        ErrorSender sender(error);
        ResponderChain::send(QStringLiteral("processActionError:"), &sender);
        EXPECT_TRUE(window()->banner()->isVisibleTo(window()->window()));
        const QString shown = window()->banner()->text();
        EXPECT_TRUE(shown.startsWith(row.text)) << shown.toStdString();
        if (row.link.isEmpty()) {
            EXPECT_FALSE(shown.contains(details)) << shown.toStdString();
        } else {
            EXPECT_TRUE(shown.contains(row.link)) << shown.toStdString();
        }
    }
}

TEST_F(CordelAppDelegateTest, MoreDetailListsEveryMessageOfTheError)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    const Error error(
        VUvodozuManager::kErrorDomain, VUvodozuManager::kSomeFetchErrorCode,
        {{Error::kLocalizedDescriptionKey, QStringLiteral("Some items could not be processed.")},
         {QStringLiteral("a.pdf"), QStringLiteral("a.pdf: not found")},
         {QStringLiteral("b.txt"), QStringLiteral("b.txt: no permission")}});
    m_delegate->processError(error);
    TQErrorDetailWindowController* details = TQErrorDetailWindowController::sharedController();
    QStringList shown;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        shown = details->container();
        wasModal = details->isRunningModal() && details->window()->isVisible();
        details->dismissButton()->click();
    });
    window()->performBannerAction(QStringLiteral("moreDetail"));
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown.contains(QStringLiteral("b.txt: no permission")));
    EXPECT_EQ(details->list()->count(), 3);
    EXPECT_FALSE(details->window()->isVisible());
}

TEST_F(CordelAppDelegateTest, MenuCommandsFollowWhetherSomeoneIsSignedIn)
{
    struct Row
    {
        const char* command;
        bool enabledSignedOut;
        bool enabledSignedIn;
    };
    const QList<Row> rows{
        {"toggleSession:", true, true},   {"newDocument:", false, false}, {"fakeSelector:", false, true},
        {"showMainWindow:", false, true}, {"showAbout:", true, true},     {"terminate:", true, true},
        {"noSuchCommand:", false, false},
    };
    m_browserSignsIn = false;
    launch();
    const auto check = [&](bool signedIn) {
        for (const Row& row : rows) {
            SCOPED_TRACE(row.command);
            QAction item;
            UserInterfaceItem::setCommand(&item, QString::fromLatin1(row.command));
            EXPECT_EQ(m_delegate->validateUserInterfaceItem(&item),
                      signedIn ? row.enabledSignedIn : row.enabledSignedOut);
            if (QLatin1String(row.command) == QLatin1String("toggleSession:")) {
                EXPECT_EQ(UserInterfaceItem::title(&item),
                          StringTable::text(signedIn ? QStringLiteral("Logout") : QStringLiteral("Start")));
            }
        }
    };
    check(false);
    endDelegate();
    m_browserSignsIn = true;
    launchSignedIn();
    if (HasFatalFailure())
        return;
    check(true);

    // Signing out is refused while the first synchronisation runs.
    QAction toggle;
    UserInterfaceItem::setCommand(&toggle, QStringLiteral("toggleSession:"));
    currentSession()->setState(TQSession::kFirstSyncRunning);
    EXPECT_FALSE(m_delegate->validateUserInterfaceItem(&toggle));
    currentSession()->setState(TQSession::kRunning);
}

TEST_F(CordelAppDelegateTest, UploadSentByALaterStartUploadsEveryFile)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    InstanceChannel channel;
    ASSERT_TRUE(channel.listen());
    QObject::connect(&channel, &InstanceChannel::commandReceived, m_delegate.get(),
                     &CordelAppDelegate::handleCommand);
    QStringList files;
    for (const QString& name : {QStringLiteral("a.pdf"), QStringLiteral("b.txt")}) {
        QFile file(QDir(home().path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("content of " + name.toUtf8());
        files.append(file.fileName());
    }
    dmhUploadFiles::requests().clear();
    QString error;
    const auto command = LaunchCommand::fromArguments({QStringLiteral("tavrel"), QStringLiteral("upload"),
                                                       QStringLiteral("a.pdf"), QStringLiteral("b.txt")},
                                                      home().path(), &error);
    ASSERT_TRUE(command.has_value()) << error.toStdString();
    auto sent = std::async(std::launch::async,
                           [command] { return InstanceChannel::sendToRunningInstance(*command); });
    ASSERT_TRUE(
        waitUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_TRUE(sent.get());

    // Where the program has its own upload action, both files reach the service.
    if (ClassRegistry::instance().hasClass(QStringLiteral("TQdmhUploadFilesOperation"))) {
        EXPECT_TRUE(waitUntil(
            [&] {
                return m_account.requests(QStringLiteral("POST"), QStringLiteral("/feeds/upload")).size() >=
                       2;
            },
            20000));
        return;
    }
    ASSERT_TRUE(waitUntil([] { return dmhUploadFiles::requests().size() == 1; }));
    EXPECT_EQ(dmhUploadFiles::requests().first(),
              (QList<QUrl>{QUrl::fromLocalFile(files[0]), QUrl::fromLocalFile(files[1])}));
}

TEST_F(CordelAppDelegateTest, FilesWithNobodySignedInAreNotUploaded)
{
    m_browserSignsIn = false;
    launch();
    dmhUploadFiles::requests().clear();
    m_delegate->handleCommand(
        LaunchCommand(LaunchCommand::Verb::Upload, {QDir(home().path()).filePath(QStringLiteral("a.pdf"))}));
    m_delegate->openFiles({QDir(home().path()).filePath(QStringLiteral("x.tavrel"))});
    QCoreApplication::processEvents();
    EXPECT_TRUE(dmhUploadFiles::requests().isEmpty());
}

// Files handed over while the program is still signing in wait for the session instead of being
// dropped: their senders were already told they were taken.
TEST_F(CordelAppDelegateTest, FilesHandedOverBeforeTheSessionIsUpWaitForIt)
{
    QFile file(QDir(home().path()).filePath(QStringLiteral("early.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("handed over early");
    file.close();
    dmhUploadFiles::requests().clear();
    launch();
    ASSERT_EQ(currentSession(), nullptr);
    m_delegate->handleCommand(LaunchCommand(LaunchCommand::Verb::Upload, {file.fileName()}));
    EXPECT_TRUE(dmhUploadFiles::requests().isEmpty());
    ASSERT_TRUE(waitUntil(
        [this] { return currentSession() && currentSession()->state() == TQSession::kRunning; }, 20000));
    if (ClassRegistry::instance().hasClass(QStringLiteral("TQdmhUploadFilesOperation"))) {
        EXPECT_TRUE(waitUntil(
            [&] {
                return !m_account.requests(QStringLiteral("POST"), QStringLiteral("/feeds/upload")).isEmpty();
            },
            20000));
        return;
    }
    ASSERT_TRUE(waitUntil([] { return dmhUploadFiles::requests().size() == 1; }));
    EXPECT_EQ(dmhUploadFiles::requests().first(), QList<QUrl>{QUrl::fromLocalFile(file.fileName())});
}

// What the user must know of the files below the program reaches the banner: a failed save of a
// background synchronisation with its cause, a damaged store set aside, a store or a settings file that
// cannot be read.
TEST_F(CordelAppDelegateTest, ProblemsWithTheFilesReachTheBanner)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    const Error failed = VUvodozuManager::unexpectedErrorWithReason(
        QStringLiteral("The changes could not be saved: disk is full"));
    std::thread([&failed] {
        NotificationCenter::defaultCenter().post(
            FastCoreDataUpdateOperation::kSaveFailedNotification, QVariant(),
            {{FastCoreDataUpdateOperation::kErrorKey, QVariant::fromValue(failed)}});
    }).join();
    EXPECT_TRUE(waitUntil([this] {
        return window()->banner()->text().contains(QStringLiteral("disk is full"));
    })) << window()->banner()->text().toStdString();
    const QString store = currentSession()->mocManager()->persistentStoreCoordinator()->storePath();
    endDelegate();
    TQMainStatusItemController::resetForTesting();

    const auto textBefore = [](const QString& key) {
        const QString text = StringTable::text(key);
        return text.left(text.indexOf(QStringLiteral("%1"))).toHtmlEscaped();
    };
    const struct
    {
        const char* name;
        QString file;
        bool damage;
        QString told;
    } rows[] = {
        {"damaged store", store, true, textBefore(QStringLiteral("StoreMovedAside"))},
        {"unreadable store", store, false, textBefore(QStringLiteral("StoreUnreadable"))},
        {"unreadable settings", Paths::settingsFile(), false,
         textBefore(QStringLiteral("SettingsUnreadable"))},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<Unreadable> unreadable;
        if (row.damage) {
            QFile file(row.file);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(QByteArray(8192, '\x5a'));
        } else {
            ASSERT_TRUE(QFile::exists(row.file));
            unreadable = std::make_unique<Unreadable>(row.file);
        }
        launch();
        EXPECT_TRUE(
            waitUntil([&] { return window() && window()->banner()->text().contains(row.told); }, 20000))
            << (window() ? window()->banner()->text().toStdString() : std::string("no window"));
        endDelegate();
        TQMainStatusItemController::resetForTesting();
    }
}

} // namespace
} // namespace test
} // namespace tavrel

#include "CordelAppDelegateTest.moc"
