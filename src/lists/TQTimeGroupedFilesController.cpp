#include "lists/TQTimeGroupedFilesController.h"

#include "model/GDataMail.h"
#include "model/Mail.h"
#include "platform/runtime/Clock.h"
#include "platform/store/EntityDescription.h"
#include "platform/store/ManagedObjectModel.h"
#include "platform/store/ObjectsDidChangeNotification.h"
#include "platform/store/PersistentStoreCoordinator.h"
#include "platform/system/TQLog.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QMimeDatabase>
#include <QScopeGuard>
#include <QSet>
#include <algorithm>

namespace tavrel {

namespace {
using Groupper = TQTimeGroupedFilesController::Groupper;

// The columns of each groupper, in the order they are read.
enum TimeColumn { TimeUpdated, TimePublished };
enum OwnerColumn { OwnerAddress, OwnerID, OwnerUpdated };
enum VisibilityColumn { VisibilityACL, VisibilityType, VisibilityHasLink };
enum SharingsColumn {
    SharingsOwner,
    SharingsEditors,
    SharingsViewers,
    SharingsCommenters,
    SharingsEditsMe,
    SharingsViewsMe
};
enum ClassColumn { ClassResourceID, ClassFileName, ClassEntity };
enum CollectionColumn { CollectionEntity, CollectionCategories };

// Made once per process (a static is made once, whichever thread comes first), as the maps of the class.
const QHash<QString, QString>& sortMap()
{
    static const QHash<QString, QString> map = {
        {QStringLiteral("updatedDate"), QStringLiteral("updatedDate")},
        {QStringLiteral("owner"), QStringLiteral("owner.address")},
        {QStringLiteral("visibility"), QStringLiteral("updatedDate")},
        {QStringLiteral("sharings"), QStringLiteral("updatedDate")},
        {QStringLiteral("class"), QStringLiteral("updatedDate")},
        {QStringLiteral("size"), QStringLiteral("quotaBytesUsed")},
        {QStringLiteral("collections"), QStringLiteral("updatedDate")},
    };
    return map;
}

const QHash<QString, Groupper>& groupperMap()
{
    static const QHash<QString, Groupper> map = {
        {QStringLiteral("updatedDate"), Groupper::Time},
        {QStringLiteral("owner"), Groupper::Owner},
        {QStringLiteral("visibility"), Groupper::Visibility},
        {QStringLiteral("sharings"), Groupper::Sharings},
        {QStringLiteral("class"), Groupper::Class},
        {QStringLiteral("collections"), Groupper::Collection},
    };
    return map;
}

// A fetched column's value without copying it (QList::value copies); invalid beyond the columns.
const QVariant& columnOf(const QVariantList& values, int column)
{
    static const QVariant none;
    return column >= 0 && column < values.size() ? values.at(column) : none;
}

QString stringOf(const QVariant& value)
{
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// stringOf without a copy, for the loops over every row.
const QString& textOf(const QVariant& value)
{
    static const QString none;
    return value.typeId() == QMetaType::QString ? *static_cast<const QString*>(value.constData()) : none;
}

// The lower-case extension of a file name's last component ("" for none or a leading dot only).
QString pathExtension(const QString& fileName)
{
    const QString last = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? last.mid(dot + 1).toLower() : QString();
}

// Newest first, documents without a date last, the order kept among equals. Each row's date is read
// once as its instant: converting the values in every comparison was most of a regrouping.
template <typename Rows> void sortByDateDescending(Rows& rows, int dateColumn)
{
    struct Dated
    {
        qint64 instant;
        bool valid;
        qsizetype row;
    };
    QList<Dated> dated;
    dated.reserve(rows.size());
    bool sorted = true;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QDateTime date = columnOf(*rows.at(i).values, dateColumn).toDateTime();
        const bool valid = date.isValid();
        dated.append(Dated{valid ? date.toMSecsSinceEpoch() : 0, valid, i});
        if (i > 0) {
            const Dated& before = dated.at(i - 1);
            sorted = sorted && (before.valid ? !valid || before.instant >= dated.at(i).instant : !valid);
        }
    }
    if (sorted)
        return;
    std::stable_sort(dated.begin(), dated.end(), [](const Dated& a, const Dated& b) {
        if (a.valid != b.valid)
            return a.valid;
        return a.valid && a.instant > b.instant;
    });
    Rows ordered;
    ordered.reserve(rows.size());
    for (const Dated& row : std::as_const(dated))
        ordered.append(rows.at(row.row));
    rows = std::move(ordered);
}

template <typename Rows> QList<ManagedObjectID> idsOf(const Rows& rows)
{
    QList<ManagedObjectID> ids;
    ids.reserve(rows.size());
    for (const auto& row : rows)
        ids.append(row.id);
    return ids;
}
} // namespace

TQTimeGroupedFilesController::TQTimeGroupedFilesController(ManagedObjectContext* context,
                                                           const QString& entityName, QObject* parent)
    : ListModel(context, entityName, parent)
{}

TQTimeGroupedFilesController::~TQTimeGroupedFilesController() = default;

QString TQTimeGroupedFilesController::sortKeyForExternalKey(const QString& key)
{
    return sortMap().value(key, key);
}

TQTimeGroupedFilesController::Groupper
TQTimeGroupedFilesController::groupperForExternalKey(const QString& key)
{
    return groupperMap().value(key, Groupper::None);
}

QString TQTimeGroupedFilesController::username() const
{
    if (m_hasUsername)
        return m_username;
    const TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

void TQTimeGroupedFilesController::setUsername(const QString& username)
{
    m_username = username;
    m_hasUsername = true;
    if (automaticallyPreparesContent() && m_groupper != Groupper::None)
        rearrangeObjects();
}

QString TQTimeGroupedFilesController::realSortKey(const QString& key) const
{
    const QString mapped = sortKeyFor(key);
    // A key of the class's map that names nothing the documents have would fail every fetch: such a
    // key sorts as the base map says.
    const ManagedObjectContext* context = managedObjectContext();
    const PersistentStoreCoordinator* coordinator = context ? context->persistentStoreCoordinator() : nullptr;
    const EntityDescription* entity =
        coordinator ? coordinator->managedObjectModel().entity(entityName()) : nullptr;
    if (!entity)
        return mapped;
    const QStringList comps = mapped.split(QLatin1Char('.'));
    const EntityDescription* e = entity;
    for (int i = 0; i + 1 < comps.size() && e; ++i) {
        const RelationshipDescription* r = e->relationship(comps.at(i));
        e = r && !r->toMany ? r->destination : nullptr;
    }
    if (e && e->attribute(comps.last()))
        return mapped;
    return sortKeyForExternalKey(key);
}

void TQTimeGroupedFilesController::setSortDescriptors(const QList<SortDescriptor>& descriptors)
{
    if (descriptors.isEmpty()) {
        m_groupper = Groupper::None;
        m_askedKey.clear();
        ListModel::setSortDescriptors({});
        return;
    }
    const SortDescriptor& asked = descriptors.last();
    const bool wasBySize = m_askedKey == QLatin1String("size");
    m_askedKey = asked.key();
    // Sizes or dates under every title: rows that stay say it anew.
    const auto subtitlesChanged = qScopeGuard([this, wasBySize] {
        if (wasBySize != (m_askedKey == QLatin1String("size")) && count() > 0)
            emit dataChanged(index(0), index(count() - 1), {SubtitleRole});
    });
    const SortDescriptor descriptor(realSortKey(asked.key()), asked.ascending());
    const Groupper old = m_groupper;
    m_groupper = groupperFor(asked.key());
    if (sortDescriptors().contains(descriptor) && m_groupper != old) {
        if (automaticallyPreparesContent())
            rearrangeObjects();
        return;
    }
    ListModel::setSortDescriptors({descriptor});
}

bool TQTimeGroupedFilesController::isGroupRow(int row) const
{
    return row >= 0 && row < count() && isOwnRowID(arrangedObjectIDs().at(row));
}

TQGroupWrapperPtr TQTimeGroupedFilesController::groupAtRow(int row) const
{
    if (!isGroupRow(row))
        return nullptr;
    return m_headers.value(arrangedObjectIDs().at(row).primaryKey());
}

TQGroupWrapperPtr TQTimeGroupedFilesController::groupOfRow(int row) const
{
    if (row < 0 || row >= count())
        return nullptr;
    const ManagedObjectID& id = arrangedObjectIDs().at(row);
    qint64 key = 0;
    if (isOwnRowID(id)) {
        key = id.primaryKey();
    } else {
        // Few ask, so the documents' headers are indexed when first asked after an arrangement, not
        // with every arrangement of a long list.
        if (!m_groupOfIDValid) {
            m_groupOfID.clear();
            m_groupOfID.reserve(m_arranged.size());
            qint64 current = 0;
            for (const ManagedObjectID& arranged : std::as_const(m_arranged)) {
                if (isOwnRowID(arranged))
                    current = arranged.primaryKey();
                else if (current)
                    m_groupOfID.insert(arranged, current);
            }
            m_groupOfIDValid = true;
        }
        key = m_groupOfID.value(id, 0);
    }
    return key ? m_headers.value(key) : nullptr;
}

QList<TQGroupWrapperPtr> TQTimeGroupedFilesController::groups() const
{
    QList<TQGroupWrapperPtr> result;
    for (const ManagedObjectID& id : arrangedObjectIDs())
        if (isOwnRowID(id))
            result.append(m_headers.value(id.primaryKey()));
    return result;
}

QList<FetchColumn> TQTimeGroupedFilesController::fetchColumns() const
{
    return columnsForGroupper(m_groupper);
}

QList<FetchColumn> TQTimeGroupedFilesController::columnsForGroupper(Groupper groupper) const
{
    switch (groupper) {
    case Groupper::None:
        return {};
    case Groupper::Time:
        return {FetchColumn::keyPath(QStringLiteral("updatedDate")),
                FetchColumn::keyPath(QStringLiteral("publishedDate"))};
    case Groupper::Owner:
        return {FetchColumn::keyPath(QStringLiteral("owner.address")),
                FetchColumn::keyPath(QStringLiteral("owner")),
                FetchColumn::keyPath(QStringLiteral("updatedDate"))};
    case Groupper::Visibility:
        return {FetchColumn::keyPath(QStringLiteral("generalACL")),
                FetchColumn::keyPath(QStringLiteral("generalACL.type")),
                FetchColumn::keyPath(QStringLiteral("generalACL.hasLink"))};
    case Groupper::Sharings: {
        const QString me = username();
        return {
            FetchColumn::keyPath(QStringLiteral("owner.address")),
            FetchColumn::count(QStringLiteral("editors")),
            FetchColumn::count(QStringLiteral("viewers")),
            FetchColumn::count(QStringLiteral("commenters")),
            FetchColumn::condition(Predicate::format(QStringLiteral("ANY editors.address ==[c] %@"), me)),
            FetchColumn::condition(Predicate::format(QStringLiteral("ANY viewers.address ==[c] %@"), me))};
    }
    case Groupper::Class:
        return {FetchColumn::keyPath(QStringLiteral("resourceId")),
                FetchColumn::keyPath(QStringLiteral("filename")),
                FetchColumn::keyPath(QStringLiteral("entity.name"))};
    case Groupper::Collection:
        return {FetchColumn::keyPath(QStringLiteral("entity.name")),
                FetchColumn::count(QStringLiteral("categories"))};
    }
    return {};
}

TQGroupWrapperPtr TQTimeGroupedFilesController::header(qint32 group, const QString& title)
{
    const QString base = QString::number(group) + QChar(0x1F) + title;
    const int occurrence = m_arrangingTitles.value(base, 0);
    m_arrangingTitles.insert(base, occurrence + 1);
    const QString name = base + QChar(0x1F) + QString::number(occurrence);
    qint64 key = m_headerKeys.value(name, 0);
    if (!key) {
        key = m_nextHeaderKey++;
        m_headerKeys.insert(name, key);
    }
    TQGroupWrapperPtr wrapper = m_headers.value(key);
    if (!wrapper)
        wrapper = TQGroupWrapper::groupOf(group, title);
    m_arrangingHeaders.insert(key, wrapper);
    m_keyOfHeader.insert(wrapper.get(), key);
    return wrapper;
}

QList<ManagedObjectID> TQTimeGroupedFilesController::arrangeFetchedRows(const QList<ManagedObjectID>& ids,
                                                                        const QList<QVariantList>& values)
{
    m_groupOfID.clear();
    m_groupOfIDValid = false;
    m_arranged = {};
    if (m_groupper == Groupper::None || ids.isEmpty() || values.size() != ids.size()) {
        m_headers.clear();
        m_headerKeys.clear();
        return ids;
    }
    QList<Row> rows;
    rows.reserve(ids.size());
    for (qsizetype i = 0; i < ids.size(); ++i)
        rows.append(Row{ids.at(i), &values.at(i)});
    m_arrangingTitles.clear();
    m_arrangingHeaders.clear();
    m_keyOfHeader.clear();
    const QList<Group> groups = groupRows(m_groupper, rows);

    // Keys of headers no longer shown are forgotten.
    for (auto it = m_headerKeys.begin(); it != m_headerKeys.end();)
        it = m_arrangingHeaders.contains(it.value()) ? std::next(it) : m_headerKeys.erase(it);
    m_headers = m_arrangingHeaders;
    m_arrangingHeaders.clear();

    QList<ManagedObjectID> arranged;
    arranged.reserve(ids.size() + groups.size());
    bool headless = false;
    for (const Group& group : groups) {
        const qint64 key = group.header ? m_keyOfHeader.value(group.header.get(), 0) : 0;
        if (key)
            arranged.append(ownRowID(key));
        else if (!arranged.isEmpty())
            headless = true;
        arranged.append(group.ids);
    }
    // A document lies under the header above it, unless a group without one comes after the first:
    // then the documents' headers are noted now.
    if (headless) {
        m_groupOfID.reserve(ids.size());
        for (const Group& group : groups) {
            const qint64 key = group.header ? m_keyOfHeader.value(group.header.get(), 0) : 0;
            if (key)
                for (const ManagedObjectID& id : group.ids)
                    m_groupOfID.insert(id, key);
        }
        m_groupOfIDValid = true;
    } else {
        m_arranged = arranged;
    }
    return arranged;
}

bool TQTimeGroupedFilesController::changeConcernsRows(const ObjectsDidChangeNotification& notification) const
{
    if (ListModel::changeConcernsRows(notification))
        return true;
    if (m_groupper == Groupper::None)
        return false;
    // Owners' addresses, the general access and the people lie in records of their own: those the
    // grouping's columns read, and the contacts that name the owners.
    QSet<QString> read;
    if (!entitiesRead(predicate(), QString(), &read))
        read = {QStringLiteral("Mail"), QStringLiteral("GeneralACLPermission"), QStringLiteral("Contact")};
    else if (m_groupper == Groupper::Owner)
        read.insert(QStringLiteral("Contact"));
    return changeOfEntities(notification, read);
}

QString TQTimeGroupedFilesController::ownerTitleName(const QVariant& mailID, const QString& address) const
{
    ManagedObjectContext* context = managedObjectContext();
    if (context && mailID.canConvert<ManagedObjectID>()) {
        const auto mail =
            std::dynamic_pointer_cast<Mail>(context->objectWithID(mailID.value<ManagedObjectID>()));
        if (mail && mail->contact())
            return mail->displayName();
    }
    if (!address.isEmpty())
        return address;
    return StringTable::text(QStringLiteral("UnknownUser"));
}

QList<TQTimeGroupedFilesController::Group> TQTimeGroupedFilesController::groupRows(Groupper groupper,
                                                                                   const QList<Row>& rows)
{
    switch (groupper) {
    case Groupper::Time:
        return timeGroups(rows);
    case Groupper::Owner:
        return ownerGroups(rows);
    case Groupper::Visibility:
        return visibilityGroups(rows);
    case Groupper::Sharings:
        return sharingsGroups(rows);
    case Groupper::Class:
        return classGroups(rows);
    case Groupper::Collection:
        return collectionGroups(rows);
    case Groupper::None:
        break;
    }
    return {Group{nullptr, idsOf(rows)}};
}

QList<TQTimeGroupedFilesController::Group> TQTimeGroupedFilesController::timeGroups(const QList<Row>& rows)
{
    const QTimeZone zone = TQGroupWrapper::calendarTimeZone();
    const QDateTime now = Clock::now();
    const QDate today = now.toTimeZone(zone).date();
    const QDate yesterday = now.addSecs(-86400).toTimeZone(zone).date();
    const QDateTime weekStart = now.addSecs(-604800);
    const QDateTime monthStart = now.addSecs(-2678400);

    QList<Group> groups;
    const auto current = [&groups]() -> Group& {
        if (groups.isEmpty())
            groups.append(Group{nullptr, {}});
        return groups.last();
    };
    bool headed[TQGroupWrapper::InPast + 1] = {};
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QDateTime date = columnOf(*rows.at(i).values, TimeUpdated).toDateTime();
        if (!date.isValid())
            date = columnOf(*rows.at(i).values, TimePublished).toDateTime();
        if (!date.isValid()) {
            // A document without a date ends the grouping: it and the rest stay where they are.
            current().ids.reserve(current().ids.size() + rows.size() - i);
            for (qsizetype j = i; j < rows.size(); ++j)
                current().ids.append(rows.at(j).id);
            break;
        }
        const QDate day = date.toTimeZone(zone).date();
        qint32 group;
        QString title;
        if (day == today)
            group = TQGroupWrapper::Today, title = QStringLiteral("GroupModifiedToday");
        else if (day == yesterday)
            group = TQGroupWrapper::Yesterday, title = QStringLiteral("GroupModifiedYesterday");
        else if (date >= weekStart)
            group = TQGroupWrapper::LastWeek, title = QStringLiteral("GroupModifiedLastWeek");
        else if (date >= monthStart)
            group = TQGroupWrapper::LastMonth, title = QStringLiteral("GroupModifiedLastMonth");
        else
            group = TQGroupWrapper::InPast, title = QStringLiteral("GroupModifiedInPast");
        if (!headed[group]) {
            headed[group] = true;
            groups.append(Group{header(group, StringTable::text(title)), {}});
        }
        if (group == TQGroupWrapper::InPast) {
            // Every later document falls under "in the past".
            current().ids.reserve(current().ids.size() + rows.size() - i);
            for (qsizetype j = i; j < rows.size(); ++j)
                current().ids.append(rows.at(j).id);
            break;
        }
        current().ids.append(rows.at(i).id);
    }
    return groups;
}

QList<TQTimeGroupedFilesController::Group> TQTimeGroupedFilesController::ownerGroups(const QList<Row>& rows)
{
    const QString me = username();
    const QString unknown = StringTable::text(QStringLiteral("UnknownUser"));
    // The documents of others in order, each owner's a run of them from its start: lists made at
    // their size instead of growing one per owner.
    QList<Row> mine;
    QList<Row> others;
    others.reserve(rows.size());
    QList<std::pair<TQGroupWrapperPtr, qsizetype>> owners;
    std::optional<QString> lastAddress;
    for (const Row& row : rows) {
        const QString& stored = textOf(columnOf(*row.values, OwnerAddress));
        const QString& address = stored.isEmpty() ? unknown : stored;
        if (address == me) {
            mine.append(row);
            continue;
        }
        if (!lastAddress || address != *lastAddress) {
            owners.append(
                {header(TQGroupWrapper::NoGroup,
                        StringTable::format(QStringLiteral("owned by %@"),
                                            ownerTitleName(columnOf(*row.values, OwnerID), stored))),
                 others.size()});
            lastAddress = address;
        }
        others.append(row);
    }
    QList<Group> groups;
    groups.reserve(owners.size() + 1);
    if (!mine.isEmpty()) {
        sortByDateDescending(mine, OwnerUpdated);
        groups.append(Group{header(TQGroupWrapper::NoGroup, StringTable::text(QStringLiteral("owned by me"))),
                            idsOf(mine)});
    }
    for (qsizetype i = 0; i < owners.size(); ++i) {
        const qsizetype end = i + 1 < owners.size() ? owners.at(i + 1).second : others.size();
        QList<Row> pending(others.cbegin() + owners.at(i).second, others.cbegin() + end);
        sortByDateDescending(pending, OwnerUpdated);
        groups.append(Group{owners.at(i).first, idsOf(pending)});
    }
    return groups;
}

namespace {
// Buckets in the order given, empty ones left out.
struct Buckets
{
    explicit Buckets(qsizetype count) : ids(count) {}
    QList<QList<ManagedObjectID>> ids;
};
} // namespace

QList<TQTimeGroupedFilesController::Group>
TQTimeGroupedFilesController::visibilityGroups(const QList<Row>& rows)
{
    static const char* const titles[] = {"PrivateGroup", "LinkGroup", "WebGroup", "DomainLinkGroup",
                                         "DomainGroup"};
    const bool domains = GDataMail::accountSupportsDomainPermissions(username());
    Buckets buckets(5);
    for (const Row& row : rows) {
        const QVariantList& v = *row.values;
        if (!v.value(VisibilityACL).isValid()) {
            buckets.ids[0].append(row.id);
            continue;
        }
        const QString type = stringOf(v.value(VisibilityType));
        const bool link = v.value(VisibilityHasLink).toBool();
        if (type == QLatin1String("default"))
            buckets.ids[link ? 1 : 2].append(row.id);
        else if (domains && type == QLatin1String("domain"))
            buckets.ids[link ? 3 : 4].append(row.id);
        // Any other general access is in no group and not shown.
    }
    QList<Group> groups;
    for (int i = 0; i < 5; ++i)
        if (!buckets.ids.at(i).isEmpty())
            groups.append(Group{header(TQGroupWrapper::NoGroup, StringTable::text(QLatin1String(titles[i]))),
                                buckets.ids.at(i)});
    return groups;
}

QList<TQTimeGroupedFilesController::Group>
TQTimeGroupedFilesController::sharingsGroups(const QList<Row>& rows)
{
    static const char* const titles[] = {"shared by me", "shared with me", "not shared"};
    const QString me = username();
    Buckets buckets(3);
    for (const Row& row : rows) {
        const QVariantList& v = *row.values;
        const qint64 people = v.value(SharingsEditors).toLongLong() + v.value(SharingsViewers).toLongLong() +
                              v.value(SharingsCommenters).toLongLong();
        if (stringOf(v.value(SharingsOwner)) == me && !me.isNull() && people > 0)
            buckets.ids[0].append(row.id);
        else if (v.value(SharingsEditsMe).toBool() || v.value(SharingsViewsMe).toBool())
            buckets.ids[1].append(row.id);
        else
            buckets.ids[2].append(row.id);
    }
    QList<Group> groups;
    for (int i = 0; i < 3; ++i)
        if (!buckets.ids.at(i).isEmpty())
            groups.append(Group{header(TQGroupWrapper::NoGroup, StringTable::text(QLatin1String(titles[i]))),
                                buckets.ids.at(i)});
    return groups;
}

QList<TQTimeGroupedFilesController::Group> TQTimeGroupedFilesController::classGroups(const QList<Row>& rows)
{
    enum Kind {
        Documents,
        Presentations,
        Spreadsheets,
        Forms,
        Drawings,
        Pdf,
        Images,
        Music,
        Videos,
        Collections,
        Others,
        KindCount
    };
    static const char* const titles[] = {"documents", "presentations", "spreadsheets", "forms",
                                         "drawings",  "PDF documents", "images",       "music",
                                         "videos",    "collections",   "others"};
    static const QSet<QString> images = {QStringLiteral("png"),  QStringLiteral("jpg"),
                                         QStringLiteral("jpeg"), QStringLiteral("gif"),
                                         QStringLiteral("tiff"), QStringLiteral("tif")};
    static const QSet<QString> music = {QStringLiteral("mp3"), QStringLiteral("m4a"), QStringLiteral("aif"),
                                        QStringLiteral("wav"), QStringLiteral("au")};
    static const QSet<QString> videos = {QStringLiteral("mov"), QStringLiteral("m4v"), QStringLiteral("avi"),
                                         QStringLiteral("mp4"), QStringLiteral("mpeg")};
    // Each unknown name is logged once: a long list must not write a line per document at every sort.
    static QSet<QString> logged;
    Buckets buckets(KindCount);
    for (const Row& row : rows) {
        const QVariantList& v = *row.values;
        const QString resourceId = stringOf(v.value(ClassResourceID));
        const QString fileName = stringOf(v.value(ClassFileName));
        const QString extension = pathExtension(fileName);
        Kind kind;
        if (resourceId.startsWith(QLatin1String("document")))
            kind = Documents;
        else if (resourceId.startsWith(QLatin1String("presentation")))
            kind = Presentations;
        else if (resourceId.startsWith(QLatin1String("spreadsheet")))
            kind = Spreadsheets;
        else if (resourceId.startsWith(QLatin1String("drawing")))
            kind = Drawings;
        else if (resourceId.startsWith(QLatin1String("pdf")))
            kind = Pdf;
        else if (!fileName.isEmpty() && extension == QLatin1String("pdf"))
            kind = Pdf;
        else if (resourceId.startsWith(QLatin1String("form")))
            kind = Forms;
        else if (stringOf(v.value(ClassEntity)) == QLatin1String("Category"))
            kind = Collections;
        else if (images.contains(extension))
            kind = Images;
        else if (music.contains(extension))
            kind = Music;
        else if (videos.contains(extension))
            kind = Videos;
        else {
            kind = Others;
            if (!logged.contains(fileName)) {
                logged.insert(fileName);
                TQLog("File: <%@> UTI: %@", fileName,
                      QMimeDatabase().mimeTypeForFile(fileName, QMimeDatabase::MatchExtension).name());
            }
        }
        buckets.ids[kind].append(row.id);
    }
    QList<Group> groups;
    for (int i = 0; i < KindCount; ++i)
        if (!buckets.ids.at(i).isEmpty())
            groups.append(Group{header(TQGroupWrapper::NoGroup, StringTable::text(QLatin1String(titles[i]))),
                                buckets.ids.at(i)});
    return groups;
}

QList<TQTimeGroupedFilesController::Group>
TQTimeGroupedFilesController::collectionGroups(const QList<Row>& rows)
{
    static const char* const titles[] = {"in collections", "not in collections"};
    Buckets buckets(2);
    for (const Row& row : rows) {
        const QVariantList& v = *row.values;
        const bool in = stringOf(v.value(CollectionEntity)) == QLatin1String("File") &&
                        v.value(CollectionCategories).toLongLong() > 0;
        buckets.ids[in ? 0 : 1].append(row.id);
    }
    QList<Group> groups;
    for (int i = 0; i < 2; ++i)
        if (!buckets.ids.at(i).isEmpty())
            groups.append(Group{header(TQGroupWrapper::NoGroup, StringTable::text(QLatin1String(titles[i]))),
                                buckets.ids.at(i)});
    return groups;
}

} // namespace tavrel
