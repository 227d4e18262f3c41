#include "controls/PullToRefreshClipView.h"

#include "controls/OwnedView.h"
#include "controls/PullToRefreshScrollView.h"

#include <QAbstractScrollArea>
#include <QEvent>

namespace tavrel {

PullToRefreshClipView::PullToRefreshClipView(PullToRefreshScrollView* scrollView)
    : QWidget(scrollView), m_scrollView(scrollView)
{}

void PullToRefreshClipView::setBoundsOrigin(const QPointF& origin)
{
    if (origin == m_origin)
        return;
    m_origin = origin;
    layoutDocument();
    emit boundsChanged(origin);
}

bool PullToRefreshClipView::isRefreshing() const
{
    return m_scrollView->isRefreshing();
}

QWidget* PullToRefreshClipView::headerView() const
{
    return m_scrollView->refreshHeader();
}

double PullToRefreshClipView::minimumScroll() const
{
    return m_scrollView->minimumScroll();
}

void PullToRefreshClipView::setDocumentView(QWidget* document)
{
    if (!OwnedView::replace(m_document, document, this))
        return;
    m_origin = QPointF();
    if (document)
        document->show();
    layoutDocument();
}

QRectF PullToRefreshClipView::documentRect() const
{
    QRectF rect;
    if (qobject_cast<QAbstractScrollArea*>(m_document.data()))
        rect = QRectF(QPointF(), QSizeF(size())); // it scrolls itself
    else if (m_document)
        rect = QRectF(QPointF(), QSizeF(m_document->size()));
    if (isRefreshing())
        rect.adjust(0, -PullToRefreshScrollView::kHeaderHeight, 0, 0);
    return rect;
}

QPointF PullToRefreshClipView::constrainScrollPoint(const QPointF& proposed) const
{
    const QRectF document = documentRect();
    const qreal maxX = qMax(document.left(), document.right() - width());
    const qreal maxY = qMax(document.top(), document.bottom() - height());
    QPointF constrained(qBound(document.left(), proposed.x(), maxX),
                        qBound(document.top(), proposed.y(), maxY));
    if (isRefreshing() && proposed.y() <= 0)
        constrained.setY(proposed.y() <= minimumScroll() ? -PullToRefreshScrollView::kHeaderHeight
                                                         : proposed.y());
    return constrained;
}

void PullToRefreshClipView::layoutDocument()
{
    // Where the document's top edge lies in the clip view.
    qreal documentTop = -m_origin.y();
    qreal documentWidth = width();
    if (auto* scrolling = qobject_cast<QAbstractScrollArea*>(m_document.data())) {
        documentTop = qMax(0.0, -m_origin.y());
        scrolling->setGeometry(0, int(documentTop), width(), height());
    } else if (m_document) {
        m_document->move(QPointF(-m_origin.x(), documentTop).toPoint());
        documentWidth = m_document->width();
    }
    if (QWidget* header = headerView())
        header->setGeometry(QRectF(-m_origin.x(), documentTop - PullToRefreshScrollView::kHeaderHeight,
                                   documentWidth, PullToRefreshScrollView::kHeaderHeight)
                                .toRect());
}

void PullToRefreshClipView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutDocument();
}

bool PullToRefreshClipView::event(QEvent* event)
{
    // The document's size hints changed.
    if (event->type() == QEvent::LayoutRequest)
        m_scrollView->sizeDocument();
    return QWidget::event(event);
}

} // namespace tavrel
