#pragma once

#include "controls/TQTableViewDelegate.h"
#include "lists/TQFirstLevelViewController.h"

#include <QPointer>
#include <memory>

class QDropEvent;
class QMenu;

namespace tavrel {

class Cell;
class Mail;
class TQAlphaGroupedContactsController;
class TQBigContactTableCell;
class TQDraggingMatrix;
class TQFlyerTableView;
class TQHostView;
class TQTitledGroupTableCell;

// The list of the people the user knows: one row per visible mail address, under upper-cased letter
// headers unless grouping is off. From a row the user opens the person's page, stars or unstars
// people, hides them, edits one, exports them as vCard files, and drops documents or files onto a
// person to share or upload them with the role of the flyer button the drop lands on.
//
// Rows are drawn by prototype cells (a header's, a person's) configured from the provider's roles
// just before a row is drawn or hit; menus are made once and validated when shown. Main thread only.
class TQAllContactsController : public TQFirstLevelViewController, public TQTableViewDelegate
{
    Q_OBJECT
    Q_PROPERTY(bool disableGroupping READ disableGroupping WRITE setDisableGroupping)
public:
    // The flyer's columns: writer, reader, and commenter when one document that takes comments is dragged.
    static constexpr int kWriterColumn = 0;
    static constexpr int kReaderColumn = 1;
    static constexpr int kCommenterColumn = 2;

    explicit TQAllContactsController(const QString& nibName = QStringLiteral("AllContactsView"),
                                     QObject* parent = nullptr);
    ~TQAllContactsController() override;

    bool disableGroupping() const { return m_disableGroupping; }
    // Takes effect when the view is loaded.
    void setDisableGroupping(bool disable) { m_disableGroupping = disable; }

    int contentType() const override { return ContactsContent; }
    QString noSearchString() const override;
    void awakeFromNib() override;
    void viewDidInstall() override;
    void viewWillUninstall() override;
    void reactivate() override;
    void refresh() override;
    void setSortDescriptor(const std::optional<SortDescriptor>& descriptor) override;
    void setSearchString(const QString& searchString) override;

    TQAlphaGroupedContactsController* contacts() const;
    TQFlyerTableView* flyerTable();
    TQDraggingMatrix* permissionFlyer() const { return m_matrix; }
    QMenu* rowMenu();

    // --- Rows ---
    std::shared_ptr<Mail> mailAtRow(int row) const;
    bool isGroupRow(int row) const override;
    // The row of the open contextual menu, -1 when none.
    int clickedRow() const;
    // The people of the selected rows, in row order.
    QList<std::shared_ptr<Mail>> selectedMails() const;
    // The clicked row alone, else the selection.
    QList<std::shared_ptr<Mail>> clickedOrSelectedMails() const;
    Cell* dataCellForRow(int row) override;
    bool tableViewShouldSelectRow(int row) override;

    // --- Table delegate ---
    bool respondsTo(Method method) const override;
    bool tableViewIsGroupRow(TQTableView* table, int row) override;
    bool tableViewShouldSelectRow(TQTableView* table, int row) override;
    Cell* tableViewDataCell(TQTableView* table, int row) override;
    void open(TQTableView* table) override;
    void deleteEntity(TQTableView* table) override;

    // --- Commands ---
    Q_INVOKABLE void showProfile(QObject* sender);
    Q_INVOKABLE void showDetails(QObject* sender) { showProfile(sender); }
    // Return on a row opens the person's page.
    Q_INVOKABLE void open(QObject* sender) { showProfile(sender); }
    Q_INVOKABLE void toggleFavoriteState(QObject* sender);
    Q_INVOKABLE void editContact(QObject* sender);
    Q_INVOKABLE void editEntity(QObject* sender) override;
    Q_INVOKABLE virtual void deleteContact(QObject* sender);
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE void exportTovCard(QObject* sender);
    Q_INVOKABLE void shareFiles(QObject* sender);
    Q_INVOKABLE void share(QObject* sender) override;
    Q_INVOKABLE void showSharedFiles(QObject* sender);
    Q_INVOKABLE void newGroup(QObject* sender);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

    // Writes the people's vCards into the folder; answers the files written.
    QStringList exportVCards(const QList<std::shared_ptr<Mail>>& mails, const QString& folder);

    // --- Drop onto a person (the drop delegate of the table and the flyer's matrix) ---
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* info);
    Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject* acceptor, QDropEvent* info);
    Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject* acceptor, QDropEvent* info);
    // The role (TQACLEntry) of a flyer column.
    static int roleForFlyerColumn(int column);

protected:
    QWidget* loadView() override;
    QAbstractItemView* makeTable(QWidget* parent) override;
    void arrangedObjectsDidChange() override;
    // Sends "UpdateMails" for the people with the flag and a status identifier of the verb.
    void updateMails(const QList<std::shared_ptr<Mail>>& mails, const QString& flag, bool value,
                     const char* verb);

private:
    Cell* configureHeaderCell(const QModelIndex& index);
    Cell* configureContactCell(const QModelIndex& index);
    void detachPrototypesFromTracking();
    void fitFlyerToDocuments(int documents, bool commenterSupport);
    void noteHeightOfRows();
    void selectFirstContactRow();

    bool m_disableGroupping = false;
    QMenu* m_rowMenu = nullptr;
    TQHostView* m_flyer = nullptr;
    TQDraggingMatrix* m_matrix = nullptr;
    std::unique_ptr<TQTitledGroupTableCell> m_headerCell;
    std::unique_ptr<TQBigContactTableCell> m_contactCell;
    const Cell* m_detachedFor = nullptr;
};

} // namespace tavrel
