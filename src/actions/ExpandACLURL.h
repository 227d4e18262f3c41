#pragma once

#include <QUrl>

namespace tavrel {

class GDataEntryDocBase;

// Addresses of the documents service that ask for each answered entry's access list inline.
class ExpandACLURL
{
public:
    // The documents feed address in the "expandAcl" projection with the entry's resource identifier
    // appended: <base>/feeds/default/private/expandAcl/<resourceId>. Empty without a resource identifier.
    static QUrl expandACLEditURLForGDataDocument(const GDataEntryDocBase& entry);
};

} // namespace tavrel
