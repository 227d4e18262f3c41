#pragma once

#include "platform/ui/CellButton.h"

#include <QPixmap>
#include <QPointer>

class QMenu;

namespace tavrel {

// An image button with a normal, a hover and a pressed image swapped as the mouse enters and leaves;
// or, when its cell adopts the hover protocol, a button that tells its cell. After a click it can pop
// up its menu under itself. A right click does nothing.
class TQTriStateButton : public CellButton
{
    Q_OBJECT
    Q_PROPERTY(QPixmap normalImage READ normalImage WRITE setNormalImage)
public:
    // Without a cell it makes an image-only button cell whose alternate image shows while pressed.
    explicit TQTriStateButton(QWidget* parent = nullptr);
    explicit TQTriStateButton(std::shared_ptr<Cell> cell, QWidget* parent = nullptr);

    // Unless the cell adopts the hover protocol, the cell's image becomes the normal image and its
    // alternate image the pressed one (the images placed on the button before).
    virtual void awakeFromNib();

    // The button's image and alternate image (its cell's).
    QPixmap image() const;
    void setImage(const QPixmap& image);
    QPixmap alternateImage() const;
    void setAlternateImage(const QPixmap& image);

    // Getters are asked on every hover change, so a subclass may supply its own images.
    virtual QPixmap normalImage() const { return m_normalImage; }
    // Also the button's image.
    void setNormalImage(const QPixmap& image);
    virtual QPixmap hoverImage() const { return m_hoverImage; }
    void setHoverImage(const QPixmap& image) { m_hoverImage = image; }
    virtual QPixmap pressedImage() const { return m_pressedImage; }
    // Also the button's alternate image.
    void setPressedImage(const QPixmap& image);

    // Shown 4 points under the button after each click while enabled.
    QMenu* menu() const { return m_menu; }
    void setMenu(QMenu* menu);
    // The menu closed: the button goes off.
    void menuDidClose();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The look of the mouse over the button, or gone: the cell's hover, or the images.
    void showHover(bool entered);

    QPixmap m_normalImage;
    QPixmap m_hoverImage;
    QPixmap m_pressedImage;
    QPointer<QMenu> m_menu;
    QMetaObject::Connection m_menuConnection;
    bool m_pressed = false;
};

} // namespace tavrel
