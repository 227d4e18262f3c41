#pragma once

#include "sharing/SharingItems.h"
#include "sharing/TokenField.h"
#include "window/TQFloatingContentController.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace tavrel {

// The change-owner dialog: the user names one person (stored, or any well-formed address) who
// becomes the owner of one document or of several. Several people, a person outside the user's mail
// domain (until the warning is suppressed) and text that names nobody send nothing; the button is
// enabled only while the field holds a person or an address. It lives in a floating window and
// closes once the request is sent. Main thread only.
class TQChangeOwnerController : public TQFloatingContentController
{
    Q_OBJECT
    Q_PROPERTY(QVariant item READ itemValue WRITE setItemValue)
public:
    static inline const QString kSuppressChangeOwnerAlertsKey = QStringLiteral("SuppressChangeOwnerAlerts");

    explicit TQChangeOwnerController(QObject* parent = nullptr);
    ~TQChangeOwnerController() override;

    const SharingPermissions::Items& items() const { return m_items.items(); }
    bool isWrapper() const { return m_items.isWrapper(); }
    void setItem(const std::shared_ptr<FileEntryAbstract>& item);
    void setItems(const SharingPermissions::Items& items);
    QVariant itemValue() const { return m_items.value(); }
    Q_INVOKABLE void setItemValue(const QVariant& item);

    TokenField* contactField() const { return m_contactField; }
    QPushButton* changeButton() const { return m_changeButton; }

    void setWindow(TQFloatingWindow* window) override;

    Q_INVOKABLE void changeOwner(QObject* sender);
    Q_INVOKABLE bool windowShouldClose(QObject* window);
    Q_INVOKABLE void windowDidBecomeKey(const tavrel::Notification& notification);
    void validateButtons() override;

protected:
    QWidget* loadView() override;

private:
    void updateHeading();

    SharingItems m_items;
    bool m_closeConfirmed = false;
    QPointer<TokenField> m_contactField;
    QPointer<QPushButton> m_changeButton;
    QPointer<QLabel> m_heading;
};

} // namespace tavrel
