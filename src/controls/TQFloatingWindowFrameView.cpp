#include "controls/TQFloatingWindowFrameView.h"

#include "controls/BezierPathExtensions.h"
#include "controls/ControlServices.h"
#include "controls/OwnedView.h"
#include "controls/TQFloatingWindow.h"
#include "platform/ui/Drawing.h"
#include "platform/ui/ImageRegistry.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRegularExpression>

namespace tavrel {

namespace {
const QString kTitleBackground = QStringLiteral("title_background");
} // namespace

TQFloatingWindowFrameView::TQFloatingWindowFrameView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

TQFloatingWindowFrameView::~TQFloatingWindowFrameView() = default;

QString TQFloatingWindowFrameView::stringFromPoint(const QPoint& point)
{
    return QStringLiteral("{%1, %2}").arg(point.x()).arg(point.y());
}

QPoint TQFloatingWindowFrameView::pointFromString(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*\{\s*(-?\d+(?:\.\d+)?)\s*,\s*(-?\d+(?:\.\d+)?)\s*\}\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    return QPointF(match.captured(1).toDouble(), match.captured(2).toDouble()).toPoint();
}

QPoint TQFloatingWindowFrameView::lastKnownPlainQSDLocation()
{
    return pointFromString(ControlServices::storedValue(kLastPositionKey).toString());
}

void TQFloatingWindowFrameView::setPointerPosition(int position)
{
    if (position == m_pointerPosition)
        return;
    m_pointerPosition = position;
    layoutContentView();
    update();
}

void TQFloatingWindowFrameView::setShouldHidePointer(bool hide)
{
    if (hide == m_shouldHidePointer)
        return;
    m_shouldHidePointer = hide;
    if (m_pointerPosition == PointerNone)
        return;
    // The window draws its shadow from this outline: both change at once.
    if (QWidget* window = floatingWindow())
        window->repaint();
    else
        repaint();
}

void TQFloatingWindowFrameView::setContentView(QWidget* view)
{
    if (!OwnedView::replace(m_contentView, view, this) || !view)
        return;
    layoutContentView();
    view->show();
}

void TQFloatingWindowFrameView::setReservedBottom(qreal height)
{
    m_reservedBottom = height;
    layoutContentView();
}

void TQFloatingWindowFrameView::layoutContentView()
{
    if (!m_contentView)
        return;
    QRectF content = contentRectForFrameRect(QRectF(rect()));
    content.setHeight(qMax(0.0, content.height() - m_reservedBottom));
    m_contentView->setGeometry(content.toRect());
}

TQFloatingWindow* TQFloatingWindowFrameView::floatingWindow() const
{
    return qobject_cast<TQFloatingWindow*>(parentWidget());
}

int TQFloatingWindowFrameView::windowSize() const
{
    const TQFloatingWindow* window = floatingWindow();
    return window ? window->windowSize() : 0;
}

qreal TQFloatingWindowFrameView::cornerRadius() const
{
    return cornerRadius(windowSize());
}

qreal TQFloatingWindowFrameView::pointerYOffset() const
{
    const qreal height = rect().height();
    if (windowSize() == 1)
        return height * 0.5;
    return height - kTitleBandHeight - kArrowBelowTitle - m_arrowBaseLength * 0.5;
}

QRectF TQFloatingWindowFrameView::titlebarFrame() const
{
    if (!m_shouldDrawTitle)
        return {};
    const QRectF bounds(rect());
    QRectF band(bounds.x(), bounds.y(), bounds.width(), kTitleBandHeight);
    if (m_pointerPosition == PointerLeft)
        band.adjust(m_arrowHeight, 0, 0, 0);
    else if (m_pointerPosition == PointerRight)
        band.adjust(0, 0, -m_arrowHeight, 0);
    return band;
}

TQFloatingWindowFrameView::Geometry TQFloatingWindowFrameView::layoutGeometry() const
{
    return {windowSize(), m_shouldDrawTitle, m_pointerPosition, m_arrowHeight};
}

QRectF TQFloatingWindowFrameView::contentRectForFrameRect(const QRectF& frame) const
{
    return contentRectForFrameRect(frame, layoutGeometry());
}

QRectF TQFloatingWindowFrameView::frameRectForContentRect(const QRectF& content) const
{
    return frameRectForContentRect(content, layoutGeometry());
}

namespace {
// How far the content stays inside the outline, horizontally and vertically.
QSizeF outlineInset(const TQFloatingWindowFrameView::Geometry& geometry)
{
    const qreal radius = TQFloatingWindowFrameView::cornerRadius(geometry.windowSize);
    switch (geometry.windowSize) {
    case 0:
        return {1, radius + 1};
    case 2:
        return {1, radius * 0.5 + 1};
    default:
        return {0, 0};
    }
}

// The title band's share of the height beyond the top inset.
qreal titleShare(const TQFloatingWindowFrameView::Geometry& geometry)
{
    return geometry.shouldDrawTitle ? TQFloatingWindowFrameView::kTitleBandHeight -
                                          TQFloatingWindowFrameView::cornerRadius(geometry.windowSize) - 1
                                    : 0;
}
} // namespace

QRectF TQFloatingWindowFrameView::contentRectForFrameRect(const QRectF& frame, const Geometry& geometry)
{
    const QSizeF inset = outlineInset(geometry);
    QRectF content = frame.adjusted(inset.width(), inset.height(), -inset.width(), -inset.height());
    content.adjust(0, titleShare(geometry), 0, 0);
    const qreal arrow = geometry.arrowHeight;
    switch (geometry.pointerPosition) {
    case PointerLeft:
        content.adjust(arrow, 0, 0, 0);
        break;
    case PointerRight:
        content.adjust(0, 0, -arrow, 0);
        break;
    case PointerBottom:
        content.adjust(0, 0, 0, -arrow);
        break;
    default:
        break;
    }
    return content;
}

QRectF TQFloatingWindowFrameView::frameRectForContentRect(const QRectF& content, const Geometry& geometry)
{
    const qreal arrow = geometry.arrowHeight;
    QRectF frame = content;
    switch (geometry.pointerPosition) {
    case PointerLeft:
        frame.adjust(-arrow, 0, 0, 0);
        break;
    case PointerRight:
        frame.adjust(0, 0, arrow, 0);
        break;
    case PointerBottom:
        frame.adjust(0, 0, 0, arrow);
        break;
    default:
        break;
    }
    frame.adjust(0, -titleShare(geometry), 0, 0);
    const QSizeF inset = outlineInset(geometry);
    return frame.adjusted(-inset.width(), -inset.height(), inset.width(), inset.height());
}

QPainterPath TQFloatingWindowFrameView::borderPathInRect(const QRectF& rect) const
{
    const qreal radius = cornerRadius();
    const qreal arrow = m_arrowHeight;
    const qreal base = m_arrowBaseLength;
    const bool small = windowSize() == 1;
    const bool showArrow = !m_shouldHidePointer;

    // The centres of the corner arcs, moved in on the arrow's side.
    qreal minX = rect.left() + radius;
    qreal maxX = rect.right() - radius;
    const qreal minY = rect.top() + radius;
    qreal maxY = rect.bottom() - radius;
    if (m_pointerPosition == PointerLeft)
        minX += arrow;
    else if (m_pointerPosition == PointerRight)
        maxX -= arrow;
    else if (m_pointerPosition == PointerBottom)
        maxY -= arrow;
    // The upper edge of a side arrow: centred on a small window, else 10 below the title band.
    const qreal arrowTop = small ? rect.top() + rect.height() * 0.5 - base * 0.5
                                 : rect.top() + kTitleBandHeight + kArrowBelowTitle;
    const QSizeF diameter(2 * radius, 2 * radius);
    const auto corner = [&](qreal x, qreal y) { return QRectF(QPointF(x - radius, y - radius), diameter); };

    // Counter-clockwise on the screen: down the left edge, along the bottom, up the right edge.
    QPainterPath path;
    bool started = false;
    const auto to = [&](const QPointF& point) {
        if (started) {
            path.lineTo(point);
        } else {
            path.moveTo(point);
            started = true;
        }
    };
    if (m_pointerPosition == PointerLeft && showArrow) {
        to({rect.left() + arrow, arrowTop});
        to({rect.left(), arrowTop + base * 0.5});
        to({rect.left() + arrow, arrowTop + base});
    }
    if (!started) {
        path.arcMoveTo(corner(minX, maxY), 180);
        started = true;
    }
    path.arcTo(corner(minX, maxY), 180, 90);
    if (m_pointerPosition == PointerBottom && showArrow) {
        const qreal centre = rect.left() + rect.width() * 0.5;
        path.lineTo(centre - base * 0.5, rect.bottom() - arrow);
        path.lineTo(centre, rect.bottom());
        path.lineTo(centre + base * 0.5, rect.bottom() - arrow);
    }
    path.arcTo(corner(maxX, maxY), 270, 90);
    if (m_pointerPosition == PointerRight && showArrow) {
        path.lineTo(rect.right() - arrow, arrowTop + base);
        path.lineTo(rect.right(), arrowTop + base * 0.5);
        path.lineTo(rect.right() - arrow, arrowTop);
    }
    path.arcTo(corner(maxX, minY), 0, 90);
    path.arcTo(corner(minX, minY), 90, 90);
    path.closeSubpath();
    return path;
}

QPainterPath TQFloatingWindowFrameView::outlinePath() const
{
    return borderPathInRect(QRectF(rect()).adjusted(0, 0.5, 0, -0.5));
}

void TQFloatingWindowFrameView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(rect());

