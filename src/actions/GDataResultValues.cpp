#include "actions/GDataResultValues.h"

namespace tavrel {

QVariant GDataResultValues::valueForObject(const GDataObjectPtr& object)
{
    if (!object)
        return {};
    // A feed is an entry too: ask for the feed first.
    if (auto feed = std::dynamic_pointer_cast<GDataFeedBase>(object))
        return QVariant::fromValue(feed);
    if (auto entry = std::dynamic_pointer_cast<GDataEntryBase>(object))
        return QVariant::fromValue(entry);
    return QVariant::fromValue(object);
}

GDataObjectPtr GDataResultValues::objectFromValue(const QVariant& value)
{
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<GDataFeedPtr>())
        return value.value<GDataFeedPtr>();
    if (type == QMetaType::fromType<GDataEntryPtr>())
        return value.value<GDataEntryPtr>();
    if (type == QMetaType::fromType<GDataObjectPtr>())
        return value.value<GDataObjectPtr>();
    return nullptr;
}

QList<GDManagerHandler::BatchEntry> GDataResultValues::batchEntriesOfFeed(const QVariant& feed)
{
    QList<GDManagerHandler::BatchEntry> answered;
    const auto batchFeed = objectFromValue<GDataFeedBase>(feed);
    if (!batchFeed)
        return answered;
    for (const GDataEntryPtr& entry : batchFeed->entries()) {
        GDManagerHandler::BatchEntry item;
        item.entry = QVariant::fromValue(entry);
        item.batchIdentifier = entry->batchIDString();
        if (const auto status = entry->batchStatus()) {
            item.statusCode = status->code();
            item.reason = status->reason();
        }
        item.interrupted = entry->batchInterrupted().has_value();
        answered.append(item);
    }
    // A service may report the interruption on the feed rather than on the entry where it stopped.
    if (const auto stop = batchFeed->batchInterrupted()) {
        if (!answered.isEmpty()) {
            answered.last().interrupted = true;
        } else {
            GDManagerHandler::BatchEntry item;
            item.reason = stop->reason();
            item.interrupted = true;
            answered.append(item);
        }
    }
    return answered;
}

} // namespace tavrel
