#pragma once

#include "model/FileEntryAbstract.h"

namespace tavrel {

class Category;
class FileCachedFile;
class FileCachedIcon;

// A document of any kind. It comes with cache bookkeeping for its downloaded copy and its thumbnail.
class File : public FileEntryAbstract
{
public:
    QList<std::shared_ptr<Category>> categories() const;
    void setCategories(const QList<std::shared_ptr<Category>>& categories);
    std::shared_ptr<FileCachedFile> fileCachedFile() const;
    std::shared_ptr<FileCachedIcon> fileCachedIcon() const;

    // Derived: the cached copy's and thumbnail's location, and whether the copy is of the current version.
    QString filePath() const;
    QString iconPath() const;
    bool isFilePathConsistent() const;

    // As for any entry, then the collections named by the entry's parent links that the store holds.
    void fillRelationshipFromGdataEntry(const GDataEntryPtr& entry, ManagedObjectContext* context) override;

    static std::shared_ptr<File> fileWithIdentifier(const QString& identifier, ManagedObjectContext* context);

    QVariant valueForKey(const QString& key) const override;
    void setValueForKey(const QString& key, const QVariant& value) override;

protected:
    void awakeFromInsert() override;
    void willTurnIntoFault() override;
};

} // namespace tavrel
