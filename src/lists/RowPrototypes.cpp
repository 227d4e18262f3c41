#include "lists/RowPrototypes.h"

#include "controls/TQGroupWrapper.h"
#include "controls/TQTitledGroupTableCell.h"
#include "lists/ListModel.h"
#include "platform/ui/CellItemDelegate.h"

#include <QAbstractItemView>

namespace tavrel {

bool RowPrototypes::TrackingWatch::prototypesMustBeRemade(const QAbstractItemView* view)
{
    const auto* bridge = view ? qobject_cast<const CellItemDelegate*>(view->itemDelegate()) : nullptr;
    const Cell* tracking = bridge ? bridge->trackingCell() : nullptr;
    if (!tracking)
        m_seen = nullptr;
    if (!tracking || tracking == m_seen)
        return false;
    m_seen = tracking;
    return true;
}

Cell* RowPrototypes::configureHeader(TQTitledGroupTableCell& cell, const QModelIndex& index)
{
    const TQGroupWrapperPtr group = index.data(ListModel::GroupRole).value<TQGroupWrapperPtr>();
    if (!group)
        return nullptr;
    cell.setRepresentedObject(QVariant::fromValue(group));
    cell.setTitle(index.data(ListModel::TitleRole).toString());
    return &cell;
}

} // namespace tavrel
