#include "pipeline/TQBackgroundHandlerOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQBackgroundHandlerOperation)

} // namespace tavrel
