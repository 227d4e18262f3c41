#include "AppShellTest.h"
#include "app/TQActionMenuItemController.h"
#include "app/TQMainStatusItemController.h"
#include "app/TQSessionMenuItemController.h"
#include "model/ContextFetch.h"
#include "model/File.h"
#include "model/TQMOCMaster.h"
#include "model/TQPreferencesManager.h"
#include "platform/store/SortDescriptor.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "progress/TQProgressSession.h"
#include "support/WaitUntil.h"

#include <QMenu>

namespace tavrel::test {
namespace {

class StatusItemTest : public AppShellTest
{
protected:
    localservice::GenerateOptions accountOptions() const override
    {
        localservice::GenerateOptions options = TestAccount::smallAccount();
        options.documents = 14;
        return options;
    }

    // The tray item of a program whose connection the test switches.
    TQMainStatusItemController* trayItem()
    {
        TQMainStatusItemController* controller = TQMainStatusItemController::sharedStatusItemController();
        controller->setConnectionStatus(&m_connection);
        controller->setupMenubarIcon();
        return controller;
    }

    static QVariantMap upload(const QString& id, const QStringList& names)
    {
        QVariantList urls;
        for (const QString& name : names)
            urls.append(QUrl::fromLocalFile(QStringLiteral("/tmp/") + name));
        return {{QStringLiteral("actionID"), id}, {QStringLiteral("fileURLs"), urls}};
    }

