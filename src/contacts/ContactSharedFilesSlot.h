#pragma once

#include "lists/TQTableViewController.h"

#include <memory>

namespace tavrel {

class Mail;

// What a contact's page shows below its header when the program has no list of the documents shared
// with a person: their titles, newest first, following the search. The documents are those the person
// owns or has a role on (owner, editor, viewer or commenter), the address compared whole, in any case.
class ContactSharedFilesSlot : public TQTableViewController
{
    Q_OBJECT
public:
    explicit ContactSharedFilesSlot(QObject* parent = nullptr);

    int contentType() const override { return DocumentsContent; }
    std::shared_ptr<Mail> email() const { return m_email; }
    Q_INVOKABLE void setEmail(const QVariant& email);
    void setSearchString(const QString& searchString) override;
    void setSortDescriptor(const std::optional<SortDescriptor>& descriptor) override;
    // The titles listed, in order.
    QStringList titles() const;

    // The documents shared with the address, whole and in any letter case.
    static Predicate sharedWith(const QString& address);

private:
    void applyFilter();

    std::shared_ptr<Mail> m_email;
};

} // namespace tavrel
