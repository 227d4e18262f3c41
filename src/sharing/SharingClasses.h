#pragma once

namespace tavrel {

// Registers the sharing views the window and the lists make by name (the share-with, change-owner
// and sharing settings dialogs, the people-with-access lists and the sharing details), and the quick
// permission and link popovers the cells open.
class SharingClasses
{
public:
    static inline const char* const kChangeOwnerClass = "TQChangeOwnerController";
    static inline const char* const kSharingSettingsClass = "TQSharingSettingsController";
    static inline const char* const kSharingContactsClass = "TQSharingContactsController";
    static inline const char* const kSharingContacts3Class = "TQSharingContactsController3";
    static inline const char* const kSharingDetailsClass = "TQSharingDetailsController";

    static void registerClasses();
    static void unregisterClasses();
};

} // namespace tavrel
