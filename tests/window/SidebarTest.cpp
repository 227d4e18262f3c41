#include "WindowTestSupport.h"
#include "model/File.h"
#include "model/Mail.h"
#include "model/TQMOCMaster.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/runtime/Timing.h"
#include "platform/store/FetchRequest.h"
#include "platform/system/Settings.h"
#include "platform/ui/CellButton.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/TQSessionManager.h"
#include "support/WaitUntil.h"
#include "window/TQSidebar.h"
#include "window/TQSidebarController.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

enum class Payload { Files, Records, TrashedRecords, Nothing };

std::unique_ptr<QMimeData> payload(Payload kind, const QStringList& identifiers = {QStringLiteral("doc-1")})
{
    auto data = std::make_unique<QMimeData>();
    if (kind == Payload::Files)
        DragBus::setFileURLs(data.get(), {QUrl::fromLocalFile(QStringLiteral("/tmp/report.pdf"))});
    if (kind == Payload::Records || kind == Payload::TrashedRecords)
        DragBus::setFileItems(data.get(), identifiers);
    if (kind == Payload::TrashedRecords)
        DragBus::setTrashedItems(data.get());
    return data;
}

class SidebarTest : public test::WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        m_account.session->setState(5);
        sidebar = std::make_unique<TQSidebarController>(TQSessionManager::sharedManager());
        sidebar->view()->resize(TQSidebar::kWidth, 400);
    }
    void TearDown() override
    {
        sidebar.reset();
        WindowTest::TearDown();
    }
    QAbstractButton* button(int mode)
    {
        return mode > 0 ? sidebar->sidebar()->buttons().at(mode - 1) : nullptr;
    }
    QDropEvent event(const QMimeData* data, int mode)
    {
        const QPoint at = mode > 0 ? button(mode)->geometry().center() : QPoint(2, 390);
        return QDropEvent(at, Qt::CopyAction | Qt::LinkAction, data, Qt::LeftButton, Qt::NoModifier);
    }
    std::unique_ptr<TQSidebarController> sidebar;
};

TEST_F(SidebarTest, DropMatrix)
{
    struct Row
    {
        int active;
        int target; // 0: beside the buttons
        Payload payload;
        bool accepted;
    };
    const Row rows[] = {
        {1, 5, Payload::Records, true},  {1, 5, Payload::Files, false},
        {1, 2, Payload::Records, true},  {1, 2, Payload::Files, true},
        {1, 3, Payload::Files, true},    {1, 4, Payload::Records, true},
        {2, 1, Payload::Files, true},    {2, 1, Payload::TrashedRecords, true},
        {2, 1, Payload::Records, false}, {1, 1, Payload::Files, false}, // the active all-items button
        {2, 2, Payload::Records, true}, // the active starred button takes drops
        {2, 0, Payload::Records, true},  {1, 0, Payload::Records, false},
        {1, 3, Payload::Nothing, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "active " << row.active << " target " << row.target << " payload "
                                        << int(row.payload));
        sidebar->sidebar()->activateButtonAtIndex(row.active - 1);
        const auto data = payload(row.payload);
        QDropEvent drop = event(data.get(), row.target);
        EXPECT_EQ(sidebar->validateDraggingInfo(&drop, button(row.target)), row.accepted);
    }
    for (int mode = 1; mode <= 5; ++mode)
        EXPECT_EQ(sidebar->shouldAutoactivateButton(button(mode), nullptr), mode != 1 && mode != 5) << mode;
}

TEST_F(SidebarTest, RestingOneSecondSwitchesAndACancelledDragRestores)
{
    Timing::Override quick(QStringLiteral("sidebarAutoactivationDelay"), 30);
    TQSidebar* bar = sidebar->sidebar();
    const auto data = payload(Payload::Files);

    // Over trash a drag never switches; leaving before the time cancels the switch.
    QDropEvent overTrash = event(data.get(), 5);
    bar->draggingEntered(&overTrash);
    EXPECT_FALSE(bar->hasPendingActivation());
    QDropEvent overStarred = event(data.get(), 2);
    EXPECT_EQ(bar->draggingUpdated(&overStarred), Qt::CopyAction);
    EXPECT_TRUE(bar->hasPendingActivation());
    EXPECT_TRUE(static_cast<CellButton*>(button(2))->cell()->isHighlighted());
    QDropEvent outside = event(data.get(), 0);
    bar->draggingUpdated(&outside);
    EXPECT_FALSE(bar->hasPendingActivation());
    EXPECT_FALSE(static_cast<CellButton*>(button(2))->cell()->isHighlighted());

    // Two switches in one drag; the cancel brings back the mode before the first.
    for (int mode : {2, 3}) {
        QDropEvent over = event(data.get(), mode);
        bar->draggingUpdated(&over);
        ASSERT_TRUE(test::waitUntil([&] { return sidebar->mode() == SidebarMode(mode); }, 3000));
    }
    NotificationCenter::defaultCenter().post(DragBus::kDragDidCancelNotification);
    EXPECT_EQ(sidebar->mode(), SidebarMode::AllItems);
    EXPECT_EQ(bar->storredButton(), nullptr);
    // Cancelled again without a switch: nothing to restore.
    sidebar->sidebar()->activateButtonAtIndex(3);
    NotificationCenter::defaultCenter().post(DragBus::kDragDidCancelNotification);
    EXPECT_EQ(sidebar->mode(), SidebarMode::Collections);
}

