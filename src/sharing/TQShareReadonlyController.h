#pragma once

#include "sharing/SharingPermissions.h"
#include "window/TQFloatingContentController.h"

#include <QPixmap>
#include <QPointer>

class QLabel;

namespace tavrel {

// What the quick-share popover shows to someone who may not share: the owner's name and picture and a
// fixed text.
class TQShareReadonlyController : public TQFloatingContentController
{
    Q_OBJECT
    Q_PROPERTY(QVariant items READ itemsValue WRITE setItemsValue)
public:
    explicit TQShareReadonlyController(QObject* parent = nullptr);
    ~TQShareReadonlyController() override;

    const SharingPermissions::Items& items() const { return m_items; }
    void setItems(const SharingPermissions::Items& items);
    QVariant itemsValue() const;
    Q_INVOKABLE void setItemsValue(const QVariant& value);

    // The owner of the last document: the contact's name, else the person's, else the address.
    QString ownerName() const;
    QPixmap avatar() const;

protected:
    QWidget* loadView() override;

private:
    void update();

    SharingPermissions::Items m_items;
    QPointer<QLabel> m_name;
    QPointer<QLabel> m_photo;
};

} // namespace tavrel
