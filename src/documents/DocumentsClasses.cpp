#include "documents/DocumentsClasses.h"

#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQFileViewController.h"
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
    if (!ViewClasses::hasClass(TQMainWindowController::kFileViewClass))
        ViewClasses::registerClass<TQFileViewController>(TQMainWindowController::kFileViewClass);
}

void DocumentsClasses::unregisterClasses()
{
    ViewClasses::unregisterClass(TQMainWindowController::kAllItemsClass);
    ViewClasses::unregisterClass(kAllItemsListClass);
    ViewClasses::unregisterClass(TQMainWindowController::kFileViewClass);
}

} // namespace tavrel
