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
    // The documents upload address in the "expandAcl" projection:
    // <base>/feeds/upload/create-session/default/private/expandAcl.
    static QUrl uploadURLExpandingAcls();
    // The entry's resumable-edit address with its last two path components replaced by the "expandAcl"
    // projection and the resource identifier. Empty without that link or a resource identifier.
    static QUrl expandACLUploadEditURLForGDataDocument(const GDataEntryDocBase& entry);
};

} // namespace tavrel
