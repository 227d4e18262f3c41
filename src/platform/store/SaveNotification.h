#pragma once

#include "platform/store/ManagedObjectID.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QStringList>

namespace tavrel {

class ManagedObjectContext;

// What one save wrote: passed from the saving context to others, which merge it.
class SaveNotification
{
public:
    QList<ManagedObjectID> inserted;
    QList<ManagedObjectID> updated;
    QList<ManagedObjectID> deleted;
    QHash<ManagedObjectID, QStringList> updatedKeys; // keys written per updated record
    const ManagedObjectContext* source = nullptr;    // identity only: never dereference across threads

    bool isEmpty() const { return inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty(); }
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::SaveNotification)
