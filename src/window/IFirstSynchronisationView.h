#pragma once

namespace tavrel {

// The screen the main window shows until the first synchronisation has filled the store, told by the
// window which of the session's states to present.
class IFirstSynchronisationView
{
public:
    virtual ~IFirstSynchronisationView() = default;
    virtual void presentSyncing() = 0;
    virtual void presentError() = 0;
    virtual void presentOffline() = 0;
};

} // namespace tavrel
