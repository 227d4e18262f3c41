#pragma once

#include "controls/TQContactTableCell.h"

#include <QPointer>
#include <QWidget>

namespace tavrel {

// The row of a person with access to an item (or of an item a person has access to): the contact row
// grown to 68 points with a 52-point photo, a permission control (a real widget: a two- or three-position
// switch or an owner label) left of a small "leave sharing" button, and the title and details shortened
// to make room. The list makes the control per row and hands it over; the table shows it as the row's
// widget, and the cell moves it to its place every time the row is drawn.
class TQPermissionTableCell : public TQContactTableCell
{
    TAVREL_CELL(TQPermissionTableCell)
public:
    static qreal minCellHeight() { return 68; }
    static constexpr qreal kShortAuxiliaryWidth = 80;
    static constexpr qreal kLongAuxiliaryWidth = 108;
    static constexpr qreal kAuxiliaryHeight = 28;

    explicit TQPermissionTableCell(const QString& title = QString());

    QWidget* auxiliaryView() const { return m_auxiliaryView; }
    // The same view again changes nothing; a switch is enabled only while the view is online.
    void setAuxiliaryView(QWidget* view);
    bool deletable() const { return m_deletable; }
    // The action button becomes the leave-sharing button (YES) or loses its regular image (NO).
    void setDeletable(bool deletable);
    // The same for any row of people. From the first YES on, the row keeps the button enabled only
    // while online (followsOnline, which the row keeps and passes to followOnline()).
    static void makeLeaveSharingButton(TQContactTableCell& row, bool deletable, bool& followsOnline);
    static void followOnline(TQContactTableCell& row, bool followsOnline);
    bool hasLongAuxiliaryView() const { return m_hasLongAuxiliaryView; }
    void setHasLongAuxiliaryView(bool isLong) { m_hasLongAuxiliaryView = isLong; }

    QRectF frameForPhotoCellInBounds(const QRectF& bounds) const override;
    QRectF frameForActionCellInBounds(const QRectF& bounds) const override;
    virtual QRectF frameForAuxiliaryViewInBounds(const QRectF& bounds) const;
    QRectF frameForTitleCellInBounds(const QRectF& bounds, qreal* maxWidth) const override;
    QRectF frameForDetailsCellInBounds(const QRectF& bounds) const override;

    void paint(QPainter& painter, const QRectF& frame, CellHost& host) override;

protected:
    void onlineChanged() override;

private:
    qreal auxiliaryWidth() const
    {
        return m_hasLongAuxiliaryView ? kLongAuxiliaryWidth : kShortAuxiliaryWidth;
    }

    QPointer<QWidget> m_auxiliaryView;
    bool m_actionFollowsOnline = false;
    bool m_deletable = false;
    bool m_hasLongAuxiliaryView = false;
};

} // namespace tavrel
