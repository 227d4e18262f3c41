#pragma once

namespace tavrel {

// Makes the chrome's classes known to the window by their design names (ViewClasses): the
// first-synchronisation screen, and the process-wide status bar, banner action registry and
// new-group sheet. The program calls it once at start-up, before it makes the main window; a name
// already registered (a test's stand-in) is kept.
class ChromeClasses
{
public:
    static void registerClasses();
    // Forgets the chrome's names, whoever registered them.
    static void unregisterClasses();
};

} // namespace tavrel
