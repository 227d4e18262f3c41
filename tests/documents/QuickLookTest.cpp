#include "DocumentViewsFixture.h"
#include "controls/DocumentPreviewView.h"
#include "documents/TQAllItemsQuickLook.h"
#include "documents/TQPreviewPanel.h"
#include "lists/TQTimeGroupedFilesController.h"

#include <QTest>

namespace tavrel {
namespace {

// Notes.txt has content to show; Box is a collection; Alpha is a native document.
const char* const kSeed = R"({
  "owner": {"email": "demo@tavrel.test", "name": "Demo User"},
  "documents": [
    {"resourceId": "folder:box", "kind": "folder", "title": "Box"},
    {"resourceId": "document:alpha", "kind": "document", "title": "Alpha", "parents": ["folder:box"]},
    {"resourceId": "file:notes", "kind": "file", "title": "Notes.txt", "content": "first notes\n"}
  ]
})";

using Page = DocumentPreviewView::Page;

class QuickLookTest : public test::DocumentViewsFixture
{
protected:
    void SetUp() override
    {
        DocumentViewsFixture::SetUp();
        startWithSeed(kSeed, 3);
    }
    void TearDown() override
    {
        if (TQPreviewPanel* panel = TQPreviewPanel::existingPreviewPanel())
            panel->closePanel();
        DocumentViewsFixture::TearDown();
    }
    TQAllItemsQuickLook* quickLook() { return list->quickLook(); }
    static TQPreviewPanel* panel() { return TQPreviewPanel::existingPreviewPanel(); }
    static Page page() { return panel() ? panel()->previewView()->page() : Page::Empty; }
    bool waitForPage(Page wanted)
    {
        return test::waitUntil([&] { return page() == wanted; }, 20000);
    }
};

TEST_F(QuickLookTest, APreviewShowsTheCopyAtOnceWhenCurrentAndDownloadsItOnceOtherwise)
{
    select({QStringLiteral("file:notes")});

    // Never downloaded: the loading page under the spinner, one download however often it is asked.
    quickLook()->activateQuickLook();
    ASSERT_TRUE(panel() && panel()->isVisible());
    EXPECT_EQ(page(), Page::Loading);
    EXPECT_TRUE(panel()->previewView()->isSpinning());
    quickLook()->activateQuickLook();
    ASSERT_TRUE(waitForPage(Page::Text));
    // One request for the copy, however often the preview was asked for it.
    EXPECT_EQ(logCount("Downloading 1 documents"), 1);
    EXPECT_GE(downloads(), 1);
    EXPECT_EQ(panel()->currentTitle(), QStringLiteral("Notes.txt"));
    EXPECT_FALSE(quickLook()->overlayShown());

    // Current: shown from the cache, nothing asked of the service.
    m_account.service.clearJournal();
    panel()->closePanel();
    quickLook()->activateQuickLook();
    EXPECT_EQ(page(), Page::Text);
    EXPECT_FALSE(quickLook()->overlayShown());
    EXPECT_EQ(downloads(), 0);

    // Stale: the old copy at once, without the spinner, while the new one downloads.
    const auto notes = entry(QStringLiteral("file:notes"));
    notes->setValueForKey(QStringLiteral("eTag"), QStringLiteral("\"older\""));
    const int callbacks = logCount("Received action callback");
    quickLook()->activateQuickLook();
    EXPECT_EQ(page(), Page::Text);
    EXPECT_FALSE(panel()->previewView()->isSpinning());
    ASSERT_TRUE(test::waitUntil([&] { return logCount("Received action callback") > callbacks; }, 20000));
    EXPECT_EQ(logCount("Downloading 1 documents"), 2);
    EXPECT_EQ(page(), Page::Text);
}

TEST_F(QuickLookTest, AFailedDownloadEndsOnTheErrorPage)
{
    m_account.service.addFault(
        {localservice::Fault::Status, QStringLiteral("GET"), QStringLiteral("^/feeds/download/"), 20, 404});
    select({QStringLiteral("file:notes")});
    quickLook()->activateQuickLook();
    EXPECT_EQ(page(), Page::Loading);
    ASSERT_TRUE(waitForPage(Page::Error));
    EXPECT_FALSE(quickLook()->overlayShown());
}

