#pragma once

#include <QString>
#include <memory>

namespace tavrel {

// A named action that a banner's link runs: the name is the link's value.
class IUIAction
{
public:
    virtual ~IUIAction() = default;
    virtual QString name() const = 0;
    virtual void execute() = 0;
};

using IUIActionPtr = std::shared_ptr<IUIAction>;

} // namespace tavrel
