#include "sharing/SharingClasses.h"

#include "sharing/TQChangeOwnerController.h"
#include "sharing/TQQuickLinkPermissionController.h"
#include "sharing/TQQuickPermissionController.h"
#include "sharing/TQShareWithController.h"
#include "sharing/TQSharingSettingsController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

namespace tavrel {

void SharingClasses::registerClasses()
{
    if (!ViewClasses::hasClass(TQMainWindowController::kShareWithClass))
        ViewClasses::registerClass<TQShareWithController>(TQMainWindowController::kShareWithClass);
    if (!ViewClasses::hasClass(QLatin1String(kChangeOwnerClass)))
        ViewClasses::registerClass<TQChangeOwnerController>(QLatin1String(kChangeOwnerClass));
    if (!ViewClasses::hasClass(QLatin1String(kSharingSettingsClass)))
        ViewClasses::registerClass<TQSharingSettingsController>(QLatin1String(kSharingSettingsClass));
    // The cells find the popovers through the controls' registry.
    TQQuickPermissionController::permisssionController();
    TQQuickLinkPermissionController::linkController();
}

void SharingClasses::unregisterClasses()
{
    ViewClasses::unregisterClass(TQMainWindowController::kShareWithClass);
    ViewClasses::unregisterClass(QLatin1String(kChangeOwnerClass));
    ViewClasses::unregisterClass(QLatin1String(kSharingSettingsClass));
}

} // namespace tavrel
