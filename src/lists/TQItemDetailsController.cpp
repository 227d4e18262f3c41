#include "lists/TQItemDetailsController.h"

#include "platform/runtime/NotificationCenter.h"

namespace tavrel {

void TQItemDetailsController::deleteEntity(QObject*)
{
    if (m_item)
        NotificationCenter::defaultCenter().post(kDeleteItemRequestNotification, QVariant::fromValue(m_item));
}

} // namespace tavrel
