// The roles of TQTimeGroupedFilesController: what each row shows, and which rows a change redraws.
#include "lists/DocumentRowRoles.h"
#include "lists/DocumentThumbnails.h"
#include "lists/TQTimeGroupedFilesController.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "platform/store/EntityDescription.h"
#include "platform/store/ObjectsDidChangeNotification.h"

#include <QModelRoleDataSpan>
#include <QPixmap>

namespace tavrel {

namespace {
// The relationships from a person back to the documents a row shows them in.
const char* const kPersonToDocuments[] = {"owns", "lastModifiedFiles", "edits", "views", "comments"};

// Whether the record is of the entity or one below it.
bool isEntity(const ManagedObjectPtr& record, const QString& name)
{
    for (const EntityDescription* entity = record ? record->entity() : nullptr; entity;
         entity = entity->parent())
        if (entity->name() == name)
            return true;
    return false;
}
} // namespace

QVariant TQTimeGroupedFilesController::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role == ObjectRole || role == ObjectIDRole)
        return ListModel::data(index, role);
    return rowValue(index.row(), isGroupRow(index.row()) ? nullptr : objectAtRow(index.row()), role);
}

void TQTimeGroupedFilesController::multiData(const QModelIndex& index, QModelRoleDataSpan roleDataSpan) const
{
    const bool valid = index.isValid() && index.row() < count();
    const ManagedObjectPtr record = valid && !isGroupRow(index.row()) ? objectAtRow(index.row()) : nullptr;
    for (QModelRoleData& roleData : roleDataSpan) {
        if (!valid)
            roleData.clearData();
        else if (roleData.role() == ObjectRole)
            roleData.setData(QVariant::fromValue(record));
        else if (roleData.role() == ObjectIDRole)
            roleData.setData(ListModel::data(index, ObjectIDRole));
        else
            roleData.setData(rowValue(index.row(), record, roleData.role()));
    }
}

QVariant TQTimeGroupedFilesController::rowValue(int row, const ManagedObjectPtr& record, int role) const
{
    if (isGroupRow(row)) {
        const TQGroupWrapperPtr group = groupAtRow(row);
        switch (role) {
        case Qt::DisplayRole:
        case TitleRole:
            return group ? group->title() : QString();
        case GroupRole:
            return QVariant::fromValue(group);
        case GroupRowRole:
            return true;
        default:
            return {};
        }
    }
    if (role == GroupRole)
        return QVariant::fromValue(TQGroupWrapperPtr());
    if (role == GroupRowRole)
        return false;
    if (record && record->isFault())
        loadRecordsAround(row);
    const auto* entry = dynamic_cast<const FileEntryAbstract*>(record.get());
    if (!entry)
        return {};
    if (role == ThumbnailRole)
        return QVariant::fromValue(thumbnailOfRow(row, record));
    // Only the subtitle reads the group (a row drawn before its header reads its own group's).
    const TQGroupWrapperPtr group = role == SubtitleRole ? groupOfRow(row) : nullptr;
    return DocumentRowRoles::value(*entry, role, group, m_askedKey == QLatin1String("size"), username());
}

QPixmap TQTimeGroupedFilesController::thumbnailOfRow(int row, const ManagedObjectPtr& record) const
{
    if (!m_thumbnails) {
        auto* self = const_cast<TQTimeGroupedFilesController*>(this);
        m_thumbnails = new DocumentThumbnails(QSizeF(kThumbnailEdge, kThumbnailEdge), self);
        connect(m_thumbnails, &DocumentThumbnails::thumbnailReady, self,
                &TQTimeGroupedFilesController::thumbnailReady);
    }
    const QString iconPath = DocumentThumbnails::iconPathOf(record);
    if (!iconPath.isEmpty())
        m_waitingThumbnails[iconPath].insert(arrangedObjectIDs().at(row));
    return m_thumbnails->thumbnail(record);
}

void TQTimeGroupedFilesController::thumbnailReady(const QString& iconPath)
{
    ChangedRows changed;
    for (const ManagedObjectID& id : m_waitingThumbnails.take(iconPath))
        changed[id] = {ThumbnailRole};
    emitRowsChanged(changed);
}

void TQTimeGroupedFilesController::loadRecordsAround(int row) const
{
    // Loading one record per row, then its people one by one, was most of a page's paint: load the rows
    // that follow (a page and more) in one go, then the records their roles read through to-ones.
    constexpr int kRows = 64;
    ManagedObjectContext* context = managedObjectContext();
    if (!context)
        return;
    const int end = std::min(count(), row + kRows);
    QList<ManagedObjectPtr> records;
    QList<ManagedObjectID> ids;
    for (int at = std::max(0, row - kRows / 4); at < end; ++at) {
        if (isGroupRow(at))
            continue;
        if (ManagedObjectPtr record = objectAtRow(at)) {
            records.append(record);
            if (record->isFault())
                ids.append(record->objectID());
        }
    }
    context->fireFaults(ids);
    QList<ManagedObjectID> related;
    for (const ManagedObjectPtr& record : std::as_const(records)) {
        auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (!entry || entry->isFault())
            continue;
        for (const ManagedObjectPtr& other :
             {ManagedObjectPtr(entry->owner()), ManagedObjectPtr(entry->lastModifiedBy()),
              ManagedObjectPtr(entry->generalACL())})
            if (other && other->isFault())
                related.append(other->objectID());
    }
    context->fireFaults(related);
    m_loaded = std::move(records);
    for (const ManagedObjectID& id : std::as_const(related))
        if (ManagedObjectPtr other = context->objectRegisteredForID(id))
            m_loaded.append(other);
}

QList<int> TQTimeGroupedFilesController::recordRoles() const
{
    return DocumentRowRoles::recordRoles();
}

void TQTimeGroupedFilesController::collectChangedRows(const ObjectsDidChangeNotification& notification,
                                                      ChangedRows* changed) const
{
    ListModel::collectChangedRows(notification, changed);
    const auto addRows = [changed](const ManagedObjectID& id, const QList<int>& roles) {
        if (!id.isNull())
            (*changed)[id] += roles;
    };
    const auto addPerson = [&addRows](const ManagedObjectPtr& person) {
        for (const char* key : kPersonToDocuments)
            for (const ManagedObjectID& id : person->toManyIDs(QString::fromLatin1(key)))
                addRows(id, DocumentRowRoles::personRoles());
    };
    // Inserted or updated: an access entry set on a document, a thumbnail cached, a person renamed, a
    // contact's photo.
    for (const QList<ManagedObjectPtr>* records : {&notification.inserted, &notification.updated}) {
        for (const ManagedObjectPtr& record : *records) {
            if (isEntity(record, QStringLiteral("GeneralACLPermission"))) {
                if (const ManagedObjectPtr entry = record->toOne(QStringLiteral("entry")))
                    addRows(entry->objectID(), DocumentRowRoles::accessRoles());
            } else if (isEntity(record, QStringLiteral("FileCachedIcon"))) {
                if (const ManagedObjectPtr file = record->toOne(QStringLiteral("file")))
                    addRows(file->objectID(), {ThumbnailRole});
            } else if (isEntity(record, QStringLiteral("Mail"))) {
                addPerson(record);
            } else if (isEntity(record, QStringLiteral("Contact"))) {
                for (const ManagedObjectPtr& mail : record->toMany(QStringLiteral("mails")))
                    if (mail)
                        addPerson(mail);
            }
        }
    }
}

} // namespace tavrel
