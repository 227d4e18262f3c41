#include "controls/ControlPopovers.h"

namespace tavrel {

namespace {
struct Controllers
{
    FloatingLabelPort* label = nullptr;
    FloatingLabelPort* tooltip = nullptr;
    QuickPermissionPort* permission = nullptr;
    QuickLinkPort* link = nullptr;
};

Controllers& controllers()
{
    static Controllers registered;
    return registered;
}
} // namespace

FloatingLabelPort* ControlPopovers::labelController()
{
    return controllers().label;
}

void ControlPopovers::setLabelController(FloatingLabelPort* controller)
{
    controllers().label = controller;
}

FloatingLabelPort* ControlPopovers::tooltipController()
{
    return controllers().tooltip;
}

void ControlPopovers::setTooltipController(FloatingLabelPort* controller)
{
    controllers().tooltip = controller;
}

QuickPermissionPort* ControlPopovers::permissionController()
{
    return controllers().permission;
}

void ControlPopovers::setPermissionController(QuickPermissionPort* controller)
{
    controllers().permission = controller;
}

QuickLinkPort* ControlPopovers::linkController()
{
    return controllers().link;
}

void ControlPopovers::setLinkController(QuickLinkPort* controller)
{
    controllers().link = controller;
}

bool ControlPopovers::presentModalContentController()
{
    const Controllers& c = controllers();
    return (c.permission && c.permission->isWindowVisible()) || (c.link && c.link->isWindowVisible());
}

} // namespace tavrel
