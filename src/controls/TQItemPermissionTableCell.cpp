#include "controls/TQItemPermissionTableCell.h"

#include "controls/TQDynamicPhotoSubcell.h"
#include "controls/TQFileItemToThumbnailTransformer.h"
#include "controls/TQHoverdButtonCell.h"
#include "model/RecordWatch.h"
#include "platform/runtime/NotificationCenter.h"

namespace tavrel {

TQItemPermissionTableCell::TQItemPermissionTableCell(const QString& title) : TQPermissionTableCell(title) {}

void TQItemPermissionTableCell::setPhoto(const QPixmap& photo)
{
    if (photo.isNull()) {
        setPhotoCell(nullptr);
        return;
    }
    if (const auto existing = photoCell()) {
        existing->setImage(photo);
        return;
    }
    auto transformer = std::make_shared<TQFileItemToThumbnailTransformer>();
    transformer->setThumbnailSize(QSizeF(52, 52));
    auto cell = TQDynamicPhotoSubcell::cell();
    cell->setHighlightsBy(BasicButtonCell::NoCellMask);
    cell->setTransformer(transformer);
    cell->setControlView(actionCell().controlView());
    cell->setObject(representedObject());
    setPhotoCell(cell);
    const ManagedObjectPtr record = representedObject().value<ManagedObjectPtr>();
    if (!m_iconWatch)
        m_iconWatch = std::make_shared<RecordWatch>();
    // Weak: the record keeps the callback while watched.
    const std::weak_ptr<ManagedObject> weak = record;
    m_iconWatch->watch(record, QStringLiteral("iconPath"), [weak] {
        if (const auto document = weak.lock())
            NotificationCenter::defaultCenter().post(kFileItemDidUpdateNotification,
                                                     QVariant::fromValue(document));
    });
}

} // namespace tavrel
