#pragma once

namespace tavrel {

// Makes the contact views known to the window by their design names (ViewClasses): the contacts root
// view, a contact's page, the lists of the root view and the shared contact editor. The program calls
// it once at start-up, before it makes the main window; a name already registered (a test's stand-in)
// is kept.
class ContactsClasses
{
public:
    static void registerClasses();
    // Forgets the contact views' names, whoever registered them.
    static void unregisterClasses();
};

} // namespace tavrel
