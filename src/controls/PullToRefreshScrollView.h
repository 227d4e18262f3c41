#pragma once

#include "controls/ImageLayerView.h"
#include "controls/SpinningIndicator.h"
#include "platform/runtime/Timing.h"

#include <QAbstractScrollArea>
#include <QPointer>

class QVariantAnimation;

namespace tavrel {

class PullToRefreshClipView;

// A scroll view whose content can be pulled down past its top with a touchpad, as on a touch screen:
// a 44-point header comes into view above the document with an arrow, which turns into the release
// arrow once the pull reaches 54 points. Letting go there starts a refresh: a spinner turns in the
// header, which stays in view, and one second later the target's selector and the delegate's
//     Q_INVOKABLE void ptrScrollViewDidTriggerRefresh(QObject* scrollView);
// are told, and the header scrolls away.
//
// Only scroll gestures pull (touchpads report their phases; a mouse wheel does not) and only the end
// of a gesture starts a refresh. The document is any widget: one that scrolls itself (a list) is
// sized to the view and pulled as a whole when it is at its top; any other is scrolled by this view.
class PullToRefreshScrollView : public QAbstractScrollArea
{
    Q_OBJECT
    Q_PROPERTY(bool isRefreshing READ isRefreshing NOTIFY isRefreshingChanged)
public:
    static constexpr double kHeaderHeight = 44;
    // How long the spinner shows before the refresh is reported and the header leaves.
    static inline const Timing kRefreshDuration{"ptrRefreshDuration", 1000};

    explicit PullToRefreshScrollView(QWidget* parent = nullptr);
    ~PullToRefreshScrollView() override;

    PullToRefreshClipView* contentView() const { return m_clipView; }
    QWidget* documentView() const;
    void setDocumentView(QWidget* document);

    bool isRefreshing() const { return m_isRefreshing; }
    bool overHeaderView() const { return m_overHeaderView; }
    QWidget* refreshHeader() const { return m_refreshHeader; }
    ImageLayerView* refreshArrow() const { return m_refreshArrow; }
    ImageLayerView* releaseArrow() const { return m_releaseArrow; }
    SpinningIndicator* refreshSpinner() const { return m_refreshSpinner; }

    QObject* delegate() const { return m_delegate; }
    // Whether it has ptrScrollViewDidTriggerRefresh is looked up once here.
    void setDelegate(QObject* delegate);
    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    // A selector taking the scroll view ("refreshList:").
    QString selector() const { return m_selector; }
    void setSelector(const QString& selector) { m_selector = selector; }

    // Whether the pull has reached the threshold, and the threshold (the origin's y, -54).
    bool overRefreshView() const;
    double minimumScroll() const { return -kHeaderHeight - 10; }

    // Rebuilds the header with its arrows and spinner.
    void createHeaderView();
    // The clip view's origin changed: the arrows follow, unless a refresh runs.
    void viewBoundsChanged();
    // Sizes the document to the view's width and the height it asks for (after its size hints changed).
    void sizeDocument();
    // Starts a refresh at the end of a gesture past the threshold; the ordinary scrolling follows.
    void scrollWheel(QWheelEvent* event);

    void startLoading();
    void finish();
    void stopLoading();
    void refreshPTRScrollViewContents();

signals:
    void isRefreshingChanged(bool refreshing);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool documentScrollsItself() const;
    // Scrolls by a distance (positive: towards the document's end); elastic lets the top be pulled.
    void scrollBy(double dy, bool elastic);
    void scrollTo(double y);
    // Moves to the nearest resting point, animated.
    void settle();
    void updateScrollBars();

    PullToRefreshClipView* m_clipView = nullptr;
    QPointer<QWidget> m_refreshHeader;
    QPointer<ImageLayerView> m_refreshArrow;
    QPointer<ImageLayerView> m_releaseArrow;
    QPointer<SpinningIndicator> m_refreshSpinner;
    QPointer<QObject> m_delegate;
    bool m_delegateRespondsToRefresh = false;
    QPointer<QObject> m_target;
    QString m_selector;
    bool m_isRefreshing = false;
    bool m_overHeaderView = false;
    bool m_updatingScrollBars = false;
    QPointer<QVariantAnimation> m_settling;
};

} // namespace tavrel
