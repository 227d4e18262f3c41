#include "sharing/SharingClasses.h"

#include "lists/QuickSharePresenter.h"
#include "sharing/TQChangeOwnerController.h"
#include "sharing/TQQuickLinkPermissionController.h"
#include "sharing/TQQuickPermissionController.h"
#include "sharing/TQShareController.h"
#include "sharing/TQShareReadonlyController.h"
#include "sharing/TQShareWithController.h"
#include "sharing/TQSharingContactsController3.h"
#include "sharing/TQSharingDetailsController.h"
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
    if (!ViewClasses::hasClass(QuickSharePresenter::kShareClass))
        ViewClasses::registerClass<TQShareController>(QuickSharePresenter::kShareClass);
    if (!ViewClasses::hasClass(QuickSharePresenter::kReadonlyClass))
        ViewClasses::registerClass<TQShareReadonlyController>(QuickSharePresenter::kReadonlyClass);
    if (!ViewClasses::hasClass(QLatin1String(kSharingContactsClass)))
        ViewClasses::registerClass<TQSharingContactsController>(QLatin1String(kSharingContactsClass));
    if (!ViewClasses::hasClass(QLatin1String(kSharingContacts3Class)))
        ViewClasses::registerClass<TQSharingContactsController3>(QLatin1String(kSharingContacts3Class));
    if (!ViewClasses::hasClass(QLatin1String(kSharingDetailsClass)))
        ViewClasses::registerClass<TQSharingDetailsController>(QLatin1String(kSharingDetailsClass));
    // The cells find the popovers through the controls' registry.
    TQQuickPermissionController::permisssionController();
    TQQuickLinkPermissionController::linkController();
}

void SharingClasses::unregisterClasses()
{
    ViewClasses::unregisterClass(TQMainWindowController::kShareWithClass);
    ViewClasses::unregisterClass(QLatin1String(kChangeOwnerClass));
    ViewClasses::unregisterClass(QLatin1String(kSharingSettingsClass));
    ViewClasses::unregisterClass(QuickSharePresenter::kShareClass);
    ViewClasses::unregisterClass(QuickSharePresenter::kReadonlyClass);
    ViewClasses::unregisterClass(QLatin1String(kSharingContactsClass));
    ViewClasses::unregisterClass(QLatin1String(kSharingContacts3Class));
    ViewClasses::unregisterClass(QLatin1String(kSharingDetailsClass));
}

} // namespace tavrel