    painter.save();
    painter.setClipPath(outlinePath());
    painter.fillRect(bounds, m_backgroundColor);
    if (!m_backgroundImage.isNull())
        Drawing::drawPixmap(painter, bounds, m_backgroundImage);
    painter.restore();

    if (!m_shouldDrawTitle)
        return;
    const QRectF band = titlebarFrame();
    const qreal imageHeight = ImageRegistry::contains(kTitleBackground)
                                  ? ImageRegistry::naturalSize(kTitleBackground).height()
                                  : kTitleBandHeight;
    painter.save();
    painter.setClipPath(BezierPathExtensions::halfRoundPathWithRect(
        QRectF(band.x(), bounds.top(), band.width(), imageHeight), cornerRadius()));
    ImageRegistry::draw(painter, kTitleBackground,
                        QRectF(band.x(), bounds.top(), band.width(), kTitleBandHeight));
    const QRectF title(band.x(), bounds.top(), band.width(), imageHeight);
    painter.setClipPath(borderPathInRect(title), Qt::IntersectClip);
    const TQFloatingWindow* window = floatingWindow();
    const QString text = window ? window->windowTitle() : QString();
    const QFont font = Drawing::font(13, QFont::Bold);
    const qreal textHeight = Drawing::textSize(text, font).height();
    const QRectF textRect(title.x(), title.y() + title.height() * 0.5 - textHeight * 0.5, title.width(),
                          textHeight);
    // A dark shadow a point above the white text, as the band's light falls from below.
    Drawing::drawText(painter, textRect.translated(0, -1), text, font, QColor(0, 0, 0, 110), Qt::AlignCenter);
    Drawing::drawText(painter, textRect, text, font, Qt::white, Qt::AlignCenter);
    painter.restore();
}

