#pragma once

#include "model/GoogleObject.h"
#include "platform/gdata/GDataEntryACL.h"
#include "platform/gdata/GDataEntryDocBase.h"

#include <QDateTime>

namespace tavrel {

class FileList;
class GeneralACLPermission;
class Mail;
class ManagedObjectContext;

// A document-list entry: a document (File) or a collection (Category).
class FileEntryAbstract : public GoogleObject
{
public:
    QString resourceId() const;
    void setResourceId(const QString& resourceId);
    QString kind() const;
    void setKind(const QString& kind);
    QString title() const;
    void setTitle(const QString& title);
    QString filename() const;
    void setFilename(const QString& filename);
    QString alternateLink() const;
    void setAlternateLink(const QString& link);

    QDateTime editedDate() const { return dateValue(QStringLiteral("editedDate")); }
    void setEditedDate(const QDateTime& date) { setDate("editedDate", date); }
    QDateTime publishedDate() const { return dateValue(QStringLiteral("publishedDate")); }
    void setPublishedDate(const QDateTime& date) { setDate("publishedDate", date); }
    QDateTime updatedDate() const { return dateValue(QStringLiteral("updatedDate")); }
    void setUpdatedDate(const QDateTime& date) { setDate("updatedDate", date); }
    QDateTime lastViewed() const { return dateValue(QStringLiteral("lastViewed")); }
    void setLastViewed(const QDateTime& date) { setDate("lastViewed", date); }
    QDateTime lastCommented() const { return dateValue(QStringLiteral("lastCommented")); }
    void setLastCommented(const QDateTime& date) { setDate("lastCommented", date); }

    bool isHidden() const { return boolValue(QStringLiteral("isHidden")); }
    void setIsHidden(bool flag) { setValueForKey(QStringLiteral("isHidden"), flag); }
    bool isTrashed() const { return boolValue(QStringLiteral("isTrashed")); }
    void setIsTrashed(bool flag) { setValueForKey(QStringLiteral("isTrashed"), flag); }
    bool isStarred() const { return boolValue(QStringLiteral("isStarred")); }
    void setIsStarred(bool flag) { setValueForKey(QStringLiteral("isStarred"), flag); }
    bool isViewed() const { return boolValue(QStringLiteral("isViewed")); }
    void setIsViewed(bool flag) { setValueForKey(QStringLiteral("isViewed"), flag); }
    bool isNew() const { return boolValue(QStringLiteral("isNew")); }
    void setIsNew(bool flag) { setValueForKey(QStringLiteral("isNew"), flag); }
    bool hasChange() const { return boolValue(QStringLiteral("hasChange")); }
    void setHasChange(bool flag) { setValueForKey(QStringLiteral("hasChange"), flag); }
    bool hasCommenterSupport() const { return boolValue(QStringLiteral("hasCommenterSupport")); }
    void setHasCommenterSupport(bool flag) { setValueForKey(QStringLiteral("hasCommenterSupport"), flag); }
    bool writersCanInvite() const { return boolValue(QStringLiteral("writersCanInvite")); }
    void setWritersCanInvite(bool flag) { setValueForKey(QStringLiteral("writersCanInvite"), flag); }
    QVariant quotaBytesUsed() const { return valueForKey(QStringLiteral("quotaBytesUsed")); }
    void setQuotaBytesUsed(const QVariant& bytes) { setValueForKey(QStringLiteral("quotaBytesUsed"), bytes); }

    std::shared_ptr<Mail> owner() const;
    void setOwner(const std::shared_ptr<Mail>& mail);
    std::shared_ptr<Mail> lastModifiedBy() const;
    void setLastModifiedBy(const std::shared_ptr<Mail>& mail);
    QList<std::shared_ptr<Mail>> editors() const;
    void setEditors(const QList<std::shared_ptr<Mail>>& mails);
    QList<std::shared_ptr<Mail>> viewers() const;
    void setViewers(const QList<std::shared_ptr<Mail>>& mails);
    QList<std::shared_ptr<Mail>> commenters() const;
    void setCommenters(const QList<std::shared_ptr<Mail>>& mails);
    std::shared_ptr<GeneralACLPermission> generalACL() const;
    // Links the new general access; the one linked before is deleted, so replaced records do not pile
    // up in the store.
    void setGeneralACL(const std::shared_ptr<GeneralACLPermission>& permission);
    std::shared_ptr<FileList> listOfFiles() const;
    void setListOfFiles(const std::shared_ptr<FileList>& list);

    // Filling from a documents-list entry, attributes first, then relationships (in the same context
    // as the record). An entry of another class leaves the record untouched. A value the entry lacks
    // never clears one the record holds; the four label flags are always overwritten.
    virtual void fillAttributeFromGDataEntry(const GDataEntryPtr& entry);
    // General access, people and last modifier, from the entry's inline access list. Without an inline
    // list the general access is removed and the people lists emptied; owner and last modifier stay.
    virtual void fillRelationshipFromGdataEntry(const GDataEntryPtr& entry, ManagedObjectContext* context);
    // A new GeneralACLPermission filled from the entry becomes the general access (the previous one is
    // deleted); nothing removes it.
    void setGeneralACLWithGDataEntryACL(const GDataEntryACLPtr& entry, ManagedObjectContext* context);
    // Owner, editors, viewers and commenters from the "user" entries of an access list.
    void setUserPermissionWithGDataEntryACLArray(const QList<GDataEntryACLPtr>& entries,
                                                 ManagedObjectContext* context);
    // The entry rebuilt from the stored text; nothing when there is none or it does not parse.
    virtual GDataEntryDocPtr gdataEntry() const;

    // Lookups: the first record with the identifier, or nothing.
    static std::shared_ptr<FileEntryAbstract> fileEntryAbstractWithIdentifier(const QString& identifier,
                                                                              ManagedObjectContext* context);

    // Identifier rules; each answers nothing for no input, and the whole text when the separator is
    // missing. Resource ids: after the last ":". Links and service ids: after the last "%3A".
    static QString identifierFromGDataResourceId(const QString& resourceId);
    static QString identifierFromGDataHref(const QString& href);
    static QString identifierFromGDataIdentifier(const QString& identifier);
    // Only text documents and presentations admit the commenter role.
    static bool hasCommenterSupportForResourceId(const QString& resourceId);

protected:
    void setDate(const QString& key, const QDateTime& date);
    static QList<ManagedObjectPtr> records(const QList<std::shared_ptr<Mail>>& mails);
};

} // namespace tavrel
