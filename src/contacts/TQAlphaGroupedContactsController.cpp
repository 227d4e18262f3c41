#include "contacts/TQAlphaGroupedContactsController.h"

#include "contacts/ContactAvatars.h"
#include "contacts/ContactVCards.h"
#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "platform/store/EntityDescription.h"
#include "platform/system/TemporaryFiles.h"
#include "platform/ui/DragBus.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QMimeData>
#include <QSet>
#include <QUrl>
#include <algorithm>

namespace tavrel {

namespace {

const QString kMail = QStringLiteral("Mail");

bool isEntity(const ManagedObjectPtr& record, const QString& name)
{
    for (const EntityDescription* entity = record ? record->entity() : nullptr; entity;
         entity = entity->parent())
        if (entity->name() == name)
            return true;
    return false;
}

QString userName()
{
    TQSessionManager* manager = TQSessionManager::sharedManager();
    TQSession* session = manager ? manager->currentSession() : nullptr;
    return session ? session->username() : QString();
}

} // namespace

TQAlphaGroupedContactsController::TQAlphaGroupedContactsController(ManagedObjectContext* context,
                                                                   QObject* parent)
    : ListModel(context, kMail, parent), m_avatars(new ContactAvatars(kPhotoEdge, this))
{
    setDisplayKey(QStringLiteral("displayName"));
    setSearchFormat(QStringLiteral("displayName CONTAINS[cd] %@ OR address CONTAINS[c] %@"));
    connect(m_avatars, &ContactAvatars::avatarReady, this, &TQAlphaGroupedContactsController::avatarReady);
}

TQAlphaGroupedContactsController::~TQAlphaGroupedContactsController() = default;

void TQAlphaGroupedContactsController::setGroupping(bool groupping)
{
    m_groupping = groupping;
}

void TQAlphaGroupedContactsController::setSortsBySharings(bool sorts)
{
    m_sortsBySharings = sorts;
}

bool TQAlphaGroupedContactsController::isGroupRow(int row) const
{
    return row >= 0 && row < count() && isOwnRowID(arrangedObjectIDs().at(row));
}

std::shared_ptr<Mail> TQAlphaGroupedContactsController::mailAtRow(int row) const
{
    return std::dynamic_pointer_cast<Mail>(objectAtRow(row));
}

int TQAlphaGroupedContactsController::sharedDocumentCount(const Mail& mail)
{
    QSet<ManagedObjectID> documents;
    const auto add = [&documents](const QList<std::shared_ptr<FileEntryAbstract>>& files) {
        for (const auto& file : files) {
            const EntityDescription* entity = file ? file->entity() : nullptr;
            if (entity && entity->name().startsWith(QLatin1String("File"), Qt::CaseInsensitive))
                documents.insert(file->objectID());
        }
    };
    add(mail.edits());
    add(mail.views());
    add(mail.owns());
    return int(documents.size());
}

QString TQAlphaGroupedContactsController::headerLetter(const QString& displayName)
{
    const QString trimmed = displayName.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("#");
    // One whole character, a surrogate pair included.
    const int length = trimmed.at(0).isHighSurrogate() && trimmed.size() > 1 ? 2 : 1;
    return trimmed.left(length).toUpper();
}

QList<FetchColumn> TQAlphaGroupedContactsController::fetchColumns() const
{
    return {FetchColumn::keyPath(QStringLiteral("displayName"))};
}

QList<ManagedObjectID> TQAlphaGroupedContactsController::arrangeFetchedRows(const QList<ManagedObjectID>& ids,
                                                                            const QList<QVariantList>& values)
{
    QList<ManagedObjectID> sorted = ids;
    QList<QString> names;
    names.reserve(ids.size());
    for (qsizetype i = 0; i < ids.size(); ++i)
        names.append(values.value(i).value(0).toString());
    if (m_sortsBySharings && managedObjectContext()) {
        // The store's order (name, then address) breaks ties, so the order never depends on chance.
        QList<QPair<int, qsizetype>> counted;
        counted.reserve(ids.size());
        for (qsizetype i = 0; i < ids.size(); ++i) {
            const auto mail =
                std::dynamic_pointer_cast<Mail>(managedObjectContext()->objectWithID(ids.at(i)));
            counted.append({mail ? sharedDocumentCount(*mail) : 0, i});
        }
        std::stable_sort(counted.begin(), counted.end(),
                         [](const auto& left, const auto& right) { return left.first > right.first; });
        QList<QString> sortedNames;
        sorted.clear();
        for (const auto& [count, index] : counted) {
            sorted.append(ids.at(index));
            sortedNames.append(names.at(index));
        }
        names = sortedNames;
    }
    m_headers.clear();
    if (!m_groupping)
        return sorted;
    QList<ManagedObjectID> arranged;
    arranged.reserve(sorted.size() + 32);
    QHash<QString, qint64> occurrences;
    QString last;
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        const QString letter = headerLetter(names.at(i));
        if (i == 0 || letter != last) {
            // A letter the order brings back gets a header of its own, with an id of its own.
            const qint64 occurrence = occurrences.value(letter, 0);
            occurrences.insert(letter, occurrence + 1);
            const QList<uint> points = letter.toUcs4();
            const qint64 key = (occurrence << 32) | qint64(points.value(0, 0));
            const ManagedObjectID header = ownRowID(key);
            m_headers.insert(header, letter);
            arranged.append(header);
            last = letter;
        }
        arranged.append(sorted.at(i));
    }
    return arranged;
}

