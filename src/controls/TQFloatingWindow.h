#pragma once

#include "controls/TQFloatingWindowFrameView.h"
#include "platform/ui/MessageNames.h"

#include <QPointer>
#include <QWidget>

class QVariantAnimation;

namespace tavrel {

class Notification;
class TQShadowedDivider;
class TQTriStateButton;

// The borderless popover window of the program. Its frame view draws all of it (outline, arrow,
// title band, background); the window adds the drop shadow around it, a close button at the top left
// of the title band, a title bar view beside it, and a drawer of 80 points that slides out below the
// content. It is attached to a point of a parent window (the arrow's tip then lies on that point) or
// stands free at the position remembered from the last move.
//
// The design's frame is the panel with its arrow; the widget itself is larger by kShadowMargin on
// every side, where it draws the shadow that the window system does not give a frameless translucent
// window. frame() and setFrame() speak of the design's frame, in screen coordinates.
//
// Delegate (a QObject; every method optional):
//     Q_INVOKABLE bool windowShouldClose(QObject* window);       false keeps it open (performClose)
//     Q_INVOKABLE void onWindowDidBecomeVisible(const Notification&); after attaching
//     Q_INVOKABLE void windowDidBecomeKey(const Notification&);  windowDidResignKey(const Notification&)
// Drawer delegate (makeDrawerVisible; every method optional, each given the window):
//     drawerWillAppear(QObject*), drawerDidAppear, drawerWillDisappear, drawerDidDisappear
//
// Closing hides the window and emits windowWillClose(); its owner deletes it. With a parent, the
// window is a child window of the parent's: owners hold it in a QPointer.
class TQFloatingWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QRect frame READ frame WRITE setFrame)
public:
    static constexpr int kShadowMargin = 14;
    static constexpr int kDrawerHeight = 80;
    static constexpr int kCloseButtonTag = 11111;
    static inline const QString kWindowDidBecomeVisibleNotification = Notifications::windowDidBecomeVisible;
    static inline const QString kQuickShareDialogShouldDetachNotification =
        QStringLiteral("QuickShareDialogShouldDetach");

    // A window for content of the rectangle's size (its origin on the screen), with a title band when
    // the title is not null, and the arrow on the side given (0 for none). The frame is computed with
    // the geometry of the regular size, whatever size is chosen later.
    TQFloatingWindow(const QRect& contentRect, const QString& title, int arrow);
    ~TQFloatingWindow() override;

    TQFloatingWindowFrameView* frameView() const { return m_frameView; }

    // The design's frame on the screen (the panel, without the shadow margin).
    QRect frame() const;
    void setFrame(const QRect& frame);
    void setFrameOrigin(const QPoint& topLeft);

    QWidget* contentView() const;
    void setContentView(QWidget* view);
    QRectF frameRectForContentRect(const QRectF& content) const;
    QRectF contentRectForFrameRect(const QRectF& frame) const;

    void setTitle(const QString& title);
    QString title() const { return windowTitle(); }
    QColor frameBackgroundColor() const;
    void setFrameBackgroundColor(const QColor& color);
    QPixmap frameBackgroundImage() const;
    void setFrameBackgroundImage(const QPixmap& image);

    bool hasTitle() const { return m_hasTitle; }
    void setHasTitle(bool hasTitle) { m_hasTitle = hasTitle; }
    // Kept for the owners; the window never reads it.
    bool hasArrow() const { return m_hasArrow; }
    void setHasArrow(bool hasArrow) { m_hasArrow = hasArrow; }
    bool keepArrowPersistent() const { return m_keepArrowPersistent; }
    void setKeepArrowPersistent(bool persistent) { m_keepArrowPersistent = persistent; }

    // 0 regular, 1 small, 2 medium: the arrow's size, the corner radius and whether it takes the keyboard.
    int windowSize() const { return m_windowSize; }
    void setWindowSize(int size);
    bool canBecomeKeyWindow() const { return m_windowSize != 1; }

    bool hasCloseButton() const { return m_hasCloseButton; }
    void setHasCloseButton(bool hasCloseButton);
    TQTriStateButton* closeButton() const;
    // Places the close button and the title bar view.
    void updateLayout();

    // A view laid into the title band beside the close button; shown only with a title. The window
    // owns it; a replaced one is deleted.
    QWidget* titlebar() const { return m_titlebar; }
    void setTitlebar(QWidget* view);
    // The same; nil leaves an empty title band.
    void installTitlebar(QWidget* view);

    // The drawer below the content.
    bool hasDrawer() const { return m_hasDrawer; }
    QWidget* drawerContentView() const { return m_drawerContentView; }
    void setDrawerContentView(QWidget* view);
    TQShadowedDivider* drawerDivider();
    QRect contentRectForDrawer() const;
    // Slides the drawer out (the window grows 80 points downwards) or in, over 0.15 seconds, telling the
    // delegate before and after. It flips the drawer whatever `show` says: callers pass !hasDrawer().
    void makeDrawerVisible(bool show, QObject* delegate);

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // Closes unless the delegate's windowShouldClose answers false. The close button and Escape use it.
    Q_INVOKABLE void performClose(QObject* sender);

    // Places the window so that its arrow's tip lies on the point (in the parent's coordinates, or on
    // the screen without a parent), shows it and gives it the keyboard. With a parent and an arrow
    // that is not persistent, the first move, resize or minimising of the parent, or a
    // "QuickShareDialogShouldDetach", hides the arrow for good.
    void attachToWindow(QWidget* parent, const QPoint& point);
    // The point to attach at so that the window stays on the parent's screen: below the visible area
    // it stands free 2 points above the bottom; beyond the right edge its side arrow changes sides and
    // the window moves to the parent's left (a bottom arrow, which has no mirror image, stays). Changes
    // the pointer position as needed.
    QPoint validatePoint(const QPoint& point, QWidget* parent);
    void onParentWindowDidChange(const Notification& notification);
    // Centres the window over its parent, or on the screen.
    void center();
    // Redraws at once, the shadow following the outline.
    void display();

    // Where the window's top-left corner goes for an attach point on the screen.
    QPoint frameOriginForPoint(const QPoint& screenPoint, bool useRememberedPosition) const;

    // The user dragging the window by its background (from the frame view).
    void backgroundDragPressed(const QPoint& globalPosition);
    void backgroundDragMoved(const QPoint& globalPosition);
    void backgroundDragReleased();

