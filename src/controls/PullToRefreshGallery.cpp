// Gallery page of the pull-to-refresh scroll view: at rest, pulled, past the threshold, refreshing.

#include "controls/PullToRefreshClipView.h"
#include "controls/PullToRefreshScrollView.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/GalleryRegistry.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QListWidget>

namespace tavrel {

namespace {

// The all-items list in its scroll view, pulled down by the points.
PullToRefreshScrollView* pulledList(double pull, bool refreshing)
{
    auto* view = new PullToRefreshScrollView;
    view->resize(300, 250);
    auto* list = new QListWidget;
    list->setFrameShape(QFrame::NoFrame);
    list->setIconSize(QSize(32, 32));
    list->setSpacing(2);
    list->setFocusPolicy(Qt::NoFocus);
    const QList<std::pair<QString, QString>> rows{
        {QStringLiteral("Quarterly report"), QStringLiteral("report.pdf")},
        {QStringLiteral("Team offsite plan"), QStringLiteral("plan.odt")},
        {QStringLiteral("Budget 2024"), QStringLiteral("budget.xlsx")},
        {QStringLiteral("Launch slides"), QStringLiteral("slides.odp")},
        {QStringLiteral("Reading list"), QStringLiteral("list.txt")},
        {QStringLiteral("Photos from Lisbon"), QStringLiteral("photo.jpg")}};
    for (const auto& [title, file] : rows) {
        auto* item = new QListWidgetItem(ImageRegistry::fileTypeIcon(file), title, list);
        item->setFont(Drawing::font(13, QFont::DemiBold));
        item->setSizeHint(QSize(0, 44));
    }
    view->setDocumentView(list);
    view->show();
    if (refreshing) {
        view->startLoading();
        view->refreshSpinner()->setStep(4);
    }
    view->contentView()->setBoundsOrigin(QPointF(0, -pull));
    return view;
}

QList<GallerySample> pullToRefresh()
{
    return {{QStringLiteral("At rest"), pulledList(0, false)},
            {QStringLiteral("Pulled 32 points: the pull arrow"), pulledList(32, false)},
            {QStringLiteral("Pulled past 54 points: release to refresh"), pulledList(62, false)},
            {QStringLiteral("Refreshing: the header held at 44 points"), pulledList(44, true)}};
}

} // namespace

TAVREL_GALLERY_PAGE("pull-to-refresh", "Pull-to-refresh scroll view", pullToRefresh)

} // namespace tavrel
