#include "controls/TQTriStateButton.h"

#include "controls/BasicButtonCell.h"
#include "controls/TQHoverableCell.h"
#include "platform/ui/FloatingWindows.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace tavrel {

namespace {
std::shared_ptr<Cell> imageCell()
{
    auto cell = std::make_shared<BasicButtonCell>();
    cell->setButtonType(BasicButtonCell::MomentaryChangeButton);
    cell->setImagePosition(BasicButtonCell::ImageOnly);
    cell->setBordered(false);
    return cell;
}
} // namespace

TQTriStateButton::TQTriStateButton(QWidget* parent) : TQTriStateButton(imageCell(), parent) {}

TQTriStateButton::TQTriStateButton(std::shared_ptr<Cell> cell, QWidget* parent)
    : CellButton(cell ? std::move(cell) : imageCell(), parent)
{}

void TQTriStateButton::awakeFromNib()
{
    if (dynamic_cast<TQHoverableCell*>(cell()))
        return;
    m_normalImage = image();
    m_pressedImage = alternateImage();
}

QPixmap TQTriStateButton::image() const
{
    return cell()->image();
}

void TQTriStateButton::setImage(const QPixmap& image)
{
    cell()->setImage(image);
    updateGeometry();
    update();
}

QPixmap TQTriStateButton::alternateImage() const
{
    return cell()->alternateImage();
}

void TQTriStateButton::setAlternateImage(const QPixmap& image)
{
    cell()->setAlternateImage(image);
    update();
}

void TQTriStateButton::setNormalImage(const QPixmap& image)
{
    m_normalImage = image;
    setImage(image);
}

void TQTriStateButton::setPressedImage(const QPixmap& image)
{
    m_pressedImage = image;
    setAlternateImage(image);
}

void TQTriStateButton::setMenu(QMenu* menu)
{
    if (m_menu == menu)
        return;
    disconnect(m_menuConnection);
    m_menu = menu;
    if (menu)
        m_menuConnection = connect(menu, &QMenu::aboutToHide, this, &TQTriStateButton::menuDidClose);
}

void TQTriStateButton::menuDidClose()
{
    setState(0);
}

void TQTriStateButton::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    if (isEnabled())
        showHover(true);
}

void TQTriStateButton::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    if (isEnabled())
        showHover(false);
}

void TQTriStateButton::showHover(bool entered)
{
    if (auto* hoverable = dynamic_cast<TQHoverableCell*>(cell())) {
        hoverable->setHovered(entered);
        repaint();
        return;
    }
    setImage(entered ? hoverImage() : normalImage());
    setAlternateImage(pressedImage());
}

void TQTriStateButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        // A right (or any other) click neither clicks the button nor reaches the views behind it.
        event->accept();
        return;
    }
    m_pressed = isEnabled();
    CellButton::mousePressEvent(event);
}

void TQTriStateButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const bool pressed = std::exchange(m_pressed, false);
    QPointer<TQTriStateButton> self(this);
    CellButton::mouseReleaseEvent(event);
    if (!self || !pressed)
        return;
    // After the click, the menu; then the look of a mouse that has left.
    if (isEnabled() && m_menu)
        m_menu->popup(FloatingWindows::dropDownPosition(this, m_menu->sizeHint(), 4));
    showHover(false);
}

void TQTriStateButton::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
}

} // namespace tavrel
