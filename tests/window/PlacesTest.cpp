#include "WindowTestSupport.h"
#include "chrome/TQFilteringViewController.h"
#include "documents/DocumentsClasses.h"
#include "documents/TQAllFavoritesController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "platform/ui/StringTable.h"
#include "support/WaitUntil.h"
#include "window/TQNavigationController.h"
#include "window/TQSidebarController.h"
#include "window/TQStandInViewController.h"
#include "window/ViewClasses.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

using test::WindowTest;

// What a place shows, as its class names: the view's and, for a filtering view, its list's; "" for the
// placeholder.
QString shown(TQViewController* content)
{
    if (!content || qobject_cast<TQStandInViewController*>(content))
        return QString();
    QString name = QString::fromLatin1(content->metaObject()->className()).remove(QStringLiteral("tavrel::"));
    if (auto* filtering = qobject_cast<TQFilteringViewController*>(content))
        name += QLatin1Char('/') + QString::fromLatin1(filtering->controller()->metaObject()->className())
                                       .remove(QStringLiteral("tavrel::"));
    return name;
}

// A wrong registration: the all-items view wrapping the starred list.
class MisplacedAllItems : public TQAllItemsFilteringViewController
{
    Q_OBJECT
public:
    MisplacedAllItems() { setController(new TQAllFavoritesController); }
};

TEST_F(WindowTest, EachPlaceShowsItsOwnListOrThePlaceholder)
{
    const QString filtering = QStringLiteral("TQAllItemsFilteringViewController/");
    enum Setup { Nothing, Documents, WithoutStarredAndCollectionsLists, MisplacedList };
    struct Row
    {
        Setup setup;
        QString places[5]; // modes 1 to 5
    };
    const Row rows[] = {
        {Nothing, {}},
        {Documents,
         {filtering + "TQAllItemsController", filtering + "TQAllFavoritesController", QString(),
          filtering + "TQAllCollectionsController", "TQTrashFilteringViewController/TQTrashItemsController"}},
        // Starred and collections never show the all-items list under their titles.
        {WithoutStarredAndCollectionsLists,
         {filtering + "TQAllItemsController", QString(), QString(), QString(),
          "TQTrashFilteringViewController/TQTrashItemsController"}},
        {MisplacedList, {QString(), QString(), QString(), QString(), QString()}},
    };
    const char* const titles[] = {"AllItemsBack", "AllFavoritesBack", "AllContactsBack", "AllCollectionsBack",
                                  "TrashBack"};
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.setup));
        m_controller.reset();
        if (row.setup == Documents || row.setup == WithoutStarredAndCollectionsLists)
            DocumentsClasses::registerClasses();
        if (row.setup == WithoutStarredAndCollectionsLists) {
            ViewClasses::unregisterClass(TQMainWindowController::kFavoritesListClass);
            ViewClasses::unregisterClass(TQMainWindowController::kCollectionsListClass);
        }
        if (row.setup == MisplacedList)
            ViewClasses::registerClass<MisplacedAllItems>(TQMainWindowController::kAllItemsClass);
        TQMainWindowController* controller = makeWindow(5);
        for (int mode = 1; mode <= 5; ++mode) {
            SCOPED_TRACE(mode);
            controller->sidebarController()->activateMode(SidebarMode(mode));
            TQViewController* content = controller->controllerForMode(SidebarMode(mode));
            ASSERT_TRUE(
                test::waitUntil([&] { return !controller->navigationController()->isSliding(); }, 5000));
            EXPECT_EQ(controller->navigationController()->topController(), content);
            EXPECT_EQ(shown(content), row.places[mode - 1]);
            // The placeholder carries the place's own title.
            if (row.places[mode - 1].isEmpty()) {
                EXPECT_EQ(content->title(), StringTable::text(QLatin1String(titles[mode - 1])));
            }
        }
        m_controller.reset();
        DocumentsClasses::unregisterClasses();
    }
}

} // namespace
} // namespace tavrel

#include "PlacesTest.moc"
