#include "chrome/TQStatusBarController.h"

#include "chrome/TQProgressStatusSubcontroller.h"
#include "chrome/TQSpinStatusSubcontroller.h"
#include "controls/SpinningIndicator.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/system/TQLog.h"
#include "platform/ui/Animations.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPropertyAnimation>
#include <QWidget>

namespace tavrel {

namespace {

// The bar's own face: a light strip with a hairline along its top edge.
class StatusBarView : public QWidget
{
public:
    StatusBarView() { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(0xF7, 0xF7, 0xF7));
        gradient.setColorAt(1, QColor(0xEC, 0xEC, 0xEC));
        painter.fillRect(rect(), gradient);
        painter.setPen(QColor(0xCC, 0xCC, 0xCC));
        painter.drawLine(0, 0, width(), 0);
    }
};

TQStatusBarController* s_shared = nullptr;

} // namespace

TQStatusBarController::TQStatusBarController(QObject* parent) : QObject(parent)
{
    m_view = new StatusBarView;
    m_view->setObjectName(QStringLiteral("statusBar"));
    m_view->resize(400, kBarHeight);
    m_holder = new QWidget(m_view);
    m_holder->setGeometry(0, 1, 400, kBarHeight - 1);
    m_holder->setAttribute(Qt::WA_TranslucentBackground);
    m_view->installEventFilter(this);
    m_spinController = new TQSpinStatusSubcontroller(this);
    m_progressController = new TQProgressStatusSubcontroller(this);
    m_visibilityTimer.setSingleShot(true);
    connect(&m_visibilityTimer, &QTimer::timeout, this, [this] { setVisible(bool(currentStatus())); });
    for (const QString& name : {kUnBlockStatusbarNotification, kBlockStatusbarNotification})
        NotificationCenter::defaultCenter().addObserver(
            this, name, QVariant(), [this](const Notification& note) { onStatusBarBlockingUpdated(note); });
}

TQStatusBarController::~TQStatusBarController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    // The presentations' views live in the bar's holder: let them go first.
    delete m_spinController;
    delete m_progressController;
    delete m_view.data();
    if (s_shared == this)
        s_shared = nullptr;
}

TQStatusBarController* TQStatusBarController::sharedStatusBarController()
{
    if (!s_shared)
        s_shared = new TQStatusBarController(QCoreApplication::instance());
    return s_shared;
}

bool TQStatusBarController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::Resize) {
        m_holder->setGeometry(0, 1, m_view->width(), m_view->height() - 1);
        for (TQSpinStatusSubcontroller* presentation :
             {m_spinController, static_cast<TQSpinStatusSubcontroller*>(m_progressController)})
            if (presentation->view()->parentWidget() == m_holder)
                presentation->view()->setGeometry(m_holder->rect());
    }
    return QObject::eventFilter(watched, event);
}

void TQStatusBarController::showStatus(const QString& status, const QString& identifier)
{
    addEntry(status, identifier, m_pendingStatus);
}

void TQStatusBarController::showProgress(const QString& status, const QString& identifier)
{
    addEntry(status, identifier, m_pendingProgress);
}

void TQStatusBarController::removeStatusWithIdentifier(const QString& identifier)
{
    removeEntry(identifier, m_pendingStatus);
}

void TQStatusBarController::removeProgressWithIdentifier(const QString& identifier)
{
    removeEntry(identifier, m_pendingProgress);
}

void TQStatusBarController::addEntry(const QString& status, const QString& identifier,
                                     QList<TQStatusWrapperPtr>& list)
{
    if (m_pendingStatusMap.contains(identifier))
        return;
    TQStatusWrapperPtr wrapper = TQStatusWrapper::statusWrapperWithStatus(status, identifier);
    if (!wrapper)
        return;
    m_pendingStatusMap.insert(identifier, wrapper);
    list.prepend(wrapper);
    updateDisplayArea();
}

void TQStatusBarController::removeEntry(const QString& identifier, QList<TQStatusWrapperPtr>& list)
{
    // An entry leaves only through the operation of its kind: dropping the key alone would leave an
    // entry on display that nothing could remove.
    const TQStatusWrapperPtr wrapper = m_pendingStatusMap.value(identifier);
    if (!wrapper || !list.removeOne(wrapper))
        return;
    m_pendingStatusMap.remove(identifier);
    updateDisplayArea();
}

void TQStatusBarController::setMessage(const QString& message, const QString& identifier)
{
    const TQStatusWrapperPtr wrapper = m_pendingStatusMap.value(identifier);
    if (!wrapper)
        return;
    wrapper->setStatus(message);
    if (wrapper == currentStatus())
        updateDisplayArea();
}

void TQStatusBarController::setProgressValue(double value, const QString& identifier)
{
    const TQStatusWrapperPtr wrapper = m_pendingStatusMap.value(identifier);
    if (!wrapper)
        return;
    wrapper->setProgress(value);
    if (wrapper != currentStatus())
        return;
    QProgressBar* bar = m_progressController->progressBar();
    if (bar->maximum() == 0)
        bar->setRange(0, 100);
    TQLog("Showing progress id=<%@> value=%@", identifier, QString::number(value, 'f', 2));
    bar->setValue(qRound(value));
}

