#include "controls/TQFloatingWindow.h"

#include "controls/OwnedView.h"
#include "controls/SoftShadow.h"
#include "controls/TQShadowedDivider.h"
#include "controls/TQTriStateButton.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/ui/Animations.h"
#include "platform/ui/FloatingWindows.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QVariantAnimation>
#include <QWindow>
#include <array>
#include <cmath>
#include <memory>

namespace tavrel {

namespace {

// Arrow height and base length by window size (0, 1, 2).
constexpr std::array<std::pair<qreal, qreal>, 3> kArrowSizes{{{11, 22}, {5, 7}, {8, 15}}};

// The drawer's animation: 0.15 s as the design's single-precision constant, with two progress marks.
const double kDrawerDuration = double(0.15f);
const std::array<double, 2> kDrawerProgressMarks{double(0.095f), double(0.95f)};

// The window's own shadow, as the window systems draw one around a window with a title bar.
const QColor kShadowColor(0, 0, 0, 96);
constexpr qreal kShadowBlur = 9;
const QPointF kShadowOffset(0, 3);
const QColor kRimColor(0, 0, 0, 46);

FloatingWindows::Kind kindForSize(int windowSize)
{
    return windowSize == 1 ? FloatingWindows::Kind::Label : FloatingWindows::Kind::Panel;
}

} // namespace

TQFloatingWindow::TQFloatingWindow(const QRect& contentRect, const QString& title, int arrow)
    : m_hasTitle(!title.isNull()), m_hasArrow(arrow != 0)
{
    // The first frame comes from the regular size's geometry, before any size is chosen.
    const TQFloatingWindowFrameView::Geometry geometry{0, m_hasTitle, arrow, kArrowSizes[0].first};
    const QRectF frame = TQFloatingWindowFrameView::frameRectForContentRect(QRectF(contentRect), geometry);

    m_frameView = new TQFloatingWindowFrameView(this);
    m_frameView->setPointerPosition(arrow);
    m_frameView->setShouldDrawTitle(m_hasTitle);
    prepareWindow(nullptr);
    if (m_hasTitle)
        setWindowTitle(title);
    setFrame(frame.toRect());
}

TQFloatingWindow::~TQFloatingWindow()
{
    stopObservingParent();
    NotificationCenter::defaultCenter().removeObserver(this);
}

void TQFloatingWindow::prepareWindow(QWidget* parent)
{
    QWidget* parentWindow = parent ? parent->window() : nullptr;
    const Qt::WindowFlags flags = FloatingWindows::windowFlags(kindForSize(m_windowSize));
    if (parentWidget() == parentWindow && windowFlags() == flags &&
        testAttribute(Qt::WA_TranslucentBackground))
        return;
    const QRect keep = geometry();
    FloatingWindows::prepare(this, kindForSize(m_windowSize), parentWindow);
    setGeometry(keep);
}

QRect TQFloatingWindow::frame() const
{
    const QRect outer = geometry();
    return outer.adjusted(kShadowMargin, kShadowMargin, -kShadowMargin, -kShadowMargin);
}

void TQFloatingWindow::setFrame(const QRect& frame)
{
    setGeometry(frame.adjusted(-kShadowMargin, -kShadowMargin, kShadowMargin, kShadowMargin));
    layoutFrameView();
}

void TQFloatingWindow::layoutFrameView()
{
    const QRect inner = rect().adjusted(kShadowMargin, kShadowMargin, -kShadowMargin, -kShadowMargin);
    if (m_frameView->geometry() != inner) {
        m_frameView->setGeometry(inner);
        m_frameView->layoutContentView();
    }
    updateLayout();
    layoutDrawerParts();
}

void TQFloatingWindow::setFrameOrigin(const QPoint& topLeft)
{
    m_placedAt = topLeft;
    move(topLeft - QPoint(kShadowMargin, kShadowMargin));
}

QWidget* TQFloatingWindow::contentView() const
{
    return m_frameView->contentView();
}

void TQFloatingWindow::setContentView(QWidget* view)
{
    m_frameView->setContentView(view);
}

QRectF TQFloatingWindow::frameRectForContentRect(const QRectF& content) const
{
    return m_frameView->frameRectForContentRect(content);
}

QRectF TQFloatingWindow::contentRectForFrameRect(const QRectF& frame) const
{
    return m_frameView->contentRectForFrameRect(frame);
}

void TQFloatingWindow::setTitle(const QString& title)
{
    setWindowTitle(title);
    m_frameView->update();
}

QColor TQFloatingWindow::frameBackgroundColor() const
{
    return m_frameView->backgroundColor();
}

void TQFloatingWindow::setFrameBackgroundColor(const QColor& color)
{
    m_frameView->setBackgroundColor(color);
    m_frameView->update();
}

QPixmap TQFloatingWindow::frameBackgroundImage() const
{
    return m_frameView->backgroundImage();
}

void TQFloatingWindow::setFrameBackgroundImage(const QPixmap& image)
{
    m_frameView->setBackgroundImage(image);
    m_frameView->update();
}

void TQFloatingWindow::setWindowSize(int size)
{
    if (size == m_windowSize)
        return;
    m_windowSize = size;
    if (size >= 0 && size < int(kArrowSizes.size())) {
        m_frameView->setArrowHeight(kArrowSizes[size_t(size)].first);
        m_frameView->setArrowBaseLength(kArrowSizes[size_t(size)].second);
    }
    // Whether it may take the keyboard decides the kind of window; a shown one changes at its next attach.
    if (isWindow() && !isVisible())
        prepareWindow(parentWidget());
    m_frameView->update();
}

void TQFloatingWindow::setHasCloseButton(bool hasCloseButton)
{
    if (!hasCloseButton) {
        delete m_closeButton.data();
    } else if (!m_closeButton) {
        auto* button = new TQTriStateButton(m_frameView);
        button->setNormalImage(ImageRegistry::pixmap(QStringLiteral("close_regular")));
        button->setPressedImage(ImageRegistry::pixmap(QStringLiteral("close_active")));
        button->setHoverImage(ImageRegistry::pixmap(QStringLiteral("close_hover")));
        button->setProperty("tag", kCloseButtonTag);
        button->setAccessibleName(windowTitle());
        button->resize(button->sizeHint());
        connect(button, &QAbstractButton::clicked, this, [this, button] { performClose(button); });
        button->show();
        m_closeButton = button;
    }
    m_hasCloseButton = hasCloseButton;
    updateLayout();
}

TQTriStateButton* TQFloatingWindow::closeButton() const
{
    return m_closeButton;
}

void TQFloatingWindow::updateLayout()
{
    if (m_closeButton) {
        const QRectF band = m_frameView->titlebarFrame();
        m_closeButton->move(QPointF(band.x() + 8, band.y() + 8).toPoint());
    }
    if (QWidget* titlebar = m_titlebar.data()) {
        if (m_hasTitle) {
            QRectF frame = m_frameView->titlebarFrame();
            if (m_closeButton)
                frame.adjust(m_closeButton->width() + 12, 0, 0, 0);
            titlebar->setGeometry(frame.toRect());
            titlebar->show();
        } else {
            titlebar->hide();
        }
    }
}

void TQFloatingWindow::setTitlebar(QWidget* view)
{
    if (OwnedView::replace(m_titlebar, view, m_frameView))
        updateLayout();
}

void TQFloatingWindow::installTitlebar(QWidget* view)
{
    setTitlebar(view);
}

void TQFloatingWindow::setDrawerContentView(QWidget* view)
{
    if (!OwnedView::replace(m_drawerContentView, view, m_frameView) || !view || !m_hasDrawer)
        return;
    view->setGeometry(contentRectForDrawer());
    view->show();
    view->raise();
}

TQShadowedDivider* TQFloatingWindow::drawerDivider()
{
    if (!m_drawerDivider) {
        m_drawerDivider = new TQShadowedDivider(m_frameView);
        m_drawerDivider->setGeometry(QRect());
        m_drawerDivider->hide();
    }
    return m_drawerDivider;
}

QRect TQFloatingWindow::contentRectForDrawer() const
{
    const QRectF bounds(m_frameView->rect());
    const QRectF content = m_frameView->contentRectForFrameRect(bounds);
    return QRectF(content.x() + 2, bounds.bottom() - 4 - 76, content.width() - 4, 76).toRect();
}

void TQFloatingWindow::makeDrawerVisible(bool show, QObject* delegate)
{
    const QRect start = frame();
    QRect target = start;
    target.setHeight(start.height() + (show ? kDrawerHeight : -kDrawerHeight));
    const QPointer<QObject> drawerDelegate = delegate;

    TQShadowedDivider* divider = drawerDivider();
    if (!m_hasDrawer) {
        // Under the content as it is before the window grows, a point wider on each side.
        const QRectF content = m_frameView->contentRectForFrameRect(QRectF(m_frameView->rect()));
        divider->setGeometry(QRectF(content.x() - 1, content.bottom() + 3, content.width() + 2, 5).toRect());
        divider->setShouldDrawShadow(false);
        divider->show();
        divider->raise();
        m_closedHeight = start.height();
        tellDrawerDelegate(drawerDelegate, Commands::drawerWillAppear);
    } else {
        m_closedHeight = target.height();
        tellDrawerDelegate(drawerDelegate, Commands::drawerWillDisappear);
    }
    m_hasDrawer = !m_hasDrawer;

    QVariantAnimation* animation =
        Animations::variant(start, target, kDrawerDuration, Animations::Curve::EaseInOut, this);
    auto nextMark = std::make_shared<size_t>(0);
    const auto reachMarks = [this, nextMark](double progress) {
        for (; *nextMark < kDrawerProgressMarks.size() && progress >= kDrawerProgressMarks[*nextMark];
             ++*nextMark) {
            const double mark = kDrawerProgressMarks[*nextMark];
            TQShadowedDivider* line = drawerDivider();
            if (!m_hasDrawer && mark > 0.9) {
                line->hide();
            } else if (m_hasDrawer && mark < 0.1) {
                line->setShouldDrawShadow(true);
                line->update();
            }
        }
    };
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this, animation, reachMarks](const QVariant& value) {
                setFrame(value.toRect());
                // The content keeps its height while the drawer slides; the drawer takes the new space.
                m_frameView->setReservedBottom(qMax(0.0, qreal(frame().height()) - m_closedHeight));
                const int total = animation->totalDuration();
                reachMarks(total > 0 ? double(animation->currentTime()) / total : 1.0);
            });
    connect(animation, &QVariantAnimation::finished, this, [this, reachMarks, drawerDelegate] {
        reachMarks(1.0);
        tellDrawerDelegate(drawerDelegate,
                           m_hasDrawer ? Commands::drawerDidAppear : Commands::drawerDidDisappear);
    });
    Animations::start(animation);
}

