#include "model/TQNotificationSwitcher.h"

namespace tavrel {

std::unique_ptr<TQNotificationSwitcher> TQNotificationSwitcher::switcherWithTarget(QObject* target,
                                                                                   const QString& name,
                                                                                   const QVariant& object,
                                                                                   Handler handler)
{
    return std::make_unique<TQNotificationSwitcher>(target, name, object, std::move(handler));
}

TQNotificationSwitcher::TQNotificationSwitcher(QObject*, const QString& name, const QVariant& object,
                                               Handler handler, QObject* parent)
    : QObject(parent), m_handler(std::move(handler))
{
    NotificationCenter::defaultCenter().addObserver(
        this, name, object,
        [this](const Notification& notification) { onNotificationReceived(notification); });
}

TQNotificationSwitcher::~TQNotificationSwitcher()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void TQNotificationSwitcher::onNotificationReceived(const Notification& notification)
{
    if (m_handler)
        m_handler(notification);
}

} // namespace tavrel
