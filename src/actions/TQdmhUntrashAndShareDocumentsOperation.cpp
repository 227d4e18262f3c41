#include "actions/TQdmhUntrashAndShareDocumentsOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

TAVREL_REGISTER_CLASS(TQdmhUntrashAndShareDocumentsOperation)

} // namespace tavrel
