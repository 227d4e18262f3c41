#include "model/SharingRoles.h"

#include "model/FileEntryAbstract.h"
#include "model/Mail.h"

namespace tavrel {

namespace {

bool listHolds(const QList<std::shared_ptr<Mail>>& mails, const QString& address)
{
    for (const auto& mail : mails) {
        if (mail && SharingRoles::sameAddress(mail->address(), address))
            return true;
    }
    return false;
}

} // namespace

bool SharingRoles::sameAddress(const QString& first, const QString& second)
{
    if (first.isEmpty() || second.isEmpty())
        return false;
    return first.compare(second, Qt::CaseInsensitive) == 0;
}

bool SharingRoles::isOwner(const FileEntryAbstract& file, const QString& address)
{
    const auto owner = file.owner();
    return owner && sameAddress(owner->address(), address);
}

bool SharingRoles::isEditor(const FileEntryAbstract& file, const QString& address)
{
    return listHolds(file.editors(), address);
}

bool SharingRoles::isViewer(const FileEntryAbstract& file, const QString& address)
{
    return listHolds(file.viewers(), address);
}

bool SharingRoles::isCommenter(const FileEntryAbstract& file, const QString& address)
{
    return listHolds(file.commenters(), address);
}

bool SharingRoles::isSharedWithPeople(const FileEntryAbstract& file)
{
    return !file.editors().isEmpty() || !file.viewers().isEmpty() || !file.commenters().isEmpty();
}

bool SharingRoles::mayShare(const FileEntryAbstract& file, const QString& address)
{
    return isOwner(file, address) || (isEditor(file, address) && file.writersCanInvite());
}

} // namespace tavrel
