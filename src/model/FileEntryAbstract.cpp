#include "model/FileEntryAbstract.h"

#include "model/ContextFetch.h"
#include "model/FileList.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/RecordValue.h"
#include "platform/runtime/MailAddress.h"
#include "platform/store/ManagedObjectContext.h"

namespace tavrel {

namespace {
QString afterLast(const QString& text, const QString& separator, Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    if (text.isNull())
        return {};
    const qsizetype at = text.lastIndexOf(separator, -1, cs);
    return at < 0 ? text : text.mid(at + separator.size());
}
} // namespace

QString FileEntryAbstract::resourceId() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("resourceId")));
}

void FileEntryAbstract::setResourceId(const QString& resourceId)
{
    setValueForKey(QStringLiteral("resourceId"), recordvalue::stringOrNil(resourceId));
}

QString FileEntryAbstract::kind() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("kind")));
}

void FileEntryAbstract::setKind(const QString& kind)
{
    setValueForKey(QStringLiteral("kind"), recordvalue::stringOrNil(kind));
}

QString FileEntryAbstract::title() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("title")));
}

void FileEntryAbstract::setTitle(const QString& title)
{
    setValueForKey(QStringLiteral("title"), recordvalue::stringOrNil(title));
}

QString FileEntryAbstract::filename() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("filename")));
}

void FileEntryAbstract::setFilename(const QString& filename)
{
    setValueForKey(QStringLiteral("filename"), recordvalue::stringOrNil(filename));
}

QString FileEntryAbstract::alternateLink() const
{
    return recordvalue::stringFrom(valueForKey(QStringLiteral("alternateLink")));
}

void FileEntryAbstract::setAlternateLink(const QString& link)
{
    setValueForKey(QStringLiteral("alternateLink"), recordvalue::stringOrNil(link));
}

void FileEntryAbstract::setDate(const QString& key, const QDateTime& date)
{
    setValueForKey(key, date.isValid() ? QVariant(date.toUTC()) : QVariant());
}

QList<ManagedObjectPtr> FileEntryAbstract::records(const QList<std::shared_ptr<Mail>>& mails)
{
    QList<ManagedObjectPtr> out;
    out.reserve(mails.size());
    for (const auto& m : mails)
        out.append(m);
    return out;
}

std::shared_ptr<Mail> FileEntryAbstract::owner() const
{
    return toOne<Mail>(QStringLiteral("owner"));
}

void FileEntryAbstract::setOwner(const std::shared_ptr<Mail>& mail)
{
    setToOne(QStringLiteral("owner"), mail);
}

std::shared_ptr<Mail> FileEntryAbstract::lastModifiedBy() const
{
    return toOne<Mail>(QStringLiteral("lastModifiedBy"));
}

void FileEntryAbstract::setLastModifiedBy(const std::shared_ptr<Mail>& mail)
{
    setToOne(QStringLiteral("lastModifiedBy"), mail);
}

QList<std::shared_ptr<Mail>> FileEntryAbstract::editors() const
{
    return toMany<Mail>(QStringLiteral("editors"));
}

void FileEntryAbstract::setEditors(const QList<std::shared_ptr<Mail>>& mails)
{
    setToMany(QStringLiteral("editors"), records(mails));
}

QList<std::shared_ptr<Mail>> FileEntryAbstract::viewers() const
{
    return toMany<Mail>(QStringLiteral("viewers"));
}

void FileEntryAbstract::setViewers(const QList<std::shared_ptr<Mail>>& mails)
{
    setToMany(QStringLiteral("viewers"), records(mails));
}

QList<std::shared_ptr<Mail>> FileEntryAbstract::commenters() const
{
    return toMany<Mail>(QStringLiteral("commenters"));
}

void FileEntryAbstract::setCommenters(const QList<std::shared_ptr<Mail>>& mails)
{
    setToMany(QStringLiteral("commenters"), records(mails));
}

std::shared_ptr<GeneralACLPermission> FileEntryAbstract::generalACL() const
{
    return toOne<GeneralACLPermission>(QStringLiteral("generalACL"));
}

