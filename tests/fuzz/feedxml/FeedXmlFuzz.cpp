// The feed XML reader. Whatever it accepts it writes so that it reads again as the same document, and an
// entry it hands out (also one inside a feed, or an access list inside an entry) can be stored as text and
// rebuilt from it, as the store keeps entries.
#include "FuzzSupport.h"
#include "platform/gdata/GDataEntryACL.h"
#include "platform/gdata/GDataEntryContact.h"
#include "platform/gdata/GDataEntryDocBase.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/gdata/GDataObjectFactory.h"
#include "platform/gdata/GDataXMLDocument.h"

using namespace tavrel;

namespace {

// Reads what the client reads of an entry, then stores and rebuilds it. The client reads the inline
// access list of a document, not lists inside that list.
void readEntry(const GDataEntryPtr& entry, bool outer = true)
{
    (void)entry->identifier();
    (void)entry->ETag();
    (void)entry->title();
    (void)entry->content();
    (void)entry->updatedDate();
    (void)entry->authors();
    (void)entry->links();
    (void)entry->categories();
    (void)entry->batchStatus();
    (void)entry->batchInterrupted();
    if (const auto doc = std::dynamic_pointer_cast<GDataEntryDocBase>(entry)) {
        (void)doc->resourceID();
        (void)doc->kind();
        (void)doc->fileSize();
        (void)doc->lastModifiedBy();
        (void)doc->parentLinks();
        (void)doc->changestamp();
        const GDataFeedLinkPtr acl = outer ? doc->ACLFeedLink() : nullptr;
        if (const GDataFeedPtr rules = acl ? acl->feed() : nullptr)
            for (const GDataEntryPtr& rule : rules->entries())
                readEntry(rule, false);
    }
    if (const auto contact = std::dynamic_pointer_cast<GDataEntryContact>(entry)) {
        (void)contact->fullName();
        (void)contact->emailAddresses();
        (void)contact->primaryEmailAddress();
    }
    if (const auto rule = std::dynamic_pointer_cast<GDataEntryACL>(entry)) {
        (void)rule->scope();
        (void)rule->role();
        (void)rule->keyedRole();
        (void)rule->additionalRoles();
    }
    const QString stored = entry->XMLString();
    const GDataEntryPtr rebuilt = GDataObjectFactory::entryWithXMLString(stored);
    fuzz::check(rebuilt != nullptr, "a stored entry does not rebuild", stored);
    fuzz::check(rebuilt->XMLString() == stored, "a rebuilt entry differs from the stored one",
                stored + QLatin1Char('\n') + rebuilt->XMLString());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    fuzz::setUpProcess(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzz::bytesOf(data, size);
    const auto first = GDataXMLDocument::parse(bytes, nullptr);
    if (!first)
        return 0;
    const QByteArray written = first->serialize(first->root(), {}, true);
    QString error;
    const auto second = GDataXMLDocument::parse(written, &error);
    fuzz::check(second != nullptr, "a document the reader accepted does not read again",
                error + QLatin1Char('\n') + QString::fromUtf8(written));
    const QByteArray rewritten = second->serialize(second->root(), {}, true);
    fuzz::check(rewritten == written, "a document changes in a second round trip",
                QString::fromUtf8(written) + QLatin1Char('\n') + QString::fromUtf8(rewritten));

    // The hint the caller gives depends on the address asked; any of them may meet any answer.
    const auto hint = GDataObjectFactory::FeedHint(size % 4);
    const GDataObjectPtr object = GDataObjectFactory::objectWithXMLData(bytes, nullptr, hint);
    if (const auto feed = std::dynamic_pointer_cast<GDataFeedBase>(object)) {
        (void)feed->nextLink();
        (void)feed->totalResults();
        for (const GDataEntryPtr& entry : feed->entries())
            readEntry(entry);
    } else if (const auto entry = std::dynamic_pointer_cast<GDataEntryBase>(object)) {
        readEntry(entry);
    }
    return 0;
}