QVariant TQAlphaGroupedContactsController::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const int row = index.row();
    if (isGroupRow(row)) {
        switch (role) {
        case GroupRowRole:
            return true;
        case Qt::DisplayRole:
        case TitleRole:
            return m_headers.value(arrangedObjectIDs().at(row));
        default:
            return {};
        }
    }
    if (role == ObjectRole || role == ObjectIDRole)
        return ListModel::data(index, role);
    const auto mail = mailAtRow(row);
    if (!mail)
        return {};
    switch (role) {
    case GroupRowRole:
        return false;
    case Qt::DisplayRole:
    case TitleRole: {
        const QString user = userName();
        if (!user.isEmpty() && SharingRoles::sameAddress(mail->address(), user))
            return StringTable::text(QStringLiteral("OnlyME"));
        return mail->displayName();
    }
    case SubtitleRole:
    case AddressRole:
        return mail->address();
    case SharedCountRole:
        return sharedDocumentCount(*mail);
    case FavoriteRole:
        return mail->favorite().toBool();
    case ThumbnailRole: {
        const QString path = mail->avatarPath();
        if (!path.isEmpty())
            m_askedAvatars[path].insert(mail->objectID());
        return QVariant::fromValue(m_avatars->avatar(path));
    }
    default:
        return {};
    }
}

Qt::ItemFlags TQAlphaGroupedContactsController::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = ListModel::flags(index);
    if (index.isValid() && !isGroupRow(index.row()))
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList TQAlphaGroupedContactsController::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData* TQAlphaGroupedContactsController::mimeData(const QModelIndexList& indexes) const
{
    QList<std::shared_ptr<Mail>> mails;
    for (const QModelIndex& index : indexes)
        if (auto mail = index.isValid() ? mailAtRow(index.row()) : nullptr)
            mails.append(mail);
    const QUrl folder = TemporaryFiles::URLTempUniqueDirectory();
    if (mails.isEmpty() || folder.isEmpty())
        return nullptr;
    QList<QUrl> urls;
    for (const QString& path : ContactVCards::writeVCards(mails, folder.toLocalFile()))
        urls.append(QUrl::fromLocalFile(path));
    if (urls.isEmpty())
        return nullptr;
    auto* data = new QMimeData;
    DragBus::setFileURLs(data, urls);
    return data;
}

QHash<int, QByteArray> TQAlphaGroupedContactsController::roleNames() const
{
    QHash<int, QByteArray> names = ListModel::roleNames();
    names.insert(SharedCountRole, "sharedCount");
    names.insert(FavoriteRole, "favorite");
    names.insert(AddressRole, "address");
    return names;
}

bool TQAlphaGroupedContactsController::changeConcernsRows(
    const ObjectsDidChangeNotification& notification) const
{
    if (ListModel::changeConcernsRows(notification))
        return true;
    // The order by shared documents follows the documents; names live in the contacts.
    QSet<QString> entities{QStringLiteral("Contact")};
    if (m_sortsBySharings)
        entities.insert(QStringLiteral("FileEntryAbstract"));
    return changeOfEntities(notification, entities);
}

void TQAlphaGroupedContactsController::collectChangedRows(const ObjectsDidChangeNotification& notification,
                                                          ChangedRows* changed) const
{
    ListModel::collectChangedRows(notification, changed);
    static const QList<int> personRoles{TitleRole, ThumbnailRole};
    static const QList<int> countRoles{SharedCountRole};
    for (const QList<ManagedObjectPtr>* records :
         {&notification.inserted, &notification.updated, &notification.deleted}) {
        for (const ManagedObjectPtr& record : *records) {
            if (isEntity(record, QStringLiteral("Contact"))) {
                for (const ManagedObjectID& id : record->toManyIDs(QStringLiteral("mails")))
                    (*changed)[id] += personRoles;
            } else if (isEntity(record, QStringLiteral("FileEntryAbstract"))) {
                for (const char* key : {"editors", "viewers"})
                    for (const ManagedObjectID& id : record->toManyIDs(QString::fromLatin1(key)))
                        (*changed)[id] += countRoles;
                if (const ManagedObjectPtr owner = record->toOne(QStringLiteral("owner")))
                    (*changed)[owner->objectID()] += countRoles;
            }
        }
    }
}

QList<int> TQAlphaGroupedContactsController::recordRoles() const
{
    return {Qt::DisplayRole, TitleRole,       SubtitleRole, AddressRole,
            FavoriteRole,    SharedCountRole, ThumbnailRole};
}

void TQAlphaGroupedContactsController::avatarReady(const QString& avatarPath)
{
    // Only the rows that asked for the photo (the ones drawn) draw it again.
    ChangedRows rows;
    for (const ManagedObjectID& id : m_askedAvatars.take(avatarPath))
        rows.insert(id, {ThumbnailRole});
    emitRowsChanged(rows);
}

} // namespace tavrel
