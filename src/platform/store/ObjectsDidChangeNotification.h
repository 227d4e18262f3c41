#pragma once

#include "platform/store/ManagedObject.h"

#include <QList>
#include <QMetaType>

namespace tavrel {

// Records of one context that were inserted, changed or deleted since the last announcement (by the
// program, by a merge of another context's save, or by a reset, which sets invalidatedAll).
class ObjectsDidChangeNotification
{
public:
    QList<ManagedObjectPtr> inserted;
    QList<ManagedObjectPtr> updated;
    QList<ManagedObjectPtr> deleted;
    bool invalidatedAll = false;

    bool isEmpty() const
    {
        return inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty() && !invalidatedAll;
    }
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::ObjectsDidChangeNotification)
