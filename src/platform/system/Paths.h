#pragma once

#include <QString>

namespace tavrel {

// Where Tavrel keeps its files, read from the XDG variables at each call so that a changed HOME
// (tests) takes effect at once.
class Paths
{
public:
    static QString homeFolder();
    static QString dataHome();   // $XDG_DATA_HOME or ~/.local/share
    static QString configHome(); // $XDG_CONFIG_HOME or ~/.config
    static QString stateHome();  // $XDG_STATE_HOME or ~/.local/state
    static QString cacheHome();  // $XDG_CACHE_HOME or ~/.cache
    static QString tempFolder(); // $TMPDIR or /tmp

    // Application support: <data>/Tavrel, holding one folder per account.
    static QString applicationSupportFolder();
    // The accounts archive lives in the folder named after the executable: <data>/tavrel.
    static QString accountsFolder();
    // <state>/Tavrel/Tavrel.log
    static QString logFile();
    // <config>/Tavrel/Tavrel.conf
    static QString settingsFile();
    // The user's Documents and Downloads folders.
    static QString documentsFolder();
    static QString downloadsFolder();
};

} // namespace tavrel
