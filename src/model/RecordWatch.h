#pragma once

#include "platform/store/ManagedObject.h"

#include <functional>
#include <memory>

namespace tavrel {

// Watches one key of one record for an object that is not a record itself (a cell, a view): the
// callback runs after each change of the key until the watch is destroyed or pointed elsewhere.
class RecordWatch
{
public:
    RecordWatch();
    ~RecordWatch();
    RecordWatch(const RecordWatch&) = delete;
    RecordWatch& operator=(const RecordWatch&) = delete;

    // Stops the previous watch; a null record watches nothing.
    void watch(const ManagedObjectPtr& record, const QString& key, std::function<void()> callback);
    void stop();
    ManagedObjectPtr record() const { return m_record.lock(); }

private:
    // The identity the record files the watch under; its end ends the watch.
    std::unique_ptr<ManagedObject> m_token;
    std::weak_ptr<ManagedObject> m_record;
    QString m_key;
};

} // namespace tavrel
