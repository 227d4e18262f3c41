#pragma once

#include "sharing/TQSharingContactsController.h"

namespace tavrel {

class BasicPopUpButton;

// Who has access to several documents at once, changed for all of them together: one merged list of
// owners, editors and viewers, one link row first for their general access, the privacy pop-up, a
// two-role pull-down per person ("Varies" while the documents disagree), a remove button per person
// and the share button. Changes of the general access go only to the documents the user may change;
// when there is none, the banner says so and nothing is sent. Main thread only.
class TQSharingDetailsController : public TQSharingContactsController
{
    Q_OBJECT
    Q_PROPERTY(QVariant items READ itemsValue WRITE setItemsValue)
public:
    explicit TQSharingDetailsController(QObject* parent = nullptr);
    ~TQSharingDetailsController() override;

    const SharingPermissions::Items& items() const { return m_items; }
    // A different array rebuilds the rows.
    void setItems(const SharingPermissions::Items& items);
    QVariant itemsValue() const;
    Q_INVOKABLE void setItemsValue(const QVariant& value);

    // Rebuilds the rows, the link row and the privacy pop-up from the documents.
    void invalidate();
    void prepareContent() override { invalidate(); }
    void refresh() override;

    // 0 editor of all, 1 viewer of all, -1 mixed.
    int roleOfContact(const QString& address) const;
    // 2 owns them all, 3 one of several owners, -1 owns none, 0 unknown; and its badge.
    int owningTypeOfContact(const QString& address) const;
    QString owningTitleOfContact(const QString& address) const;
    // Whether the privacy pop-up shows "Varies".
    bool privacyVaries() const { return m_privacyVaries; }
    // The pull-down of a row (none for owners), made with the row's cell.
    BasicPopUpButton* roleControlOfRow(int row);

    Q_INVOKABLE void changePrivacySettings(QObject* sender) override;
    // The sender is an item of a row's pull-down: its tag is the row, index 1 reader, else writer.
    Q_INVOKABLE void togglePermission(QObject* sender) override;
    void setRoleOfRow(int row, int code) override;
    void deleteRow(int row) override;
    Q_INVOKABLE void openInBrowser(QObject* sender) override;
    Q_INVOKABLE void share(QObject* sender) override;

    QWidget* dynamicTableViewViewForRow(TQDynamicTableView* table, int row) override;

protected:
    std::shared_ptr<Cell> makeCellForRow(int row) override;
    QList<std::shared_ptr<Mail>> peopleOfItems() const override;
    SharingPermissions::Items watchedItems() const override { return m_items; }
    bool insertLinkRow() override;
    int linkRowPosition() const override { return 0; }

private:
    // The items' links, joined by ";", of those that have a general access.
    QString linkText() const;

    SharingPermissions::Items m_items;
    bool m_privacyVaries = false;
};

} // namespace tavrel
