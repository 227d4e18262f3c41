#include "chrome/TQStatusWrapper.h"

namespace tavrel {

std::shared_ptr<TQStatusWrapper> TQStatusWrapper::statusWrapperWithStatus(const QString& status,
                                                                          const QString& identifier)
{
    if (status.isNull() || identifier.isNull())
        return nullptr;
    auto wrapper = std::make_shared<TQStatusWrapper>();
    wrapper->m_status = status;
    wrapper->m_identifier = identifier;
    return wrapper;
}

} // namespace tavrel
