#include "SidebarListsFixture.h"
#include "chrome/TQFilterbarController.h"
#include "chrome/TQTextFilterbar.h"
#include "controls/SpinningIndicator.h"
#include "documents/TQAllCollectionsController.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQFilePreviewController.h"
#include "documents/TQStarredFilesViewController.h"
#include "documents/TQTopCollectionsViewController.h"
#include "documents/TQTopFilesViewController.h"
#include "lists/ListModel.h"
#include "model/FileCachedFile.h"
#include "model/TQMOCMaster.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "support/WaitUntil.h"
#include "support/ui/WidgetTesting.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMutex>
#include <gtest/gtest.h>

namespace tavrel {
namespace {

using test::SidebarListsFixture;

// --- Preview tab ---

// Stands in for the thumbnailer: writes down each size asked for, answers a picture of it (or none).
struct FakeThumbnailer
{
    std::shared_ptr<QMutex> lock = std::make_shared<QMutex>();
    std::shared_ptr<QList<QSize>> sizes = std::make_shared<QList<QSize>>();
    std::shared_ptr<bool> fails = std::make_shared<bool>(false);

    TQFilePreviewController::Thumbnailer function() const
    {
        return [lock = lock, sizes = sizes, fails = fails](const QString&, const QSize& size) {
            QMutexLocker locker(lock.get());
            sizes->append(size);
            if (*fails)
                return QImage();
            QImage picture(size, QImage::Format_RGB32);
            picture.fill(Qt::white);
            return picture;
        };
    }
    QList<QSize> asked() const
    {
        QMutexLocker locker(lock.get());
        return *sizes;
    }
};

class PreviewTabTest : public SidebarListsFixture
{
protected:
    void TearDown() override
    {
        m_preview.reset();
        ApplicationServices::instance()->resetForTesting();
        SidebarListsFixture::TearDown();
    }
    TQFilePreviewController* show(const QString& title, const QSize& size = QSize(400, 300))
    {
        m_preview = std::make_unique<TQFilePreviewController>();
        m_preview->setThumbnailer(m_thumbnailer.function());
        m_preview->setItem(record(title));
        m_preview->view()->resize(size);
        EXPECT_TRUE(test::showAndExpose(m_preview->view()));
        m_preview->viewDidInstall();
        return m_preview.get();
    }
    // Gives the document a cached copy, as a download does.
    void cache(const QString& title)
    {
        const QString path = QDir(QDir::tempPath()).filePath(title + QStringLiteral(".pdf"));
        QFile copy(path);
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        copy.write("%PDF-1.4");
        copy.close();
        std::dynamic_pointer_cast<File>(record(title))->fileCachedFile()->setValue(path);
    }
    int downloads() const { return int(m_requests->requestsOf(QStringLiteral("GetFile")).size()); }

    FakeThumbnailer m_thumbnailer;
    std::unique_ptr<TQFilePreviewController> m_preview;
};

TEST_F(PreviewTabTest, ADocumentWithoutACopyDownloadsOnceThenDrawsAtTheTabsSizeAndOnlyAgainForANewSize)
{
    TQFilePreviewController* preview = show(QStringLiteral("Alpha"));
    EXPECT_EQ(downloads(), 1);
    EXPECT_TRUE(preview->isProcessed());
    EXPECT_TRUE(preview->progress()->isAnimating());
    EXPECT_EQ(m_requests->requests.last().parameters.keys(), QStringList{QStringLiteral("documentEntity")});
    // Busy: a second refresh asks nothing.
    preview->refresh();
    EXPECT_EQ(downloads(), 1);

    cache(QStringLiteral("Alpha"));
    m_requests->answerLast(QVariant());
    ASSERT_TRUE(test::waitUntil([&] { return !preview->isProcessed(); }));
    EXPECT_EQ(m_thumbnailer.asked(), QList<QSize>{QSize(390, 290)});
    EXPECT_FALSE(preview->preview().isNull());
    EXPECT_FALSE(preview->errorLabel()->isVisible());
    EXPECT_FALSE(preview->progress()->isAnimating());

    // The same size: nothing drawn again, by a refresh or by showing the tab again.
    preview->refresh();
    preview->viewDidUninstall();
    preview->viewDidInstall();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_thumbnailer.asked().size(), 1);
    EXPECT_FALSE(preview->isProcessed());

    // A new size: one drawing at that size, however many resizes came.
    preview->view()->resize(500, 300);
    preview->view()->resize(520, 330);
    ASSERT_TRUE(
        test::waitUntil([&] { return m_thumbnailer.asked().size() == 2 && !preview->isProcessed(); }));
    EXPECT_EQ(m_thumbnailer.asked().last(), QSize(510, 320));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_thumbnailer.asked().size(), 2);
    EXPECT_EQ(downloads(), 1);
}

