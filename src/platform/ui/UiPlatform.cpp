#include "platform/ui/UiPlatform.h"

#include "platform/ui/CommandValidation.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"

#include <QtGlobal>

// The resources of a static library are registered by name, outside any namespace.
static void initializeResources()
{
    Q_INIT_RESOURCE(tavrel_ui_resources);
}

namespace tavrel {

void UiPlatform::initialize()
{
    static bool initialized = false;
    if (initialized)
        return;
    initialized = true;
    initializeResources();
    CurrentEvent::install();
    CommandValidation::instance();
    ResponderChain::firstResponder(); // starts following the focus
    ImageRegistry::setUpIconTheme();
}

} // namespace tavrel
