#include "AppShellTest.h"

#include "accounts/TQAccountManager.h"
#include "app/ApplicationResources.h"
#include "app/CrashReporter.h"
#include "app/DirectSignIn.h"
#include "app/TQAboutController.h"
#include "app/TQErrorDetailWindowController.h"
#include "app/TQMainStatusItemController.h"
#include "app/TQPreferencesWindowController.h"
#include "app/TQSplashWindowController.h"
#include "model/TQPreferencesManager.h"
#include "platform/gdata/OAuth2SignIn.h"
#include "progress/TQProgressManager.h"
#include "session/ApplicationServices.h"
#include "session/TQSessionManager.h"
#include "support/WaitUntil.h"

#include <QWidget>

namespace tavrel::test {

void AppShellTest::SetUp()
{
    AccountTest::SetUp();
    startAccount(accountOptions(), false);
    ApplicationResources::initialize();
    OAuth2SignIn::setDefaultBrowserOpener([this](const QUrl& url) {
        m_signInPages.append(url);
        if (m_browserSignsIn)
            DirectSignIn::browserOpener()(url);
    });
    CordelAppDelegate::setURLOpener([this](const QUrl& url) {
        m_openedURLs.append(url);
        return true;
    });
}

void AppShellTest::TearDown()
{
    endDelegate();
    TQMainStatusItemController::resetForTesting();
    TQProgressManager::progressManager()->resetForTesting();
    TQErrorDetailWindowController::resetForTesting();
    TQAboutController::resetForTesting();
    TQPreferencesWindowController::resetForTesting();
    TQSplashWindowController::resetForTesting();
    CrashReporter::sharedManager()->resetForTesting();
    ApplicationServices::instance()->resetForTesting();
    TQPreferencesManager::sharedManager()->setTransientValue({}, TQPreferencesManager::kTQFirstLaunchKey);
    OAuth2SignIn::setDefaultBrowserOpener({});
    CordelAppDelegate::setURLOpener({});
    AccountTest::TearDown();
}

void AppShellTest::launch()
{
    m_delegate = std::make_unique<CordelAppDelegate>(windowFactory());
    m_delegate->setActivationPolicy(m_activationPolicy);
    m_delegate->applicationDidFinishLaunching();
}

void AppShellTest::launchSignedIn()
{
    launch();
    ASSERT_TRUE(waitUntil(
        [this] {
            IMainWindowController* controller = m_delegate->existingMainController();
            return controller && controller->window() && controller->window()->isVisible();
        },
        20000));
    ASSERT_TRUE(waitUntil(
        [this] { return currentSession() && currentSession()->state() == TQSession::kRunning; }, 20000));
}

void AppShellTest::endDelegate()
{
    // As at the end of the program: the delegate goes before the sessions stop, so that stopping them
    // is no log-out.
    WXGMultiAccountManager::cancelSignIn();
    m_delegate.reset();
    TQSessionManager::sharedManager()->resetForTesting();
    CrashReporter::sharedManager()->resetForTesting();
}

StandInMainWindowController* AppShellTest::window() const
{
    return m_delegate ? static_cast<StandInMainWindowController*>(m_delegate->existingMainController())
                      : nullptr;
}

TQSession* AppShellTest::currentSession() const
{
    return TQSessionManager::sharedManager()->currentSession();
}

} // namespace tavrel::test
