#pragma once

#include "support/AccountTest.h"
#include "support/RecordedNotifications.h"
#include "window/ActionRequests.h"
#include "window/IStatusBar.h"
#include "window/TQMainWindowController.h"

#include <QObject>
#include <memory>

namespace tavrel {

class IViewFactory;
class TQViewController;

namespace test {

// A main window over the test account's session (made current, left in the state a test sets), with
// the actions it requests recorded instead of run and the desktop notifications it posts recorded.
class WindowTest : public AccountTest
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Sets the session's state, then builds the window, with the views of the factory (none: the
    // classes registered with ViewClasses).
    TQMainWindowController* makeWindow(int sessionState, std::shared_ptr<IViewFactory> views = nullptr);
    // The session's own records, after a full synchronisation of the account.
    void synchronise();
    // The account the service generates.
    virtual localservice::GenerateOptions accountOptions() const { return TestAccount::smallAccount(); }

    std::unique_ptr<TQMainWindowController> m_controller;
    std::unique_ptr<ActionRequests::Recorder> m_requests;
    std::shared_ptr<RecordingBackend> m_notifications;

private:
    std::shared_ptr<DesktopNotificationBackend> m_previousBackend;
};

// The status bar the window feeds, as the program registers it: writes down each call.
class RecordingStatusBar : public QObject, public IStatusBar
{
    Q_OBJECT
public:
    QStringList calls;
    void showProgress(const QString& text, const QString& identifier) override;
    void showStatus(const QString& text, const QString& identifier) override;
    void setProgressValue(double value, const QString& identifier) override;
    void setMessage(const QString& text, const QString& identifier) override;
    void removeProgressWithIdentifier(const QString& identifier) override;
    void removeStatusWithIdentifier(const QString& identifier) override;
    void setIndicateActivity(bool indicate) override;
};

} // namespace test
} // namespace tavrel
