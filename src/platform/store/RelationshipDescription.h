#pragma once

#include <QString>

namespace tavrel {

class EntityDescription;

// One side of a relationship. Both sides of a pair are declared, each naming the other as inverse.
class RelationshipDescription
{
public:
    enum class DeleteRule { NoAction, Nullify, Cascade, Deny };

    QString name;
    QString destinationName;
    QString inverseName; // empty: no inverse
    bool toMany = false;
    DeleteRule deleteRule = DeleteRule::Nullify;

    // Resolved when the model is finalised.
    const EntityDescription* entity = nullptr;
    const EntityDescription* destination = nullptr;
    const RelationshipDescription* inverse = nullptr;
    int index = -1; // position among the entity's relationships (inherited ones included)
};

} // namespace tavrel
