#include "controls/BasicButtonCell.h"

#include "platform/ui/CellHost.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QtMath>

namespace tavrel {

namespace {
constexpr qreal kImageTitleSpacing = 4;
constexpr qreal kDisabledOpacity = 0.45;
// The largest size (points) at which an image is rendered afresh rather than scaled.
constexpr qreal kSharpImageLimit = 64;
} // namespace

BasicButtonCell::BasicButtonCell(const QString& title)
{
    setTrackable(true);
    if (!title.isNull())
        setTitle(title);
}

void BasicButtonCell::setButtonType(ButtonType type)
{
    m_buttonType = type;
    switch (type) {
    case MomentaryLightButton:
    case MomentaryPushInButton:
        m_highlightsBy = PushInCellMask | ChangeGrayCellMask;
        m_showsStateBy = NoCellMask;
        break;
    case PushOnPushOffButton:
        m_highlightsBy = PushInCellMask | ChangeGrayCellMask;
        m_showsStateBy = ChangeBackgroundCellMask;
        break;
    case ToggleButton:
        m_highlightsBy = PushInCellMask | ContentsCellMask;
        m_showsStateBy = ContentsCellMask;
        break;
    case SwitchButton:
    case RadioButton:
        m_highlightsBy = ContentsCellMask;
        m_showsStateBy = ContentsCellMask;
        break;
    case MomentaryChangeButton:
        m_highlightsBy = ContentsCellMask;
        m_showsStateBy = NoCellMask;
        break;
    case OnOffButton:
        m_highlightsBy = ChangeBackgroundCellMask;
        m_showsStateBy = ChangeBackgroundCellMask;
        break;
    }
}

void BasicButtonCell::setTitle(const QString& title)
{
    AttributedText text;
    text.text = title;
    text.font = font();
    text.color = textColor();
    setAttributedTitle(text);
}

void BasicButtonCell::setAttributedTitle(const AttributedText& title)
{
    m_attributedTitle = title;
    Cell::setTitle(title.text);
}

bool BasicButtonCell::showsAlternate() const
{
    return ((m_showsStateBy & ContentsCellMask) && state() == On) ||
           ((m_highlightsBy & ContentsCellMask) && isHighlighted());
}

int BasicButtonCell::nextState() const
{
    switch (m_buttonType) {
    case PushOnPushOffButton:
    case ToggleButton:
    case SwitchButton:
    case OnOffButton:
        return state() == On ? Off : On;
    case RadioButton:
        return On;
    default:
        return state();
    }
}

QRectF BasicButtonCell::imageRectForBounds(const QRectF& bounds) const
{
    const QPixmap image = showsAlternate() && !alternateImage().isNull() ? alternateImage() : this->image();
    if (image.isNull())
        return {bounds.topLeft(), QSizeF(0, 0)};
    // Proportionally down: the image's own size, smaller when the bounds are.
    QSizeF size = image.deviceIndependentSize();
    if (size.width() > bounds.width() || size.height() > bounds.height())
        size.scale(bounds.size(), Qt::KeepAspectRatio);
    if (m_imagePosition == ImageLeft && !title().isEmpty())
        return Drawing::centered(size, QRectF(bounds.topLeft(), QSizeF(size.width(), bounds.height())));
    return Drawing::centered(size, bounds);
}

QSizeF BasicButtonCell::cellSize(const QSizeF&) const
{
    const bool drawsImage = !image().isNull() && m_imagePosition != NoImage;
    const bool drawsTitle = !title().isEmpty() && m_imagePosition != ImageOnly;
    const QSizeF imageSize = drawsImage ? image().deviceIndependentSize() : QSizeF(0, 0);
    const QSizeF textSize = drawsTitle ? Drawing::textSize(title(), m_attributedTitle.font) : QSizeF(0, 0);
    const qreal spacing = drawsImage && drawsTitle ? kImageTitleSpacing : 0;
    return {Drawing::ceilf(imageSize.width() + spacing + textSize.width()),
            Drawing::ceilf(qMax(imageSize.height(), textSize.height()))};
}

void BasicButtonCell::paint(QPainter& painter, const QRectF& frame, CellHost& host)
{
    m_controlView = host.hostWidget();
    drawWithFrame(painter, frame, host);
}

void BasicButtonCell::drawWithFrame(QPainter& painter, const QRectF& frame, CellHost& host)
{
    drawInterior(painter, frame, host);
}

void BasicButtonCell::drawInterior(QPainter& painter, const QRectF& frame, CellHost&)
{
    const bool alternate = showsAlternate();
    const QPixmap image = alternate && !alternateImage().isNull() ? alternateImage() : this->image();
    const AttributedText title =
        alternate && !m_attributedAlternateTitle.isEmpty() ? m_attributedAlternateTitle : m_attributedTitle;
    const bool drawsImage = !image.isNull() && m_imagePosition != NoImage;
    const bool drawsTitle = !title.isEmpty() && m_imagePosition != ImageOnly;

    QRectF titleRect = titleRectForBounds(frame);
    if (drawsImage) {
        const QRectF imageRect = imageRectForBounds(frame);
        const bool grey = isHighlighted() && (m_highlightsBy & ChangeGrayCellMask) && !alternate;
        drawImage(painter, image, imageRect, isEnabled() ? 1.0 : kDisabledOpacity);
        if (grey) {
            // A pressed image darkens inside its own shape.
            QPixmap dark(image.size());
            dark.setDevicePixelRatio(image.devicePixelRatio());
            dark.fill(Qt::transparent);
            QPainter tint(&dark);
            tint.drawPixmap(0, 0, image);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tint.fillRect(dark.rect(), QColor(0, 0, 0, 70));
            tint.end();
            Drawing::drawPixmap(painter, imageRect, dark);
        }
        if (drawsTitle && m_imagePosition == ImageLeft)
            titleRect.setLeft(imageRect.right() + kImageTitleSpacing);
    }
    if (drawsTitle)
        drawTitle(painter, title, titleRect);
}

void BasicButtonCell::drawTitle(QPainter& painter, const AttributedText& title, const QRectF& rect)
{
    QColor color = title.color;
    if (!color.isValid()) {
        const QWidget* view = m_controlView;
        color = (view ? view->palette() : QApplication::palette()).color(QPalette::ButtonText);
    }
    if (!isEnabled())
        color.setAlphaF(color.alphaF() * kDisabledOpacity);
    Drawing::drawText(painter, rect, title.text, title.font, color, title.alignment | Qt::AlignVCenter);
}

void BasicButtonCell::drawImage(QPainter& painter, const QPixmap& image, const QRectF& rect, qreal opacity)
{
    if (image.isNull() || rect.isEmpty())
        return;
    // Small images (icons, pictures) are rendered afresh at the size they are drawn at, so they stay
    // sharp; faces and backgrounds stretched over a control are scaled, so that resizing a window does
    // not fill the image cache with a rendering for every width.
    const QString name = ImageRegistry::nameOf(image);
    const bool small = rect.width() <= kSharpImageLimit && rect.height() <= kSharpImageLimit;
    if (small && rect.size() != image.deviceIndependentSize() && !name.isEmpty() &&
        ImageRegistry::contains(name))
        ImageRegistry::draw(painter, name, rect, opacity);
    else
        Drawing::drawPixmap(painter, rect, image, opacity);
}

void BasicButtonCell::fillPathWithImage(QPainter& painter, const QPainterPath& path, const QPixmap& image,
                                        const QRectF& rect)
{
    if (image.isNull() || rect.isEmpty())
        return;
    // The image rendered at the rectangle's size fills the path, whose edge stays antialiased
    // (a clip path would not be).
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QPixmap face(QSize(qCeil(rect.width() * ratio), qCeil(rect.height() * ratio)));
    face.setDevicePixelRatio(ratio);
    face.fill(Qt::transparent);
    {
        QPainter facePainter(&face);
        drawImage(facePainter, image, QRectF(QPointF(0, 0), rect.size()));
    }
    QBrush brush(face);
    brush.setTransform(QTransform::fromTranslate(rect.x(), rect.y()));
    painter.fillPath(path, brush);
}

void BasicButtonCell::strokeInside(QPainter& painter, const QRectF& rect, qreal radius, const QColor& color)
{
    // The ring between the rectangle's outline and the outline half a point in: exact coverage, where a
    // half-point pen would spread over a whole pixel on each side.
    QPainterPath outer;
    outer.addRoundedRect(rect, radius, radius);
    QPainterPath inner;
    inner.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    painter.fillPath(outer.subtracted(inner), color);
}

QRectF BasicButtonCell::visibleRect(const QWidget* view)
{
    if (!view)
        return {};
    // The bounds clipped by every ancestor, shown or not.
    QRect visible = view->rect();
    QPoint offset;
    for (const QWidget* widget = view; widget->parentWidget() && !widget->isWindow();
         widget = widget->parentWidget()) {
        offset += widget->pos();
        visible &= widget->parentWidget()->rect().translated(-offset);
    }
    return QRectF(visible);
}

Cell::HitResults BasicButtonCell::hitTest(const QPointF& point, const QRectF& frame) const
{
    if (!frameContains(frame, point))
        return None;
    return ContentArea | (isEnabled() && isTrackable() ? TrackableArea : None);
}

bool BasicButtonCell::mousePressed(const CellMouseEvent& event, const QRectF& frame, CellHost& host)
{
    m_controlView = host.hostWidget();
    return Cell::mousePressed(event, frame, host);
}

void BasicButtonCell::trackingDidEndInside(CellHost& host)
{
    setState(nextState());
    sendAction(host);
}

void BasicButtonCell::performClick(CellHost& host)
{
    if (!isEnabled())
        return;
    m_controlView = host.hostWidget();
    setState(nextState());
    sendAction(host);
}

} // namespace tavrel
