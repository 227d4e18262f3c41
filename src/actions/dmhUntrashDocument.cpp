#include "actions/dmhUntrashDocument.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(dmhUntrashDocument)

} // namespace tavrel
