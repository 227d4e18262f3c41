#include "actions/TQdmhUntrashAndStarDocumentsOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUntrashAndStarDocumentsOperation)

} // namespace tavrel