void TQFloatingWindowFrameView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutContentView();
}

bool TQFloatingWindowFrameView::performKeyEquivalent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape)
        return false;
    if (TQFloatingWindow* window = floatingWindow())
        window->performClose(nullptr);
    event->accept();
    return true;
}

void TQFloatingWindowFrameView::keyPressEvent(QKeyEvent* event)
{
    if (!performKeyEquivalent(event))
        QWidget::keyPressEvent(event);
}

void TQFloatingWindowFrameView::mousePressEvent(QMouseEvent* event)
{
    // The window moves by its background.
    if (TQFloatingWindow* window = floatingWindow(); window && event->button() == Qt::LeftButton) {
        window->backgroundDragPressed(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void TQFloatingWindowFrameView::mouseMoveEvent(QMouseEvent* event)
{
    if (TQFloatingWindow* window = floatingWindow(); window && (event->buttons() & Qt::LeftButton)) {
        window->backgroundDragMoved(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void TQFloatingWindowFrameView::mouseReleaseEvent(QMouseEvent* event)
{
    if (TQFloatingWindow* window = floatingWindow(); window && event->button() == Qt::LeftButton) {
        window->backgroundDragReleased();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void TQFloatingWindowFrameView::onWindowDidBecomeKey()
{
    m_observingMoves = true;
}

void TQFloatingWindowFrameView::onWindowWillMove()
{
    if (m_observingMoves)
        setShouldHidePointer(true);
}

void TQFloatingWindowFrameView::onWindowDidMove()
{
    if (!m_observingMoves)
        return;
    if (const TQFloatingWindow* window = floatingWindow())
        ControlServices::storeValue(kLastPositionKey, stringFromPoint(window->frame().topLeft()));
}

} // namespace tavrel
