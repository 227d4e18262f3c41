#include "controls/TQHoveredPopUpButtonCell.h"

#include "platform/ui/CellHost.h"
#include "platform/ui/CurrentEvent.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/UserInterfaceItem.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QWidget>

namespace tavrel {

namespace {
const QString kWhite = QStringLiteral("-white");
} // namespace

TQHoveredPopUpButtonCell::TQHoveredPopUpButtonCell(const QString& title, bool pullsDown)
    : BasicPopUpButtonCell(title, pullsDown)
{
    setTrackable(true);
}

// The weak self-reference of shared ownership is never copied.
TQHoveredPopUpButtonCell::TQHoveredPopUpButtonCell(const TQHoveredPopUpButtonCell& other)
    : BasicPopUpButtonCell(other),
      TQHoverableCell(other), std::enable_shared_from_this<TQHoveredPopUpButtonCell>(),
      m_hovered(other.m_hovered), m_usesItemFromMenu(other.m_usesItemFromMenu), m_menuItem(other.m_menuItem),
      m_menuProvider(other.m_menuProvider)
{}

TQHoveredPopUpButtonCell::~TQHoveredPopUpButtonCell() = default;

void TQHoveredPopUpButtonCell::selectItemAtIndex(int index)
{
    BasicPopUpButtonCell::selectItemAtIndex(index);
    const QList<QAction*> all = items();
    QAction* selected = selectedItem();
    for (QAction* item : all)
        UserInterfaceItem::setState(item, item == selected ? On : Off);
}

QAction* TQHoveredPopUpButtonCell::shownItem() const
{
    if (QAction* selected = selectedItem())
        return selected;
    return m_menuItem.get();
}

QString TQHoveredPopUpButtonCell::faceImageName() const
{
    QAction* item = shownItem();
    QString base = imageNameOfItem(item);
    if (base.endsWith(kWhite))
        base.chop(kWhite.size());
    if (base.isEmpty())
        return {};
    const bool hot = isEnabled() && (m_hovered || isHighlighted());
    const QString name = base + (hot ? QStringLiteral("_hover") : QStringLiteral("_regular"));
    if (ImageRegistry::contains(name))
        return name;
    return imageNameOfItem(item);
}

Cell::HitResults TQHoveredPopUpButtonCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (!frameContains(frame, point))
        return None;
    if (CurrentEvent::type() == QEvent::MouseButtonPress && CurrentEvent::button() == Qt::LeftButton &&
        CurrentEvent::clickCount() >= 2)
        return None;
    return BasicPopUpButtonCell::hitTest(point, frame) | NoSelect;
}

bool TQHoveredPopUpButtonCell::mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host)
{
    QWidget* view = host.hostWidget();
    if (view)
        setControlView(view);
    if (m_menuProvider && isEnabled() && event.button == Qt::LeftButton) {
        if (QMenu* made = m_menuProvider()) {
            const int selected = indexOfSelectedItem();
            setMenu(made);
            selectItemAtIndex(selected);
        }
    }
    QMenu* menu = this->menu();
    if (!view || !menu || !isEnabled() || event.button != Qt::LeftButton || menu->isVisible())
        return false;
    menuWillOpen(menu);
    const QList<QAction*> all = items();
    for (int i = 0; i < all.size(); ++i)
        all[i]->setVisible(!pullsDown() || i > 0);
    setHighlighted(true);
    host.updateCellRect(frame);
    const std::weak_ptr<TQHoveredPopUpButtonCell> weak = weak_from_this();
    const QPointer<QWidget> guarded = view;
    const QRect area = frame.toAlignedRect();
    QObject::connect(
        menu, &QMenu::aboutToHide, menu,
        [weak, guarded, area] {
            if (const auto self = weak.lock())
                self->setHighlighted(false);
            if (guarded)
                guarded->update(area);
        },
        Qt::SingleShotConnection);
    if (pullsDown())
        menu->popup(view->mapToGlobal(frame.bottomLeft().toPoint()));
    else
        menu->popup(view->mapToGlobal(frame.topLeft().toPoint()), selectedItem());
    return false;
}

void TQHoveredPopUpButtonCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    const QString name = faceImageName();
    // An item's image that is not one of ours (a theme icon) is drawn as the item has it.
    const QPixmap image =
        ImageRegistry::contains(name) ? ImageRegistry::pixmap(name) : imageOfItem(shownItem());
    if (image.isNull())
        return;
    painter.save();
    drawImage(painter, image, QRectF(frame.topLeft(), image.deviceIndependentSize()));
    painter.restore();
}

} // namespace tavrel
