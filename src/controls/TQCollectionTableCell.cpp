#include "controls/TQCollectionTableCell.h"

#include "controls/RowCheckBoxCell.h"
#include "controls/TQFileItemToImageTransformer.h"

namespace tavrel {

TQCollectionTableCell::TQCollectionTableCell(const QString& title) : TQDocumentTableCell(title)
{
    // The collection views find the row icons' transformer under this name.
    static const bool registered = [] {
        ValueTransformer::setValueTransformer(std::make_shared<TQFileItemToImageTransformer>(),
                                              kCollectionIconTransformer);
        return true;
    }();
    Q_UNUSED(registered);
}

RowCheckBoxCell& TQCollectionTableCell::checkBox() const
{
    if (!m_checkBox) {
        m_checkBox = std::make_shared<RowCheckBoxCell>();
        m_checkBox->setEnabled(isOnline());
    }
    return *m_checkBox;
}

void TQCollectionTableCell::onlineChanged()
{
    if (m_checkBox)
        m_checkBox->setEnabled(isOnline());
}

std::shared_ptr<Cell> TQCollectionTableCell::stateCell() const
{
    checkBox();
    return m_checkBox;
}

int TQCollectionTableCell::state() const
{
    return checkBox().state();
}

void TQCollectionTableCell::setState(int state)
{
    checkBox().setState(state);
}

QRectF TQCollectionTableCell::frameForDateCellInBounds(const QRectF& bounds) const
{
    return {frameForStateCellInBounds(bounds).topLeft(), QSizeF(0, 0)};
}

} // namespace tavrel