TEST_F(QuickLookTest, ACollectionShowsItsPageAtAFixedSizeAndSeveralRecordsShowNothing)
{
    select({QStringLiteral("folder:box")});
    quickLook()->activateQuickLook();
    EXPECT_EQ(page(), Page::Html);
    EXPECT_EQ(downloads(), 0);
    EXPECT_EQ(panel()->size(), QSize(710, 444));
    panel()->resize(900, 700);
    EXPECT_EQ(panel()->size(), QSize(710, 444));

    // A document's window may take any size.
    select({QStringLiteral("document:alpha")});
    quickLook()->activateQuickLook();
    panel()->resize(900, 700);
    EXPECT_EQ(panel()->size(), QSize(900, 700));

    const int before = logCount("E: QuickLook support not implemented for multiple selection");
    select({QStringLiteral("document:alpha"), QStringLiteral("folder:box")});
    quickLook()->activateQuickLook();
    EXPECT_EQ(page(), Page::Empty);
    EXPECT_GT(logCount("E: QuickLook support not implemented for multiple selection"), before);
}

TEST_F(QuickLookTest, SpaceTogglesTheWindowAndItsArrowKeysWalkTheRows)
{
    select({QStringLiteral("document:alpha")});
    QTest::keyClick(list->tableView(), Qt::Key_Space);
    ASSERT_TRUE(panel() && panel()->isVisible());
    EXPECT_TRUE(quickLook()->isControllingPanel());

    // Rows by title: Alpha, Box, Notes.txt.
    QTest::keyClick(panel(), Qt::Key_Down);
    EXPECT_EQ(list->selectedRows(), QList<int>{rowOf(QStringLiteral("folder:box"))});
    EXPECT_EQ(page(), Page::Html);
    QTest::keyClick(panel(), Qt::Key_Down);
    EXPECT_EQ(list->selectedRows(), QList<int>{rowOf(QStringLiteral("file:notes"))});
    // No row below the last: the key is not taken and the selection stays.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    EXPECT_FALSE(quickLook()->previewPanelHandleEvent(&down));
    EXPECT_EQ(list->selectedRows(), QList<int>{rowOf(QStringLiteral("file:notes"))});
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    EXPECT_FALSE(quickLook()->previewPanelHandleEvent(&release));

    QTest::keyClick(panel(), Qt::Key_Space);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_FALSE(quickLook()->isControllingPanel());
    QTest::keyClick(list->tableView(), Qt::Key_Space);
    EXPECT_TRUE(panel()->isVisible());
    QTest::keyClick(list->tableView(), Qt::Key_Space);
    EXPECT_FALSE(panel()->isVisible());
}

TEST_F(QuickLookTest, TheArrowKeysStepOverGroupHeaders)
{
    // The grouped provider puts a header above the rows.
    auto grouped = std::make_unique<TQAllItemsController>();
    grouped->setSortDescriptor(SortDescriptor(QStringLiteral("updatedDate"), false));
    QWidget* view = grouped->view();
    view->resize(640, 480);
    ASSERT_TRUE(test::showAndExpose(view));
    grouped->viewDidInstall();
    test::waitUntil([&] { return grouped->dataProvider()->count() >= 4; }, 3000);
    ASSERT_GE(grouped->dataProvider()->count(), 4) << grouped->dataProvider()->count();
    ASSERT_TRUE(grouped->isGroupRow(0));
    grouped->selectRow(1);
    grouped->quickLook()->activateQuickLook();
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    EXPECT_FALSE(grouped->quickLook()->previewPanelHandleEvent(&up));
    EXPECT_EQ(grouped->selectedRows(), QList<int>{1});
    // Down from the row above a header lands on the row under it.
    int aboveHeader = -1;
    for (int row = 1; row + 2 < grouped->dataProvider()->count(); ++row)
        if (!grouped->isGroupRow(row) && grouped->isGroupRow(row + 1))
            aboveHeader = row;
    if (aboveHeader > 0) {
        grouped->selectRow(aboveHeader);
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        EXPECT_TRUE(grouped->quickLook()->previewPanelHandleEvent(&down));
        EXPECT_EQ(grouped->selectedRows(), QList<int>{aboveHeader + 2});
    }
    TQPreviewPanel::existingPreviewPanel()->closePanel();
    test::waitUntil([&] { return !grouped->quickLook()->hasDownloadsInFlight(); }, 20000);
}

} // namespace
} // namespace tavrel
