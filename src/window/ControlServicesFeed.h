#pragma once

class QWidget;

namespace tavrel {

// Hands the controls what they may not include (ControlServices): the log, the usage tracker, the
// settings, the current session's user and its document opening. Installed once per process, by the
// first view controller or the interface tests' main; later calls do nothing.
class ControlServicesFeed
{
public:
    static void install();
    // Keeps the view's online flag (OnlineFlag) equal to the application's connection status, through
    // any later status, for as long as the view lives; offline while there is none.
    static void followConnection(QWidget* view);
};

} // namespace tavrel
