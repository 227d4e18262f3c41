#include "sharing/TQSharingContactsController3.h"

#include "controls/TQAvatarPathToImageTransformer.h"
#include "controls/TQHoverdAdaptorButtonCell.h"
#include "model/Contact.h"
#include "model/FileEntryAbstract.h"
#include "model/GeneralACLPermission.h"
#include "model/Mail.h"
#include "model/SharingRoles.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "sharing/TQPermissionTableCell2.h"

#include <QMenu>

namespace tavrel {

std::shared_ptr<Cell> TQSharingContactsController3::makeCellForRow(int row)
{
    const Row& object = container().at(row);
    const auto entry = this->entry();
    std::shared_ptr<TQPermissionTableCell2> cell;
    int role = SharingPermissions::Reader;
    if (object.isLink()) {
        cell = std::make_shared<TQLinkPermissionTableCell2>(object.link);
        cell->setLinkAction([this, row](Cell&) {
            setClickedRow(row);
            openInBrowser(nullptr);
            setClickedRow(-1);
        });
        auto* menu = new QMenu(view());
        menu->addAction(UserInterfaceItem::makeAction(StringTable::text(QStringLiteral("MenuCopyLink")),
                                                      Commands::copyLink, menu, 0, this));
        keepRowControl(menu);
        cell->setMenu(menu);
        const auto acl = entry ? entry->generalACL() : nullptr;
        role = SharingPermissions::linkRowIconRole(acl ? acl->role() : QString());
    } else {
        cell = std::make_shared<TQPermissionTableCell2>();
        const std::shared_ptr<Mail>& person = object.person;
        const auto contact = person->contact();
        if (SharingRoles::sameAddress(person->address(), SharingPermissions::username())) {
            cell->setTitle(StringTable::text(QStringLiteral("OnlyME")));
            cell->setDetails(person->address());
        } else if (contact) {
            cell->setTitle(person->displayName());
            cell->setDetails(person->address());
        } else {
            cell->setTitle(person->address());
        }
        const TQAvatarPathToImageTransformer photos(52);
        cell->setPhoto(photos.transformedValue(contact ? contact->avatar() : QString()).value<QPixmap>());
        cell->setLinkAction([this, row](Cell&) {
            setClickedRow(row);
            showContact(nullptr);
            setClickedRow(-1);
        });
        cell->setMenu(rowMenu());
        role = SharingPermissions::rowIconRole(isOwnerRow(row), entry && entry->editors().contains(person),
                                               entry && entry->commenters().contains(person));
    }
    cell->setHasLink(true);
    cell->setTitleAttributeLink(true);
    if (!isOwnerRow(row)) {
        cell->setDeletable(true);
        cell->setButtonAction([this, row](Cell&) { deleteRow(row); });
    }
    std::shared_ptr<TQHoverdAdaptorButtonCell> button =
        TQHoverdAdaptorButtonCell::permissionCellWithRole(role);
    if (object.person)
        button->setRepresentedObject(QVariant::fromValue(ManagedObjectPtr(object.person)));
    if (entry)
        button->setAccompanyObject(QVariant::fromValue(ManagedObjectPtr(entry)));
    button->setAction(TQHoverdAdaptorButtonCell::showQuickDialogAction());
    cell->setActionCells({button});
    return cell;
}

} // namespace tavrel
