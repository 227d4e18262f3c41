#include "window/ViewClassesFactory.h"

#include "platform/ui/MethodNames.h"
#include "platform/ui/StringTable.h"
#include "window/INewGroupSheet.h"
#include "window/IStatusBar.h"
#include "window/TQFloatingContentController.h"
#include "window/TQMainWindowController.h"
#include "window/TQViewController.h"
#include "window/ViewClasses.h"

#include <QVariant>

namespace tavrel {

namespace {
using Window = TQMainWindowController;

TQViewController* makeRegistered(const QString& name)
{
    return ViewClasses::make<TQViewController>(name);
}
} // namespace

TQViewController* ViewClassesFactory::makeFilteringController(const QString& titleKey,
                                                              const QString& innerClass)
{
    // Without its own list a place shows nothing rather than the all-items list under its title.
    if (!ViewClasses::hasClass(innerClass))
        return nullptr;
    TQViewController* filtering = makeRegistered(Window::kAllItemsClass);
    if (!filtering)
        return nullptr;
    filtering->setTitle(StringTable::text(titleKey));
    if (QObject* inner = ViewClasses::make(innerClass)) {
        inner->setParent(filtering);
        inner->setProperty("owner", QVariant::fromValue<QObject*>(filtering));
        QMetaObject::invokeMethod(filtering, Methods::setController, Q_ARG(QObject*, inner));
    }
    return filtering;
}

TQViewController* ViewClassesFactory::makeModeController(SidebarMode mode, const ManagedObjectPtr& me)
{
    switch (mode) {
    case SidebarMode::PersonalProfile: {
        TQViewController* profile = me ? makeRegistered(Window::kContactViewClass) : nullptr;
        if (!profile)
            return nullptr;
        QMetaObject::invokeMethod(profile, Methods::setEmail, Q_ARG(QVariant, QVariant::fromValue(me)));
        profile->setTitle(StringTable::text(QStringLiteral("MyInfoBack")));
        return profile;
    }
    case SidebarMode::AllItems:
        return makeRegistered(Window::kAllItemsClass);
    case SidebarMode::Starred:
        return makeFilteringController(QStringLiteral("AllFavoritesBack"), Window::kFavoritesListClass);
    case SidebarMode::Contacts:
        return makeRegistered(Window::kContactsClass);
    case SidebarMode::Collections:
        return makeFilteringController(QStringLiteral("AllCollectionsBack"), Window::kCollectionsListClass);
    case SidebarMode::Trash:
        return makeRegistered(Window::kTrashClass);
    case SidebarMode::NoMode:
        break;
    }
    return nullptr;
}

TQViewController* ViewClassesFactory::makeInitializeController()
{
    return makeRegistered(Window::kInitializeClass);
}

bool ViewClassesFactory::isFileView(const QObject* controller) const
{
    return ViewClasses::inherits(controller, Window::kFileViewClass);
}

IStatusBar* ViewClassesFactory::statusBar()
{
    if (!ViewClasses::hasClass(Window::kStatusBarClass))
        return nullptr;
    return dynamic_cast<IStatusBar*>(ViewClasses::make(Window::kStatusBarClass));
}

QObject* ViewClassesFactory::bannerDelegate()
{
    return ViewClasses::hasClass(Window::kActionProcessorClass)
               ? ViewClasses::make(Window::kActionProcessorClass)
               : nullptr;
}

bool ViewClassesFactory::isNewGroupAvailable() const
{
    return INewGroupSheet::isCreateGroupAvailable() && ViewClasses::hasClass(Window::kNewGroupClass);
}

INewGroupSheet* ViewClassesFactory::makeNewGroupSheet()
{
    QObject* made = ViewClasses::make(Window::kNewGroupClass);
    auto* sheet = dynamic_cast<INewGroupSheet*>(made);
    if (made && !sheet && !ViewClasses::isShared(Window::kNewGroupClass))
        delete made;
    return sheet;
}

bool ViewClassesFactory::showNewContactEditor(QWidget* window)
{
    QObject* editor = ViewClasses::make(Window::kMailEditorClass);
    if (!editor)
        return false;
    QMetaObject::invokeMethod(editor, Methods::setEmail, Q_ARG(QVariant, QVariant()));
    QMetaObject::invokeMethod(editor, Methods::showWindowModalToWindow, Q_ARG(QWidget*, window));
    return true;
}

bool ViewClassesFactory::hasTour() const
{
    return ViewClasses::hasClass(Window::kSplashClass);
}

bool ViewClassesFactory::showTour(QWidget* window)
{
    QObject* tour = ViewClasses::make(Window::kSplashClass);
    if (!tour)
        return false;
    QMetaObject::invokeMethod(tour, Methods::showWindowModalToWindow, Q_ARG(QWidget*, window));
    return true;
}

TQFloatingContentController* ViewClassesFactory::makeShareWith(const QStringList& fileNames)
{
    auto* share = ViewClasses::make<TQFloatingContentController>(Window::kShareWithClass);
    if (!share)
        return nullptr;
    QMetaObject::invokeMethod(share, Methods::setFilesToUpload, Q_ARG(QStringList, fileNames));
    return share;
}

} // namespace tavrel
