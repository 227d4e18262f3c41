#include "chrome/TQOpenPrefAction.h"

namespace tavrel {

namespace {
TQOpenPrefAction::Opener& opener()
{
    static TQOpenPrefAction::Opener function;
    return function;
}
} // namespace

void TQOpenPrefAction::setPreferencesOpener(Opener function)
{
    opener() = std::move(function);
}

void TQOpenPrefAction::execute()
{
    if (opener())
        opener()(nullptr);
}

} // namespace tavrel