TEST_F(SidebarTest, FilesDroppedUploadAndNotify)
{
    struct Row
    {
        int active;
        int target;
        bool starred;
        const char* callback;
    };
    const Row rows[] = {
        {2, 1, false, "uploadDidFinishWithResult:error:"},
        {1, 2, true, "operationDidFinishWithResult:error:"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.target);
        m_requests->requests.clear();
        sidebar->sidebar()->activateButtonAtIndex(row.active - 1);
        const auto data = payload(Payload::Files);
        QDropEvent drop = event(data.get(), row.target);
        EXPECT_TRUE(sidebar->performDropWithDraggingInfo(&drop, button(row.target)));
        ASSERT_EQ(m_requests->requests.size(), 1);
        const auto& request = m_requests->requests.constFirst();
        EXPECT_EQ(request.action, QStringLiteral("UploadFiles"));
        EXPECT_EQ(request.callback->selector(), QString::fromLatin1(row.callback));
        EXPECT_EQ(request.parameters.value(QStringLiteral("fileURLs")).value<QList<QUrl>>(),
                  QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/tmp/report.pdf"))});
        EXPECT_TRUE(request.parameters.value(QStringLiteral("progressID"))
                        .toString()
                        .startsWith(QStringLiteral("upload_")));
        EXPECT_EQ(request.parameters.contains(QStringLiteral("isStarred")), row.starred);
        EXPECT_TRUE(request.parameters.contains(QStringLiteral("managedObjectContext")));
    }
    // The upload to all items reports the uploaded record; an error reports nothing.
    synchronise();
    const auto files = m_account.master()->executeFetchRequest<File>(FetchRequest(QStringLiteral("File")));
    ASSERT_FALSE(files.isEmpty());
    sidebar->sidebar()->activateButtonAtIndex(1);
    const auto data = payload(Payload::Files);
    QDropEvent drop = event(data.get(), 1);
    sidebar->performDropWithDraggingInfo(&drop, button(1));
    m_requests->answerLast(QVariantList{QVariant::fromValue(ManagedObjectPtr(files.constFirst()))});
    const auto shown = m_notifications->takeAll();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.constFirst().title, files.constFirst()->title());
    EXPECT_EQ(shown.constFirst().message, StringTable::text(QStringLiteral("UploadOneFileFormat")));
    sidebar->performDropWithDraggingInfo(&drop, button(1));
    m_requests->answerLast(
        QVariant(), QVariant::fromValue(Error(QStringLiteral("dor.izivozezu.RArizuzoVizadEvevaz"), 703)));
    EXPECT_TRUE(m_notifications->takeAll().isEmpty());
}

