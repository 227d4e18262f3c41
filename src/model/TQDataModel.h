#pragma once

#include "platform/store/ManagedObjectModel.h"

#include <memory>

namespace tavrel {

// The account store's entity model ("mainDataContext"): the entities of TQDataModelEntities with their
// record classes, built once and shared by every coordinator and context.
class TQDataModel
{
public:
    static std::shared_ptr<const ManagedObjectModel> mainDataContext();
    // A fresh, unfinalised copy of the same entities, for callers that extend it (tests of schema growth).
    static std::shared_ptr<ManagedObjectModel> buildModel();
};

} // namespace tavrel
