#include "model/ResourceIds.h"

namespace tavrel {

bool ResourceIds::isStoredFile(const QString& resourceId)
{
    return resourceId.startsWith(QLatin1String("file:")) || resourceId.startsWith(QLatin1String("pdf:"));
}

} // namespace tavrel
