#include "chrome/TQFolderFilteringViewController.h"

#include "controls/TQHostView.h"
#include "model/TQUtility.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QWidget>

namespace tavrel {

TQFolderFilteringViewController::TQFolderFilteringViewController(QObject* parent)
    : TQFilteringViewController(QStringLiteral("FolderFilteringView"), parent)
{}

void TQFolderFilteringViewController::awakeFromNib()
{
    TQFilteringViewController::awakeFromNib();
    headerHolder()->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("bg-searchbox-folder")));
}

void TQFolderFilteringViewController::viewDidInstall()
{
    // Hosted nowhere yet: the detail view installs it again once its tab is on screen.
    if (!isViewLoaded() || !view()->parentWidget())
        return;
    TQFilteringViewController::viewDidInstall();
    if (controller())
        controller()->setNavigationController(navigationController());
}

void TQFolderFilteringViewController::reactivate()
{
    if (controller())
        controller()->reactivate();
    setSearchString(QString());
}

void TQFolderFilteringViewController::editEntity(QObject* sender)
{
    if (controller())
        controller()->editEntity(sender);
}

void TQFolderFilteringViewController::share(QObject* sender)
{
    if (controller())
        controller()->share(sender);
}

void TQFolderFilteringViewController::deleteEntity(QObject* sender)
{
    if (controller())
        controller()->deleteEntity(sender);
}

bool TQFolderFilteringViewController::validateUserInterfaceItem(QObject* item)
{
    bool verdict = TQFilteringViewController::validateUserInterfaceItem(item);
    if (verdict && controller())
        verdict = controller()->validateUserInterfaceItem(item);
    if (verdict)
        verdict = TQUtility::actionAllowedOffline(UserInterfaceItem::command(item));
    return verdict;
}

} // namespace tavrel
