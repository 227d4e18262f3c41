#pragma once

#include "window/TQTitlebar.h"
#include "window/TQTitlebarView.h"

#include <QPointer>
#include <QSize>
#include <QWidget>

class QKeyEvent;

namespace tavrel {

class TQMainWindowController;

// The main window. The window manager keeps its own frame; inside it the window draws a taller title
// strip of its own (TQTitlebarView) holding a bar of controls (TQTitlebar), and the content below it.
// It turns keys into navigation: Escape and Left go back (through its controller), Right shows
// details, Ctrl+R synchronises even while a text field is being edited; a horizontal swipe goes back.
// Closing it only hides it.
class TQMainWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr double kMinimumTitlebarHeight = 22.0;
    // Where the bar of controls starts in the strip.
    static constexpr int kTitlebarLeading = 8;
    // The size of a first window, and the least it shrinks to where the screen is large enough.
    static constexpr QSize kDefaultSize{960, 640};
    static constexpr QSize kMinimumSize{640, 420};
    // The setting keeping the window's place and size between runs.
    static inline const QString kFrameKey = QStringLiteral("MainWindowFrame");
    // The total horizontal movement of a two-finger swipe that goes back.
    static constexpr float kSwipeThreshold = 0.3f;

    explicit TQMainWindow(QWidget* parent = nullptr);
    ~TQMainWindow() override;

    double titlebarHeight() const { return m_titlebarHeight; }
    // Never below the minimum; a change lays the window out again.
    void setTitlebarHeight(double height);
    static double minimumTitlebarHeight() { return kMinimumTitlebarHeight; }
    TQTitlebarView* titlebarView() const { return m_titlebarView; }
    void setTitlebarView(TQTitlebarView* view);
    TQTitlebar* titlebar() const { return m_titlebar; }
    // Into the strip after the leading inset; null takes the current one off the screen.
    void installTitlebar(TQTitlebar* titlebar);
    // The area below the strip.
    QWidget* contentView() const { return m_contentView; }

    QString title() const { return m_mainTitle; }
    void setTitle(const QString& title);
    bool shouldShowTitle() const { return m_shouldShowTitle; }
    void setShouldShowTitle(bool show);

    TQMainWindowController* delegate() const;
    void setDelegate(TQMainWindowController* delegate);

    // The keys of the window; answers whether one was taken.
    bool performKeyEquivalent(QKeyEvent* event);
    // Whether a swipe of these horizontal movements goes back (either direction does).
    static bool swipeGoesBack(const QList<float>& movements, bool naturalScrolling);

    // Before its first showing the window takes the place and size it had in the last run (else the
    // default size, centred), made to fit the screen it lands on; whenever it hides it keeps them.
    void setVisible(bool visible) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void layoutWindow();
    void restoreFrame();
    void saveFrame() const;
    bool isEditingText() const;

    double m_titlebarHeight = kMinimumTitlebarHeight;
    QPointer<TQTitlebarView> m_titlebarView;
    QPointer<TQTitlebar> m_titlebar;
    QPointer<QWidget> m_contentView;
    QString m_mainTitle;
    bool m_shouldShowTitle = true;
    QPointer<QObject> m_delegate;
    bool m_frameRestored = false;
};

} // namespace tavrel
