#pragma once

#include "model/RecordWatch.h"
#include "sharing/SharingPermissions.h"
#include "window/TQFloatingContentController.h"

#include <QPointer>
#include <memory>
#include <vector>

class QPushButton;
class QStackedWidget;
class QVBoxLayout;

namespace tavrel {

class BasicPopUpButton;
class Mail;
class TQSwitchButton;

// The share dialog of the quick-share popover, for documents the user may share: everybody who has
// access to at least one of them (owners, editors, viewers; commenters are not listed), one row per
// person with the person's role over all of them, "OWNER" or "VARIES" on owners' rows. A row's role
// changes for all the documents at once and a person can be removed from all of them; a refused change
// reaches the banner and the rows come back to the store's state. "Add people" opens the share-with
// dialog inside the popover for all the documents. The general access is shown, not changed here.
class TQShareController : public TQFloatingContentController
{
    Q_OBJECT
    Q_PROPERTY(QVariant items READ itemsValue WRITE setItemsValue)
public:
    // One person's row.
    struct Row
    {
        std::shared_ptr<Mail> person;
        // 2 the only owner of all, 3 one of several owners, -1 owns none.
        int owningType = -1;
        QString owningTitle;
        // 0 writer of all, 1 reader of all, -1 mixed.
        int permissions = -1;
        bool isPermissionsMixed() const { return permissions == SharingPermissions::kMixed; }
    };

    explicit TQShareController(QObject* parent = nullptr);
    explicit TQShareController(const SharingPermissions::Items& items, QObject* parent = nullptr);
    ~TQShareController() override;

    const SharingPermissions::Items& items() const { return m_items; }
    void setItems(const SharingPermissions::Items& items);
    QVariant itemsValue() const;
    Q_INVOKABLE void setItemsValue(const QVariant& value);

    QSet<QString> allOwners() const;
    QSet<QString> allViewers() const;
    QSet<QString> allEditors() const;
    // The role of an address over all the documents.
    int roleOfContact(const QString& address) const;
    // Whether `left` sorts before `right`: the owner of the last document first, then by the contact's
    // name, the person's name, then the address.
    bool sortsBefore(const std::shared_ptr<Mail>& left, const std::shared_ptr<Mail>& right) const;

    // The rows as shown, rebuilt from the store.
    const QList<Row>& rows() const { return m_rows; }
    void rearrangeObjects();
    TQSwitchButton* roleSwitchOfRow(int row) const;
    QPushButton* removeButtonOfRow(int row) const;
    BasicPopUpButton* privacySettings() const { return m_privacySettings; }
    QPushButton* addButton() const { return m_addButton; }
    // The share-with dialog pushed by addShares, while it is shown.
    TQFloatingContentController* pushedController() const { return m_pushed; }

    // A row's role changed from its switch; a mixed value sends nothing.
    void setPermissionsOfRow(int row, int permissions);
    Q_INVOKABLE void addShares(QObject* sender);
    // Back from the share-with dialog to the rows.
    Q_INVOKABLE void goBack(QObject* sender);
    Q_INVOKABLE void deleteShareForContact(QObject* sender);
    void deleteShareForRow(int row);
    Q_INVOKABLE void changePrivacySettings(QObject* sender);

    void viewDidInstall() override;
    void viewWillUninstall() override;
    void onWindowWillClose() override;

    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error) override;
    Q_INVOKABLE void deleteDidFinishWithResult(const QVariant& result, const QVariant& error);

protected:
    QWidget* loadView() override;

private:
    void watchItems();
    void showPrivacy();

    SharingPermissions::Items m_items;
    QList<Row> m_rows;
    std::vector<std::unique_ptr<RecordWatch>> m_watches;
    QPointer<QStackedWidget> m_pages;
    QPointer<QWidget> m_rowsHost;
    QPointer<QVBoxLayout> m_rowsLayout;
    QList<QPointer<QWidget>> m_rowWidgets;
    QPointer<BasicPopUpButton> m_privacySettings;
    QPointer<QPushButton> m_addButton;
    QPointer<QWidget> m_pushedPage;
    QPointer<TQFloatingContentController> m_pushed;
};

} // namespace tavrel
