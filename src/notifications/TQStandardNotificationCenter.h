#pragma once

#include "notifications/TQExternalNotificationCenter.h"
#include "platform/system/DesktopNotificationBackend.h"

#include <memory>
#include <mutex>

namespace tavrel {

// The desktop's notification service (freedesktop notifications over the session bus by default).
class TQStandardNotificationCenter : public TQExternalNotificationCenter
{
public:
    TQStandardNotificationCenter();
    explicit TQStandardNotificationCenter(std::shared_ptr<DesktopNotificationBackend> backend);

    void postExternalNotification(const TQExternalNotification& notification) override;

    std::shared_ptr<DesktopNotificationBackend> backend() const;
    // Tests put a recording back-end in place.
    void setBackend(std::shared_ptr<DesktopNotificationBackend> backend);

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<DesktopNotificationBackend> m_backend;
};

} // namespace tavrel