TEST_F(PreviewTabTest, AFailedDownloadStopsTheSpinnerAndTheNextRefreshAsksAgain)
{
    TQFilePreviewController* preview = show(QStringLiteral("Beta"));
    ASSERT_EQ(downloads(), 1);
    m_requests->answerLast(QVariant(), QVariant::fromValue(Error(QStringLiteral("test"), 404)));
    EXPECT_FALSE(preview->isProcessed());
    EXPECT_FALSE(preview->progress()->isAnimating());
    EXPECT_TRUE(m_thumbnailer.asked().isEmpty());
    preview->refresh();
    EXPECT_EQ(downloads(), 2);
}

TEST_F(PreviewTabTest, ACollectionShowsTheLabelAtOnceAndNeverDownloadsOrOpens)
{
    TQFilePreviewController* preview = show(QStringLiteral("Box"));
    EXPECT_TRUE(preview->errorLabel()->isVisible());
    EXPECT_FALSE(preview->isProcessed());
    preview->openFile(nullptr);
    EXPECT_TRUE(m_requests->requests.isEmpty());
}

TEST_F(PreviewTabTest, NoPictureShowsTheLabel)
{
    *m_thumbnailer.fails = true;
    cache(QStringLiteral("Alpha"));
    TQFilePreviewController* preview = show(QStringLiteral("Alpha"));
    EXPECT_EQ(downloads(), 0);
    ASSERT_TRUE(test::waitUntil([&] { return !preview->isProcessed(); }));
    EXPECT_TRUE(preview->preview().isNull());
    EXPECT_TRUE(preview->errorLabel()->isVisible());
}

TEST_F(PreviewTabTest, OpeningGoesToTheBrowserOnlyForANativeDocumentWhileOnline)
{
    ApplicationServices::instance()->mainApplicationWindowWillShow(nullptr);
    struct Row
    {
        const char* resourceId;
        bool online;
        bool opensHere;
    };
    const Row rows[] = {{"document:alpha", true, false},
                        {"document:alpha", false, true},
                        {"file:alpha", true, true},
                        {"pdf:alpha", true, true}};
    TQFilePreviewController* preview = show(QStringLiteral("Alpha"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.resourceId);
        ApplicationServices::instance()->connectionStatus()->setOnline(row.online);
        std::dynamic_pointer_cast<FileEntryAbstract>(record(QStringLiteral("Alpha")))
            ->setResourceId(QString::fromLatin1(row.resourceId));
        m_requests->requests.clear();
        preview->openFile(nullptr);
        const auto opened = m_requests->requestsOf(QStringLiteral("OpenDocument"));
        EXPECT_EQ(opened.size(), row.opensHere ? 1 : 0);
        if (!opened.isEmpty()) {
            EXPECT_FALSE(opened.first().parameters.contains(QStringLiteral("applicationURL")));
            EXPECT_TRUE(opened.first()
                            .parameters.value(QStringLiteral("progressID"))
                            .toString()
                            .startsWith(QLatin1String("openning_")));
        }
    }
}

// --- Top files ---

class TopFilesTest : public SidebarListsFixture
{
protected:
    void TearDown() override
    {
        m_top.reset();
        SidebarListsFixture::TearDown();
    }
    void show(TQTopFilesViewController* top)
    {
        m_top.reset(top);
        top->view()->resize(600, 800);
        EXPECT_TRUE(test::showAndExpose(top->view()));
        top->viewDidInstall();
    }
    TQAllItemsController* tab() const
    {
        return qobject_cast<TQAllItemsController*>(m_top->filterController()->currentController());
    }
    QStringList shownOn(int index)
    {
        m_top->filterbar()->activateButtonAtIndex(index);
        TQAllItemsController* list = tab();
        if (!list)
            return {QStringLiteral("(no list)")};
        list->setHiddenFiles(false);
        list->filterDidChange();
        EXPECT_TRUE(test::waitUntil([list] { return !list->isFetching(); }));
        list->dataProvider()->rearrangeObjects();
        QStringList shown = titles(list);
        shown.sort();
        return shown;
    }
    std::unique_ptr<TQTopFilesViewController> m_top;
};

