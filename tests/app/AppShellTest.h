#pragma once

#include "app/CordelAppDelegate.h"
#include "app/StandInMainWindowController.h"
#include "support/AccountTest.h"

#include <QList>
#include <QUrl>
#include <memory>

namespace tavrel::test {

// The application shell against the local service in a temporary home: a delegate with the stand-in
// main window, the browser replaced by a recorder that (when asked) follows the sign-in page itself,
// and every process-wide object of the shell reset after each test.
class AppShellTest : public AccountTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The account the service holds.
    virtual localservice::GenerateOptions accountOptions() const { return TestAccount::smallAccount(); }
    // The main window the delegate makes: the stand-in unless a test asks for another.
    virtual MainWindowFactory windowFactory() const { return StandInMainWindowController::factory(); }
    // Makes the delegate and starts it as the program does.
    void launch();
    // Launches and waits for the signed-in, synchronised main window.
    void launchSignedIn();
    // Ends the delegate and its sessions (a quit without the event loop).
    void endDelegate();
    StandInMainWindowController* window() const;
    TQSession* currentSession() const;

    std::unique_ptr<CordelAppDelegate> m_delegate;
    // How the delegate launches (CordelApplication::ActivationPolicy).
    int m_activationPolicy = 0;
    // Sign-in pages the program opened, and whether the fake browser approves them.
    QList<QUrl> m_signInPages;
    bool m_browserSignsIn = true;
    // Addresses opened in the browser by the commands.
    QList<QUrl> m_openedURLs;
};

} // namespace tavrel::test
