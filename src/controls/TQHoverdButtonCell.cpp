#include "controls/TQHoverdButtonCell.h"

#include "platform/ui/CurrentEvent.h"

#include <QObject>
#include <QPointer>
#include <QVariant>
#include <QWidget>

namespace tavrel {

void TQHoverdButtonCell::setRegularImage(const QPixmap& image)
{
    if (image.cacheKey() == m_regularImage.cacheKey() && image.isNull() == m_regularImage.isNull())
        return;
    m_regularImage = image;
    setImage(image);
}

void TQHoverdButtonCell::setHovered(bool hovered)
{
    if (!isEnabled())
        return;
    TQButtonCell::setHovered(hovered);
    showImageForState();
}

void TQHoverdButtonCell::setSelected(bool selected)
{
    TQButtonCell::setSelected(selected);
    showImageForState();
}

void TQHoverdButtonCell::showImageForState()
{
    setImage(isHovered() || isSelected() ? m_hoverImage : m_regularImage);
}

bool TQHoverdButtonCell::hasTargetAndAction() const
{
    return bool(action()) || (target() && !command().isEmpty());
}

Cell::HitResults TQHoverdButtonCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (!frameContains(frame, point))
        return None;
    // A double click goes through to the row and its list.
    if (hasTargetAndAction() && CurrentEvent::type() == QEvent::MouseButtonPress &&
        CurrentEvent::button() == Qt::LeftButton && CurrentEvent::clickCount() > 1)
        return None;
    return TQButtonCell::hitTest(point, frame) | TrackableArea | NoSelect;
}

void TQHoverdButtonCell::animationDidStop(QObject* animation, bool)
{
    if (!animation)
        return;
    QPointer<QWidget> holder = qobject_cast<QWidget*>(animation->property("holder").value<QObject*>());
    if (holder) {
        if (QWidget* parent = holder->parentWidget()) {
            const QRect frame = holder->geometry();
            holder->hide();
            holder->setParent(nullptr);
            holder->deleteLater();
            parent->repaint(frame);
        }
    }
    animation->setProperty("holder", QStringLiteral(""));
}

} // namespace tavrel
