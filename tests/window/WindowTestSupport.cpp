#include "WindowTestSupport.h"

#include "notifications/TQExternalNotificationCenter.h"
#include "notifications/TQStandardNotificationCenter.h"
#include "session/TQSessionManager.h"
#include "support/SyncRecorder.h"
#include "window/IViewFactory.h"
#include "window/TQMainWindowController.h"

namespace tavrel::test {

void WindowTest::SetUp()
{
    AccountTest::SetUp();
    startAccount(accountOptions());
    if (HasFatalFailure())
        return;
    TQSessionManager::sharedManager()->setCurrentSession(m_account.session.get());
    m_requests = std::make_unique<ActionRequests::Recorder>();
    auto* center = dynamic_cast<TQStandardNotificationCenter*>(TQExternalNotificationCenter::defaultCenter());
    ASSERT_NE(center, nullptr);
    m_previousBackend = center->backend();
    m_notifications = std::make_shared<RecordingBackend>();
    center->setBackend(m_notifications);
}

void WindowTest::TearDown()
{
    m_controller.reset();
    m_requests.reset();
    if (auto* center =
            dynamic_cast<TQStandardNotificationCenter*>(TQExternalNotificationCenter::defaultCenter()))
        center->setBackend(m_previousBackend);
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    AccountTest::TearDown();
}

TQMainWindowController* WindowTest::makeWindow(int sessionState, std::shared_ptr<IViewFactory> views)
{
    m_account.session->setState(sessionState);
    m_controller =
        std::make_unique<TQMainWindowController>(TQSessionManager::sharedManager(), std::move(views));
    return m_controller.get();
}

void WindowTest::synchronise()
{
    SyncRecorder recorder;
    ASSERT_TRUE(m_account.runFull(recorder));
}

void RecordingStatusBar::showProgress(const QString& text, const QString& identifier)
{
    calls << QStringLiteral("progress %1 %2").arg(text, identifier);
}
void RecordingStatusBar::showStatus(const QString& text, const QString& identifier)
{
    calls << QStringLiteral("status %1 %2").arg(text, identifier);
}
void RecordingStatusBar::setProgressValue(double value, const QString& identifier)
{
    calls << QStringLiteral("value %1 %2").arg(value).arg(identifier);
}
void RecordingStatusBar::setMessage(const QString& text, const QString& identifier)
{
    calls << QStringLiteral("message %1 %2").arg(text, identifier);
}
void RecordingStatusBar::removeProgressWithIdentifier(const QString& identifier)
{
    calls << QStringLiteral("removeProgress %1").arg(identifier);
}
void RecordingStatusBar::removeStatusWithIdentifier(const QString& identifier)
{
    calls << QStringLiteral("removeStatus %1").arg(identifier);
}
void RecordingStatusBar::setIndicateActivity(bool indicate)
{
    calls << QStringLiteral("activity %1").arg(indicate);
}

} // namespace tavrel::test
