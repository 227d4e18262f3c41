#pragma once

namespace tavrel {

// Hands the controls what they may not include (ControlServices, OnlineState): the log, the usage
// tracker, the settings, the current session's user and its document opening, and the connection
// status's online flag. Installed once per process, by the first view controller or the interface
// tests' main; later calls do nothing.
class ControlServicesFeed
{
public:
    static void install();
};

} // namespace tavrel
