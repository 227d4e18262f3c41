#pragma once

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

namespace tavrel {

class PullToRefreshScrollView;

// The clip view of a pull-to-refresh scroll view: it shows its document from a bounds origin that may
// lie above the document's top (the content pulled down), with the refresh header directly above the
// document. While a refresh runs, the document rectangle reaches up over the header, so the header
// can stay in view at rest.
class PullToRefreshClipView : public QWidget
{
    Q_OBJECT
public:
    explicit PullToRefreshClipView(PullToRefreshScrollView* scrollView);

    // The visible part's top-left corner in document coordinates (y below 0: pulled down).
    QPointF boundsOrigin() const { return m_origin; }
    void setBoundsOrigin(const QPointF& origin);

    // The document's rectangle, extended upwards by the header's height while refreshing.
    QRectF documentRect() const;
    // The nearest origin the view may rest at; while refreshing, a point above the document's top
    // stays where it is, or at the header's full height when pulled past the threshold.
    QPointF constrainScrollPoint(const QPointF& proposed) const;

    // Forwarded to the scroll view.
    bool isRefreshing() const;
    QWidget* headerView() const;
    double minimumScroll() const;

    QWidget* documentView() const { return m_document; }
    void setDocumentView(QWidget* document);
    // Places the document and the header for the origin and the clip's size.
    void layoutDocument();

signals:
    void boundsChanged(const QPointF& origin);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    PullToRefreshScrollView* m_scrollView;
    QPointer<QWidget> m_document;
    QPointF m_origin;
};

} // namespace tavrel
