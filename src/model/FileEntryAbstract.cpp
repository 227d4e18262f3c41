#include "model/FileEntryAbstract.h"

#include "model/ContextFetch.h"
#include "model/FileList.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/RecordValue.h"
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
