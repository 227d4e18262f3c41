#include "controls/TQButtonbar.h"

#include "controls/BasicButtonCell.h"
#include "controls/TQTriStateButton.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAbstractButton>
#include <QPainter>

namespace tavrel {

TQButtonbar::TQButtonbar(QWidget* parent) : QWidget(parent) {}

QList<QAbstractButton*> TQButtonbar::buttons() const
{
    QList<QAbstractButton*> buttons;
    for (const QPointer<QAbstractButton>& button : m_buttons)
        if (button)
            buttons.append(button);
    return buttons;
}

void TQButtonbar::setButtons(const QList<QAbstractButton*>& newButtons)
{
    if (m_hasButtons && newButtons == buttons())
        return;
    const QList<QAbstractButton*> old = buttons();
    for (QAbstractButton* button : old) {
        button->hide();
        button->setParent(nullptr);
        if (!newButtons.contains(button))
            button->deleteLater();
    }
    m_buttons.clear();
    for (QAbstractButton* button : newButtons) {
        m_buttons.append(button);
        if (button->parentWidget() != this) {
            button->setParent(this);
            button->show();
        }
    }
    m_hasButtons = true;
    layoutButtons();
}

void TQButtonbar::setBackgroundImage(const QPixmap& image)
{
    m_backgroundImage = image;
    update();
}

void TQButtonbar::awakeFromNib()
{
    QList<QAbstractButton*> found;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        auto* button = qobject_cast<QAbstractButton*>(child);
        if (!button)
            continue;
        if (auto* triState = qobject_cast<TQTriStateButton*>(button)) {
            const QString name = ImageRegistry::nameOf(triState->image());
            const auto variant = [&name](const QString& suffix) {
                return name.isEmpty() ? QPixmap()
                                      : ImageRegistry::pixmap(ImageRegistry::variantName(name, suffix));
            };
            triState->setHoverImage(variant(QStringLiteral("_active")));
            triState->setPressedImage(variant(QStringLiteral("_on")));
        }
        found.append(button);
    }
    if (!found.isEmpty())
        setButtons(found);
}

void TQButtonbar::validateButtons()
{
    QWidget* window = this->window();
    QWidget* firstResponder = window->focusWidget() ? window->focusWidget() : window;
    for (QAbstractButton* button : buttons()) {
        const QString command = UserInterfaceItem::command(button);
        if (command.isEmpty())
            continue;
        UserInterfaceItem::setEnabled(
            button,
            ResponderChain::validate(command, button, UserInterfaceItem::target(button), firstResponder));
    }
}

void TQButtonbar::layoutButtons() {}

void TQButtonbar::paintEvent(QPaintEvent*)
{
    if (m_backgroundImage.isNull())
        return;
    QPainter painter(this);
    BasicButtonCell::drawImage(painter, m_backgroundImage, QRectF(rect()));
}

} // namespace tavrel
