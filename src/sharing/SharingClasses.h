#pragma once

namespace tavrel {

// Registers the sharing views the window and the lists make by name (the share-with, change-owner
// and sharing settings dialogs), and the quick permission and link popovers the cells open.
class SharingClasses
{
public:
    static inline const char* const kChangeOwnerClass = "TQChangeOwnerController";
    static inline const char* const kSharingSettingsClass = "TQSharingSettingsController";

    static void registerClasses();
    static void unregisterClasses();
};

} // namespace tavrel