void FileEntryAbstract::setGeneralACL(const std::shared_ptr<GeneralACLPermission>& permission)
{
    const auto previous = generalACL();
    if (previous == permission)
        return;
    setToOne(QStringLiteral("generalACL"), permission);
    if (previous && !previous->isDeleted())
        if (auto* context = managedObjectContext())
            context->deleteObject(previous);
}

std::shared_ptr<FileList> FileEntryAbstract::listOfFiles() const
{
    return toOne<FileList>(QStringLiteral("listOfFiles"));
}

void FileEntryAbstract::setListOfFiles(const std::shared_ptr<FileList>& list)
{
    setToOne(QStringLiteral("listOfFiles"), list);
}

void FileEntryAbstract::fillAttributeFromGDataEntry(const GDataEntryPtr& gdataEntry)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(gdataEntry);
    if (!entry)
        return;
    const QString resourceID = entry->resourceID();
    setHasCommenterSupport(hasCommenterSupportForResourceId(resourceID));
    if (const QDateTime edited = entry->editedDate(); edited.isValid())
        setEditedDate(edited);
    if (const QString tag = entry->ETag(); !tag.isNull())
        setETag(tag);
    if (const QString name = entry->filename(); !name.isNull())
        setFilename(name);
    setIsHidden(entry->isHidden());
    setIsTrashed(entry->isDeleted());
    setIsStarred(entry->isStarred());
    setIsViewed(entry->isViewed());
    if (const QString k = entry->kind(); !k.isNull())
        setKind(k);
    if (const QDateTime commented = entry->lastCommented(); commented.isValid())
        setLastCommented(commented);
    if (const QDateTime viewed = entry->lastViewed(); viewed.isValid())
        setLastViewed(viewed);
    if (const QDateTime published = entry->publishedDate(); published.isValid())
        setPublishedDate(published);
    if (!resourceID.isNull()) {
        setResourceId(resourceID);
        setIdentifier(identifierFromGDataResourceId(resourceID));
    }
    if (const QString t = entry->title(); !t.isNull())
        setTitle(t);
    if (const QDateTime updated = entry->updatedDate(); updated.isValid())
        setUpdatedDate(updated);
    if (const auto invite = entry->writersCanInvite())
        setWritersCanInvite(*invite);
    if (const GDataLink alternate = entry->alternateLink(); !alternate.href().isNull())
        setAlternateLink(alternate.href());

    // The stored text must stand alone: declare every prefix the entry uses.
    const QMap<QString, QString> own = entry->completeNamespaces();
    entry->addNamespaces(GDataEntryDocBase::baseDocumentNamespaces());
    if (!own.isEmpty())
        entry->addNamespaces(own);
    if (const QString text = entry->XMLString(); !text.isEmpty())
        setXml(text);

    if (const auto bytes = entry->quotaBytesUsed())
        setQuotaBytesUsed(QVariant::fromValue<qint64>(*bytes));
}

void FileEntryAbstract::fillRelationshipFromGdataEntry(const GDataEntryPtr& gdataEntry,
                                                       ManagedObjectContext* context)
{
    const auto entry = std::dynamic_pointer_cast<GDataEntryDocBase>(gdataEntry);
    if (!entry)
        return;
    GDataEntryACLPtr general;
    QList<GDataEntryACLPtr> users;
    if (const GDataFeedLinkPtr link = entry->ACLFeedLink()) {
        if (const GDataFeedPtr feed = link->feed()) {
            for (const GDataEntryPtr& item : feed->entries()) {
                const auto acl = std::dynamic_pointer_cast<GDataEntryACL>(item);
                const auto scope = acl ? acl->scope() : std::nullopt;
                if (!scope)
                    continue;
                if (scope->type() == QLatin1String("default") || scope->type() == QLatin1String("domain"))
                    general = acl;
                else if (scope->type() == QLatin1String("user"))
                    users.append(acl);
            }
        }
    }
    setGeneralACLWithGDataEntryACL(general, context);
    setUserPermissionWithGDataEntryACLArray(users, context);

    if (const auto modifier = entry->lastModifiedBy(); modifier && !modifier->email().isEmpty()) {
        if (auto mail = Mail::mailEntityWithAddress(modifier->email(), true, context)) {
            mail->setVisible(true);
            if (lastModifiedBy() != mail)
                setLastModifiedBy(mail);
        }
    }
}

