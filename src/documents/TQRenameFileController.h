#pragma once

#include "chrome/TQNewGroupController.h"
#include "platform/store/ManagedObject.h"

namespace tavrel {

// The sheet that asks for a document's new name and renames it ("RenameDocument"). It opens with the
// current name; Rename stays disabled while the name is empty or unchanged, and an unchanged name
// sends nothing. The answer goes to the main window's general callback, whose banner shows an error.
// The caller sets the item, shows the sheet on its window and forgets the controller.
class TQRenameFileController : public TQNewGroupController
{
    Q_OBJECT
    Q_PROPERTY(QVariant item READ itemValue WRITE setItemValue)
public:
    TQRenameFileController();
    ~TQRenameFileController() override;

    QString message() const override;
    QString action() const override;

    ManagedObjectPtr item() const { return m_item; }
    void setItem(const ManagedObjectPtr& item);
    QVariant itemValue() const { return QVariant::fromValue(m_item); }
    void setItemValue(const QVariant& value) { setItem(value.value<ManagedObjectPtr>()); }

protected:
    bool acceptsName(const QString& name) const override;
    void nameConfirmed() override;

private:
    QString currentTitle() const;

    ManagedObjectPtr m_item;
};

} // namespace tavrel
