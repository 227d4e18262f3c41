// The all-items list over a large account, offscreen: a store of BENCH_FILES documents (100,000) in
// BENCH_COLLECTIONS collections (500) with their access lists is written first; then, in the same
// process but from a closed and reopened store, the time from opening the store to the first rows
// painted, the paint after each page of scrolling (median of 200 pages), each character of a
// 10-character search in the first order (median), switching the grouping from date to owner, and the
// peak memory. Figures on
// stdout, details on stderr. BENCH_KEEP keeps the home folder.
#include "UiBenchStore.h"
#include "accounts/TQAccount.h"
#include "controls/BasicPopUpButton.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "lists/TQTimeGroupedFilesController.h"
#include "model/TQPlaces.h"
#include "platform/gdata/OAuth2Authentication.h"
#include "platform/gdata/OAuth2Configuration.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UiPlatform.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "support/BenchHome.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QScrollBar>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace tavrel;

namespace {

int envInt(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value >= 0 ? value : fallback;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// Spins the event loop until the list's fetch is over.
bool waitForList(TQAllItemsController* list)
{
    QElapsedTimer waited;
    waited.start();
    while (list->isFetching()) {
        if (waited.elapsed() > 120000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (list->isFetching())
            QThread::usleep(200);
    }
    QCoreApplication::processEvents();
    return true;
}

// Paints the rows now, as the window would after the change (offscreen, into the widget's backing).
int g_painted = 0;
void paint(TQAllItemsController* list)
{
    QWidget* viewport = list->table()->viewport();
    QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
    viewport->render(&image);
    ++g_painted;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // BENCH_HOME reuses the home (and store) a run kept with BENCH_KEEP, to profile the list alone.
    const QString kept = qEnvironmentVariable("BENCH_HOME");
    const QString home = kept.isEmpty() ? bench::makeHome(QStringLiteral("ui")) : bench::useHome(kept);
    if (home.isEmpty()) {
        std::fprintf(stderr, "no temporary home\n");
        return 1;
    }
    QApplication app(argc, argv);
    UiPlatform::initialize();
    const int documents = envInt("BENCH_FILES", 100000);
    const int collections = envInt("BENCH_COLLECTIONS", 500);
    const QString me = QStringLiteral("me@example.com");

    const QString storePath = TQPlaces::tavrelPeristentStoreCoordinatorForUsername(me);
    QDir().mkpath(QFileInfo(storePath).path());
    QElapsedTimer timer;
    timer.start();
    if (kept.isEmpty() && !bench::writeUiBenchStore(storePath, me, documents, collections))
        return 1;
    std::fprintf(stderr, "store of %d documents in %d collections written in %.1f s\n", documents,
                 collections, timer.nsecsElapsed() / 1e9);

    auto authentication = OAuth2Authentication::create(OAuth2Configuration());
    authentication->setUserEmail(me);
    auto session = std::make_unique<TQSession>(TQAccount::accountWithAuthToken(authentication));
    TQSessionManager::sharedManager()->setCurrentSession(session.get());

    // Store open to the first rows painted.
    timer.restart();
    auto view = std::make_unique<TQAllItemsFilteringViewController>();
    view->view()->resize(1000, 800);
    view->view()->show();
    view->viewDidInstall();
    TQAllItemsController* list = view->list();
    if (!waitForList(list)) {
        std::fprintf(stderr, "the list never finished its fetch\n");
        return 1;
    }
    paint(list);
    const double firstPaint = timer.nsecsElapsed() / 1e6;
    std::fprintf(stderr, "viewport %dx%d, visible %d\n", list->table()->viewport()->width(),
                 list->table()->viewport()->height(), int(list->table()->isVisible()));
    std::fprintf(stderr, "%d rows, %lld groups\n", list->dataProvider()->count(),
                 qint64(list->groupedProvider()->groups().size()));

    // A page of scrolling, then the paint.
    QScrollBar* bar = list->table()->verticalScrollBar();
    QList<double> pages;
    for (int page = 0; page < 200; ++page) {
        QElapsedTimer one;
        one.start();
        bar->setValue(bar->value() + bar->pageStep());
        paint(list);
        pages << one.nsecsElapsed() / 1e6;
    }
    std::fprintf(stderr, "scrolled to %d of %d\n", bar->value(), bar->maximum());

    // A search typed one character at a time, then cleared; the median of the characters.
    const QString typed = QStringLiteral("report 123");
    const auto typeSearch = [&] {
        QList<double> keystrokes;
        for (int n = 1; n <= typed.size(); ++n) {
            QElapsedTimer one;
            one.start();
            view->setSearchString(typed.left(n));
            waitForList(list);
            paint(list);
            keystrokes << one.nsecsElapsed() / 1e6;
        }
        std::fprintf(stderr, "%d rows for \"%s\"\n", list->dataProvider()->count(), qPrintable(typed));
        view->setSearchString(QString());
        waitForList(list);
        return median(keystrokes);
    };
    // In the list's first order (by date), as the window opens.
    const double keystroke = typeSearch();

    // Date groups to owner groups (the owner key of the sort menu).
    bar->setValue(0);
    QAction* byOwner = nullptr;
    for (QAction* entry : view->sortControl()->menu()->actions())
        if (entry->text() == StringTable::text(QStringLiteral("SortOwner")))
            byOwner = entry;
    if (!byOwner) {
        std::fprintf(stderr, "no owner entry in the sort menu\n");
        return 1;
    }
    timer.restart();
    view->changeSortDescriptor(byOwner);
    waitForList(list);
    paint(list);
    const double regroup = timer.nsecsElapsed() / 1e6;
    std::fprintf(stderr, "%lld owner groups\n", qint64(list->groupedProvider()->groups().size()));

    std::fprintf(stderr, "by owner, a keystroke: %.1f ms\n", typeSearch());

    std::printf("open_to_first_paint_ms: %.1f\n", firstPaint);
    std::printf("scroll_page_ms: %.2f\n", median(pages));
    std::printf("regroup_ms: %.1f\n", regroup);
    std::printf("filter_keystroke_ms: %.1f\n", keystroke);
    std::printf("peak_rss_mb: %.1f\n", bench::peakRssMb());
    std::fflush(stdout);

    view.reset();
    TQSessionManager::sharedManager()->setCurrentSession(nullptr);
    session.reset();
    if (kept.isEmpty() && qEnvironmentVariableIsEmpty("BENCH_KEEP"))
        QDir(home).removeRecursively();
    return 0;
}
