#pragma once

#include "controls/BasicButtonCell.h"

class QAction;

namespace tavrel {

// The platform's pop-up button cell, as the design's pop-up cells build on it: a menu (the cell's),
// the selected item (a pop-up shows it and a choice changes it; a pull-down shows its first item as
// its title and never changes it), the position of the arrows, and the standard interior: the
// selected item's image and title, and the arrows. An item's image is its icon; ours carry the name
// of their image (ImageRegistry::icon).
class BasicPopUpButtonCell : public BasicButtonCell
{
    TAVREL_CELL(BasicPopUpButtonCell)
public:
    enum ArrowPosition { NoArrow = 0, ArrowAtCenter = 1, ArrowAtBottom = 2 };

    explicit BasicPopUpButtonCell(const QString& title = QStringLiteral(""), bool pullsDown = false);

    bool pullsDown() const { return m_pullsDown; }
    void setPullsDown(bool pullsDown) { m_pullsDown = pullsDown; }
    ArrowPosition arrowPosition() const { return m_arrowPosition; }
    void setArrowPosition(ArrowPosition position) { m_arrowPosition = position; }

    // The menu's items, separators included.
    QList<QAction*> items() const;
    int indexOfSelectedItem() const;
    virtual void selectItemAtIndex(int index);
    void selectItem(QAction* item);
    QAction* selectedItem() const;
    QString titleOfSelectedItem() const;
    // What the button shows as its title: the first item's for a pull-down, else the selected one's.
    QString popUpTitle() const;

    // The name of an item's image, and its image at its natural size.
    static QString imageNameOfItem(const QAction* item);
    static QPixmap imageOfItem(const QAction* item);

    // The menu is about to open (from the button that hosts the cell).
    virtual void menuWillOpen(QMenu* menu);

    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;
    QSizeF cellSize(const QSizeF& bounds = QSizeF()) const override;

private:
    bool m_pullsDown = false;
    ArrowPosition m_arrowPosition = ArrowAtCenter;
    int m_selectedIndex = -1;
};

} // namespace tavrel
