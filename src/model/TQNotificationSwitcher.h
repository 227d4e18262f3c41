#pragma once

#include "platform/runtime/NotificationCenter.h"

#include <QObject>
#include <functional>
#include <memory>

namespace tavrel {

// Runs a handler for one notification for as long as the switcher lives. The handler runs on the
// posting thread. Its owner keeps it (a member or a child) and deletes or replaces it to stop.
class TQNotificationSwitcher : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(const Notification&)>;

    // The target is not stored: the handler captures what it needs.
    static std::unique_ptr<TQNotificationSwitcher>
    switcherWithTarget(QObject* target, const QString& name, const QVariant& object, Handler handler);
    TQNotificationSwitcher(QObject* target, const QString& name, const QVariant& object, Handler handler,
                           QObject* parent = nullptr);
    ~TQNotificationSwitcher() override;

    void onNotificationReceived(const Notification& notification);

private:
    Handler m_handler;
};

} // namespace tavrel
