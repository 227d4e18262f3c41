#pragma once

#include <QHashFunctions>

namespace tavrel {

// What the window shows, as the sidebar selects it: the personal profile (reached from the user's
// plaque, not a button) or the list of one of the five buttons, numbered from the top from 1.
enum class SidebarMode : int {
    PersonalProfile = -1,
    NoMode = 0,
    AllItems = 1,
    Starred = 2,
    Contacts = 3,
    Collections = 4,
    Trash = 5,
};

// Whether a window can show the mode (NoMode and numbers past the buttons it cannot).
constexpr bool isShownMode(SidebarMode mode)
{
    return mode == SidebarMode::PersonalProfile ||
           (int(mode) >= int(SidebarMode::AllItems) && int(mode) <= int(SidebarMode::Trash));
}

inline size_t qHash(SidebarMode mode, size_t seed = 0)
{
    return ::qHash(int(mode), seed);
}

} // namespace tavrel
