#include "contacts/ContactFileAccess.h"

#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "model/TQACLEntry.h"
#include "platform/system/TQLog.h"
#include "window/ActionRequests.h"

namespace tavrel {

namespace {

bool among(const QList<std::shared_ptr<Mail>>& people, const std::shared_ptr<Mail>& person)
{
    for (const auto& each : people)
        if (ContactFileAccess::isPerson(each, person))
            return true;
    return false;
}

} // namespace

bool ContactFileAccess::isPerson(const std::shared_ptr<Mail>& mail, const std::shared_ptr<Mail>& person)
{
    if (!mail || !person)
        return false;
    return mail == person || mail->objectID() == person->objectID() ||
           SharingRoles::sameAddress(mail->address(), person->address());
}

bool ContactFileAccess::isOwnedBy(const ManagedObjectPtr& record, const std::shared_ptr<Mail>& person)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    return entry && isPerson(entry->owner(), person);
}

std::optional<int> ContactFileAccess::badgeRole(const FileEntryAbstract& entry,
                                                const std::shared_ptr<Mail>& person)
{
    if (among(entry.editors(), person))
        return 0;
    if (among(entry.viewers(), person))
        return 1;
    if (among(entry.commenters(), person))
        return -1;
    return std::nullopt;
}

std::optional<int> ContactFileAccess::switchState(const FileEntryAbstract& entry,
                                                  const std::shared_ptr<Mail>& person)
{
    if (among(entry.editors(), person))
        return kEditState;
    if (among(entry.viewers(), person))
        return kViewState;
    if (among(entry.commenters(), person))
        return kCommentState;
    return std::nullopt;
}

int ContactFileAccess::roleForSwitchState(int state)
{
    if (state == kViewState)
        return TQACLEntry::Reader;
    if (state == kCommentState)
        return TQACLEntry::Commenter;
    return TQACLEntry::Writer;
}

QVariantMap ContactFileAccess::setPermissionParameters(const ManagedObjectPtr& record,
                                                       const std::shared_ptr<Mail>& person, int state,
                                                       QObject* consumer)
{
    TQACLEntry entry(TQACLEntry::User, roleForSwitchState(state), person ? person->address() : QString());
    entry.setDisplayName(person ? person->displayName() : QString());
    return {
        {QStringLiteral("statusID"), QStringLiteral("setpermission_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("progressConsumer"), QVariant::fromValue(consumer)},
        {QStringLiteral("documentEntities"), QVariantList{QVariant::fromValue(record)}},
        {QStringLiteral("ACLEntries"), QVariantList{QVariant::fromValue(entry)}},
        {QStringLiteral("modified"), true}};
}

QVariantMap ContactFileAccess::removePermissionParameters(const ManagedObjectPtr& record,
                                                          const std::shared_ptr<Mail>& person,
                                                          QObject* consumer)
{
    return {{QStringLiteral("statusID"),
             QStringLiteral("removepermission_%1").arg(ActionRequests::uniqueNumber())},
            {QStringLiteral("progressConsumer"), QVariant::fromValue(consumer)},
            {QStringLiteral("documentEntity"), QVariant::fromValue(record)},
            {QStringLiteral("mailAddress"), person ? person->address() : QString()}};
}

} // namespace tavrel
