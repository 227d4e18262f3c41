#include "documents/DocumentsClasses.h"

#include "documents/TQAllCollectionsController.h"
#include "documents/TQAllFavoritesController.h"
#include "documents/TQAllItemsController.h"
#include "documents/TQAllItemsFilteringViewController.h"
#include "documents/TQCollectionsViewController.h"
#include "documents/TQFilePreviewController.h"
#include "documents/TQFileViewController.h"
#include "documents/TQOrganizeItemsController.h"
#include "documents/TQRenameFileController.h"
#include "documents/TQSharedFilesController.h"
#include "documents/TQStarredFilesViewController.h"
#include "documents/TQTopCollectionsViewController.h"
#include "documents/TQTopFilesViewController.h"
#include "documents/TQTrashFilteringViewController.h"
#include "documents/TQTrashItemsController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

namespace tavrel {

namespace {

struct Registration
{
    QString name;
    ViewClasses::Factory factory;
};

template <typename T> Registration entry(const QString& name)
{
    return {name, [] { return static_cast<QObject*>(new T); }};
}

QList<Registration> registrations()
{
    return {
        entry<TQAllItemsFilteringViewController>(TQMainWindowController::kAllItemsClass),
        entry<TQAllItemsController>(QStringLiteral("TQAllItemsController")),
        entry<TQAllFavoritesController>(TQMainWindowController::kFavoritesListClass),
        entry<TQAllCollectionsController>(TQMainWindowController::kCollectionsListClass),
        entry<TQTrashFilteringViewController>(TQMainWindowController::kTrashClass),
        entry<TQTrashItemsController>(QStringLiteral("TQTrashItemsController")),
        entry<TQFilePreviewController>(QStringLiteral("TQFilePreviewController")),
        entry<TQTopFilesViewController>(QStringLiteral("TQTopFilesViewController")),
        entry<TQStarredFilesViewController>(QStringLiteral("TQStarredFilesViewController")),
        entry<TQTopCollectionsViewController>(QStringLiteral("TQTopCollectionsViewController")),
        entry<TQSharedFilesController>(QStringLiteral("TQSharedFilesController")),
        entry<TQCollectionsViewController>(QStringLiteral("TQCollectionsViewController")),
        entry<TQOrganizeItemsController>(QStringLiteral("TQOrganizeItemsController")),
        entry<TQRenameFileController>(QStringLiteral("TQRenameFileController")),
        entry<TQFileViewController>(TQMainWindowController::kFileViewClass),
    };
}

} // namespace

void DocumentsClasses::registerClasses()
{
    for (const Registration& registration : registrations())
        if (!ViewClasses::hasClass(registration.name))
            ViewClasses::registerClass(registration.name, registration.factory);
}

void DocumentsClasses::unregisterClasses()
{
    for (const Registration& registration : registrations())
        ViewClasses::unregisterClass(registration.name);
}

} // namespace tavrel
