#pragma once

namespace tavrel {

// Makes the document views known to the window by their design names (ViewClasses): the filtering
// view and the lists of the document places (all items, starred, collections, trash), the preview tab,
// the top-files views, the shared-files list, the collections outline, Organize and the rename sheet.
// The program calls it once at start-up, before it makes the main window; a name already registered
// (a test's stand-in) is kept.
class DocumentsClasses
{
public:
    static void registerClasses();
    // Forgets the document views' names, whoever registered them.
    static void unregisterClasses();
};

} // namespace tavrel
