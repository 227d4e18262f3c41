#include "documents/DocumentsClasses.h"

#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQCollectionsViewController.h"
#include "documents/TQOrganizeItemsController.h"
#include "documents/TQRenameFileController.h"
#include "documents/TQSharedFilesController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

namespace tavrel {

namespace {

const QString kAllItemsListClass = QStringLiteral("TQAllItemsController");
const QString kSharedFilesClass = QStringLiteral("TQSharedFilesController");
const QString kCollectionsClass = QStringLiteral("TQCollectionsViewController");
const QString kOrganizeClass = QStringLiteral("TQOrganizeItemsController");
const QString kRenameClass = QStringLiteral("TQRenameFileController");

template <typename T> void registerOnce(const QString& name)
{
    if (!ViewClasses::hasClass(name))
        ViewClasses::registerClass<T>(name);
}

} // namespace

void DocumentsClasses::registerClasses()
{
    registerOnce<TQAllItemsFilteringViewController>(TQMainWindowController::kAllItemsClass);
    registerOnce<TQAllItemsController>(kAllItemsListClass);
    registerOnce<TQSharedFilesController>(kSharedFilesClass);
    registerOnce<TQCollectionsViewController>(kCollectionsClass);
    registerOnce<TQOrganizeItemsController>(kOrganizeClass);
    registerOnce<TQRenameFileController>(kRenameClass);
}

void DocumentsClasses::unregisterClasses()
{
    for (const QString& name : {TQMainWindowController::kAllItemsClass, kAllItemsListClass, kSharedFilesClass,
                                kCollectionsClass, kOrganizeClass, kRenameClass})
        ViewClasses::unregisterClass(name);
}

} // namespace tavrel
