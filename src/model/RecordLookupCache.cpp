#include "model/RecordLookupCache.h"

#include "model/Category.h"
#include "model/ContextFetch.h"
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

void RecordLookupCache::preloadMails()
{
    if (m_mailsComplete || !m_context)
        return;
    const auto mails =
        ContextFetch::executeFetchRequestSafely<Mail>(m_context, FetchRequest(QStringLiteral("Mail")));
    for (const auto& mail : mails) {
        const QString address = mail ? mail->address() : QString();
        if (address.isEmpty())
            continue;
        if (!m_mails.contains(address))
            m_mails.insert(address, mail);
        const QString folded = address.toCaseFolded();
        if (!m_foldedMails.contains(folded))
            m_foldedMails.insert(folded, mail);
    }
    m_mailsComplete = true;
}

std::shared_ptr<Mail> RecordLookupCache::mail(const QString& address, bool* complete) const
{
    if (complete)
        *complete = false;
    const auto exact = m_mails.value(address);
    if (isLive(exact, m_context) && exact->address() == address) {
        if (complete)
            *complete = true;
        return exact;
    }
    if (!m_mailsComplete || exact)
        return nullptr; // never preloaded, or a remembered record went stale: the store answers
    const QString folded = address.toCaseFolded();
    const auto blind = m_foldedMails.value(folded);
    if (!blind) {
        if (complete)
            *complete = true;
        return nullptr;
    }
    if (isLive(blind, m_context) && blind->address().toCaseFolded() == folded) {
        if (complete)
            *complete = true;
        return blind;
    }
    return nullptr;
}

void RecordLookupCache::rememberMail(const std::shared_ptr<Mail>& mail)
{
    if (!mail)
        return;
    const QString address = mail->address();
    if (address.isEmpty())
        return;
    if (!isLive(m_mails.value(address), m_context))
        m_mails.insert(address, mail);
    if (m_mailsComplete) {
        const QString folded = address.toCaseFolded();
        if (!isLive(m_foldedMails.value(folded), m_context))
            m_foldedMails.insert(folded, mail);
    }
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
