#include "controls/PullToRefreshScrollView.h"

#include "controls/ImageLayerView.h"
#include "controls/OwnedView.h"
#include "controls/PullToRefreshClipView.h"
#include "controls/SpinningIndicator.h"
#include "platform/runtime/Invocation.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"

#include <QApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <QVariantAnimation>
#include <QWheelEvent>
#include <cmath>

namespace tavrel {

namespace {

const QString kRefreshSelector = Commands::ptrScrollViewDidTriggerRefresh;
// A line of a mouse wheel's notch, in points.
constexpr double kLineHeight = 20;

// How far a wheel event moves the content down (positive) or up, in points.
double pullDistance(const QWheelEvent* event)
{
    if (!event->pixelDelta().isNull())
        return event->pixelDelta().y();
    return event->angleDelta().y() / 120.0 * QApplication::wheelScrollLines() * kLineHeight;
}

// Keeps a view centred in its parent, its origin rounded down.
void centre(QWidget* view)
{
    const QRectF bounds(view->parentWidget()->rect());
    view->move(int(std::floor(bounds.center().x() - view->width() / 2.0)),
               int(std::floor(bounds.center().y() - view->height() / 2.0)));
}

} // namespace

PullToRefreshScrollView::PullToRefreshScrollView(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    m_clipView = new PullToRefreshClipView(this);
    setViewport(m_clipView);
    connect(m_clipView, &PullToRefreshClipView::boundsChanged, this, [this] {
        viewBoundsChanged();
        updateScrollBars();
    });
    createHeaderView();
}

PullToRefreshScrollView::~PullToRefreshScrollView() = default;

QWidget* PullToRefreshScrollView::documentView() const
{
    return m_clipView->documentView();
}

void PullToRefreshScrollView::setDocumentView(QWidget* document)
{
    if (auto* old = qobject_cast<QAbstractScrollArea*>(documentView()))
        old->viewport()->removeEventFilter(this);
    m_clipView->setDocumentView(document);
    if (auto* scrolling = qobject_cast<QAbstractScrollArea*>(document)) {
        // A list scrolls itself; this view only pulls it down at its top.
        scrolling->viewport()->installEventFilter(this);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    } else {
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    sizeDocument();
    createHeaderView();
}

bool PullToRefreshScrollView::documentScrollsItself() const
{
    return qobject_cast<QAbstractScrollArea*>(documentView()) != nullptr;
}

void PullToRefreshScrollView::setDelegate(QObject* delegate)
{
    if (delegate == m_delegate)
        return;
    m_delegate = delegate;
    m_delegateRespondsToRefresh = Invocation::respondsToSelector(delegate, kRefreshSelector);
}

bool PullToRefreshScrollView::overRefreshView() const
{
    return m_clipView->boundsOrigin().y() <= minimumScroll();
}

void PullToRefreshScrollView::createHeaderView()
{
    auto* header = new QWidget;
    header->setObjectName(QStringLiteral("refreshHeader"));
    OwnedView::replace(m_refreshHeader, header, m_clipView);
    m_clipView->layoutDocument();

    m_refreshArrow =
        new ImageLayerView(ImageRegistry::pixmap(QStringLiteral("pull-to-refresh-arrow")), header);
    m_releaseArrow = new ImageLayerView(ImageRegistry::pixmap(QStringLiteral("release-to-refresh")), header);
    m_refreshSpinner = new SpinningIndicator(header);
    for (QWidget* part : {static_cast<QWidget*>(m_refreshArrow), static_cast<QWidget*>(m_releaseArrow),
                          static_cast<QWidget*>(m_refreshSpinner)})
        centre(part);
    // Both arrows show until the first bounds change decides.
    m_refreshArrow->show();
    m_releaseArrow->show();
    header->installEventFilter(this);
    header->show();
    header->lower();
}

void PullToRefreshScrollView::viewBoundsChanged()
{
    if (m_isRefreshing)
        return;
    if (!overRefreshView()) {
        m_refreshArrow->show();
        m_refreshArrow->setRotation(2 * M_PI);
        m_releaseArrow->hide();
        m_releaseArrow->setRotation(M_PI / 2);
        m_overHeaderView = false;
    } else {
        m_refreshArrow->hide();
        m_refreshArrow->setRotation(M_PI);
        m_releaseArrow->show();
        m_releaseArrow->setRotation(2 * M_PI);
        m_overHeaderView = true;
    }
}

void PullToRefreshScrollView::wheelEvent(QWheelEvent* event)
{
    scrollWheel(event);
}

void PullToRefreshScrollView::scrollWheel(QWheelEvent* event)
{
    if (event->phase() == Qt::ScrollEnd && m_overHeaderView && !m_isRefreshing)
        startLoading();
    event->accept();
    switch (event->phase()) {
    case Qt::ScrollBegin:
        if (m_settling)
            m_settling->stop();
        break;
    case Qt::ScrollEnd:
        // Let go: back to where the view may rest.
        settle();
        return;
    default:
        break;
    }
    // Only a finger on the touchpad pulls beyond the top; momentum and wheels stop there.
    const bool elastic = event->phase() == Qt::ScrollBegin || event->phase() == Qt::ScrollUpdate;
    scrollBy(-pullDistance(event), elastic);
}

void PullToRefreshScrollView::scrollBy(double dy, bool elastic)
{
    const QPointF origin = m_clipView->boundsOrigin();
    double proposed = origin.y() + dy;
    if (auto* scrolling = qobject_cast<QAbstractScrollArea*>(documentView())) {
        QScrollBar* bar = scrolling->verticalScrollBar();
        const bool pulling = origin.y() < 0 || (dy < 0 && bar->value() == bar->minimum());
        if (!pulling) {
            bar->setValue(bar->value() + int(std::lround(dy)));
            return;
        }
        if (proposed > 0) {
            bar->setValue(bar->value() + int(std::lround(proposed)));
            proposed = 0;
        }
    }
    const QPointF constrained = m_clipView->constrainScrollPoint(QPointF(origin.x(), proposed));
    scrollTo(elastic ? qMin(proposed, constrained.y()) : constrained.y());
}

void PullToRefreshScrollView::scrollTo(double y)
{
    m_clipView->setBoundsOrigin(QPointF(m_clipView->boundsOrigin().x(), y));
}

void PullToRefreshScrollView::settle()
{
    const double from = m_clipView->boundsOrigin().y();
    const double to = m_clipView->constrainScrollPoint(m_clipView->boundsOrigin()).y();
    if (m_settling)
        m_settling->stop();
    if (from == to)
        return;
    QVariantAnimation* animation =
        Animations::variant(from, to, Animations::kNormal, Animations::Curve::EaseOut, this);
    connect(animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) { scrollTo(value.toDouble()); });
    m_settling = animation;
    Animations::start(animation);
}

void PullToRefreshScrollView::startLoading()
{
    m_isRefreshing = true;
    emit isRefreshingChanged(true);
    m_refreshArrow->hide();
    m_releaseArrow->hide();
    m_refreshSpinner->startAnimation();
    QTimer::singleShot(kRefreshDuration.milliseconds(), this, &PullToRefreshScrollView::finish);
}

void PullToRefreshScrollView::finish()
{
    if (m_target && Invocation::respondsToSelector(m_target, m_selector)) {
        const InvocationPtr invocation = Invocation::invocationForSelector(m_selector, m_target.data());
        invocation->setArgument(Invocation::kFirstArgument, QVariant::fromValue<QObject*>(this));
        invocation->performOnMainThread(true);
    }
    refreshPTRScrollViewContents();
    stopLoading();
}

void PullToRefreshScrollView::refreshPTRScrollViewContents()
{
    if (!m_delegateRespondsToRefresh || !m_delegate)
        return;
    const InvocationPtr invocation = Invocation::invocationForSelector(kRefreshSelector, m_delegate.data());
    invocation->setArgument(Invocation::kFirstArgument, QVariant::fromValue<QObject*>(this));
    invocation->invoke();
}

void PullToRefreshScrollView::stopLoading()
{
    m_refreshArrow->show();
    m_refreshArrow->setRotation(2 * M_PI);
    m_releaseArrow->hide();
    m_refreshSpinner->stopAnimation();
    m_isRefreshing = false;
    emit isRefreshingChanged(false);
    // The document rectangle no longer reaches over the header: it scrolls away.
    settle();
}

void PullToRefreshScrollView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    sizeDocument();
}

