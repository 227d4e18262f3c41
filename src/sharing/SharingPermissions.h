#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

namespace tavrel {

class FileEntryAbstract;
class GeneralACLPermissionAdapter;
class IGeneralACLPermission;
class Mail;

// The one vocabulary of the sharing views: role codes of the role switches and row icons, the
// access-list and general roles they stand for, the four link modes of a general permission with the
// privacy index of the privacy pop-up, who may change visibility or share, and the roles of a person
// over several items. Plain logic over records; every view asks here, so that they all agree. Who a
// person is on an item is asked of SharingRoles: whole addresses, any letter case. Main thread only.
class SharingPermissions
{
public:
    // Role codes: the state of a role switch and the icon of a row.
    enum RoleCode { Writer = 0, Reader = 1, Commenter = -1, Owner = 2 };
    // Roles over several items: mixed, and ownership of one or several owners.
    static constexpr int kMixed = -1;
    static constexpr int kSoleOwner = 2;
    static constexpr int kOneOfOwners = 3;
    static constexpr int kOwnsNone = -1;

    using Items = QList<std::shared_ptr<FileEntryAbstract>>;

    // --- Role codes ---
    // 1 reader (0), -1 commenter (1), anything else writer (2).
    static int aclRoleForRoleCode(int code);
    // 1 "reader", -1 "commenter", anything else "writer".
    static QString generalRoleForRoleCode(int code);
    // "writer" 0, "commenter" -1, "reader" 1; none for any other text.
    static std::optional<int> roleCodeForGeneralRole(const QString& role);
    // The person's role on the item, editors first, then viewers, then commenters; none when the
    // person is in none of them.
    static std::optional<int> roleCodeForPerson(const FileEntryAbstract& item, const QString& address);
    // "Viewer", "Commenter" or "Editor", as the log names a switch's state.
    static QString roleName(int code);
    // The tooltip key and the icon images of a role code (unknown codes: a reader's).
    static QString tooltipKeyForRoleCode(int code);
    static QString regularImageForRoleCode(int code);
    static QString activeImageForRoleCode(int code);
    // The icon code of a row: the owner 2, an editor (or a link row granting "writer") 0, a commenter
    // (or a link row granting "commenter") -1, anyone else 1.
    static int rowIconRole(bool isOwner, bool isEditor, bool isCommenter);
    static int linkRowIconRole(const QString& generalRole);

    // --- General permission ---
    // "AnyoneWithLink", "PublicOnWeb", "DomainWithLink" or "AnyoneOnDomain"; any type but "default"
    // counts as domain.
    static QString modeKey(const IGeneralACLPermission& permission);
    static QString regularImageForMode(const IGeneralACLPermission& permission);
    static QString activeImageForMode(const IGeneralACLPermission& permission);
    // The popover title key, for the exact types "default" and "domain" only.
    static std::optional<QString> popoverTitleKey(const IGeneralACLPermission& permission);
    // 0 private (or an unknown type), 1 anyone with the link, 2 public, 3 domain with the link,
    // 4 domain.
    static int privacyIndex(const FileEntryAbstract& item);
    static int privacyIndex(const IGeneralACLPermission* permission);
    // What a privacy index sends: none (private) for 0 and below, else a reader permission of the
    // index's type and link; the xml is copied from `current` when given.
    static std::shared_ptr<GeneralACLPermissionAdapter>
    generalPermissionForPrivacyIndex(int index, const QString& username,
                                     const IGeneralACLPermission* current = nullptr);
    // Whether the privacy pop-up offers the domain entries (3 and 4): not when the user owns the item
    // with an address of the public consumer mail domain.
    static bool offersDomainEntries(const FileEntryAbstract& item, const QString& username);
    // A list of people with access has a link row exactly while the index is not 0.
    static bool hasLinkRow(int privacyIndex) { return privacyIndex != 0; }

    // --- Who may share ---
    // The item's owner is the user, or the user edits it and writers may invite.
    static bool mayChangeVisibility(const FileEntryAbstract& item, const QString& username);
    // The items the user may share, in order.
    static Items shareableItems(const Items& items, const QString& username);
    // The banner's words when a change of visibility or a share is refused; nothing is sent.
    static void showVisibilityDenied();
    static void showShareDenied();

    // --- Several items ---
    // 0 editor of all, 1 viewer of all, -1 mixed (owners, commenters and outsiders make it mixed).
    static int roleOverItems(const Items& items, const QString& address);
    // The flags behind roleOverItems, as the log line prints them: "[O:+ E:- V:- N:-]".
    static QString roleFlagsText(const Items& items, const QString& address);
    // 0 no person or no owner; 2 the person owns them all (one owner); 3 the person is one of several
    // owners; -1 the person owns none.
    static int ownershipOverItems(const Items& items, const QString& address);
    // "OWNER" for 2, "VARIES" for 3 (localised), else the empty text.
    static QString ownershipTitle(int ownership);
    // The general role over the items for their link row: 0, 1 or -1 (mixed).
    static int generalRoleOverItems(const Items& items);

    // --- Requests ---
    // The signed-in user of the current session ("me"); empty without one.
    static QString username();
    // The callback of a sharing request: its error reaches the banner (up the responder chain), even
    // when the dialog that sent it has closed since.
    static std::shared_ptr<class Invocation> bannerCallback();
    // "verb_N" with the object's identity, so that requests about different objects differ.
    static QString statusIdentifier(const QString& verb, const void* object);
    // The records as the actions take them.
    static QVariantList recordValues(const Items& items);
    static QVariant recordValue(const std::shared_ptr<FileEntryAbstract>& item);
};

} // namespace tavrel
