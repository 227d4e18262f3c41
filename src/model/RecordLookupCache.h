#pragma once

#include <QHash>
#include <QString>
#include <memory>

namespace tavrel {

class Category;
class Mail;
class ManagedObjectContext;

// Remembers, for one context on the calling thread, the mail records found by address and the
// collections found by identifier, while a synchronisation fills thousands of records: each lookup in
// the store would otherwise compare every record of the context. Mail::lookup and
// Category::categoryWithIdentifier consult it while it is installed; a remembered record is answered
// only while it still belongs to the context, is not deleted and still carries the key exactly, so a
// miss or a stale entry falls back to the store's own answer. Installed for its lifetime, on one thread.
class RecordLookupCache
{
public:
    explicit RecordLookupCache(ManagedObjectContext* context);
    // Reads every mail record of the context once; from then on an address the cache does not know is
    // known to have no record: Mail::setAddress tells the cache of every address given meanwhile.
    void preloadMails();
    ~RecordLookupCache();
    RecordLookupCache(const RecordLookupCache&) = delete;
    RecordLookupCache& operator=(const RecordLookupCache&) = delete;

    // The cache installed on this thread for the context, if any.
    static RecordLookupCache* current(const ManagedObjectContext* context);

    // The record with the address, exactly or else with letter case ignored. `complete` tells whether
    // no answer means that there is no such record; otherwise the store must be asked.
    std::shared_ptr<Mail> mail(const QString& address, bool* complete = nullptr) const;
    void rememberMail(const std::shared_ptr<Mail>& mail);
    std::shared_ptr<Category> category(const QString& identifier) const;
    void rememberCategory(const std::shared_ptr<Category>& category);

private:
    ManagedObjectContext* m_context;
    RecordLookupCache* m_previous;
    QHash<QString, std::shared_ptr<Mail>> m_mails;
    QHash<QString, std::shared_ptr<Mail>> m_foldedMails; // only once preloaded
    bool m_mailsComplete = false;
    QHash<QString, std::shared_ptr<Category>> m_categories;
};

} // namespace tavrel
