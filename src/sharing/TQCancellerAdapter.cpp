#include "sharing/TQCancellerAdapter.h"

#include "platform/runtime/NotificationCenter.h"

namespace tavrel {

TQCancellerAdapter::TQCancellerAdapter(quint64 filesIdentity, QObject* parent) : QObject(parent)
{
    // The observation ends with the adapter.
    NotificationCenter::defaultCenter().addObserver(this, kCancelSizeCalculationNotification,
                                                    QVariant::fromValue(filesIdentity),
                                                    [this](const Notification&) { cancel(); });
}

} // namespace tavrel
