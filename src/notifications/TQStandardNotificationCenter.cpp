#include "notifications/TQStandardNotificationCenter.h"

#include "platform/system/FreedesktopNotificationBackend.h"

namespace tavrel {

TQStandardNotificationCenter::TQStandardNotificationCenter()
    : m_backend(std::make_shared<FreedesktopNotificationBackend>())
{}

TQStandardNotificationCenter::TQStandardNotificationCenter(
    std::shared_ptr<DesktopNotificationBackend> backend)
    : m_backend(std::move(backend))
{}

void TQStandardNotificationCenter::postExternalNotification(const TQExternalNotification& notification)
{
    const std::shared_ptr<DesktopNotificationBackend> target = backend();
    if (target) {
        target->showNotification(notification.name(), notification.title(), notification.message(),
                                 notification.identifier());
    }
}

std::shared_ptr<DesktopNotificationBackend> TQStandardNotificationCenter::backend() const
{
    std::lock_guard lock(m_mutex);
    return m_backend;
}

void TQStandardNotificationCenter::setBackend(std::shared_ptr<DesktopNotificationBackend> backend)
{
    std::lock_guard lock(m_mutex);
    m_backend = std::move(backend);
}

} // namespace tavrel
