#pragma once

#include "sharing/SharingPermissions.h"
#include "window/TQFloatingContentController.h"

#include <QButtonGroup>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace tavrel {

// The sharing settings of one document or several: whether writers may add people and change
// permissions, or only the owner may. Items that disagree show no choice, and Save waits for one.
// Saving writes the choice into the store and sends one request per item; a request that fails is
// reported in the banner and its item gets its previous value back. Main thread only.
class TQSharingSettingsController : public TQFloatingContentController
{
    Q_OBJECT
    Q_PROPERTY(QVariant items READ itemsValue WRITE setItemsValue)
public:
    explicit TQSharingSettingsController(QObject* parent = nullptr);
    ~TQSharingSettingsController() override;

    const SharingPermissions::Items& items() const { return m_items; }
    // Shows the items' common setting (none when they differ).
    void setItems(const SharingPermissions::Items& items);
    QVariant itemsValue() const;
    Q_INVOKABLE void setItemsValue(const QVariant& items);

    // Row 0 (writers can invite) is chosen; false also when nothing is.
    bool isWritersCanIvite() const;
    void setIsWritersCanIvite(bool writersCanInvite);
    // Whether a row is chosen.
    bool hasChoice() const;

    QRadioButton* writersRow() const { return m_writers; }
    QRadioButton* ownerRow() const { return m_owner; }
    QPushButton* saveButton() const { return m_saveButton; }

    void viewDidInstall() override;
    Q_INVOKABLE void save(QObject* sender);
    Q_INVOKABLE void close(QObject* sender);
    void validateButtons() override;

protected:
    QWidget* loadView() override;

private:
    void deselectAll();

    SharingPermissions::Items m_items;
    QPointer<QRadioButton> m_writers;
    QPointer<QRadioButton> m_owner;
    QPointer<QButtonGroup> m_settings;
    QPointer<QPushButton> m_saveButton;
};

} // namespace tavrel
