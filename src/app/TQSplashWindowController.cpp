#include "app/TQSplashWindowController.h"

#include "app/ApplicationInfo.h"
#include "app/ApplicationResources.h"
#include "model/TQPreferencesManager.h"
#include "platform/system/DMTracker.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPropertyAnimation>
#include <QTimer>
#include <QVBoxLayout>

namespace tavrel {

namespace {

bool g_markCleared = false;

constexpr QSize kHostSize(520, 260);

struct ScreenText
{
    const char* image;
    const char* title;
    const char* message;
};

constexpr ScreenText kScreens[TQSplashWindowController::kScreenCount] = {
    {"splash-documents", "SplashTitle1", "SplashMessage1"},
    {"splash-share", "SplashTitle2", "SplashMessage2"},
    {"splash-tray", "SplashTitle3", "SplashMessage3"},
    {"splash-offline", "SplashTitle4", "SplashMessage4"},
};

} // namespace

TQSplashWindowController::TQSplashWindowController()
{
    auto* window = new QDialog();
    window->setObjectName(QStringLiteral("splashWindow"));
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 14);
    layout->setSpacing(10);
    m_host = new QWidget(window);
    m_host->setFixedSize(kHostSize);
    layout->addWidget(m_host);
    m_feedback = new QLabel(window);
    m_feedback->setObjectName(QStringLiteral("feedback"));
    m_feedback->setTextFormat(Qt::RichText);
    m_feedback->setAlignment(Qt::AlignCenter);
    m_feedback->setOpenExternalLinks(true);
    layout->addWidget(m_feedback);
    auto* buttons = new QHBoxLayout();
    buttons->setContentsMargins(18, 0, 18, 0);
    m_skip = new QPushButton(window);
    m_skip->setFlat(true);
    connect(m_skip, &QPushButton::clicked, this, [this] { skip(m_skip); });
    m_continue = new QPushButton(window);
    m_continue->setDefault(true);
    m_continue->setMinimumWidth(110);
    connect(m_continue, &QPushButton::clicked, this, [this] { next(m_continue); });
    buttons->addWidget(m_skip);
    buttons->addStretch(1);
    buttons->addWidget(m_continue);
    layout->addLayout(buttons);
    connect(this, &TQSplashWindowController::continueLabelChanged, this,
            [this] { m_continue->setText(continueLabel()); });
    setWindow(window);
    awakeFromNib();
}

TQSplashWindowController::~TQSplashWindowController() = default;

void TQSplashWindowController::resetForTesting()
{
    g_markCleared = false;
}

QWidget* TQSplashWindowController::makeScreen(int index)
{
    const ScreenText& text = kScreens[index];
    auto* screen = new QWidget(m_host);
    screen->setObjectName(QStringLiteral("splash%1").arg(index + 1));
    screen->setAutoFillBackground(true);
    QPalette palette = screen->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    screen->setPalette(palette);
    auto* layout = new QVBoxLayout(screen);
    layout->setContentsMargins(40, 28, 40, 12);
    layout->setSpacing(10);
    auto* image = new QLabel(screen);
    image->setAlignment(Qt::AlignCenter);
    image->setPixmap(ImageRegistry::pixmap(QString::fromLatin1(text.image), QSizeF(150, 110)));
    auto* title = new QLabel(StringTable::text(QString::fromLatin1(text.title)), screen);
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* message = new QLabel(StringTable::text(QString::fromLatin1(text.message)), screen);
    message->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    message->setWordWrap(true);
    message->setForegroundRole(QPalette::PlaceholderText);
    layout->addStretch(1);
    layout->addWidget(image);
    layout->addWidget(title);
    layout->addWidget(message);
    layout->addStretch(1);
    screen->hide();
    return screen;
}

void TQSplashWindowController::awakeFromNib()
{
    TQWindowController::awakeFromNib();
    for (int i = 0; i < kScreenCount; ++i)
        m_screens.append(makeScreen(i));
    m_skip->setText(StringTable::text(QStringLiteral("SkipTour")));
    m_feedback->setText(feedbackMessage());
    window()->setWindowTitle(StringTable::text(QStringLiteral("SplashWindowTitle")));
    ApplicationResources::centreWindow(window());
    pushScreen(0);
}

QString TQSplashWindowController::feedbackMessage()
{
    const QString text = StringTable::text(QStringLiteral("And remember to give us your feedback"));
    const qsizetype space = text.lastIndexOf(QLatin1Char(' '));
    const QString head = text.left(space + 1).toHtmlEscaped();
    const QString last = text.mid(space + 1).toHtmlEscaped();
    return QStringLiteral(
               "<span style=\"color:#959595\">%1<a href=\"%2\" style=\"color:#1a6fd8\">%3</a></span>")
        .arg(head, ApplicationInfo::feedbackURL().toString(QUrl::FullyEncoded).toHtmlEscaped(), last);
}

