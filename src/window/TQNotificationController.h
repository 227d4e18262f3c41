#pragma once

#include "platform/runtime/Timing.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QTextBrowser;
class QWidget;

namespace tavrel {

class TQHostView;

// The in-window banner: a one-paragraph message with an optional link, laid over the top of the main
// window's content column. It slides and fades in, stays for six seconds and goes; a click on its link
// hides it at once and asks the delegate to perform the action the link names, by
// notificationController(controller, actionName) when the delegate has that Q_INVOKABLE method.
// One banner for the whole program.
class TQNotificationController : public QObject
{
    Q_OBJECT
public:
    static inline const Timing kDisplayTime{"bannerDisplayTime", 6000};
    static constexpr double kFadeSeconds = 0.25;
    static constexpr double kSlideSeconds = 0.5;
    static constexpr double kShownOpacity = 0.95;

    static TQNotificationController* sharedNotificationController();

    // The view the banner lies over (the main window's content column). The banner is added to its
    // parent, right above it.
    QWidget* referralView() const { return m_referralView; }
    void setReferralView(QWidget* view) { m_referralView = view; }

    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // The banner (made on first use, again when a window that held it was closed).
    TQHostView* view();
    QTextBrowser* notificationArea();

    // Nothing for an empty message. The text is the message and one space, then the link (its title,
    // or the action name when the title is empty) when an action is given.
    void setMessage(const QString& message, const QString& action = QString(),
                    const QString& actionTitle = QString());
    QString plainText();
    void showNotification();
    void showTooltip() {}
    Q_INVOKABLE void hideNotificationArea(QObject* sender = nullptr);

    bool isShown() const;
    bool hasPendingHide() const { return m_timer.isActive(); }
    // The link's click (the text view's).
    void clickedOnLink(const QUrl& link);

private:
    TQNotificationController();
    void installNotificationArea();
    void makeVisible(bool visible);
    void animationDidEnd(bool shouldRemove);

    QPointer<TQHostView> m_view;
    QPointer<QTextBrowser> m_notificationArea;
    QPointer<QObject> m_delegate;
    QPointer<QWidget> m_referralView;
    QPointer<QWidget> m_referringView;
    QTimer m_timer;
    QString m_html;
};

} // namespace tavrel