void PullToRefreshScrollView::sizeDocument()
{
    QWidget* document = documentView();
    if (document && !documentScrollsItself()) {
        // As wide as the view; as high as it asks to be.
        const int height =
            qBound(document->minimumHeight(), document->sizeHint().height(), document->maximumHeight());
        document->resize(m_clipView->width(), qMax(height, document->minimumHeight()));
    }
    m_clipView->layoutDocument();
    updateScrollBars();
}

void PullToRefreshScrollView::updateScrollBars()
{
    m_updatingScrollBars = true;
    QScrollBar* bar = verticalScrollBar();
    const QRectF document = m_clipView->documentRect();
    const int maximum = int(std::ceil(qMax(0.0, document.bottom() - m_clipView->height())));
    bar->setRange(0, maximum);
    bar->setPageStep(m_clipView->height());
    bar->setSingleStep(int(kLineHeight));
    bar->setValue(int(std::lround(qBound(0.0, m_clipView->boundsOrigin().y(), double(maximum)))));
    m_updatingScrollBars = false;
}

void PullToRefreshScrollView::scrollContentsBy(int, int)
{
    // The scroll bar was dragged.
    if (!m_updatingScrollBars && !documentScrollsItself())
        scrollTo(verticalScrollBar()->value());
}

bool PullToRefreshScrollView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_refreshHeader && event->type() == QEvent::Resize) {
        for (QWidget* part : {static_cast<QWidget*>(m_refreshArrow), static_cast<QWidget*>(m_releaseArrow),
                              static_cast<QWidget*>(m_refreshSpinner)})
            centre(part);
        return false;
    }
    auto* scrolling = qobject_cast<QAbstractScrollArea*>(documentView());
    if (event->type() == QEvent::Wheel && scrolling && watched == scrolling->viewport()) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QScrollBar* bar = scrolling->verticalScrollBar();
        const bool atTop = bar->value() == bar->minimum();
        const bool gesture = wheel->phase() == Qt::ScrollBegin || wheel->phase() == Qt::ScrollUpdate;
        const bool pulledDown = m_clipView->boundsOrigin().y() < 0;
        const bool pullsFurther = atTop && pullDistance(wheel) > 0 && (gesture || m_isRefreshing);
        // This view takes what pulls the list down at its top, and every gesture's end.
        if (pulledDown || pullsFurther || wheel->phase() == Qt::ScrollEnd) {
            scrollWheel(wheel);
            return true;
        }
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

} // namespace tavrel
