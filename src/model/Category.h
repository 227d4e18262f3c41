#pragma once

#include "model/FileEntryAbstract.h"

namespace tavrel {

class File;

// A collection (folder) of documents and collections.
class Category : public FileEntryAbstract
{
public:
    QList<std::shared_ptr<File>> files() const;
    std::shared_ptr<Category> parent() const;
    void setParent(const std::shared_ptr<Category>& parent);
    QList<std::shared_ptr<Category>> sons() const;

    // "shared_folder_big" for a collection shared with others (seen from the account's user), else
    // "folder_big". The user is the account of the record's store.
    QString iconPath() const;
    QString previewPath() const { return iconPath(); }
    QString iconPathForUser(const QString& currentUser) const;

    // As for any entry, then the parent collection named by the entry's parent links (the last one the
    // store holds). Without such a link the parent stays.
    void fillRelationshipFromGdataEntry(const GDataEntryPtr& entry, ManagedObjectContext* context) override;
    // A folder entry rebuilt from the stored text.
    GDataEntryDocPtr gdataEntry() const override;

    static std::shared_ptr<Category> categoryWithIdentifier(const QString& identifier,
                                                            ManagedObjectContext* context);
    // The collection named by a parent link (identifier after the last "%3A").
    static std::shared_ptr<Category> categoryWithHref(const QString& href, ManagedObjectContext* context);

    QVariant valueForKey(const QString& key) const override;
};

} // namespace tavrel
