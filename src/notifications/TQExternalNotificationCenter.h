#pragma once

#include "notifications/TQExternalNotification.h"

namespace tavrel {

// The one way to raise a desktop notification. The shared centre is made once; posting works from
// any thread, never blocks and never reports whether the message was shown.
class TQExternalNotificationCenter
{
public:
    static TQExternalNotificationCenter* defaultCenter();

    virtual ~TQExternalNotificationCenter() = default;
    virtual void postExternalNotification(const TQExternalNotification& notification)
    {
        Q_UNUSED(notification);
    }

protected:
    // Only back-ends are made.
    TQExternalNotificationCenter() = default;
};

} // namespace tavrel
