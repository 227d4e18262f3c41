#pragma once

#include "controls/BasicPopUpButtonCell.h"
#include "controls/TQHoverableCell.h"

#include <functional>
#include <memory>

class QAction;

namespace tavrel {

// The general-access pop-up of a big document row: one image and nothing else, the selected item's
// image in its "_regular" or (hovered, or while its menu is open) "_hover" variant. A press opens the
// menu below it without waiting for it; the items send their own commands. A double click falls
// through to the row, and no click selects the row.
class TQHoveredPopUpButtonCell : public BasicPopUpButtonCell,
                                 public TQHoverableCell,
                                 public std::enable_shared_from_this<TQHoveredPopUpButtonCell>
{
    TAVREL_CELL(TQHoveredPopUpButtonCell)
public:
    explicit TQHoveredPopUpButtonCell(const QString& title = QStringLiteral(""), bool pullsDown = false);
    TQHoveredPopUpButtonCell(const TQHoveredPopUpButtonCell& other);
    TQHoveredPopUpButtonCell& operator=(const TQHoveredPopUpButtonCell&) = delete;
    ~TQHoveredPopUpButtonCell() override;

    bool hovered() const override { return m_hovered; }
    void setHovered(bool hovered) override { m_hovered = hovered; }

    // Whether the face shows the selected item (true) or an item of its own (menuItem()).
    bool usesItemFromMenu() const { return m_usesItemFromMenu; }
    void setUsesItemFromMenu(bool uses) { m_usesItemFromMenu = uses; }
    // The cell's own item; shown when no item of the menu is selected.
    QAction* menuItem() const { return m_menuItem.get(); }
    void setMenuItem(std::shared_ptr<QAction> item) { m_menuItem = std::move(item); }

    // Makes the menu a press opens, at the press (for a row's cell configured for each row in turn):
    // it replaces the cell's menu, keeping the selected index. None keeps the cell's menu.
    using MenuProvider = std::function<QMenu*()>;
    void setMenuProvider(MenuProvider provider) { m_menuProvider = std::move(provider); }

    // The base's selection, then only the selected item checked.
    void selectItemAtIndex(int index) override;
    // The name of the image the face shows now; empty when it shows none.
    QString faceImageName() const;

    HitResults hitTest(const QPointF& point, const QRectF& frame) const override;
    // Opens the menu (a pull-down's first item, its title, is left out) and answers false: the menu
    // takes the mouse from here.
    bool mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host) override;
    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    QAction* shownItem() const;

    bool m_hovered = false;
    bool m_usesItemFromMenu = true;
    std::shared_ptr<QAction> m_menuItem;
    MenuProvider m_menuProvider;
};

} // namespace tavrel
