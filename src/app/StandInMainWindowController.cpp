#include "app/StandInMainWindowController.h"

#include "app/CordelAppDelegate.h"
#include "app/TQShowMoreDetailAction.h"
#include "app/TQSplashWindowController.h"
#include "model/ContextFetch.h"
#include "model/FileEntryAbstract.h"
#include "model/TQMOCMaster.h"
#include "model/TQPreferencesManager.h"
#include "platform/store/SortDescriptor.h"
#include "platform/system/TQLog.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/StringTable.h"
#include "session/TQSessionManager.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QVBoxLayout>

namespace tavrel {

namespace {

constexpr int kListedDocuments = 1000;

QString stateText(int state)
{
    switch (state) {
    case TQSession::kStarting:
    case TQSession::kFirstSyncRunning:
        return StringTable::text(QStringLiteral("FetchingFilesInfo"));
    case TQSession::kFirstSyncFailed:
        return StringTable::text(QStringLiteral("FirstSyncFailed"));
    case TQSession::kConnectionLost:
        return StringTable::text(QStringLiteral("Offline"));
    default:
        return {};
    }
}

} // namespace

StandInMainWindowController::StandInMainWindowController()
{
    auto* window = new QMainWindow();
    window->setObjectName(QStringLiteral("mainWindow"));
    window->setWindowIcon(ImageRegistry::icon(QStringLiteral("tavrel")));
    window->resize(760, 560);
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    auto* central = new QWidget(window);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_banner = new QLabel(central);
    m_banner->setObjectName(QStringLiteral("banner"));
    m_banner->setTextFormat(Qt::RichText);
    m_banner->setWordWrap(true);
    m_banner->setContentsMargins(14, 8, 14, 8);
    m_banner->setAutoFillBackground(true);
    QPalette bannerPalette = m_banner->palette();
    bannerPalette.setColor(QPalette::Window, QColor(0xfd, 0xf3, 0xd0));
    bannerPalette.setColor(QPalette::WindowText, QColor(0x4a, 0x3b, 0x0b));
    m_banner->setPalette(bannerPalette);
    m_banner->hide();
    connect(m_banner, &QLabel::linkActivated, this, &StandInMainWindowController::performBannerAction);
    auto* header = new QWidget(central);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(16, 12, 16, 10);
    headerLayout->setSpacing(2);
    m_account = new QLabel(header);
    m_account->setObjectName(QStringLiteral("account"));
    QFont accountFont = m_account->font();
    accountFont.setBold(true);
    accountFont.setPointSizeF(accountFont.pointSizeF() * 1.15);
    m_account->setFont(accountFont);
    m_state = new QLabel(header);
    m_state->setForegroundRole(QPalette::PlaceholderText);
    headerLayout->addWidget(m_account);
    headerLayout->addWidget(m_state);
    m_list = new QListWidget(central);
    m_list->setObjectName(QStringLiteral("documents"));
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setIconSize(QSize(20, 20));
    m_list->setUniformItemSizes(true);
    m_list->setAlternatingRowColors(true);
    layout->addWidget(m_banner);
    layout->addWidget(header);
    layout->addWidget(m_list, 1);
    window->setCentralWidget(central);

    auto* applicationMenu = new QMenu(window);
    hostApplicationMenu(applicationMenu);
    window->menuBar()->addMenu(applicationMenu);
    m_window = window;
    ResponderChain::insertResponder(window, this);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &StandInMainWindowController::refresh);
    TQSessionManager* sessions = TQSessionManager::sharedManager();
    connect(sessions, &TQSessionManager::currentSessionChanged, this,
            &StandInMainWindowController::followSession);
    followSession(sessions->currentSession());
}

StandInMainWindowController::~StandInMainWindowController()
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    delete m_window.data();
}

MainWindowFactory StandInMainWindowController::factory()
{
    return [] { return std::make_unique<StandInMainWindowController>(); };
}

void StandInMainWindowController::followSession(TQSession* session)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
    m_session = session;
    if (session) {
        m_connections.append(connect(session, &TQSession::stateChanged, this, [this] {
            m_refresh.start();
            showSplashIfNeeded();
        }));
        if (TQMOCMaster* master = session->mocManager() ? session->mocManager()->masterMOC() : nullptr)
            m_connections.append(connect(master, &ManagedObjectContext::objectsDidChange, this,
                                         [this] { m_refresh.start(); }));
    }
    m_refresh.start();
}

