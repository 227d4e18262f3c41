#pragma once

#include "documents/TQAllItemsController.h"

#include <memory>

namespace tavrel {

class Mail;
class TQContactSharedFilesCommands;

// The documents the user and one person share, on that person's page: every document whose owner,
// editors, viewers or commenters include the person, grouped by owner relative to the person
// (TQMailGroupedFilesController). It is the document list with the whole command set for a
// selection, and two commands of its own: removing the person's access to the selected documents
// (unshare:) and to the selected one (deleteEntity:); nothing is trashed from here. A row shows the
// person's role as its badge (which opens the quick permission popover) and a button that stops
// sharing the document with the person; a document the person owns shows the owner badge and no such
// button. It accepts no drops.
class TQContactSharedFilesController3 : public TQAllItemsController
{
    Q_OBJECT
public:
    static inline const QString kClassName = QStringLiteral("TQContactSharedFilesController3");

    explicit TQContactSharedFilesController3(QObject* parent = nullptr);
    ~TQContactSharedFilesController3() override;

    // The person whose shared documents are listed.
    std::shared_ptr<Mail> email() const { return m_email; }
    void setEmail(const std::shared_ptr<Mail>& email);
    Q_INVOKABLE void setEmail(const QVariant& email);
    TQContactSharedFilesCommands* contactCommands() const;

    // The person among the owner, editors, viewers and commenters; the search is the provider's.
    Predicate placePredicate() const override;
    // The person owns the record.
    bool isOwnedByContact(const ManagedObjectPtr& record) const;

    void awakeFromNib() override;
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

protected:
    void configureSharingCells(TQBigDocumentTableCell& cell, int row, const ManagedObjectPtr& record,
                               const QList<ManagedObjectPtr>& people, const ManagedObjectPtr& link) override;

private:
    // The row menu's items of a list about one person: sharing, and access instead of the trash.
    void adaptRowMenu();

    std::shared_ptr<Mail> m_email;
};

} // namespace tavrel
