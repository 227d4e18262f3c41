#pragma once

#include "controls/TQDocumentTableCell.h"

namespace tavrel {

class RowCheckBoxCell;

// The row of a collection in the collection outlines: the document row whose state part is a check
// box (whether the current item belongs to the collection), usable only while the view it is drawn
// in is online, and which never shows a date.
class TQCollectionTableCell : public TQDocumentTableCell
{
    TAVREL_CELL(TQCollectionTableCell)
public:
    // The name under which the collection views find the row icons' transformer.
    static inline const QString kCollectionIconTransformer = QStringLiteral("TQCollectionIconTransformer");

    explicit TQCollectionTableCell(const QString& title = QString());

    RowTextCell* dateCell() const override { return nullptr; }
    std::shared_ptr<Cell> stateCell() const override;
    RowCheckBoxCell& checkBox() const;
    // The box: 1 on, 0 off, -1 mixed.
    int state() const;
    void setState(int state) override;
    double indentation() const { return m_indentation; }
    void setIndentation(double indentation) { m_indentation = indentation; }

    QRectF frameForDateCellInBounds(const QRectF& bounds) const override;

protected:
    // The box is enabled only while the view is online.
    void onlineChanged() override;

private:
    mutable std::shared_ptr<RowCheckBoxCell> m_checkBox;
    double m_indentation = 0;
};

} // namespace tavrel
