#pragma once

#include "controls/TQHoverableCell.h"
#include "platform/ui/CellButton.h"

namespace tavrel {

// A link-like button: the pointing hand over it while enabled, a hover flag, and a second action sent
// to its target on a double click. The first click of a double click sends the action, the second
// the double action instead.
class TQDoubleActionButton : public CellButton, public TQHoverableCell
{
    Q_OBJECT
public:
    explicit TQDoubleActionButton(QWidget* parent = nullptr);
    explicit TQDoubleActionButton(std::shared_ptr<Cell> cell, QWidget* parent = nullptr);

    // A selector of the target ("openItem" without an argument, or "openItem:" given the button).
    QString doubleAction() const { return m_doubleAction; }
    void setDoubleAction(const QString& selector) { m_doubleAction = selector; }
    // The target of both actions: the cell's.
    QObject* target() const { return cell()->target(); }
    void setTarget(QObject* target) { cell()->setTarget(target); }
    // Stored for the owner.
    bool trackable() const { return m_trackable; }
    void setTrackable(bool trackable) { m_trackable = trackable; }

    // Stored only; set while the mouse is inside the enabled button.
    bool hovered() const override { return m_hovered; }
    void setHovered(bool hovered) override { m_hovered = hovered; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateCursor();

    QString m_doubleAction;
    bool m_trackable = false;
    bool m_hovered = false;
};

} // namespace tavrel
