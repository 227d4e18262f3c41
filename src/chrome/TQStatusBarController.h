#pragma once

#include "chrome/TQStatusWrapper.h"
#include "platform/runtime/Timing.h"
#include "platform/ui/MessageNames.h"
#include "window/IStatusBar.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QAbstractAnimation;

namespace tavrel {

class Notification;
class TQProgressStatusSubcontroller;
class TQSpinStatusSubcontroller;

// The thin bar at the bottom of the main window's content area. Entries (messages with a spinning
// indicator, progress entries with a bar) are added and removed by identifier; the bar shows one at a
// time: the oldest progress entry still present, else the oldest message. It slides in below the
// referral view (the content area) when there is something to show and out when there is nothing,
// at most once per 0.1 seconds however many entries come and go meanwhile.
//
// "TQBlockStatusbarNotification" hides the bar while something covers it and
// "TQUnBlockStatusbarNotification" shows it again; neither changes entries or position.
// Main thread only.
class TQStatusBarController : public QObject, public IStatusBar
{
    Q_OBJECT
    Q_PROPERTY(QWidget* view READ view CONSTANT)
public:
    static inline const QString kBlockStatusbarNotification = Notifications::blockStatusbar;
    static inline const QString kUnBlockStatusbarNotification = Notifications::unblockStatusbar;
    static constexpr int kBarHeight = 24;
    // The message of a lost connection (kConnectionStatusIdentifier) shows before every other entry
    // while present.
    // How long the bar waits before sliding after its entries changed.
    static inline const Timing kVisibilityDelay{"statusBarVisibilityDelay", 100};

    explicit TQStatusBarController(QObject* parent = nullptr);
    ~TQStatusBarController() override;
    // The process-wide bar, made on first use.
    static TQStatusBarController* sharedStatusBarController();

    QWidget* view() const { return m_view; }
    QWidget* holder() const { return m_holder; }
    TQSpinStatusSubcontroller* spinController() const { return m_spinController; }
    TQProgressStatusSubcontroller* progressController() const { return m_progressController; }

    // The view whose bottom strip the bar covers (the main window's content area); nothing when the
    // provider answers none. The main window sets it.
    using ReferralProvider = std::function<QWidget*()>;
    void setReferralProvider(ReferralProvider provider) { m_referralProvider = std::move(provider); }
    QWidget* referringView() const { return m_referringView; }
    void setReferringView(QWidget* view) { m_referringView = view; }

    bool indicateActivity() const { return m_indicateActivity; }
    Q_INVOKABLE void setIndicateActivity(bool indicate) override { m_indicateActivity = indicate; }

    // Nothing for a null text or identifier, or an identifier already present.
    Q_INVOKABLE void showStatus(const QString& status, const QString& identifier) override;
    Q_INVOKABLE void showProgress(const QString& status, const QString& identifier) override;
    // Each kind is removed with its own operation; an unknown identifier changes nothing.
    Q_INVOKABLE void removeStatusWithIdentifier(const QString& identifier) override;
    Q_INVOKABLE void removeProgressWithIdentifier(const QString& identifier) override;
    Q_INVOKABLE void setMessage(const QString& message, const QString& identifier) override;
    // In percent, 0 to 100.
    Q_INVOKABLE void setProgressValue(double value, const QString& identifier) override;

    // The main window: the bar covers the bottom of the view the provider answers while it lives.
    void attachToWindow(std::function<QWidget*()> contentView) override;
    void detachFromWindow(QWidget* window) override;

    // The entry on display, none when the bar shows nothing.
    TQStatusWrapperPtr currentStatus() const { return m_currentStatus.lock(); }
    bool isVisibilityUpdatePending() const { return m_visibilityTimer.isActive(); }

    // Slides the bar in below the referral view, or out.
    void setVisible(bool visible);
    void makeVisible(bool visible);

    bool isBlocked() const { return m_blocked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addEntry(const QString& status, const QString& identifier, QList<TQStatusWrapperPtr>& list);
    void removeEntry(const QString& identifier, QList<TQStatusWrapperPtr>& list);
    void updateDisplayArea();
    void showCurrent(TQSpinStatusSubcontroller* shown, TQSpinStatusSubcontroller* other,
                     const QList<TQStatusWrapperPtr>& list, bool isProgress);
    void onStatusBarBlockingUpdated(const Notification& notification);

    QPointer<QWidget> m_view;
    QWidget* m_holder = nullptr;
    TQSpinStatusSubcontroller* m_spinController = nullptr;
    TQProgressStatusSubcontroller* m_progressController = nullptr;
    ReferralProvider m_referralProvider;
    QPointer<QWidget> m_referringView;
    QHash<QString, TQStatusWrapperPtr> m_pendingStatusMap;
    // Newest first.
    QList<TQStatusWrapperPtr> m_pendingStatus;
    QList<TQStatusWrapperPtr> m_pendingProgress;
    std::weak_ptr<TQStatusWrapper> m_currentStatus;
    bool m_indicateActivity = true;
    bool m_blocked = false;
    QPointer<QAbstractAnimation> m_slide;
    bool m_slidingOut = false;
    QTimer m_visibilityTimer;
};

} // namespace tavrel