void StandInMainWindowController::refresh()
{
    if (!m_window)
        return;
    const QString address = m_session ? m_session->username() : QString();
    m_window->setWindowTitle(address.isEmpty()
                                 ? StringTable::text(QStringLiteral("ApplicationName"))
                                 : StringTable::format(QStringLiteral("MainWindowTitle"), address));
    m_account->setText(address);
    const int state = m_session ? m_session->state() : TQSession::kStopped;
    m_state->setText(stateText(state));
    m_state->setVisible(!m_state->text().isEmpty());
    m_list->clear();
    TQMOCMaster* master =
        m_session && m_session->mocManager() ? m_session->mocManager()->masterMOC() : nullptr;
    if (!master || state == TQSession::kFirstSyncRunning)
        return;
    FetchRequest request(QStringLiteral("File"));
    request.setSortDescriptors({SortDescriptor(QStringLiteral("updatedDate"), false)});
    request.setFetchLimit(kListedDocuments);
    for (const ManagedObjectPtr& record : ContextFetch::executeFetchRequestSafely(master, request)) {
        const auto document = std::dynamic_pointer_cast<FileEntryAbstract>(record);
        if (!document || document->isTrashed())
            continue;
        auto* row =
            new QListWidgetItem(ImageRegistry::fileTypeIcon(document->title()), document->title(), m_list);
        row->setData(Qt::UserRole, document->identifier());
    }
    if (m_list->count() != m_loggedCount) {
        m_loggedCount = m_list->count();
        TQLog("MainWindow: %@ with %@ documents", address, QString::number(m_loggedCount));
    }
}

void StandInMainWindowController::showSplashIfNeeded()
{
    if (m_splashShown || !m_window || !m_window->isVisible() || !m_session ||
        m_session->state() != TQSession::kFirstSyncRunning ||
        !TQPreferencesManager::sharedManager()
             ->transientValueForKey(TQPreferencesManager::kTQFirstLaunchKey)
             .isValid())
        return;
    m_splashShown = true;
    QPointer<QMainWindow> window = m_window;
    QTimer::singleShot(0, this, [window] {
        if (window)
            (new TQSplashWindowController())->showWindowModalToWindow(window);
    });
}

void StandInMainWindowController::toggleWindowVisibility(QObject* sender)
{
    if (m_window && m_window->isVisible() && m_window->isActiveWindow()) {
        m_window->hide();
        return;
    }
    showWindow(sender);
}

void StandInMainWindowController::showWindow(QObject*)
{
    if (!m_window)
        return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    showSplashIfNeeded();
}

void StandInMainWindowController::performService(LaunchCommand::Verb, const QStringList& files)
{
    // Sharing after the upload comes with the document list; here the files are uploaded.
    if (CordelAppDelegate* delegate = CordelAppDelegate::sharedDelegate())
        delegate->executeUpload(files, this);
}

void StandInMainWindowController::hostApplicationMenu(QMenu* menu)
{
    CordelAppDelegate::fillApplicationMenu(menu);
}

void StandInMainWindowController::hostStatusMenu(QMenu* menu)
{
    if (m_window)
        m_window->menuBar()->addMenu(menu);
}

void StandInMainWindowController::registerBannerAction(const std::shared_ptr<TQShowMoreDetailAction>& action)
{
    if (action)
        m_bannerActions.insert(action->name(), action);
}

void StandInMainWindowController::showBanner(const QString& message, const QString& actionName,
                                             const QString& actionTitle)
{
    QString text = message.toHtmlEscaped();
    if (!actionName.isEmpty())
        text += QStringLiteral(" <a href=\"%1\">%2</a>")
                    .arg(actionName.toHtmlEscaped(), actionTitle.toHtmlEscaped());
    m_banner->setText(text);
    m_banner->show();
}

void StandInMainWindowController::performBannerAction(const QString& name)
{
    m_banner->hide();
    if (const std::shared_ptr<TQShowMoreDetailAction> action = m_bannerActions.value(name))
        action->execute();
}

void StandInMainWindowController::uploadDidFinishWithResult(const QVariant&, const QVariant& error)
{
    if (!error.canConvert<Error>())
        return;
    const Error failure = error.value<Error>();
    if (failure.isNull())
        return;
    if (CordelAppDelegate* delegate = CordelAppDelegate::sharedDelegate())
        delegate->processError(failure);
}

bool StandInMainWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->mimeData()->hasUrls() && m_session) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            QStringList files;
            for (const QUrl& url : drop->mimeData()->urls())
                if (url.isLocalFile())
                    files.append(url.toLocalFile());
            if (!files.isEmpty()) {
                drop->acceptProposedAction();
                if (CordelAppDelegate* delegate = CordelAppDelegate::sharedDelegate())
                    delegate->uploadFiles(files);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tavrel
