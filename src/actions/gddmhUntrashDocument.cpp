#include "actions/gddmhUntrashDocument.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhUntrashDocument)

} // namespace tavrel
