#include "lists/TQMailGroupedFilesController.h"

#include "model/Mail.h"
#include "platform/ui/StringTable.h"

#include <QMap>

namespace tavrel {

namespace {
// The columns of the owner groupper of this list.
enum MailOwnerColumn { MailOwnerAddress, MailOwnerID, MailMeShares, MailContactShares, MailWritersCanInvite };

QString stringOf(const QVariant& value)
{
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

// Whether the address is among the document's viewers' or editors' addresses.
Predicate sharedWith(const QString& address)
{
    return Predicate::format(QStringLiteral("ANY viewers.address == %@ OR ANY editors.address == %@"),
                             address, address);
}
} // namespace

TQMailGroupedFilesController::TQMailGroupedFilesController(ManagedObjectContext* context,
                                                           const QString& entityName, QObject* parent)
    : TQTimeGroupedFilesController(context, entityName, parent)
{}

TQMailGroupedFilesController::~TQMailGroupedFilesController() = default;

QString TQMailGroupedFilesController::sortKeyForExternalKey(const QString& key)
{
    static const QHash<QString, QString> map = {
        {QStringLiteral("owner"), QStringLiteral("updatedDate")},
        {QStringLiteral("sharings"), QStringLiteral("updatedDate")},
    };
    return map.value(key, key);
}

QString TQMailGroupedFilesController::sortKeyFor(const QString& key) const
{
    return sortKeyForExternalKey(key);
}

void TQMailGroupedFilesController::setEmail(const std::shared_ptr<Mail>& email)
{
    m_email = email;
    if (automaticallyPreparesContent() && groupper() == Groupper::Owner)
        rearrangeObjects();
}

QString TQMailGroupedFilesController::emailAddress() const
{
    return m_email ? m_email->address() : QString();
}

QList<FetchColumn> TQMailGroupedFilesController::columnsForGroupper(Groupper groupper) const
{
    if (groupper != Groupper::Owner)
        return TQTimeGroupedFilesController::columnsForGroupper(groupper);
    return {FetchColumn::keyPath(QStringLiteral("owner.address")),
            FetchColumn::keyPath(QStringLiteral("owner")), FetchColumn::condition(sharedWith(username())),
            FetchColumn::condition(sharedWith(emailAddress())),
            FetchColumn::keyPath(QStringLiteral("writersCanInvite"))};
}

QList<TQTimeGroupedFilesController::Group> TQMailGroupedFilesController::groupRows(Groupper groupper,
                                                                                   const QList<Row>& rows)
{
    if (groupper != Groupper::Owner)
        return TQTimeGroupedFilesController::groupRows(groupper, rows);
    if (m_email && emailAddress() == username())
        return ownerMeGroups(rows);
    return mailOwnerGroups(rows);
}

QList<TQTimeGroupedFilesController::Group>
TQMailGroupedFilesController::mailOwnerGroups(const QList<Row>& rows)
{
    const QString me = username();
    const QString contact = emailAddress();
    QList<ManagedObjectID> mine, contacts, others;
    for (const Row& row : rows) {
        const QVariantList& v = *row.values;
        const QString owner = stringOf(v.value(MailOwnerAddress));
        const bool meShares = v.value(MailMeShares).toBool();
        if (!owner.isEmpty() && owner == me)
            mine.append(row.id);
        else if (!owner.isEmpty() && owner == contact) {
            if (meShares)
                contacts.append(row.id);
        } else if (v.value(MailWritersCanInvite).toBool() && meShares &&
                   v.value(MailContactShares).toBool()) {
            others.append(row.id);
        }
        // Anything else is not shown.
    }
    QList<Group> groups;
    if (!mine.isEmpty())
        groups.append(
            Group{header(TQGroupWrapper::NoGroup, StringTable::text(QStringLiteral("owned by me"))), mine});
    if (!contacts.isEmpty())
        groups.append(Group{header(TQGroupWrapper::NoGroup,
                                   StringTable::format(QStringLiteral("owned by %@"),
                                                       m_email ? m_email->displayName() : QString())),
                            contacts});
    if (!others.isEmpty())
        groups.append(Group{
            header(TQGroupWrapper::NoGroup, StringTable::text(QStringLiteral("owned by others"))), others});
    return groups;
}

QList<TQTimeGroupedFilesController::Group> TQMailGroupedFilesController::ownerMeGroups(const QList<Row>& rows)
{
    const QString me = username();
    const QString unknown = StringTable::text(QStringLiteral("UnknownUser"));
    QList<ManagedObjectID> mine;
    // Owners in ascending order of address, each with the mail record that names its header.
    QMap<QString, std::pair<QVariant, QList<ManagedObjectID>>> owners;
    for (const Row& row : rows) {
        const QVariantList& v = *row.values;
        const QString stored = stringOf(v.value(MailOwnerAddress));
        const QString owner = stored.isEmpty() ? unknown : stored;
        if (owner == me) {
            mine.append(row.id);
            continue;
        }
        if (!v.value(MailMeShares).toBool())
            continue;
        auto it = owners.find(owner);
        if (it == owners.end())
            it = owners.insert(owner, {v.value(MailOwnerID), {}});
        it->second.append(row.id);
    }
    QList<Group> groups;
    if (!mine.isEmpty())
        groups.append(
            Group{header(TQGroupWrapper::NoGroup, StringTable::text(QStringLiteral("owned by me"))), mine});
    for (auto it = owners.cbegin(); it != owners.cend(); ++it) {
        QString name;
        ManagedObjectContext* context = managedObjectContext();
        if (context && it->first.canConvert<ManagedObjectID>())
            if (const auto mail = std::dynamic_pointer_cast<Mail>(
                    context->objectWithID(it->first.value<ManagedObjectID>())))
                name = mail->displayName();
        groups.append(
            Group{header(TQGroupWrapper::NoGroup, StringTable::format(QStringLiteral("owned by %@"), name)),
                  it->second});
    }
    return groups;
}

} // namespace tavrel
