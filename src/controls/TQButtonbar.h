#pragma once

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QAbstractButton;

namespace tavrel {

// A plain view that owns an ordered row of buttons, draws a background image behind them and enables
// each button from the responder chain, the way a menu item is validated. Subclasses place the buttons
// in layoutButtons(). A bar built in code gets its buttons with setButtons(), or adopts the buttons
// placed in it with awakeFromNib().
class TQButtonbar : public QWidget
{
    Q_OBJECT
public:
    explicit TQButtonbar(QWidget* parent = nullptr);

    // The buttons in layout order.
    QList<QAbstractButton*> buttons() const;
    // Nothing for the list already held; otherwise the old buttons leave the bar (and are deleted
    // unless they are among the new ones), the new ones become its children, and layoutButtons runs.
    virtual void setButtons(const QList<QAbstractButton*>& buttons);

    // Stretched over the whole bar; without one the bar is transparent.
    QPixmap backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const QPixmap& image);

    // Adopts the buttons among the bar's children, in child order; a tri-state button gets the
    // "_active" variant of its image as hover image and the "_on" variant as pressed image.
    virtual void awakeFromNib();
    // Enables each button: a button with a target when the target answers its command, one without
    // when the responder chain from the window's first responder does; then, when the receiver
    // validates items, by its answer. A button without a command keeps its state.
    virtual void validateButtons();
    // Places the buttons; nothing in the base.
    virtual void layoutButtons();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<QPointer<QAbstractButton>> m_buttons;
    bool m_hasButtons = false;
    QPixmap m_backgroundImage;
};

} // namespace tavrel