void TQFloatingWindow::layoutDrawerParts()
{
    if (m_drawerDivider && !m_drawerDivider->isHidden()) {
        const QRectF content = m_frameView->contentRectForFrameRect(QRectF(m_frameView->rect()));
        m_drawerDivider->setGeometry(
            QRectF(content.x() - 1, m_drawerDivider->y(), content.width() + 2, 5).toRect());
    }
}

void TQFloatingWindow::tellDelegate(const QString& selector, const QVariant& argument)
{
    if (!Invocation::respondsToSelector(m_delegate, selector))
        return;
    const InvocationPtr invocation = Invocation::invocationForSelector(selector, m_delegate.data());
    invocation->setArgument(Invocation::kFirstArgument, argument);
    invocation->invoke();
}

void TQFloatingWindow::tellDrawerDelegate(QObject* delegate, const QString& selector)
{
    if (!Invocation::respondsToSelector(delegate, selector))
        return;
    const InvocationPtr invocation = Invocation::invocationForSelector(selector, delegate);
    invocation->setArgument(Invocation::kFirstArgument, QVariant::fromValue<QObject*>(this));
    invocation->invoke();
}

void TQFloatingWindow::performClose(QObject*)
{
    const QString selector = Commands::windowShouldClose;
    if (Invocation::respondsToSelector(m_delegate, selector)) {
        const InvocationPtr invocation = Invocation::invocationForSelector(selector, m_delegate.data());
        invocation->setArgument(Invocation::kFirstArgument, QVariant::fromValue<QObject*>(this));
        invocation->invoke();
        if (!invocation->returnValue().toBool())
            return;
    }
    close();
}

