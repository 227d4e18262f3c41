#include "model/RecordWatch.h"

namespace tavrel {

RecordWatch::RecordWatch() : m_token(std::make_unique<ManagedObject>()) {}

RecordWatch::~RecordWatch()
{
    stop();
}

void RecordWatch::watch(const ManagedObjectPtr& record, const QString& key, std::function<void()> callback)
{
    stop();
    if (!record)
        return;
    m_record = record;
    m_key = key;
    record->addObserver(key, m_token.get(),
                        [callback = std::move(callback)](ManagedObject*, const QString&) { callback(); });
}

void RecordWatch::stop()
{
    if (const auto record = m_record.lock())
        record->removeObserver(m_key, m_token.get());
    m_record.reset();
}

} // namespace tavrel
