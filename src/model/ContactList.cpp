#include "model/ContactList.h"

#include "model/Contact.h"
#include "model/ContextFetch.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

QList<std::shared_ptr<Contact>> ContactList::contacts() const
{
    return toMany<Contact>(QStringLiteral("contacts"));
}

void ContactList::fillWithGDataEntry(const GDataFeedPtr& feed)
{
    if (!feed)
        return;
    setETag(feed->ETag());
    // The text of the feed itself: a copy of the whole page tree would say the same.
    setXml(feed->stringValue());
}

std::shared_ptr<ContactList> ContactList::contactListFromContext(ManagedObjectContext* context)
{
    if (!context)
        return {};
    FetchRequest request("ContactList");
    request.setFetchLimit(1);
    if (auto found = ContextFetch::firstRecord<ContactList>(context, request))
        return found;
    return context->insertNewObject<ContactList>(QStringLiteral("ContactList"));
}

} // namespace tavrel