QPoint TQFloatingWindow::frameOriginForPoint(const QPoint& screenPoint, bool useRememberedPosition) const
{
    const QSize size = frame().size();
    const qreal tipBelowTop = size.height() - m_frameView->pointerYOffset();
    QPointF point(screenPoint);
    switch (m_frameView->pointerPosition()) {
    case TQFloatingWindowFrameView::PointerNone:
        if (useRememberedPosition) {
            if (const QPoint remembered = TQFloatingWindowFrameView::lastKnownPlainQSDLocation();
                !remembered.isNull())
                point = remembered;
        }
        return point.toPoint();
    case TQFloatingWindowFrameView::PointerRight:
        return QPointF(point.x() - size.width(), point.y() - tipBelowTop).toPoint();
    case TQFloatingWindowFrameView::PointerBottom:
        return QPoint(int(std::floor(point.x() - size.width() * 0.5)), int(point.y()) - size.height());
    case TQFloatingWindowFrameView::PointerLeft:
        return QPointF(point.x(), point.y() - tipBelowTop).toPoint();
    default:
        // The window's bottom-left corner on the point.
        return QPoint(int(point.x()), int(point.y()) - size.height());
    }
}

void TQFloatingWindow::attachToWindow(QWidget* parent, const QPoint& point)
{
    const QPoint screenPoint = parent ? parent->mapToGlobal(point) : point;
    prepareWindow(parent);
    setFrameOrigin(frameOriginForPoint(screenPoint, true));
    FloatingWindows::show(this, pos());

    tellDelegate(Commands::onWindowDidBecomeVisible,
                 QVariant::fromValue(Notification(kWindowDidBecomeVisibleNotification,
                                                  QVariant::fromValue<QObject*>(this), {})));

    if (parent && !m_keepArrowPersistent &&
        m_frameView->pointerPosition() != TQFloatingWindowFrameView::PointerNone)
        observeParent(parent->window());
}