int TQSplashWindowController::currentIndex() const
{
    return m_hosted.isEmpty() ? -1 : int(m_screens.indexOf(m_hosted.last()));
}

QString TQSplashWindowController::continueLabel() const
{
    const int index = currentIndex();
    return StringTable::text(index >= 0 && index < kScreenCount - 1 ? QStringLiteral("Continue")
                                                                    : QStringLiteral("Close"));
}

void TQSplashWindowController::pushScreen(int index)
{
    if (index < 0 || index >= m_screens.size())
        return;
    QWidget* current = m_hosted.isEmpty() ? nullptr : m_hosted.last();
    QWidget* screen = m_screens.at(index);
    if (QWidget* focused = window()->focusWidget())
        focused->clearFocus();
    if (m_currentAnimation)
        m_currentAnimation->stop();
    const QRect bounds(QPoint(0, 0), m_host->size());
    screen->setGeometry(current ? bounds.translated(bounds.width(), 0) : bounds);
    m_hosted.removeAll(screen);
    m_hosted.append(screen);
    screen->raise();
    screen->show();
    if (current) {
        auto* group = new QParallelAnimationGroup(this);
        group->addAnimation(Animations::property(screen, "geometry", bounds, Animations::kNormal,
                                                 Animations::Curve::EaseInOut, group));
        group->addAnimation(Animations::property(current, "geometry",
                                                 current->geometry().translated(-(current->width() + 1), 0),
                                                 Animations::kNormal, Animations::Curve::EaseInOut, group));
        m_markedForRemoval.append(current);
        connect(group, &QAbstractAnimation::finished, this, [this] { animationDidEnd(); });
        m_currentAnimation = group;
        Animations::start(group);
    }
    emit continueLabelChanged();
}

void TQSplashWindowController::animationDidEnd()
{
    for (const QPointer<QWidget>& screen : std::as_const(m_markedForRemoval)) {
        if (!screen)
            continue;
        screen->hide();
        m_hosted.removeAll(screen.data());
    }
    m_markedForRemoval.clear();
    m_currentAnimation = nullptr;
}

void TQSplashWindowController::showWindowModalToWindow(QWidget* parentWindow)
{
    auto* dialog = qobject_cast<QDialog*>(window());
    if (parentWindow) {
        dialog->setParent(parentWindow, dialog->windowFlags() | Qt::Sheet | Qt::Dialog);
        dialog->setWindowModality(Qt::WindowModal);
    } else {
        dialog->setWindowModality(Qt::ApplicationModal);
    }
    connect(dialog, &QDialog::finished, this, [this](int code) { sheetDidEnd(code); });
    // A main window that goes (a log-out) takes the sheet with it: the tour ends unfinished.
    connect(dialog, &QObject::destroyed, this, [this] {
        if (!m_ended)
            deleteLater();
    });
    dialog->open();
}

void TQSplashWindowController::next(QObject*)
{
    const int index = currentIndex();
    if (index >= m_screens.size() - 1) {
        if (auto* dialog = qobject_cast<QDialog*>(window()))
            dialog->done(1);
        else
            sheetDidEnd(1);
        return;
    }
    pushScreen(index + 1);
}

void TQSplashWindowController::skip(QObject*)
{
    if (auto* dialog = qobject_cast<QDialog*>(window()))
        dialog->done(1);
    else
        sheetDidEnd(1);
}

void TQSplashWindowController::sheetDidEnd(int)
{
    if (m_ended)
        return;
    m_ended = true;
    window()->hide();
    if (!g_markCleared) {
        g_markCleared = true;
        TQPreferencesManager* preferences = TQPreferencesManager::sharedManager();
        // The report never holds up the window: it runs after this turn of the event loop.
        if (preferences->usageStatistics())
            QTimer::singleShot(0, DMTracker::defaultTracker(), &TQSplashWindowController::reportStart);
        preferences->setTransientValue({}, TQPreferencesManager::kTQFirstLaunchKey);
    }
    emit sheetEnded();
    deleteLater();
}

void TQSplashWindowController::reportStart()
{
    DMTracker* tracker = DMTracker::defaultTracker();
    tracker->startApp();
    const QString version = ApplicationInfo::infoValueForKey(QStringLiteral("CFBundleVersion")).toString();
    TQPreferencesManager* preferences = TQPreferencesManager::sharedManager();
    if (version != preferences->lastVersion()) {
        tracker->trackEventInCategory(QStringLiteral("Installation"), QStringLiteral("Installation"),
                                      version);
        preferences->setLastVersion(version);
    }
}

} // namespace tavrel
