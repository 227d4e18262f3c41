#include "controls/BasicPopUpButtonCell.h"

#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace tavrel {

namespace {
constexpr qreal kArrowWidth = 7;
constexpr qreal kArrowMargin = 6;
constexpr qreal kSpacing = 4;
} // namespace

BasicPopUpButtonCell::BasicPopUpButtonCell(const QString& title, bool pullsDown) : m_pullsDown(pullsDown)
{
    setTitle(title);
}

QList<QAction*> BasicPopUpButtonCell::items() const
{
    return menu() ? menu()->actions() : QList<QAction*>();
}

int BasicPopUpButtonCell::indexOfSelectedItem() const
{
    const int count = int(items().size());
    if (m_selectedIndex >= 0 && m_selectedIndex < count)
        return m_selectedIndex;
    // A pop-up shows its first item until another is chosen.
    return count > 0 && !m_pullsDown ? 0 : -1;
}

void BasicPopUpButtonCell::selectItemAtIndex(int index)
{
    m_selectedIndex = index;
}

void BasicPopUpButtonCell::selectItem(QAction* item)
{
    selectItemAtIndex(int(items().indexOf(item)));
}

QAction* BasicPopUpButtonCell::selectedItem() const
{
    const int index = indexOfSelectedItem();
    return index >= 0 ? items().at(index) : nullptr;
}

QString BasicPopUpButtonCell::titleOfSelectedItem() const
{
    const QAction* item = selectedItem();
    return item ? item->text() : QString();
}

QString BasicPopUpButtonCell::popUpTitle() const
{
    if (m_pullsDown) {
        const QList<QAction*> all = items();
        return all.isEmpty() ? title() : all.first()->text();
    }
    return titleOfSelectedItem();
}

QString BasicPopUpButtonCell::imageNameOfItem(const QAction* item)
{
    return item ? item->icon().name() : QString();
}

QPixmap BasicPopUpButtonCell::imageOfItem(const QAction* item)
{
    if (!item || item->icon().isNull())
        return {};
    const QString name = imageNameOfItem(item);
    if (!name.isEmpty() && ImageRegistry::contains(name))
        return ImageRegistry::pixmap(name);
    return item->icon().pixmap(16);
}

void BasicPopUpButtonCell::menuWillOpen(QMenu*) {}

void BasicPopUpButtonCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    QAction* item = m_pullsDown ? (items().isEmpty() ? nullptr : items().first()) : selectedItem();
    const QPixmap image = imageOfItem(item);
    qreal x = frame.x() + kArrowMargin;
    if (!image.isNull()) {
        const QSizeF size = image.deviceIndependentSize();
        drawImage(painter, image,
                  QRectF(x, Drawing::floorf(frame.y() + (frame.height() - size.height()) / 2), size.width(),
                         size.height()),
                  isEnabled() ? 1.0 : 0.45);
        x += size.width() + kSpacing;
    }
    const qreal arrowSpace = m_arrowPosition == NoArrow ? 0 : kArrowWidth + 2 * kArrowMargin;
    AttributedText text = attributedTitle();
    text.text = popUpTitle();
    text.alignment = Qt::AlignLeft;
    drawTitle(painter, text, QRectF(x, frame.y(), frame.right() - arrowSpace - x, frame.height()));
    if (m_arrowPosition == NoArrow)
        return;
    // The arrows: a small up and down chevron at the right end.
    const QPointF centre(frame.right() - kArrowMargin - kArrowWidth / 2, frame.center().y());
    QPainterPath arrows;
    arrows.moveTo(centre + QPointF(-3, -1.5));
    arrows.lineTo(centre + QPointF(0, -4.5));
    arrows.lineTo(centre + QPointF(3, -1.5));
    arrows.moveTo(centre + QPointF(-3, 1.5));
    arrows.lineTo(centre + QPointF(0, 4.5));
    arrows.lineTo(centre + QPointF(3, 1.5));
    painter.save();
    painter.setPen(QPen(QColor(0x3F, 0x3F, 0x3F, isEnabled() ? 255 : 115), 1.5, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(arrows);
    painter.restore();
}

QSizeF BasicPopUpButtonCell::cellSize(const QSizeF&) const
{
    qreal width = 0;
    qreal height = 0;
    for (QAction* item : items()) {
        if (item->isSeparator())
            continue;
        const QPixmap image = imageOfItem(item);
        const QSizeF text = Drawing::textSize(item->text(), attributedTitle().font);
        const QSizeF imageSize = image.isNull() ? QSizeF(0, 0) : image.deviceIndependentSize();
        width = qMax(width, imageSize.width() + (image.isNull() ? 0 : kSpacing) + text.width());
        height = qMax(height, qMax(imageSize.height(), text.height()));
    }
    const qreal arrowSpace = m_arrowPosition == NoArrow ? 0 : kArrowWidth + 2 * kArrowMargin;
    return {Drawing::ceilf(width + kArrowMargin + arrowSpace), Drawing::ceilf(qMax(height, 22.0))};
}

} // namespace tavrel
