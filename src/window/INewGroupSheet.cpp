#include "window/INewGroupSheet.h"

#include "platform/runtime/ClassRegistry.h"

#include <QString>

namespace tavrel {

bool INewGroupSheet::isCreateGroupAvailable()
{
    return ClassRegistry::instance().hasClass(QStringLiteral("cmhCreateGroup")) ||
           ClassRegistry::instance().hasClass(QStringLiteral("TQcmhCreateGroupOperation"));
}

} // namespace tavrel
