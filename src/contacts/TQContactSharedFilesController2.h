#pragma once

#include "lists/TQTableViewController.h"
#include "platform/store/ManagedObject.h"

#include <memory>

class QMenu;

namespace tavrel {

class Mail;
class TQTablePermissionCellView;
class TQTrackingTextField;

// The documents shared with one person as a table of row widgets: each document row shows the
// document's picture (which opens its detail view), its title (renamed in place), its collections, a
// button that removes the person's access and a switch for the person's role; a document the person
// owns shows an owner badge instead of the switch and the button. Grouped by owner relative to the
// person, as the other lists about one person.
class TQContactSharedFilesController2 : public TQTableViewController
{
    Q_OBJECT
public:
    static constexpr int kGroupRowHeight = 23;
    static constexpr int kDocumentRowHeight = 68;

    explicit TQContactSharedFilesController2(QObject* parent = nullptr);
    ~TQContactSharedFilesController2() override;

    std::shared_ptr<Mail> email() const { return m_email; }
    void setEmail(const std::shared_ptr<Mail>& email);
    Q_INVOKABLE void setEmail(const QVariant& email);

    int contentType() const override { return DocumentsContent; }
    QString noSearchString() const override;
    void setSearchString(const QString& searchString) override;
    void setSortDescriptor(const std::optional<SortDescriptor>& descriptor) override;
    void refresh() override;
    bool isGroupRow(int row) const override;
    ManagedObjectPtr recordAtRow(int row) const;
    // The widget of a document row; none for a header or beyond the rows.
    TQTablePermissionCellView* rowView(int row) const;
    QMenu* rowMenu() const { return m_rowMenu; }

    // Opens the selected document.
    Q_INVOKABLE void open(QObject* sender);
    // The switch of a row (its tag) moved: the person's new role.
    Q_INVOKABLE void togglePermission(QObject* sender);
    // The person loses access to the selected row's document, without asking.
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    // The detail view of the row (the sender's tag).
    Q_INVOKABLE void clickLink(QObject* sender);
    // The selected row's title becomes editable.
    Q_INVOKABLE void rename(QObject* sender);
    // The title field (its tag is the row) ended editing.
    Q_INVOKABLE void renameAfterEdit(QObject* sender);
    Q_INVOKABLE void deleteDidFinishWithResult(const QVariant& result, const QVariant& error);
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

protected:
    QAbstractItemView* makeTable(QWidget* parent) override;
    void arrangedObjectsDidChange() override;

private:
    QWidget* makeRowView(int row);
    void rebuildRowViews();
    int selectedRow() const;

    std::shared_ptr<Mail> m_email;
    QMenu* m_rowMenu = nullptr;
};

} // namespace tavrel
