#pragma once

#include "controls/BasicPopUpButton.h"
#include "controls/TQDynamicTableView.h"
#include "controls/TQTableViewDelegate.h"
#include "lists/TQItemDetailsController.h"
#include "model/RecordWatch.h"
#include "sharing/SharingPermissions.h"

#include <QHash>
#include <QPointer>
#include <QPushButton>
#include <memory>
#include <vector>

class QMenu;

namespace tavrel {

class Cell;
class Mail;
class TQPermissionTableCell;

// Everyone who has access to one document or collection: the owner, the editors, the viewers and the
// commenters, and a row standing for the link while the item is not private. From here the user
// changes a person's role or the link's, removes people or the link, opens a person's page, edits the
// contact, toggles favourites, exports a vCard, copies or opens the link, changes the general access
// and opens the share-with dialog and the sharing settings. Every change is an action whose answer
// (errors included, which reach the banner) rebuilds the rows from the store; the rows are also
// rebuilt when someone joins or leaves one of the item's role sets. Main thread only: the rows are
// read from the store here, never on another thread.
class TQSharingContactsController : public TQItemDetailsController, public TQTableViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(QVariant item READ itemValue WRITE setItemValue)
public:
    // A row: a person, or the link (no person).
    struct Row
    {
        std::shared_ptr<Mail> person;
        QString link;
        bool isLink() const { return !person; }
    };

    // The bar of the privacy pop-up and the buttons above the rows.
    static constexpr int kBarHeight = 40;

    explicit TQSharingContactsController(QObject* parent = nullptr);
    ~TQSharingContactsController() override;

    std::shared_ptr<FileEntryAbstract> entry() const;
    void setItem(const ManagedObjectPtr& item) override;
    QVariant itemValue() const;
    // A record; a list of records (meant for the several-items view) is not an item of this list.
    Q_INVOKABLE virtual void setItemValue(const QVariant& value);

    const QList<Row>& container() const { return m_container; }
    int rowCount() const { return int(m_container.size()); }
    bool isLinkRow(int row) const { return row >= 0 && row < rowCount() && m_container.at(row).isLink(); }
    bool isOwnerRow(int row) const;
    std::shared_ptr<Mail> personAtRow(int row) const;

    TQDynamicTableView* dynamicTable() const { return m_dynamicTable; }
    BasicPopUpButton* privacySettings() const { return m_privacySettings; }
    QPushButton* settingsButton() const { return m_settingsButton; }
    QPushButton* shareButton() const { return m_shareButton; }
    QMenu* rowMenu() const { return m_rowMenu; }
    int privacyIndex() const;
    // The row the commands that need a clicked row act on: the row last clicked, else -1.
    int clickedRow() const;
    void setClickedRow(int row) { m_clickedRow = row; }

    // Reads the item's people from the store into the rows and refreshes.
    virtual void prepareContent();
    // The link row and the privacy pop-up from the item's access; the table reloads.
    void refresh() override;

    // --- Commands ---
    Q_INVOKABLE virtual void changePrivacySettings(QObject* sender);
    // The sender's tag is the row, its state the role code.
    Q_INVOKABLE virtual void togglePermission(QObject* sender);
    virtual void setRoleOfRow(int row, int code);
    Q_INVOKABLE virtual void deleteContact(QObject* sender);
    virtual void deleteRow(int row);
    Q_INVOKABLE void toggleFavoriteState(QObject* sender);
    Q_INVOKABLE void showContact(QObject* sender);
    Q_INVOKABLE void editContact(QObject* sender);
    Q_INVOKABLE void exportTovCard(QObject* sender);
    Q_INVOKABLE void copyLink(QObject* sender);
    Q_INVOKABLE virtual void openInBrowser(QObject* sender);
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE void showSharingSettings(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

    // Writes the person's card into the folder under a name made safe from the person's name (the
    // address when the name is empty), numbered when the name is taken; never outside the folder and
    // never over a file. Answers the file written, empty when none.
    static QString exportvCardToFolder(const std::shared_ptr<Mail>& person, const QString& folder);

    // --- Callbacks ---
    Q_INVOKABLE void operationDidFinishWithResult(const QVariant& result, const QVariant& error) override;
    Q_INVOKABLE void setGenPermissionDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE void contactDidUnshareWithResult(const QVariant& result, const QVariant& error);

    // --- Table ---
    bool respondsTo(Method method) const override;
    bool tableViewShouldSelectRow(TQTableView*, int) override { return true; }
    bool tableViewShouldSelectRow(int) override { return true; }
    Cell* tableViewDataCell(TQTableView* table, int row) override;
    QWidget* dynamicTableViewViewForRow(TQDynamicTableView* table, int row) override;

    void awakeFromNib() override;
    void viewDidInstall() override;

protected:
    QAbstractItemView* makeTable(QWidget* parent) override;
    // The cell of a row, made once until the rows change.
    virtual std::shared_ptr<Cell> makeCellForRow(int row);
    // The row's link or person, its photo, menu and link action: every list of people shows them alike;
    // the control beside them is the caller's.
    std::shared_ptr<TQPermissionTableCell> rowCell(int row);
    // The people of the rows, in order, before the link row is placed.
    virtual QList<std::shared_ptr<Mail>> peopleOfItems() const;
    // The items whose role sets are watched.
    virtual SharingPermissions::Items watchedItems() const;
    // Places the link row where this list keeps it, when the access has one; answers whether it did.
    virtual bool insertLinkRow();
    // Where the link row stands: after the owner, clamped to the rows there are.
    virtual int linkRowPosition() const;
    // The banner of a refused change.
    void showBanner(const QString& messageKey);
    // Forgets the cells and row controls and reloads the table.
    void reloadRows();
    // A row control the list owns until the rows change.
    void keepRowControl(QWidget* control);
    void setContainer(const QList<Row>& rows) { m_container = rows; }
    QList<Row>& mutableContainer() { return m_container; }
    QHash<int, std::shared_ptr<Cell>>& reusedCells() { return m_reusedCells; }
    void selectPrivacyIndex(int index);
    // A privacy item chosen from the pop-up's menu becomes its selection.
    void takePrivacyChoice(QObject* sender);
    // The rows chosen for the selection commands (the selected rows).
    QList<int> chosenRows() const;

    // Watches the role sets of watchedItems().
    void watchItems();

private:
    void itemSetChanged();
    void buildRowMenu();

    QList<Row> m_container;
    QHash<int, std::shared_ptr<Cell>> m_reusedCells;
    QList<QPointer<QWidget>> m_rowControls;
    std::vector<std::unique_ptr<RecordWatch>> m_watches;
    QPointer<TQDynamicTableView> m_dynamicTable;
    class RowsModel;
    RowsModel* m_model = nullptr;
    QPointer<BasicPopUpButton> m_privacySettings;
    QPointer<QPushButton> m_settingsButton;
    QPointer<QPushButton> m_shareButton;
    QPointer<QMenu> m_rowMenu;
    int m_clickedRow = -1;
};

} // namespace tavrel
