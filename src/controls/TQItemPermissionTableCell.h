#pragma once

#include "controls/TQPermissionTableCell.h"
#include "platform/ui/MessageNames.h"

namespace tavrel {

class RecordWatch;

// The permission row of an item a person has access to: its photo is the item's thumbnail, made on
// demand from the represented object (the document record), and every change of the document's
// cached icon announces "FileItemDidUpdateNotification" so that the lists redraw.
class TQItemPermissionTableCell : public TQPermissionTableCell
{
    TAVREL_CELL(TQItemPermissionTableCell)
public:
    static inline const QString kFileItemDidUpdateNotification = Notifications::fileItemDidUpdate;

    explicit TQItemPermissionTableCell(const QString& title = QString());

    // Nil removes the photo. The first picture makes the thumbnail subcell instead of showing the
    // picture, and starts watching the document's icon.
    void setPhoto(const QPixmap& photo) override;

private:
    // Shared by copies: the watch ends with the last of them.
    std::shared_ptr<RecordWatch> m_iconWatch;
};

} // namespace tavrel