    ConnectionStatus m_connection{std::unique_ptr<Reachability>()};
};

TEST_F(StatusItemTest, StatusLineAndIconFollowTheConnectionAndTheActivity)
{
    struct Row
    {
        const char* name;
        bool online;
        int uploads;
        bool otherActivity;
        bool updatedBefore;
        QString status;
        QString statusIcon;
        QString barIcon;
    };
    const QString updatedAt =
        StringTable::format(QStringLiteral("UpdatedAt"), QString()).section(QLatin1Char(' '), 0, 0);
    const QList<Row> rows{
        {"offline", false, 0, false, true, StringTable::text(QStringLiteral("Offline")), "icon-offline",
         "disabled-top-bar"},
        {"online, never updated", true, 0, false, false,
         StringTable::text(QStringLiteral("ConnectionOnline")), "", "icon-top-bar"},
        {"one upload", true, 1, false, false, StringTable::text(QStringLiteral("Uploading1Item")),
         "icon-uploading", "icon-top-bar"},
        {"three uploads", true, 3, false, false, StringTable::format(QStringLiteral("UploadingXItems"), 3),
         "icon-uploading", "icon-top-bar"},
        {"a synchronisation", true, 0, true, false, StringTable::text(QStringLiteral("Updating")),
         "icon-updating", "icon-top-bar"},
    };
    TQMainStatusItemController* controller = trayItem();
    TQProgressManager* progress = TQProgressManager::progressManager();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        progress->resetForTesting();
        TQPreferencesManager::sharedManager()->setLastUpdate(
            row.updatedBefore ? QDateTime::currentDateTimeUtc() : QDateTime());
        m_connection.setOnline(row.online);
        for (int i = 0; i < row.uploads; ++i)
            progress->actionWillStart(
                QStringLiteral("UploadFiles"),
                upload(QStringLiteral("u%1").arg(i), {QStringLiteral("f%1.txt").arg(i)}));
        if (row.otherActivity)
            progress->actionWillStart(QStringLiteral("FastCoreDataUpdateOperation"),
                                      {{QStringLiteral("actionID"), QStringLiteral("s")}});
        // The progress model takes its events on the next turn of the event loop.
        const int actions = row.uploads + (row.otherActivity ? 1 : 0);
        ASSERT_TRUE(waitUntil([&] {
            int running = 0;
            for (TQProgressSession* session : progress->activeSessions())
                running += session->numberOfActions();
            return running == actions && progress->hasActivity() == (actions > 0);
        }));
        EXPECT_EQ(controller->status(), row.status);
        EXPECT_EQ(controller->statusIcon(), row.statusIcon);
        EXPECT_EQ(controller->statusBarIconImage(), row.barIcon);
        // While uploads run the line follows their progress session's own name instead.
        if (row.uploads == 0) {
            EXPECT_EQ(controller->statusController()->title(), row.status);
        }
    }
    // Idle again after an update: the time of the update.
    progress->resetForTesting();
    TQPreferencesManager::sharedManager()->setLastUpdate(QDateTime::currentDateTimeUtc());
    EXPECT_TRUE(controller->status().startsWith(updatedAt));
    EXPECT_EQ(controller->statusIcon(), QStringLiteral("icon-updated"));
}

TEST_F(StatusItemTest, TheIconAnimatesWhileActionsRunAndTheEndOfActivityIsNoUpdate)
{
    TQMainStatusItemController* controller = trayItem();
    m_connection.setOnline(true);
    TQPreferencesManager::sharedManager()->setLastUpdate(QDateTime());
    TQProgressManager* progress = TQProgressManager::progressManager();
    const QVariantMap sync{{QStringLiteral("actionID"), QStringLiteral("s")}};
    progress->actionWillStart(QStringLiteral("FastCoreDataUpdateOperation"), sync);
    ASSERT_TRUE(waitUntil([&] { return controller->isAnimating(); }));

    QStringList frames;
    for (int i = 0; i < 9; ++i) {
        controller->animateMenuIcon();
        frames.append(controller->currentIconImage());
    }
    const QString base = QStringLiteral("icon-top-bar-activity-");
    EXPECT_EQ(frames, (QStringList{base + "2", base + "1", base + "2", base + "3", base + "4", base + "5",
                                   base + "4", base + "3", base + "2"}));

    progress->actionDidFinish(QStringLiteral("FastCoreDataUpdateOperation"), sync);
    ASSERT_TRUE(waitUntil([&] { return !progress->hasActivity(); }));
    EXPECT_FALSE(controller->isAnimating());
    EXPECT_EQ(controller->currentIconImage(), QStringLiteral("icon-top-bar"));
    // The end of activity is no update: only a synchronisation that succeeded is (it may have failed).
    EXPECT_FALSE(TQPreferencesManager::sharedManager()->lastUpdate().isValid());
}

TEST_F(StatusItemTest, UploadRowsShowForTwoOrMoreUploadsAndARowCancelsItsUpload)
{
    TQMainStatusItemController* controller = trayItem();
    m_connection.setOnline(true);
    TQProgressManager* progress = TQProgressManager::progressManager();
    TQSessionMenuItemController* line = controller->statusController();

    progress->actionWillStart(QStringLiteral("UploadFiles"),
                              upload(QStringLiteral("a"), {QStringLiteral("a.txt")}));
    ASSERT_TRUE(waitUntil([&] { return line->progressSession() != nullptr; }));
    EXPECT_TRUE(line->hasAction()) << "the status line cancels the uploads";
    EXPECT_TRUE(line->rows().isEmpty());

    progress->actionWillStart(
        QStringLiteral("UploadFiles"),
        upload(QStringLiteral("b"), {QStringLiteral("b.txt"), QStringLiteral("c.txt")}));
    ASSERT_TRUE(waitUntil([&] { return line->rows().size() == 2; }));
    QStringList titles;
    for (TQActionMenuItemController* row : line->rows())
        titles.append(row->title());
    titles.sort();
    EXPECT_EQ(titles,
              (QStringList{StringTable::format(QStringLiteral("UploadingMany"), 2),
                           StringTable::format(QStringLiteral("UploadingOne"), QStringLiteral("a.txt"))}));

    progress->actionDidProgress(QStringLiteral("UploadFiles"),
                                upload(QStringLiteral("a"), {QStringLiteral("a.txt")}), 37, 200);
    ASSERT_TRUE(waitUntil([&] { return line->progressSession()->progressPart() == 37; }));
    for (TQActionMenuItemController* row : line->rows()) {
        if (row->progressAction()->identifier() == QLatin1String("a")) {
            EXPECT_EQ(row->titleExtension(), QStringLiteral(" (18%)"));
        }
    }

    // The remove button of a row: its upload leaves the session, and one upload stands alone again.
    TQActionMenuItemController* first = line->rows().first();
    first->actionPressed();
    ASSERT_TRUE(waitUntil([&] { return line->rows().isEmpty(); }));
    EXPECT_EQ(line->progressSession()->numberOfActions(), 1);
}

TEST_F(StatusItemTest, PercentagesAreTruncatedAndNothingWithoutATotal)
{
    const QList<std::tuple<quint64, quint64, QString>> rows{{37, 200, QStringLiteral(" (18%)")},
                                                            {0, 0, QString()},
                                                            {5, 0, QString()},
                                                            {200, 200, QStringLiteral(" (100%)")}};
    for (const auto& [part, total, text] : rows)
        EXPECT_EQ(TQActionMenuItemController::percentageExtension(part, total), text) << part << "/" << total;
}

TEST_F(StatusItemTest, NewDocumentsRaiseTheBadgeUntilTrashedOrSeen)
{
    launchSignedIn();
    if (HasFatalFailure())
        return;
    TQMainStatusItemController* controller = TQMainStatusItemController::existingController();
    ASSERT_NE(controller, nullptr);
    TQMOCMaster* master = currentSession()->mocManager()->masterMOC();
    // Whatever the first synchronisation marked new is counted; start from none.
    for (const auto& document :
         ContextFetch::executeFetchRequestSafely<File>(master, FetchRequest(QStringLiteral("File"))))
        document->setIsNew(false);
    master->save();
    ASSERT_TRUE(waitUntil([&] { return controller->badgeLabel().isEmpty(); }));

    const auto document =
        ContextFetch::executeFetchRequestSafely<File>(master, FetchRequest(QStringLiteral("File"))).first();
    document->setIsNew(true);
    master->save();
    ASSERT_TRUE(waitUntil([&] { return controller->badgeLabel() == QLatin1String("1"); }));
    if (controller->connectionStatus() && controller->connectionStatus()->isOnline()) {
        EXPECT_EQ(controller->statusBarIconImage(), QStringLiteral("icon-top-bar-blue"));
    }

    document->setIsTrashed(true);
    master->save();
    ASSERT_TRUE(waitUntil([&] { return controller->badgeLabel().isEmpty(); }));

    document->setIsTrashed(false);
    master->save();
    ASSERT_TRUE(waitUntil([&] { return controller->badgeLabel() == QLatin1String("1"); }));
    document->setIsNew(false);
    master->save();
    EXPECT_TRUE(waitUntil([&] { return controller->badgeLabel().isEmpty(); }));
}

TEST_F(StatusItemTest, RecentlyChangedListsTheTenLatestDocumentsAndOpensTheirPage)
{
    // Without a session the item is disabled.
    TQMainStatusItemController* idle = trayItem();
    EXPECT_FALSE(idle->validateUserInterfaceItem(idle->recentModifiedItem()));
    TQMainStatusItemController::resetForTesting();

    launchSignedIn();
    if (HasFatalFailure())
        return;
    TQMainStatusItemController* controller = TQMainStatusItemController::existingController();
    ASSERT_TRUE(controller->validateUserInterfaceItem(controller->recentModifiedItem()));
    const QList<QAction*> rows = controller->recentModifiedItem()->menu()->actions();
    ASSERT_EQ(rows.size(), TQMainStatusItemController::kRecentFilesLimit);

    FetchRequest latest(QStringLiteral("File"));
    latest.setSortDescriptors({SortDescriptor(QStringLiteral("updatedDate"), false)});
    latest.setFetchLimit(TQMainStatusItemController::kRecentFilesLimit);
    const auto expected =
        ContextFetch::executeFetchRequestSafely<File>(currentSession()->mocManager()->masterMOC(), latest);
    for (int i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i]->text(), expected[i]->title());

    // A native document with no application chosen for it opens on the web while online.
    std::shared_ptr<File> native;
    for (const auto& document : expected) {
        if (!document->resourceId().startsWith(QLatin1String("file:")) &&
            !document->resourceId().startsWith(QLatin1String("pdf:")))
            native = document;
    }
    ASSERT_NE(native, nullptr);
    m_delegate->connectionStatus()->setOnline(true);
    QAction* row = rows[expected.indexOf(native)];
    controller->openRecentModified(row);
    ASSERT_EQ(m_openedURLs.size(), 1);
    EXPECT_EQ(m_openedURLs.first(), QUrl(native->alternateLink()));
    EXPECT_EQ(TQPreferencesManager::sharedManager()->allRecents().value(0), native->identifier());
}

} // namespace
} // namespace tavrel::test
