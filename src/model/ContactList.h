#pragma once

#include "model/GoogleObject.h"
#include "platform/gdata/GDataFeedBase.h"

namespace tavrel {

class Contact;
class ManagedObjectContext;

// The contacts feed as a whole: one record per store.
class ContactList : public GoogleObject
{
public:
    QList<std::shared_ptr<Contact>> contacts() const;
    // eTag and the feed copy's text content.
    void fillWithGDataEntry(const GDataFeedPtr& feed);
    // The store's record, inserted into the context when there is none yet.
    static std::shared_ptr<ContactList> contactListFromContext(ManagedObjectContext* context);
};

} // namespace tavrel
