#include "platform/runtime/BlockOperation.h"

#include "platform/runtime/ClassRegistry.h"

namespace tavrel {

BlockOperation::BlockOperation(std::function<void()> block) : m_block(std::move(block)) {}

void BlockOperation::main()
{
    if (m_block)
        m_block();
}

TAVREL_REGISTER_CLASS(BlockOperation)

} // namespace tavrel
