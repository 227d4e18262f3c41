#pragma once

#include <QString>

namespace tavrel {

// What a document's resource id ("document:abc", "file:xyz") tells of it.
class ResourceIds
{
public:
    // A stored file (any upload, a PDF) rather than a document the service edits itself: it opens
    // from its downloaded copy, never in the browser.
    static bool isStoredFile(const QString& resourceId);
};

} // namespace tavrel
