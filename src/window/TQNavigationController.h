#pragma once

#include <QAbstractAnimation>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
class QWidget;

namespace tavrel {

class TQTitlebar;
class TQViewController;

// One stack of content controllers in an area of the main window: a root, the controllers pushed
// above it, and on top the one whose view shows. Every change of the visible view is a quarter-second
// slide: a push comes in from the right, a pop leaves to the right, a new root comes in from below or
// from above. Each push adds a back button to the title bar and each pop removes it. At the end of a
// slide the outgoing controller is uninstalled, the top one installed, and an open quick-share
// popover is told to let go of its anchor ("QuickShareDialogShouldDetach", object: the window).
//
// A new slide stops the running one at once: its views jump to their end frames and its outgoing
// controller is uninstalled, so no view is left half-way or orphaned.
class TQNavigationController : public QObject
{
    Q_OBJECT
public:
    static inline const QString kQuickShareDialogShouldDetachNotification =
        QStringLiteral("QuickShareDialogShouldDetach");

    explicit TQNavigationController(QObject* parent = nullptr);
    ~TQNavigationController() override;

    // The area the controllers' views fill.
    QWidget* view() const { return m_view; }

    TQViewController* currentController() const;
    // Replaces the root and resets the history; nothing when it is the root already.
    void setCurrentController(TQViewController* controller);
    QList<TQViewController*> navigationHistory() const;
    TQViewController* topController() const;
    int level() const { return int(navigationHistory().size()); }
    bool hasStoredState() const { return !m_storage.isEmpty(); }

    TQTitlebar* toolbar() const;
    void setToolbar(TQTitlebar* toolbar);
    bool isSliding() const { return m_currentAnimation != nullptr; }

    void resetNavigationHistory();
    void cleanHistory() { setCurrentController(nullptr); }
    void installControllerFromBottom(TQViewController* controller);
    void installControllerFromTop(TQViewController* controller);
    void pushController(TQViewController* controller);
    // The removed controller; nullptr when nothing is above the root.
    TQViewController* popController();
    void popToRootController();
    // The action of the back buttons.
    Q_INVOKABLE void goBack(QObject* sender);
    void storeNavigationHistory();
    void restoreNavigationHistory();

    // The back buttons' images.
    static QStringList regularBackgroundImageNames();
    static QStringList activeBackgroundImageNames();

signals:
    // The controller on top is in place (after its slide, or at once when nothing slid).
    void topControllerDidChange(tavrel::TQViewController* controller);

private:
    enum class Slide { FromBottom, FromTop, Push, Pop };
    struct Entry
    {
        QPointer<QWidget> view;
        QRect endFrame;
        QPointer<TQViewController> removeController; // the outgoing one
        bool cleanSearch = false;
    };
    void slide(Slide kind, TQViewController* incoming, TQViewController* outgoing);
    void runSlide();
    void stopCurrentAnimation(TQViewController* nextIncoming);
    void finishEntries(const QList<Entry>& entries, TQViewController* keep);
    void animationDidEnd();
    void clearFirstResponder();
    void layoutTopView();
    QPointer<QWidget> m_view;
    QPointer<TQViewController> m_currentController;
    QList<QPointer<TQViewController>> m_navigationHistory;
    QList<QPointer<TQViewController>> m_storage;
    QPointer<TQTitlebar> m_toolbar;
    QPointer<QAbstractAnimation> m_currentAnimation;
    QList<Entry> m_entries;

    friend class NavigationView;
};

} // namespace tavrel
