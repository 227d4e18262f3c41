#pragma once

#include "pipeline/GDManagerHandler.h"
#include "platform/gdata/GDataEntryBase.h"
#include "platform/gdata/GDataFeedBase.h"

#include <QVariant>

namespace tavrel {

// How the service's objects travel in result dictionaries: a feed as GDataFeedPtr, an entry as
// GDataEntryPtr, anything else as GDataObjectPtr; the entries that a batch left are a QVariantList of
// GDataEntryPtr.
class GDataResultValues
{
public:
    static QVariant valueForObject(const GDataObjectPtr& object);
    // The object inside a value of any of the three kinds, or null.
    static GDataObjectPtr objectFromValue(const QVariant& value);
    template <class T> static std::shared_ptr<T> objectFromValue(const QVariant& value)
    {
        return std::dynamic_pointer_cast<T>(objectFromValue(value));
    }
    // The answered entries of a batch feed, in order.
    static QList<GDManagerHandler::BatchEntry> batchEntriesOfFeed(const QVariant& feed);
};

} // namespace tavrel