void TQFloatingWindow::observeParent(QWidget* parentWindow)
{
    stopObservingParent();
    m_observedParent = parentWindow;
    m_observedParentGeometry = parentWindow->geometry();
    parentWindow->installEventFilter(this);
    NotificationCenter::defaultCenter().addObserver(
        this, kQuickShareDialogShouldDetachNotification, QVariant(),
        [this](const Notification& notification) { onParentWindowDidChange(notification); });
}

void TQFloatingWindow::stopObservingParent()
{
    if (QWidget* parentWindow = m_observedParent.data())
        parentWindow->removeEventFilter(this);
    m_observedParent = nullptr;
    NotificationCenter::defaultCenter().removeObserver(this);
}

bool TQFloatingWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_observedParent) {
        const auto* parentWindow = m_observedParent.data();
        bool changed = false;
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            // Only a real change: a window system repeating the geometry it had is no move.
            changed = parentWindow->geometry() != m_observedParentGeometry;
            break;
        case QEvent::WindowStateChange:
            changed = parentWindow->isMinimized();
            break;
        default:
            break;
        }
        if (changed)
            onParentWindowDidChange(Notification(Notifications::parentWindowDidChange,
                                                 QVariant::fromValue<QObject*>(m_observedParent.data()), {}));
    }
    return QWidget::eventFilter(watched, event);
}

void TQFloatingWindow::onParentWindowDidChange(const Notification& notification)
{
    if (notification.objectAsQObject() == this)
        return;
    stopObservingParent();
    m_frameView->setShouldHidePointer(true);
}

