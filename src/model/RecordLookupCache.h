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
    ~RecordLookupCache();
    RecordLookupCache(const RecordLookupCache&) = delete;
    RecordLookupCache& operator=(const RecordLookupCache&) = delete;

    // The cache installed on this thread for the context, if any.
    static RecordLookupCache* current(const ManagedObjectContext* context);

    // The remembered record with exactly this address; nothing means the store must be asked.
    std::shared_ptr<Mail> mail(const QString& address) const;
    void rememberMail(const std::shared_ptr<Mail>& mail);
    std::shared_ptr<Category> category(const QString& identifier) const;
    void rememberCategory(const std::shared_ptr<Category>& category);

private:
    ManagedObjectContext* m_context;
    RecordLookupCache* m_previous;
    QHash<QString, std::shared_ptr<Mail>> m_mails;
    QHash<QString, std::shared_ptr<Category>> m_categories;
};

} // namespace tavrel
