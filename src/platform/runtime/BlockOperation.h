#pragma once

#include "platform/runtime/Operation.h"

#include <functional>

namespace tavrel {

// An operation that runs a function.
class BlockOperation : public Operation
{
    Q_OBJECT
public:
    // Made by name (without a block) it finishes at once.
    explicit BlockOperation(std::function<void()> block = {});

protected:
    void main() override;

private:
    std::function<void()> m_block;
};

} // namespace tavrel
