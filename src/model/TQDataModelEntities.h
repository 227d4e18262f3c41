#pragma once

#include "platform/store/ManagedObjectModel.h"

#include <functional>
#include <memory>

namespace tavrel {

// The account store's entities, attributes, relationships and indexes: how the store file is laid out.
// Kept apart from the record classes so that a reader of store files outside the program (the
// desktop-search importer) knows the layout without linking the record classes and what they use.
class TQDataModelEntities
{
public:
    // Called once per declared entity, before the model is finalised (to give it its record class).
    using RecordClassBinding = std::function<void(EntityDescription&)>;

    // A fresh, unfinalised model of every entity.
    static std::shared_ptr<ManagedObjectModel> buildModel(const RecordClassBinding& bind = {});
    // A fresh model of every entity, finalised.
    static std::shared_ptr<const ManagedObjectModel> finalizedModel(const RecordClassBinding& bind = {});
    // The finalised model without record classes (records would be plain ManagedObjects), built once.
    static std::shared_ptr<const ManagedObjectModel> model();
};

} // namespace tavrel