void TQStatusBarController::updateDisplayArea()
{
    // A lost connection is said before any progress, which cannot go on without it.
    if (const TQStatusWrapperPtr connection = m_pendingStatusMap.value(kConnectionStatusIdentifier);
        connection && m_pendingStatus.contains(connection))
        showCurrent(m_spinController, m_progressController, {connection}, false);
    else if (!m_pendingProgress.isEmpty())
        showCurrent(m_progressController, m_spinController, m_pendingProgress, true);
    else
        showCurrent(m_spinController, m_progressController, m_pendingStatus, false);
    // Many changes within the delay move the bar at most once.
    m_visibilityTimer.start(int(kVisibilityDelay.milliseconds()));
}

void TQStatusBarController::showCurrent(TQSpinStatusSubcontroller* shown, TQSpinStatusSubcontroller* other,
                                        const QList<TQStatusWrapperPtr>& list, bool isProgress)
{
    if (other->view()->parentWidget() == m_holder) {
        other->viewWillUninstall();
        other->view()->hide();
        other->view()->setParent(nullptr);
    }
    // The oldest entry still present.
    const TQStatusWrapperPtr entry = list.isEmpty() ? nullptr : list.last();
    if (entry && entry == currentStatus()) {
        shown->setLabel(entry->status());
        return;
    }
    m_currentStatus = entry;
    if (!entry) {
        if (isProgress)
            m_progressController->progressBar()->setRange(0, 100);
        else
            static_cast<SpinningIndicator*>(m_spinController->progressControl())->stopAnimation();
        return;
    }
    shown->progressControl()->setVisible(m_indicateActivity);
    shown->setLabel(entry->status());
    if (shown->view()->parentWidget() != m_holder) {
        shown->view()->setParent(m_holder);
        shown->view()->setGeometry(m_holder->rect());
        shown->view()->show();
        shown->viewDidInstall();
    }
    if (isProgress) {
        QProgressBar* bar = m_progressController->progressBar();
        if (const std::optional<double> progress = entry->progress()) {
            bar->setRange(0, 100);
            bar->setValue(qRound(*progress));
        } else {
            bar->setRange(0, 0); // indeterminate: Qt animates it
        }
    } else {
        m_spinController->layoutSubviews();
        auto* indicator = static_cast<SpinningIndicator*>(m_spinController->progressControl());
        indicator->startAnimation();
        indicator->setVisible(m_indicateActivity);
    }
}

void TQStatusBarController::setVisible(bool visible)
{
    QWidget* referral = m_referralProvider ? m_referralProvider() : nullptr;
    const bool besideReferral =
        referral && m_view->parentWidget() && m_view->parentWidget() == referral->parentWidget();
    if (visible) {
        if (!referral)
            return;
        if (besideReferral) {
            // A bar still sliding out turns back.
            if (m_slidingOut)
                makeVisible(true);
            else
                TQLog("[!] Status bar already visible");
            return;
        }
        m_view->setParent(nullptr);
        const QRect frame = referral->geometry();
        m_view->setParent(referral->parentWidget());
        m_view->setGeometry(frame.x(), frame.bottom() + 1, frame.width(), kBarHeight);
        m_view->raise();
        m_view->setVisible(!m_blocked);
        m_referringView = referral;
        makeVisible(true);
    } else if (!referral || besideReferral) {
        makeVisible(false);
    }
}

void TQStatusBarController::makeVisible(bool visible)
{
    if (m_slide)
        m_slide->stop();
    m_slidingOut = false;
    if (!m_referringView || !m_referringView->parentWidget()) {
        m_view->hide();
        m_view->setParent(nullptr);
        return;
    }
    const QRect referral = m_referringView->geometry();
    QRect end = m_view->geometry();
    end.moveTop(visible ? referral.bottom() + 1 - m_view->height() : referral.bottom() + 1);
    QPropertyAnimation* slide =
        Animations::property(m_view, "geometry", end, Animations::kNormal, Animations::Curve::EaseIn, this);
    m_slide = slide;
    m_slidingOut = !visible;
    if (!visible)
        connect(slide, &QPropertyAnimation::finished, this, [this] {
            m_slidingOut = false;
            m_view->hide();
            m_view->setParent(nullptr);
        });
    Animations::start(slide);
}

void TQStatusBarController::onStatusBarBlockingUpdated(const Notification& notification)
{
    m_blocked = notification.name() == kBlockStatusbarNotification;
    // A bar that is not in a window stays out of sight: shown alone it would become a window.
    if (m_view->parentWidget())
        m_view->setVisible(!m_blocked);
}

void TQStatusBarController::attachToWindow(std::function<QWidget*()> contentView)
{
    setReferralProvider(std::move(contentView));
}

void TQStatusBarController::detachFromWindow(QWidget* window)
{
    setReferralProvider(nullptr);
    if (m_view && window && window->isAncestorOf(m_view)) {
        m_view->hide();
        m_view->setParent(nullptr);
    }
}

} // namespace tavrel
