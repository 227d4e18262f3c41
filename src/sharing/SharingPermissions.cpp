#include "sharing/SharingPermissions.h"

#include "model/FileEntryAbstract.h"
#include "model/GDataMail.h"
#include "model/GeneralACLPermission.h"
#include "model/GeneralACLPermissionAdapter.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "platform/runtime/Invocation.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"
#include "window/ActionError.h"
#include "window/TQNotificationController.h"

#include <QSet>
#include <QWidget>

namespace tavrel {

namespace {

const QString kDefault = QStringLiteral("default");
const QString kDomain = QStringLiteral("domain");
const QString kReader = QStringLiteral("reader");
const QString kCommenter = QStringLiteral("commenter");
const QString kWriter = QStringLiteral("writer");

bool hasLinkOf(const IGeneralACLPermission& permission)
{
    return permission.hasLink().toBool();
}

void showDenied(const char* messageKey)
{
    TQNotificationController* banner = TQNotificationController::sharedNotificationController();
    banner->setMessage(StringTable::text(QLatin1String(messageKey)), QString(),
                       StringTable::text(QStringLiteral("RequestRightsAction")));
    banner->showNotification();
}

} // namespace

int SharingPermissions::aclRoleForRoleCode(int code)
{
    if (code == Reader)
        return 0;
    if (code == Commenter)
        return 1;
    return 2;
}

QString SharingPermissions::generalRoleForRoleCode(int code)
{
    if (code == Reader)
        return kReader;
    if (code == Commenter)
        return kCommenter;
    return kWriter;
}

std::optional<int> SharingPermissions::roleCodeForGeneralRole(const QString& role)
{
    if (role == kWriter)
        return Writer;
    if (role == kCommenter)
        return Commenter;
    if (role == kReader)
        return Reader;
    return std::nullopt;
}

std::optional<int> SharingPermissions::roleCodeForPerson(const FileEntryAbstract& item,
                                                         const QString& address)
{
    if (SharingRoles::isEditor(item, address))
        return Writer;
    if (SharingRoles::isViewer(item, address))
        return Reader;
    if (SharingRoles::isCommenter(item, address))
        return Commenter;
    return std::nullopt;
}

QString SharingPermissions::roleName(int code)
{
    if (code == Reader)
        return QStringLiteral("Viewer");
    if (code == Commenter)
        return QStringLiteral("Commenter");
    return QStringLiteral("Editor");
}

QString SharingPermissions::tooltipKeyForRoleCode(int code)
{
    switch (code) {
    case Commenter:
        return QStringLiteral("CanComment");
    case Writer:
        return QStringLiteral("CanEdit");
    case Owner:
        return QStringLiteral("SortOwner");
    default:
        return QStringLiteral("CanView");
    }
}

QString SharingPermissions::regularImageForRoleCode(int code)
{
    switch (code) {
    case Commenter:
        return QStringLiteral("icon-comment-regular");
    case Writer:
        return QStringLiteral("icon-edit-regular");
    case Owner:
        return QStringLiteral("icon-owner-regular");
    default:
        return QStringLiteral("icon-viewer-regular");
    }
}

QString SharingPermissions::activeImageForRoleCode(int code)
{
    QString name = regularImageForRoleCode(code);
    return name.replace(QStringLiteral("-regular"), QStringLiteral("-active"));
}

int SharingPermissions::rowIconRole(bool isOwner, bool isEditor, bool isCommenter)
{
    if (isOwner)
        return Owner;
    if (isEditor)
        return Writer;
    if (isCommenter)
        return Commenter;
    return Reader;
}

int SharingPermissions::linkRowIconRole(const QString& generalRole)
{
    if (generalRole == kWriter)
        return Writer;
    if (generalRole == kCommenter)
        return Commenter;
    return Reader;
}

QString SharingPermissions::modeKey(const IGeneralACLPermission& permission)
{
    const bool link = hasLinkOf(permission);
    if (permission.type() == kDefault)
        return link ? QStringLiteral("AnyoneWithLink") : QStringLiteral("PublicOnWeb");
    return link ? QStringLiteral("DomainWithLink") : QStringLiteral("AnyoneOnDomain");
}

QString SharingPermissions::regularImageForMode(const IGeneralACLPermission& permission)
{
    const bool link = hasLinkOf(permission);
    if (permission.type() == kDefault)
        return link ? QStringLiteral("icon_link_regular") : QStringLiteral("icon_public_regular");
    return link ? QStringLiteral("icon_domain_link_regular") : QStringLiteral("icon_domain_regular");
}

QString SharingPermissions::activeImageForMode(const IGeneralACLPermission& permission)
{
    QString name = regularImageForMode(permission);
    return name.replace(QStringLiteral("_regular"), QStringLiteral("_active"));
}

std::optional<QString> SharingPermissions::popoverTitleKey(const IGeneralACLPermission& permission)
{
    const bool link = hasLinkOf(permission);
    if (permission.type() == kDefault)
        return link ? QStringLiteral("DefaultACLWithLink") : QStringLiteral("DefaultACL");
    if (permission.type() == kDomain)
        return link ? QStringLiteral("DomainACLWithLink") : QStringLiteral("DomainACL");
    return std::nullopt;
}

int SharingPermissions::privacyIndex(const FileEntryAbstract& item)
{
    const auto permission = item.generalACL();
    return privacyIndex(permission.get());
}

int SharingPermissions::privacyIndex(const IGeneralACLPermission* permission)
{
    if (!permission)
        return 0;
    const bool link = hasLinkOf(*permission);
    if (permission->type() == kDefault)
        return link ? 1 : 2;
    if (permission->type() == kDomain)
        return link ? 3 : 4;
    return 0;
}

std::shared_ptr<GeneralACLPermissionAdapter>
SharingPermissions::generalPermissionForPrivacyIndex(int index, const QString& username,
                                                     const IGeneralACLPermission* current)
{
    if (index <= 0 || index > 4)
        return nullptr;
    auto permission = GeneralACLPermissionAdapter::generalACLPermissionAdapterWithUsername(username);
    permission->setRole(kReader);
    permission->setType(index <= 2 ? kDefault : kDomain);
    permission->setHasLink(index == 1 || index == 3);
    if (current)
        permission->setXml(current->xml());
    return permission;
}

bool SharingPermissions::offersDomainEntries(const FileEntryAbstract& item, const QString& username)
{
    return !(SharingRoles::isOwner(item, username) && !GDataMail::accountSupportsDomainPermissions(username));
}

bool SharingPermissions::mayChangeVisibility(const FileEntryAbstract& item, const QString& username)
{
    return SharingRoles::mayShare(item, username);
}

SharingPermissions::Items SharingPermissions::shareableItems(const Items& items, const QString& username)
{
    Items permitted;
    for (const auto& item : items)
        if (SharingRoles::mayShare(item, username))
            permitted.append(item);
    return permitted;
}

void SharingPermissions::showVisibilityDenied()
{
    showDenied("ChangeVisibilityDeniedMessage");
}

void SharingPermissions::showShareDenied()
{
    showDenied("ShareDeniedMessage");
}

namespace {

struct RoleFlags
{
    bool owner = false;
    bool editor = false;
    bool viewer = false;
    bool none = false;
};

RoleFlags roleFlags(const SharingPermissions::Items& items, const QString& address)
{
    RoleFlags flags;
    for (const auto& item : items) {
        if (!item)
            continue;
        const bool owner = SharingRoles::isOwner(*item, address);
        const bool editor = SharingRoles::isEditor(*item, address);
        const bool viewer = SharingRoles::isViewer(*item, address);
        flags.owner = flags.owner || owner;
        flags.editor = flags.editor || editor;
        flags.viewer = flags.viewer || viewer;
        flags.none = flags.none || !(owner || editor || viewer);
    }
    return flags;
}

QChar mark(bool flag)
{
    return flag ? QLatin1Char('+') : QLatin1Char('-');
}

} // namespace

int SharingPermissions::roleOverItems(const Items& items, const QString& address)
{
    const RoleFlags flags = roleFlags(items, address);
    if (flags.editor && !flags.viewer && !flags.owner && !flags.none)
        return Writer;
    if (flags.viewer && !flags.editor && !flags.owner && !flags.none)
        return Reader;
    return kMixed;
}

QString SharingPermissions::roleFlagsText(const Items& items, const QString& address)
{
    const RoleFlags flags = roleFlags(items, address);
    return QStringLiteral("[O:%1 E:%2 V:%3 N:%4]")
        .arg(mark(flags.owner), mark(flags.editor), mark(flags.viewer), mark(flags.none));
}

int SharingPermissions::ownershipOverItems(const Items& items, const QString& address)
{
    if (address.isEmpty())
        return 0;
    QSet<QString> owners;
    bool ownsOne = false;
    for (const auto& item : items) {
        const auto owner = item ? item->owner() : nullptr;
        if (!owner || owner->address().isEmpty())
            continue;
        owners.insert(owner->address().toLower());
        ownsOne = ownsOne || SharingRoles::sameAddress(owner->address(), address);
    }
    if (owners.isEmpty())
        return 0;
    if (!ownsOne)
        return kOwnsNone;
    return owners.size() == 1 ? kSoleOwner : kOneOfOwners;
}

QString SharingPermissions::ownershipTitle(int ownership)
{
    if (ownership == kSoleOwner)
        return StringTable::text(QStringLiteral("OWNER"));
    if (ownership == kOneOfOwners)
        return StringTable::text(QStringLiteral("VARIES"));
    return QString(QStringLiteral(""));
}

int SharingPermissions::generalRoleOverItems(const Items& items)
{
    bool general = false;
    bool writer = false;
    bool reader = false;
    for (const auto& item : items) {
        const auto permission = item ? item->generalACL() : nullptr;
        if (!permission) {
            general = true;
            continue;
        }
        writer = writer || permission->role() == kWriter;
        reader = reader || permission->role() == kReader;
    }
    if (general)
        return (writer || reader) ? kMixed : Writer;
    if (reader && writer)
        return kMixed;
    return reader ? Reader : Writer;
}

QString SharingPermissions::username()
{
    TQSession* session = TQSessionManager::sharedManager()->currentSession();
    return session ? session->username() : QString();
}

std::shared_ptr<Invocation> SharingPermissions::bannerCallback()
{
    return Invocation::invocationWithFunction(Selectors::operationDidFinish, [](Invocation& invocation) {
        ActionError::processActionError(ActionError::errorFromValue(invocation.argument(3)));
        return QVariant();
    });
}

QString SharingPermissions::statusIdentifier(const QString& verb, const void* object)
{
    return QStringLiteral("%1_%2").arg(verb).arg(quint64(quintptr(object)));
}

QVariantList SharingPermissions::recordValues(const Items& items)
{
    QVariantList values;
    for (const auto& item : items)
        values.append(recordValue(item));
    return values;
}

QVariant SharingPermissions::recordValue(const std::shared_ptr<FileEntryAbstract>& item)
{
    return QVariant::fromValue(std::static_pointer_cast<ManagedObject>(item));
}

} // namespace tavrel
