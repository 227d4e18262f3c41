#include "chrome/ChromeClasses.h"

#include "chrome/TQActionProcessor.h"
#include "chrome/TQInitializeViewController.h"
#include "chrome/TQNewGroupController.h"
#include "chrome/TQStatusBarController.h"
#include "window/TQMainWindowController.h"
#include "window/ViewClasses.h"

namespace tavrel {

namespace {
struct Registration
{
    const QString& name;
    ViewClasses::Factory factory;
    bool shared;
};

QList<Registration> registrations()
{
    using Window = TQMainWindowController;
    return {
        {Window::kInitializeClass, [] { return static_cast<QObject*>(new TQInitializeViewController); },
         false},
        {Window::kStatusBarClass,
         [] { return static_cast<QObject*>(TQStatusBarController::sharedStatusBarController()); }, true},
        {Window::kActionProcessorClass,
         [] { return static_cast<QObject*>(TQActionProcessor::sharedActionProcessor()); }, true},
        // The sheet frees itself when it ends.
        {Window::kNewGroupClass, [] { return static_cast<QObject*>(new TQNewGroupController); }, false},
    };
}
} // namespace

void ChromeClasses::registerClasses()
{
    for (const Registration& registration : registrations())
        if (!ViewClasses::hasClass(registration.name))
            ViewClasses::registerClass(registration.name, registration.factory, registration.shared);
}

void ChromeClasses::unregisterClasses()
{
    for (const Registration& registration : registrations())
        ViewClasses::unregisterClass(registration.name);
}

} // namespace tavrel
