#include "actions/gddmhDeleteDocuments.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(gddmhDeleteDocuments)

} // namespace tavrel