TEST_F(SidebarTest, RecordsDroppedOnStarredAndAllItems)
{
    synchronise();
    const auto files = m_account.master()->executeFetchRequest<File>(FetchRequest(QStringLiteral("File")));
    ASSERT_GE(files.size(), 2);
    const QStringList identifiers{files.at(0)->identifier(), files.at(1)->identifier()};
    struct Row
    {
        int active;
        int target;
        Payload payload;
        const char* action;
        const char* status;
    };
    const Row rows[] = {
        {1, 2, Payload::Records, "StarredDocuments", "starred_"},
        {1, 2, Payload::TrashedRecords, "UntrashAndStarDocuments", "untrashing_"},
        {2, 1, Payload::TrashedRecords, "UntrashDocuments", "untrashing_"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action);
        m_requests->requests.clear();
        sidebar->sidebar()->activateButtonAtIndex(row.active - 1);
        const auto data = payload(row.payload, identifiers);
        QDropEvent drop = event(data.get(), row.target);
        EXPECT_TRUE(sidebar->performDropWithDraggingInfo(&drop, button(row.target)));
        ASSERT_EQ(m_requests->requests.size(), 1);
        const auto& request = m_requests->requests.constFirst();
        EXPECT_EQ(request.action, QString::fromLatin1(row.action));
        EXPECT_EQ(request.parameters.value(QStringLiteral("documentEntities")).toList().size(), 2);
        EXPECT_TRUE(request.parameters.value(QStringLiteral("statusID"))
                        .toString()
                        .startsWith(QString::fromLatin1(row.status)));
        EXPECT_EQ(request.parameters.value(QStringLiteral("progressConsumer")).value<QObject*>(),
                  sidebar.get());
    }
    // The trash takes records only, and nothing when none of them is known.
    sidebar->sidebar()->activateButtonAtIndex(0);
    const auto unknown = payload(Payload::Records, {QStringLiteral("no-such-document")});
    QDropEvent drop = event(unknown.get(), 5);
    EXPECT_FALSE(sidebar->performDropWithDraggingInfo(&drop, button(5)));
}

TEST_F(SidebarTest, TrashingOthersDocumentsAsksFirst)
{
    synchronise();
    auto files = m_account.master()->executeFetchRequest<File>(FetchRequest(QStringLiteral("File")));
    ASSERT_GE(files.size(), 2);
    const auto mine = Mail::mailEntityWithAddress(m_account.address(), true, m_account.master());
    const auto theirs =
        Mail::mailEntityWithAddress(QStringLiteral("ann@example.org"), true, m_account.master());
    files[0]->setOwner(mine);
    files[1]->setOwner(theirs);
    const QList<std::shared_ptr<FileEntryAbstract>> own{files[0]};
    const QList<std::shared_ptr<FileEntryAbstract>> both{files[0], files[1]};
    Settings::remove(TQSidebarController::kSuppressAlertsKey);

    // All the user's own: trashed without a question.
    sidebar->trashItems(own);
    ASSERT_EQ(m_requests->requests.size(), 1);
    EXPECT_EQ(m_requests->requests.constFirst().action, QStringLiteral("TrashDocuments"));
    m_requests->requests.clear();

    struct Row
    {
        bool confirm;
        bool tick;
        QStringList actions;
        bool suppressed;
    };
    const Row rows[] = {
        {false, true, {}, false},
        {true, true, {QStringLiteral("TrashDocuments"), QStringLiteral("DeleteDocuments")}, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.confirm);
        m_requests->requests.clear();
        sidebar->trashItems(both);
        auto* box = sidebar->view()->window()->findChild<QMessageBox*>();
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->informativeText().contains(files[1]->title()));
        box->checkBox()->setChecked(row.tick);
        for (QAbstractButton* choice : box->buttons())
            if (choice->text() ==
                StringTable::text(row.confirm ? QStringLiteral("OK") : QStringLiteral("Cancel")))
                choice->click();
        ASSERT_TRUE(
            test::waitUntil([&] { return !sidebar->view()->window()->findChild<QMessageBox*>(); }, 3000));
        QStringList actions;
        for (const auto& request : m_requests->requests)
            actions << request.action;
        EXPECT_EQ(actions, row.actions);
        EXPECT_EQ(Settings::boolValue(TQSidebarController::kSuppressAlertsKey), row.suppressed);
    }
    // Suppressed: no question any more.
    m_requests->requests.clear();
    sidebar->trashItems(both);
    EXPECT_EQ(m_requests->requests.size(), 2);
    Settings::remove(TQSidebarController::kSuppressAlertsKey);
}

TEST_F(SidebarTest, NewDocumentsLightTheHighlight)
{
    synchronise();
    sidebar = std::make_unique<TQSidebarController>(TQSessionManager::sharedManager());
    sidebar->view();
    auto files = m_account.master()->executeFetchRequest<File>(FetchRequest(QStringLiteral("File")));
    ASSERT_FALSE(files.isEmpty());
    EXPECT_FALSE(sidebar->highlightNewItems()); // what was new before the window counts only once it changes
    const auto file = files.constFirst();
    struct Row
    {
        bool isNew;
        bool trashed;
        bool highlight;
    };
    const Row rows[] = {{true, false, true}, {true, true, false}, {true, false, true}, {false, false, false}};
    for (const Row& row : rows) {
        file->setIsNew(row.isNew);
        file->setIsTrashed(row.trashed);
        m_account.master()->processPendingChanges();
        EXPECT_EQ(sidebar->highlightNewItems(), row.highlight);
    }
}

} // namespace
} // namespace tavrel