TEST_F(TopFilesTest, EachVariantsTabsShowTheirOwnRecords)
{
    struct Row
    {
        int variant; // 0 top files, 1 starred, 2 collections
        const char* tabs[3];
    };
    const Row rows[] = {
        {0,
         {"Alpha Beta Box Epsilon Gamma Inner Linked Theta", "Gamma Theta",
          // Linked is shared by a link only, with no people.
          "Beta"}},
        {1, {"Alpha Epsilon Inner Theta", "Theta", ""}},
        {2, {"Box Inner", "", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.variant);
        show(row.variant == 0   ? new TQTopFilesViewController
             : row.variant == 1 ? new TQStarredFilesViewController
                                : static_cast<TQTopFilesViewController*>(new TQTopCollectionsViewController));
        ASSERT_EQ(m_top->filterController()->controllers().size(), 4);
        for (int index = 0; index < 3; ++index) {
            SCOPED_TRACE(index);
            EXPECT_EQ(shownOn(index).join(u' '), QString::fromLatin1(row.tabs[index]));
            if (row.variant == 2) {
                EXPECT_NE(qobject_cast<TQAllCollectionsController*>(tab()), nullptr);
            }
        }
        QAbstractItemModelTester tester(tab()->dataProvider(),
                                        QAbstractItemModelTester::FailureReportingMode::Warning);
        // The fourth tab is the timed-search view, no list.
        m_top->filterbar()->activateButtonAtIndex(3);
        EXPECT_EQ(tab(), nullptr);
        EXPECT_NE(m_top->filterController()->currentController(), nullptr);
    }
}

TEST_F(TopFilesTest, TheSharedTabsCompareWholeAddressesInAnyLetterCase)
{
    const QDateTime when = QDateTime::currentDateTimeUtc();
    const auto stranger = mail(QStringLiteral("owner@elsewhere.org"));
    const auto lookalike = file(QStringLiteral("Lookalike"), when);
    lookalike->setOwner(stranger);
    lookalike->setViewers({mail(kUser + QStringLiteral(".evil.org"))});
    const auto upper = file(QStringLiteral("Capitals"), when);
    upper->setOwner(stranger);
    upper->setEditors({mail(kUser.toUpper())});
    const auto mine = file(QStringLiteral("MineInCapitals"), when);
    mine->setOwner(mail(QStringLiteral("Me@Example.COM")));
    mine->setViewers({stranger});
    save();

    show(new TQTopFilesViewController);
    const QStringList withMe = shownOn(1);
    EXPECT_TRUE(withMe.contains(QStringLiteral("Capitals"))) << withMe.join(u' ').toStdString();
    EXPECT_FALSE(withMe.contains(QStringLiteral("Lookalike"))) << withMe.join(u' ').toStdString();
    const QStringList byMe = shownOn(2);
    EXPECT_TRUE(byMe.contains(QStringLiteral("MineInCapitals"))) << byMe.join(u' ').toStdString();
    EXPECT_FALSE(byMe.contains(QStringLiteral("Capitals"))) << byMe.join(u' ').toStdString();
}

// Lists counting their reactivations.
class CountingList : public TQAllItemsController
{
public:
    int reactivations = 0;
    void reactivate() override
    {
        ++reactivations;
        TQAllItemsController::reactivate();
    }
};

class CountingTopFiles : public TQTopFilesViewController
{
public:
    QList<TQViewController*> filteredControllers() override
    {
        return makeTabs([] { return new CountingList; }, Predicate());
    }
};

TEST_F(TopFilesTest, TheSearchStaysAcrossTabsAndReactivatingGoesBackToTheFirstTabOnce)
{
    show(new CountingTopFiles);
    m_top->setSearchString(QStringLiteral("ET"));
    m_top->filterbar()->activateButtonAtIndex(1);
    EXPECT_EQ(tab()->searchString(), QStringLiteral("ET"));
    EXPECT_TRUE(test::waitUntil([&] { return titles(tab()) == QStringList{QStringLiteral("Theta")}; }));

    auto* first = dynamic_cast<CountingList*>(m_top->filterController()->controllers().at(0));
    ASSERT_NE(first, nullptr);
    m_top->filterbar()->activateButtonAtIndex(2);
    m_top->reactivate();
    EXPECT_EQ(m_top->filterController()->currentController(), first);
    EXPECT_FALSE(m_top->isReactivating());
    EXPECT_EQ(first->searchString(), QStringLiteral("ET"));
    EXPECT_EQ(first->reactivations, 1);
    // A later manual switch does not reactivate.
    m_top->filterbar()->activateButtonAtIndex(1);
    m_top->filterbar()->activateButtonAtIndex(0);
    EXPECT_EQ(first->reactivations, 1);
    // On the first tab it reactivates without switching.
    m_top->reactivate();
    EXPECT_EQ(m_top->filterController()->currentController(), first);
    EXPECT_EQ(first->reactivations, 2);
}

} // namespace
} // namespace tavrel
