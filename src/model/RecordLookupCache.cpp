#include "model/RecordLookupCache.h"

#include "model/Category.h"
#include "model/Mail.h"

namespace tavrel {

namespace {
thread_local RecordLookupCache* t_current = nullptr;

template <class T> bool isLive(const std::shared_ptr<T>& record, const ManagedObjectContext* context)
{
    return record && !record->isDeleted() && record->managedObjectContext() == context;
}
} // namespace

RecordLookupCache::RecordLookupCache(ManagedObjectContext* context)
    : m_context(context), m_previous(t_current)
{
    t_current = this;
}

RecordLookupCache::~RecordLookupCache()
{
    t_current = m_previous;
}

RecordLookupCache* RecordLookupCache::current(const ManagedObjectContext* context)
{
    for (RecordLookupCache* cache = t_current; cache; cache = cache->m_previous)
        if (context && cache->m_context == context)
            return cache;
    return nullptr;
}

std::shared_ptr<Mail> RecordLookupCache::mail(const QString& address) const
{
    const auto found = m_mails.value(address);
    return isLive(found, m_context) && found->address() == address ? found : nullptr;
}

void RecordLookupCache::rememberMail(const std::shared_ptr<Mail>& mail)
{
    if (!mail)
        return;
    const QString address = mail->address();
    if (address.isEmpty())
        return;
    // The first live record with the spelling stays, as the store's first match would.
    if (!isLive(m_mails.value(address), m_context))
        m_mails.insert(address, mail);
}

std::shared_ptr<Category> RecordLookupCache::category(const QString& identifier) const
{
    const auto found = m_categories.value(identifier);
    return isLive(found, m_context) && found->identifier() == identifier ? found : nullptr;
}

void RecordLookupCache::rememberCategory(const std::shared_ptr<Category>& category)
{
    if (!category)
        return;
    const QString identifier = category->identifier();
    if (!identifier.isNull())
        m_categories.insert(identifier, category);
}

} // namespace tavrel
