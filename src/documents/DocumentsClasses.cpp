#include "documents/DocumentsClasses.h"

#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

namespace tavrel {

namespace {

const QString kAllItemsListClass = QStringLiteral("TQAllItemsController");

} // namespace

void DocumentsClasses::registerClasses()
{
    if (!ViewClasses::hasClass(TQMainWindowController::kAllItemsClass))
        ViewClasses::registerClass<TQAllItemsFilteringViewController>(TQMainWindowController::kAllItemsClass);
    if (!ViewClasses::hasClass(kAllItemsListClass))
        ViewClasses::registerClass<TQAllItemsController>(kAllItemsListClass);
}

void DocumentsClasses::unregisterClasses()
{
    ViewClasses::unregisterClass(TQMainWindowController::kAllItemsClass);
    ViewClasses::unregisterClass(kAllItemsListClass);
}

} // namespace tavrel
