#pragma once

#include "platform/gdata/GDataEntryBase.h"
#include "platform/gdata/GDataFeedBase.h"
#include "platform/runtime/Error.h"

namespace tavrel {

// Turns answers of the service into objects of the right class: a feed by its kind, its entries and the
// entries of its first page; an entry by its kind category (documents by kind, access-list entries,
// contacts, the metadata entry). A hint says what the caller expects when the XML alone does not tell
// (an empty access list, a contacts feed).
class GDataObjectFactory
{
public:
    enum class FeedHint { None, Documents, ACL, Contacts };

    // Parses an answer body. A body that is not well-formed, or whose root is no Atom feed or entry, gives
    // an error of kGDataServiceErrorDomain (code kGDataServiceErrorParse) and no object.
    static GDataObjectPtr objectWithXMLData(const QByteArray& data, Error* error,
                                            FeedHint hint = FeedHint::None);
    // Parses one entry element given as text (a stored entry), or null.
    static GDataEntryPtr entryWithXMLString(const QString& xml);

    static GDataEntryPtr entryForElement(const std::shared_ptr<GDataXMLDocument>& document,
                                         pugi::xml_node element, FeedHint hint = FeedHint::None);
    static GDataFeedPtr feedForElement(const std::shared_ptr<GDataXMLDocument>& document,
                                       pugi::xml_node element, FeedHint hint = FeedHint::None);
    // The hint for a feed address: access lists end in "/acl".
    static FeedHint hintForURL(const QUrl& url, FeedHint serviceDefault);
};

} // namespace tavrel
