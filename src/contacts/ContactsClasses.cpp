#include "contacts/ContactsClasses.h"

#include "contacts/TQAllContactsController.h"
#include "contacts/TQContactFavoritesController.h"
#include "contacts/TQContactSharedFilesController3.h"
#include "contacts/TQContactViewController.h"
#include "contacts/TQEditMailController.h"
#include "contacts/TQTopContactsViewController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

namespace tavrel {

namespace {

const QString kAllContactsClass = QStringLiteral("TQAllContactsController");
const QString kFavoritesClass = QStringLiteral("TQContactFavoritesController");

template <typename T> void registerOnce(const QString& name)
{
    if (!ViewClasses::hasClass(name))
        ViewClasses::registerClass<T>(name);
}

} // namespace

void ContactsClasses::registerClasses()
{
    registerOnce<TQTopContactsViewController>(TQMainWindowController::kContactsClass);
    registerOnce<TQContactViewController>(TQMainWindowController::kContactViewClass);
    registerOnce<TQAllContactsController>(kAllContactsClass);
    registerOnce<TQContactFavoritesController>(kFavoritesClass);
    registerOnce<TQContactSharedFilesController3>(TQContactSharedFilesController3::kClassName);
    if (!ViewClasses::hasClass(TQMainWindowController::kMailEditorClass))
        ViewClasses::registerClass(
            TQMainWindowController::kMailEditorClass,
            [] { return static_cast<QObject*>(TQEditMailController::mailEditor()); }, true);
}

void ContactsClasses::unregisterClasses()
{
    for (const QString& name :
         {TQMainWindowController::kContactsClass, TQMainWindowController::kContactViewClass,
          kAllContactsClass, kFavoritesClass, TQContactSharedFilesController3::kClassName,
          TQMainWindowController::kMailEditorClass})
        ViewClasses::unregisterClass(name);
}

} // namespace tavrel
