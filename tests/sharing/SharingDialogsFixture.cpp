#include "SharingDialogsFixture.h"

#include "controls/TQFloatingWindow.h"
#include "model/TQMOCMaster.h"
#include "platform/ui/ResponderChain.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "session/TQSessionManager.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/SharingClasses.h"
#include "support/SyncRecorder.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"
#include "window/ActionError.h"
#include "window/TQFloatingContentController.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>
#include <gtest/gtest.h>

namespace tavrel {

void BannerErrors::processActionError(QObject* sender)
{
    errors.append(ActionError::error(sender));
}

namespace test {

namespace {

const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "contacts": [{"id": "c1", "name": "Ann Lee", "emails": [{"address": "ann@tavrel.test"}]}],
  "documents": [
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha", "writersCanInvite": false,
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "writer"},
             {"scope": "user", "value": "eve@example.org", "role": "reader"}]},
    {"resourceId": "document:beta", "kind": "document", "title": "Beta",
     "acl": [{"scope": "user", "value": "ann@tavrel.test", "role": "reader"}]},
    {"resourceId": "document:gamma", "kind": "document", "title": "Gamma", "writersCanInvite": false},
    {"resourceId": "document:shared", "kind": "document", "title": "Shared", "owner": "bob@example.org",
     "writersCanInvite": true,
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "writer"}]},
    {"resourceId": "document:readonly", "kind": "document", "title": "Read only", "owner": "bob@example.org",
     "acl": [{"scope": "user", "value": "demo@tavrel.test", "role": "reader"}]}
  ]
})";

} // namespace

void SharingDialogsFixture::SetUp()
{
    AccountTest::SetUp();
    startService(m_account, TestAccount::smallAccount());
    ASSERT_FALSE(HasFatalFailure());
    QString error;
    ASSERT_TRUE(m_account.service.loadSeed(seed(), &error)) << error.toStdString();
    m_account.useService();
    m_account.openSession();
    SyncRecorder recorder;
    ASSERT_TRUE(m_account.runFull(recorder));
    ASSERT_TRUE(recorder.error.isNull());
    TQSessionManager::sharedManager()->setCurrentSession(m_account.session.get());
    ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
    ApplicationServices::instance()->connectionStatus()->setOnline(true);
    ResponderChain::setApplicationDelegate(&m_banner);
    SharingClasses::registerClasses();
    m_account.service.clearJournal();
}

const char* SharingDialogsFixture::seed() const
{
    return kSeed;
}

void SharingDialogsFixture::TearDown()
{
    // The dialogs a test left open go with their windows.
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* floating = qobject_cast<TQFloatingWindow*>(top); floating && floating->isVisible())
            floating->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SharingClasses::unregisterClasses();
    ResponderChain::setApplicationDelegate(nullptr);
    ApplicationServices::instance()->resetForTesting();
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    AccountTest::TearDown();
}

std::shared_ptr<FileEntryAbstract> SharingDialogsFixture::entry(const QString& resourceId) const
{
    return std::dynamic_pointer_cast<FileEntryAbstract>(FileEntryAbstract::fileEntryAbstractWithIdentifier(
        FileEntryAbstract::identifierFromGDataResourceId(resourceId), m_account.master()));
}

QJsonObject SharingDialogsFixture::serviceDocument(const QString& resourceId) const
{
    const QJsonObject seed = QJsonDocument::fromJson(m_account.service.exportSeed()).object();
    for (const QJsonValue& document : seed.value(QStringLiteral("documents")).toArray())
        if (document.toObject().value(QStringLiteral("resourceId")).toString() == resourceId)
            return document.toObject();
    return {};
}

QString SharingDialogsFixture::serviceRole(const QString& resourceId, const QString& address) const
{
    const QJsonObject document = serviceDocument(resourceId);
    if (document.value(QStringLiteral("owner")).toString() == address)
        return QStringLiteral("owner");
    for (const QJsonValue& each : document.value(QStringLiteral("acl")).toArray()) {
        const QJsonObject acl = each.toObject();
        if (acl.value(QStringLiteral("value")).toString() != address)
            continue;
        if (acl.value(QStringLiteral("additionalRoles")).toArray().contains(QStringLiteral("commenter")))
            return QStringLiteral("commenter");
        return acl.value(QStringLiteral("role")).toString();
    }
    return {};
}

QStringList SharingDialogsFixture::changingRequests() const
{
    QStringList lines;
    for (const auto& sent : m_account.service.journal())
        if (sent.method != QLatin1String("GET"))
            lines << sent.method + QLatin1Char(' ') + sent.path;
    return lines;
}

QWidget* SharingDialogsFixture::show(TQFloatingContentController* dialog)
{
    QWidget* window = QuickShareDialogs::showCentred(nullptr, dialog);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    return window;
}

bool SharingDialogsFixture::waitForError(int timeoutMs)
{
    return waitUntil([this] { return !m_banner.errors.isEmpty(); }, timeoutMs);
}

} // namespace test
} // namespace tavrel