void FileEntryAbstract::setGeneralACLWithGDataEntryACL(const GDataEntryACLPtr& entry,
                                                       ManagedObjectContext* context)
{
    if (!entry || !context) {
        // setGeneralACL deletes the record it unlinks.
        setGeneralACL(nullptr);
        return;
    }
    auto permission = context->insertNewObject<GeneralACLPermission>("GeneralACLPermission");
    permission->fillAttributeFromGDataEntry(entry);
    setGeneralACL(permission);
}

void FileEntryAbstract::setUserPermissionWithGDataEntryACLArray(const QList<GDataEntryACLPtr>& entries,
                                                                ManagedObjectContext* context)
{
    QList<std::shared_ptr<Mail>> editorSet, viewerSet, commenterSet;
    const auto addOnce = [](QList<std::shared_ptr<Mail>>& set, const std::shared_ptr<Mail>& mail) {
        if (!set.contains(mail))
            set.append(mail);
    };
    const bool commenterSupport = hasCommenterSupport();
    for (const GDataEntryACLPtr& entry : entries) {
        if (!entry)
            continue;
        const auto scope = entry->scope();
        const QString address = scope ? scope->value() : QString();
        if (!MailAddress::isValidMailAddress(address))
            continue;
        const auto role = entry->role();
        const QString roleValue = role ? role->value() : QString();
        const bool known = roleValue == QLatin1String("owner") || roleValue == QLatin1String("writer") ||
                           roleValue == QLatin1String("reader");
        if (!known)
            continue;
        auto mail = Mail::mailEntityWithAddress(address, true, context);
        if (!mail)
            continue;
        mail->setVisible(true);
        if (roleValue == QLatin1String("owner")) {
            setOwner(mail);
        } else if (roleValue == QLatin1String("writer")) {
            addOnce(editorSet, mail);
        } else {
            bool commenter = false;
            for (const auto& additional : entry->additionalRoles())
                commenter = commenter || additional.value() == QLatin1String("commenter");
            addOnce(commenterSupport && commenter ? commenterSet : viewerSet, mail);
        }
    }
    setEditors(editorSet);
    setViewers(viewerSet);
    setCommenters(commenterSet);
}

GDataEntryDocPtr FileEntryAbstract::gdataEntry() const
{
    return entryFromXml<GDataEntryDocBase>(xml());
}

std::shared_ptr<FileEntryAbstract>
FileEntryAbstract::fileEntryAbstractWithIdentifier(const QString& identifier, ManagedObjectContext* context)
{
    if (identifier.isNull())
        return {};
    FetchRequest request("FileEntryAbstract");
    request.setPredicate(Predicate::format("identifier = %@", identifier));
    request.setFetchLimit(1);
    return ContextFetch::firstRecord<FileEntryAbstract>(context, request);
}

QString FileEntryAbstract::identifierFromGDataResourceId(const QString& resourceId)
{
    return afterLast(resourceId, QStringLiteral(":"));
}

QString FileEntryAbstract::identifierFromGDataHref(const QString& href)
{
    return afterLast(href, QStringLiteral("%3A"), Qt::CaseInsensitive);
}

QString FileEntryAbstract::identifierFromGDataIdentifier(const QString& identifier)
{
    return afterLast(identifier, QStringLiteral("%3A"), Qt::CaseInsensitive);
}

bool FileEntryAbstract::hasCommenterSupportForResourceId(const QString& resourceId)
{
    return resourceId.startsWith(QLatin1String("document:")) ||
           resourceId.startsWith(QLatin1String("presentation:"));
}

} // namespace tavrel
