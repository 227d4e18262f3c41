#pragma once

#include <QString>

namespace tavrel {

// Shows a desktop notification outside the program's windows. Implementations are thread-safe,
// never block the caller and fail silently (the caller does not learn whether it was shown).
class DesktopNotificationBackend
{
public:
    virtual ~DesktopNotificationBackend() = default;
    virtual void showNotification(const QString& name, const QString& title, const QString& message,
                                  const QString& identifier) = 0;
};

} // namespace tavrel
