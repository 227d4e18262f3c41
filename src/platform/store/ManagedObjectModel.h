#pragma once

#include "platform/store/EntityDescription.h"

#include <QHash>
#include <QList>
#include <QString>
#include <deque>

namespace tavrel {

// The entity model, built in code:
//     auto model = std::make_shared<ManagedObjectModel>();
//     model->addEntity("Item").addAttribute("title", AttributeDescription::Type::String, {}, true);
//     model->finalize();
// finalize() resolves parents, inverses and destinations and raises NSInternalInconsistencyException
// on a model that does not hold together. The model is immutable afterwards and shared by every
// coordinator and context that uses it.
class ManagedObjectModel
{
public:
    ManagedObjectModel() = default;
    ManagedObjectModel(const ManagedObjectModel&) = delete;
    ManagedObjectModel& operator=(const ManagedObjectModel&) = delete;

    EntityDescription& addEntity(const QString& name, const QString& parentName = {});
    void finalize();
    bool isFinalized() const { return m_finalized; }

    const EntityDescription* entity(const QString& name) const;
    QList<const EntityDescription*> entities() const;
    // A text that changes whenever entities, attributes, relationships or indexes change.
    QString versionHash() const;

private:
    std::deque<EntityDescription> m_entities;
    QHash<QString, EntityDescription*> m_byName;
    bool m_finalized = false;
};

} // namespace tavrel
