#pragma once

#include "platform/gdata/GDataEntryBase.h"

namespace tavrel {

class GDataFeedBase;
using GDataFeedPtr = std::shared_ptr<GDataFeedBase>;

// An atom:feed. Its entries are objects of the entry class their kind category names (documents by kind,
// access-list entries, contacts ...), sharing the feed's document.
class GDataFeedBase : public GDataEntryBase
{
    TAVREL_GDATA_OBJECT(GDataFeedBase, GDataEntryBase)

    // A new, empty feed of the given class.
    template <class T = GDataFeedBase> static std::shared_ptr<T> feed()
    {
        auto document = GDataXMLDocument::createWithRoot(QStringLiteral("feed"));
        return std::make_shared<T>(document, document->root());
    }

    QList<GDataEntryPtr> entries() const;
    qsizetype entryCount() const;
    // Adds a copy of the entry (in this feed's document) and answers it.
    GDataEntryPtr addEntry(const GDataEntryBase& entry);
    // Moves the entries of `other` (the next page) to the end of this feed.
    void appendEntriesOfFeed(const GDataFeedBase& other);
    // A copy of the same class in a document of its own holding the feed's own elements and attributes
    // (tag, title, links ...) without its entries.
    std::shared_ptr<GDataFeedBase> copyWithoutEntries() const;

    GDataLink batchLink() const { return linkWithRelAttributeValue(kGDataLinkRelBatch); }
    GDataLink postLink() const { return linkWithRelAttributeValue(kGDataLinkRelPost); }
    GDataLink nextLink() const { return linkWithRelAttributeValue(kGDataLinkRelNext); }
    GDataLink feedLink() const { return linkWithRelAttributeValue(kGDataLinkRelFeed); }

    std::optional<qint64> totalResults() const;
    std::optional<qint64> startIndex() const;
    std::optional<qint64> itemsPerPage() const;

protected:
    // The entry class of an entry element of this feed; feeds whose entries carry no kind (access lists)
    // override it.
    virtual GDataEntryPtr entryForElement(pugi::xml_node element) const;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::GDataFeedPtr)