signals:
    void windowWillClose();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void prepareWindow(QWidget* parent);
    void observeParent(QWidget* parentWindow);
    void stopObservingParent();
    // Lays out the frame view and its parts now: a hidden widget hears of its resize only when shown.
    void layoutFrameView();
    void layoutDrawerParts();
    void tellDelegate(const QString& selector, const QVariant& argument);
    void tellDrawerDelegate(QObject* delegate, const QString& selector);

    TQFloatingWindowFrameView* m_frameView = nullptr;
    bool m_hasTitle = false;
    bool m_hasArrow = false;
    bool m_hasCloseButton = false;
    bool m_keepArrowPersistent = false;
    bool m_hasDrawer = false;
    int m_windowSize = 0;
    QPointer<TQTriStateButton> m_closeButton;
    QPointer<QWidget> m_titlebar;
    QPointer<QWidget> m_drawerContentView;
    QPointer<TQShadowedDivider> m_drawerDivider;
    qreal m_closedHeight = 0;
    QPointer<QObject> m_delegate;

    QPointer<QWidget> m_observedParent;
    QRect m_observedParentGeometry;
    // Where the window placed itself last: a move there is not the user's.
    QPoint m_placedAt;
    bool m_dragging = false;
    QPoint m_dragStart;
    QPoint m_dragOrigin;
};

} // namespace tavrel
