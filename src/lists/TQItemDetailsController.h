#pragma once

#include "lists/TQTableViewController.h"
#include "platform/store/ManagedObject.h"
#include "platform/ui/MessageNames.h"

namespace tavrel {

// The base of the lists that show one aspect of a single record (its people, its collections, its
// preview). Their delete command asks for the record itself to be deleted: whoever shows the record
// observes "kTQDeleteItemRequestNotification" with it as the object and runs its own delete.
class TQItemDetailsController : public TQTableViewController
{
    Q_OBJECT
public:
    static inline const QString kDeleteItemRequestNotification = Notifications::deleteItemRequest;

    using TQTableViewController::TQTableViewController;

    ManagedObjectPtr item() const { return m_item; }
    virtual void setItem(const ManagedObjectPtr& item) { m_item = item; }

    // Posts the request with the record; nothing without one.
    Q_INVOKABLE void deleteEntity(QObject* sender) override;

private:
    ManagedObjectPtr m_item;
};

} // namespace tavrel
