#include "window/TQNotificationController.h"

#include "controls/TQHostView.h"
#include "platform/runtime/Invocation.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/MessageNames.h"

#include <QAbstractTextDocumentLayout>
#include <QPropertyAnimation>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace tavrel {

namespace {
constexpr int kInsetX = 8;
constexpr int kInsetY = 5;
} // namespace

TQNotificationController* TQNotificationController::sharedNotificationController()
{
    static auto* shared = new TQNotificationController;
    return shared;
}

TQNotificationController::TQNotificationController()
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { hideNotificationArea(); });
}

TQHostView* TQNotificationController::view()
{
    if (!m_view) {
        m_view = new TQHostView;
        m_view->setObjectName(QStringLiteral("notificationView"));
        m_view->setBackgroundColor(QColor(0xfb, 0xf3, 0xc9));
        auto* layout = new QVBoxLayout(m_view);
        layout->setContentsMargins(0, 0, 0, 0);
        m_notificationArea = new QTextBrowser(m_view);
        m_notificationArea->setObjectName(QStringLiteral("notificationArea"));
        m_notificationArea->setOpenLinks(false);
        m_notificationArea->setOpenExternalLinks(false);
        m_notificationArea->setFrameShape(QFrame::NoFrame);
        m_notificationArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_notificationArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_notificationArea->viewport()->setAutoFillBackground(false);
        m_notificationArea->setAttribute(Qt::WA_TranslucentBackground);
        m_notificationArea->setStyleSheet(QStringLiteral("QTextBrowser { background: transparent; }"));
        m_notificationArea->document()->setDocumentMargin(0);
        layout->setContentsMargins(kInsetX, kInsetY, kInsetX, kInsetY);
        m_notificationArea->document()->setDefaultStyleSheet(QStringLiteral(
            "body { color: #292929; } a { color: #000000; font-weight: bold; text-decoration: none; }"));
        QFont font = m_notificationArea->font();
        font.setPixelSize(12);
        m_notificationArea->document()->setDefaultFont(font);
        connect(m_notificationArea, &QTextBrowser::anchorClicked, this,
                &TQNotificationController::clickedOnLink);
        layout->addWidget(m_notificationArea);
        m_view->hide();
        if (!m_html.isEmpty())
            m_notificationArea->setHtml(m_html);
    }
    return m_view;
}

QTextBrowser* TQNotificationController::notificationArea()
{
    view();
    return m_notificationArea;
}

void TQNotificationController::setMessage(const QString& message, const QString& action,
                                          const QString& actionTitle)
{
    if (message.isEmpty())
        return;
    QString html = QStringLiteral("<body>") + message.toHtmlEscaped() + QStringLiteral("&nbsp;");
    if (!action.isEmpty()) {
        const QString title = actionTitle.isEmpty() ? action : actionTitle;
        html += QStringLiteral("<a href=\"%1\">%2</a>")
                    .arg(QString::fromLatin1(QUrl::toPercentEncoding(action)), title.toHtmlEscaped());
    }
    html += QStringLiteral("</body>");
    m_html = html;
    notificationArea()->setHtml(html);
}

QString TQNotificationController::plainText()
{
    // The space after the message is a non-breaking one in the document; it is a space all the same.
    return notificationArea()->toPlainText().replace(QChar(0xa0), QLatin1Char(' '));
}

bool TQNotificationController::isShown() const
{
    return m_view && m_view->parentWidget() && m_view->isVisible();
}

void TQNotificationController::showNotification()
{
    view()->setBackgroundImage(ImageRegistry::pixmap(QStringLiteral("notification_background")));
    installNotificationArea();
}

void TQNotificationController::installNotificationArea()
{
    QWidget* referral = m_referralView;
    if (!referral || !referral->parentWidget())
        return;
    TQHostView* banner = view();
    // A banner on screen (or fading out) only takes the new text.
    if (banner->parentWidget() == referral->parentWidget())
        return;
    banner->setParent(referral->parentWidget());
    const int width = referral->width();
    QTextDocument* document = m_notificationArea->document();
    document->setTextWidth(width - 2 * kInsetX);
    const int height = int(std::ceil(document->documentLayout()->documentSize().height())) + 2 * kInsetY;
    banner->setGeometry(referral->x(), referral->y(), width, height);
    Animations::setOpacity(banner, 0.0);
    banner->show();
    banner->raise();
    m_referringView = referral;
    makeVisible(true);
}

void TQNotificationController::makeVisible(bool visible)
{
    TQHostView* banner = view();
    QWidget* referral = m_referringView;
    if (!referral || !referral->parentWidget()) {
        banner->hide();
        banner->setParent(nullptr);
        return;
    }
    QRect end = banner->geometry();
    if (visible) {
        // In from above: its bottom edge starts on the column's top edge.
        banner->move(referral->x(), referral->y() - banner->height());
        end = banner->geometry().translated(0, banner->height());
    }
    Animations::fade(banner, visible ? kShownOpacity : 0.0, kFadeSeconds, Animations::Curve::EaseInOut);
    auto* move =
        Animations::property(banner, "geometry", end, kSlideSeconds, Animations::Curve::EaseIn, this);
    connect(move, &QAbstractAnimation::finished, this, [this, visible] { animationDidEnd(!visible); });
    Animations::start(move);
}

void TQNotificationController::animationDidEnd(bool shouldRemove)
{
    if (shouldRemove) {
        if (m_view) {
            m_view->hide();
            m_view->setParent(nullptr);
        }
        return;
    }
    m_timer.start(int(kDisplayTime.milliseconds()));
}

void TQNotificationController::hideNotificationArea(QObject*)
{
    m_timer.stop();
    if (m_view && m_view->parentWidget())
        makeVisible(false);
}

void TQNotificationController::clickedOnLink(const QUrl& link)
{
    hideNotificationArea();
    const QString action = QUrl::fromPercentEncoding(link.toString(QUrl::FullyEncoded).toLatin1());
    const QString selector = Selectors::notificationControllerRequestPerformAction;
    if (m_delegate && Invocation::respondsToSelector(m_delegate, selector)) {
        InvocationPtr invocation = Invocation::invocationForSelector(selector, m_delegate.data());
        invocation->setArgument(Invocation::kFirstArgument, QVariant::fromValue<QObject*>(this));
        invocation->setArgument(Invocation::kFirstArgument + 1, action);
        invocation->invoke();
    }
}

} // namespace tavrel