QPoint TQFloatingWindow::validatePoint(const QPoint& point, QWidget* parent)
{
    const QRect visible = FloatingWindows::availableGeometry(parent);
    const QPoint screenPoint = parent ? parent->mapToGlobal(point) : point;
    const QSize size = frame().size();
    const QRect wouldBe(frameOriginForPoint(screenPoint, false), size);
    if (visible.contains(wouldBe))
        return point;

    const int visibleBottom = visible.y() + visible.height();
    const bool below = wouldBe.y() + wouldBe.height() > visibleBottom;
    const bool pastRight = wouldBe.x() + wouldBe.width() > visible.x() + visible.width();
    const int parentWidth = parent ? parent->window()->frameGeometry().width() : 0;
    QPoint result = point;
    if (below) {
        // Free-standing, its bottom 2 points above the bottom of the visible area.
        m_frameView->setPointerPosition(TQFloatingWindowFrameView::PointerNone);
        const int screenY = visibleBottom - size.height() - 2;
        result.setY(parent ? parent->mapFromGlobal(QPoint(screenPoint.x(), screenY)).y() : screenY);
        if (pastRight)
            result.rx() -= parentWidth + size.width() + 4;
        updateLayout();
    } else if (pastRight && m_frameView->pointerPosition() != TQFloatingWindowFrameView::PointerBottom) {
        // The side arrow changes sides and the window goes to the parent's left. A bottom arrow has no
        // mirror image: its window stays where it points.
        m_frameView->setPointerPosition(-m_frameView->pointerPosition());
        result.rx() -= parentWidth + 2;
        updateLayout();
    }
    return result;
}

void TQFloatingWindow::center()
{
    const QWidget* parentWindow = parentWidget() ? parentWidget()->window() : nullptr;
    const QRect area = parentWindow ? parentWindow->geometry() : FloatingWindows::availableGeometry(nullptr);
    const QSize size = frame().size();
    setFrameOrigin(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void TQFloatingWindow::display()
{
    repaint();
}

void TQFloatingWindow::backgroundDragPressed(const QPoint& globalPosition)
{
    m_dragging = true;
    m_dragStart = globalPosition;
    m_dragOrigin = pos();
}

void TQFloatingWindow::backgroundDragMoved(const QPoint& globalPosition)
{
    if (!m_dragging || globalPosition == m_dragStart)
        return;
    if (pos() == m_dragOrigin) {
        // The drag begins.
        m_frameView->onWindowWillMove();
        // The window system moves it where it can (X11, Wayland toplevels); else we follow the mouse.
        if (QWindow* handle = windowHandle(); handle && handle->startSystemMove()) {
            m_dragging = false;
            return;
        }
    }
    move(m_dragOrigin + globalPosition - m_dragStart);
}

void TQFloatingWindow::backgroundDragReleased()
{
    m_dragging = false;
}

void TQFloatingWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath outline = m_frameView->outlinePath().translated(m_frameView->pos());
    SoftShadow::draw(painter, outline, SoftShadow::Shape::Fill, kShadowColor, kShadowOffset, kShadowBlur);
    painter.setPen(QPen(kRimColor, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
}

void TQFloatingWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutFrameView();
}

void TQFloatingWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // Our own placements are not the user's moves; window systems may report them late.
    if (isWindow() && frame().topLeft() != m_placedAt)
        m_frameView->onWindowDidMove();
}

void TQFloatingWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit windowWillClose();
}

void TQFloatingWindow::keyPressEvent(QKeyEvent* event)
{
    if (!m_frameView->performKeyEquivalent(event))
        QWidget::keyPressEvent(event);
}

void TQFloatingWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    const bool key = isActiveWindow();
    if (key && !m_frameView->isObservingMoves())
        m_frameView->onWindowDidBecomeKey();
    tellDelegate(key ? Commands::windowDidBecomeKey : Commands::windowDidResignKey,
                 QVariant::fromValue(
                     Notification(key ? Notifications::windowDidBecomeKey : Notifications::windowDidResignKey,
                                  QVariant::fromValue<QObject*>(this), {})));
}

} // namespace tavrel
