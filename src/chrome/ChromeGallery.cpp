// Gallery pages of the window's chrome: the status bar and the first-synchronisation screen.

#include "chrome/TQInitializeViewController.h"
#include "chrome/TQSpinStatusSubcontroller.h"
#include "chrome/TQStatusBarController.h"
#include "controls/SpinningIndicator.h"
#include "platform/ui/GalleryRegistry.h"

#include <QLabel>
#include <QWidget>

namespace tavrel {

namespace {

// A white content area with the status bar slid in along its bottom edge.
QWidget* statusBarSample(const std::function<void(TQStatusBarController&)>& fill)
{
    auto* window = new QWidget;
    window->resize(520, 90);
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, Qt::white);
    window->setPalette(palette);
    auto* content = new QWidget(window);
    content->setGeometry(window->rect());
    auto* bar = new TQStatusBarController(window);
    bar->setReferralProvider([content] { return content; });
    fill(*bar);
    bar->setVisible(true);
    if (auto* indicator = bar->spinController()->progressControl()->findChild<SpinningIndicator*>())
        indicator->setStep(3);
    return window;
}

QList<GallerySample> statusBar()
{
    QList<GallerySample> samples;
    samples.append({QStringLiteral("Message with the spinning indicator"), statusBarSample([](auto& bar) {
                        bar.showStatus(QStringLiteral("Checking for changes"), QStringLiteral("m"));
                    })});
    samples.append(
        {QStringLiteral("Progress without a value yet (indeterminate)"), statusBarSample([](auto& bar) {
             bar.showProgress(QStringLiteral("Uploading 3 files"), QStringLiteral("p"));
         })});
    samples.append({QStringLiteral("Progress at 40 percent"), statusBarSample([](auto& bar) {
                        bar.showProgress(QStringLiteral("Downloading Budget 2027"), QStringLiteral("p"));
                        bar.setProgressValue(40, QStringLiteral("p"));
                    })});
    samples.append({QStringLiteral("A message longer than the bar, truncated at its tail"),
                    statusBarSample([](auto& bar) {
                        bar.showStatus(
                            QStringLiteral("Moving 12 documents to the trash: Quarterly report, Team "
                                           "offsite agenda, Budget 2027, Travel expenses, Minutes"),
                            QStringLiteral("m"));
                    })});
    samples.append({QStringLiteral("A static session: no activity shown"), statusBarSample([](auto& bar) {
                        bar.setIndicateActivity(false);
                        bar.showStatus(QStringLiteral("Offline"), QStringLiteral("m"));
                    })});
    return samples;
}

QWidget* screenSample(const std::function<void(TQInitializeViewController&)>& present)
{
    // The holder owns the view, then the controller (which would delete its view once more if the
    // view owned it).
    auto* holder = new QWidget;
    holder->resize(560, 300);
    auto* screen = new TQInitializeViewController;
    QWidget* view = screen->view();
    view->setParent(holder);
    view->setGeometry(holder->rect());
    screen->setParent(holder);
    present(*screen);
    return holder;
}

QList<GallerySample> firstSynchronisation()
{
    QList<GallerySample> samples;
    samples.append({QStringLiteral("Fetching (666): indeterminate"), screenSample([](auto& screen) {
                        screen.presentSyncing();
                        screen.progressStatus(666, 0, 0, 2);
                    })});
    samples.append({QStringLiteral("Processing documents (999)"), screenSample([](auto& screen) {
                        screen.presentSyncing();
                        screen.progressStatus(999, 412, 1250, 63);
                    })});
    samples.append({QStringLiteral("The first synchronisation failed"),
                    screenSample([](auto& screen) { screen.presentError(); })});
    samples.append({QStringLiteral("The connection went during it"),
                    screenSample([](auto& screen) { screen.presentOffline(); })});
    return samples;
}

} // namespace

TAVREL_GALLERY_PAGE("status-bar", "Status bar", statusBar)
TAVREL_GALLERY_PAGE("first-synchronisation", "First-synchronisation screen", firstSynchronisation)

} // namespace tavrel
