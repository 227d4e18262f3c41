#pragma once

#include "controls/ControlPopovers.h"
#include "controls/TQHoverdButtonCell.h"
#include "platform/runtime/Timing.h"

#include <QVariant>
#include <memory>

namespace tavrel {

class IGeneralACLPermission;

// The small icon button of sharing rows and big rows: a role button (can edit, comment, view, owner)
// or a link button (an item's general access). Hovering a link-style button shows the pointing hand
// and, after a short rest, a floating label with its tooltip; clicking opens the quick permission (or
// link) popover attached to the button, and a second click on the same button closes it. It also
// serves as a plain hover button with an image or a title and an optional rounded border.
class TQHoverdAdaptorButtonCell : public TQHoverdButtonCell
{
    TAVREL_CELL(TQHoverdAdaptorButtonCell)
public:
    // How long the mouse rests on a link-style button before its label shows.
    static inline const Timing kLabelDelay{"hoverLabelDelay", 350};

    explicit TQHoverdAdaptorButtonCell(const QString& title = QStringLiteral(""));
    TQHoverdAdaptorButtonCell(const TQHoverdAdaptorButtonCell& other);
    TQHoverdAdaptorButtonCell& operator=(const TQHoverdAdaptorButtonCell&) = delete;
    ~TQHoverdAdaptorButtonCell() override;

    // The role button of a role code: -1 commenter, 0 editor, 1 viewer, 2 owner; any other code a
    // link-style button without image or tooltip.
    static std::shared_ptr<TQHoverdAdaptorButtonCell> permissionCellWithRole(int role);
    // The link button of an item's general access.
    static std::shared_ptr<TQHoverdAdaptorButtonCell>
    linkCellWithPermission(const IGeneralACLPermission& permission);
    // The actions that open the popovers from the clicked cell.
    static Action showQuickDialogAction();
    static Action showLinkDialogAction();

    QPixmap regularBackground() const { return m_regularBackground; }
    void setRegularBackground(const QPixmap& image) { m_regularBackground = image; }
    QPixmap hoverBackground() const { return m_hoverBackground; }
    void setHoverBackground(const QPixmap& image) { m_hoverBackground = image; }
    bool shouldDrawBorder() const { return m_shouldDrawBorder; }
    void setShouldDrawBorder(bool draw) { m_shouldDrawBorder = draw; }
    bool autoBorderOnHover() const { return m_autoBorderOnHover; }
    void setAutoBorderOnHover(bool automatic) { m_autoBorderOnHover = automatic; }
    bool hasLink() const { return m_hasLink; }
    void setHasLink(bool hasLink) { m_hasLink = hasLink; }
    QString tooltip() const { return m_tooltip; }
    void setTooltip(const QString& tooltip) { m_tooltip = tooltip; }
    // What the quick permission popover is about (the row's item).
    QVariant accompanyObject() const { return m_accompanyObject; }
    void setAccompanyObject(const QVariant& object) { m_accompanyObject = object; }
    // Kept, and shared with copies; its owners only ever clear it.
    std::shared_ptr<QObject> autoswitcher() const { return m_autoswitcher; }
    void setAutoswitcher(std::shared_ptr<QObject> switcher) { m_autoswitcher = std::move(switcher); }

    // A null title is the empty one; the title is made in the cell's font and the state-on colour.
    void setTitle(const QString& title) override;
    QRectF titleRectForBounds(const QRectF& bounds) const override;
    void setHovered(bool hovered) override;

    // The label for a point of the control view (the middle of the cell's top edge).
    void showLabelAt(const QPointF& point);
    // Open the quick permission or link popover, or close it when this cell opened it.
    void showQuickDialog();
    void showLinkDialog();
    // How the cell is known as the owner of a popover.
    PopoverOwner ownerIdentity() const;

    void drawInterior(QPainter& painter, const QRectF& frame, CellHost& host) override;

private:
    // An image-only link-style button; without images when the names are empty.
    static std::shared_ptr<TQHoverdAdaptorButtonCell>
    linkStyleCell(const QString& regular, const QString& active, const QString& tooltip);
    void setImages(const QString& regular, const QString& active);
    void attachPopover(FloatingControllerPort& popover);

    QPixmap m_regularBackground;
    QPixmap m_hoverBackground;
    bool m_shouldDrawBorder = false;
    bool m_autoBorderOnHover = false;
    bool m_hasLink = false;
    QString m_tooltip;
    QVariant m_accompanyObject;
    std::shared_ptr<QObject> m_autoswitcher;
};

} // namespace tavrel
