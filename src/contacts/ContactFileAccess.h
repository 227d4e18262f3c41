#pragma once

#include "platform/store/ManagedObject.h"

#include <QVariantMap>
#include <memory>
#include <optional>

class QObject;

namespace tavrel {

class FileEntryAbstract;
class Mail;

// One person's access to the documents of the lists about that person: whether the person owns a
// document, the role a row shows for the person, and the requests that change or remove it. The
// person is the record itself; an address stored twice in another letter case is the same person.
class ContactFileAccess
{
public:
    // The positions of a role switch: view, comment, edit.
    static constexpr int kViewState = 1;
    static constexpr int kCommentState = -1;
    static constexpr int kEditState = 0;

    static bool isPerson(const std::shared_ptr<Mail>& mail, const std::shared_ptr<Mail>& person);
    static bool isOwnedBy(const ManagedObjectPtr& record, const std::shared_ptr<Mail>& person);
    // The badge of the person's role, as the role buttons know it: 0 editor, 1 viewer, -1 commenter
    // (tested in that order); none when the person has no role.
    static std::optional<int> badgeRole(const FileEntryAbstract& entry, const std::shared_ptr<Mail>& person);
    // The switch's position for the person's role (edit before view before comment); none when the
    // person has no role.
    static std::optional<int> switchState(const FileEntryAbstract& entry,
                                          const std::shared_ptr<Mail>& person);
    // The access-list role a switch position gives: view a reader, comment a commenter, else a writer.
    static int roleForSwitchState(int state);

    // "SetPermissions" for the person's new role on the document; "modified": the person has access
    // already, so no new sharing is announced.
    static QVariantMap setPermissionParameters(const ManagedObjectPtr& record,
                                               const std::shared_ptr<Mail>& person, int state,
                                               QObject* consumer);
    // "RemovePermission" of the person from the document.
    static QVariantMap removePermissionParameters(const ManagedObjectPtr& record,
                                                  const std::shared_ptr<Mail>& person, QObject* consumer);
};

} // namespace tavrel
