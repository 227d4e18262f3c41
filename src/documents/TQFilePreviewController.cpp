#include "documents/TQFilePreviewController.h"

#include "chrome/TQActionProcessor.h"
#include "chrome/TQOpenPrefAction.h"
#include "controls/SpinningIndicator.h"
#include "controls/TQHostView.h"
#include "model/Category.h"
#include "model/File.h"
#include "model/ResourceIds.h"
#include "model/TQUtility.h"
#include "platform/runtime/Error.h"
#include "platform/runtime/Invocation.h"
#include "platform/system/DMTracker.h"
#include "platform/system/TQLog.h"
#include "platform/system/Thumbnails.h"
#include "platform/ui/Animations.h"
#include "platform/ui/MessageNames.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/UserInterfaceItem.h"
#include "session/ApplicationServices.h"
#include "session/ConnectionStatus.h"
#include "window/ActionError.h"
#include "window/ActionRequests.h"
#include "window/TQNotificationController.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMutexLocker>
#include <QPixmap>
#include <QThread>

namespace tavrel {

namespace {

// The holder's look: a dark grey frame around the picture.
const QColor kHolderColor = QColor::fromRgbF(0.359375f, 0.359375f, 0.359375f, 1.0f);
const QSizeF kHolderBorder(10, 10);

QString titleOf(const ManagedObjectPtr& record)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(record);
    return entry ? entry->title() : QString();
}

} // namespace

TQFilePreviewController::TQFilePreviewController(QObject* parent)
    : TQItemDetailsController(QStringLiteral("FilePreviewView"), parent),
      m_thumbnailer(&Thumbnails::thumbnailForFile)
{}

TQFilePreviewController::~TQFilePreviewController()
{
    // The drawing reads nothing of the controller, but its end is queued to it: let it end first.
    if (m_drawing) {
        m_drawing->wait();
        delete m_drawing;
    }
}

void TQFilePreviewController::setItem(const ManagedObjectPtr& item)
{
    if (item == this->item())
        return;
    TQItemDetailsController::setItem(item);
    QMutexLocker locker(&m_lock);
    m_itemURL = QUrl();
    m_preview = QImage();
    m_previewHolderSize = QSize();
}

bool TQFilePreviewController::isCollection() const
{
    return std::dynamic_pointer_cast<Category>(item()) != nullptr;
}

// --- View ---

QWidget* TQFilePreviewController::loadView()
{
    QWidget* view = TQItemDetailsController::loadView();
    // The tab shows a picture, not rows.
    if (auto* rows = view->findChild<QAbstractItemView*>(QStringLiteral("table")))
        rows->hide();
    m_previewHolder = new TQHostView(view);
    m_previewHolder->setObjectName(QStringLiteral("previewHolder"));
    m_progress = new SpinningIndicator(view);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setColor(QColor(0xe8, 0xe8, 0xe8));
    m_errorLabel = new QLabel(StringTable::text(QStringLiteral("PreviewUnavailable")), view);
    m_errorLabel->setObjectName(QStringLiteral("errorLabel"));
    m_errorLabel->setAlignment(Qt::AlignCenter);
    m_errorLabel->setWordWrap(true);
    view->installEventFilter(this);
    return view;
}

TQHostView* TQFilePreviewController::previewHolder()
{
    view();
    return m_previewHolder;
}

QLabel* TQFilePreviewController::errorLabel()
{
    view();
    return m_errorLabel;
}

SpinningIndicator* TQFilePreviewController::progress()
{
    view();
    return m_progress;
}

void TQFilePreviewController::layoutPreview()
{
    const QRect bounds = view()->rect();
    m_previewHolder->setGeometry(bounds);
    const QSize spin = m_progress->sizeHint();
    m_progress->setGeometry(QRect(bounds.center() - QPoint(spin.width() / 2, spin.height() / 2), spin));
    m_errorLabel->setGeometry(bounds.adjusted(24, 0, -24, 0));
    m_progress->raise();
    m_errorLabel->raise();
}

bool TQFilePreviewController::eventFilter(QObject* watched, QEvent* event)
{
    const bool resized = isViewLoaded() && watched == view() && event->type() == QEvent::Resize;
    const bool result = TQItemDetailsController::eventFilter(watched, event);
    if (resized) {
        layoutPreview();
        if (isInstalled())
            scheduleRefresh();
    }
    return result;
}

void TQFilePreviewController::scheduleRefresh()
{
    // A burst of resizes yields one refresh.
    if (m_refreshScheduled)
        return;
    m_refreshScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_refreshScheduled = false;
            if (isInstalled())
                refresh();
        },
        Qt::QueuedConnection);
}

void TQFilePreviewController::viewDidInstall()
{
    QWidget* content = view();
    m_errorLabel->hide();
    // The holder draws its picture fitted in a dark frame; a double click opens the document.
    m_previewHolder->setDrawProportionally(true);
    m_previewHolder->setBackgroundColor(kHolderColor);
    m_previewHolder->setBorder(kHolderBorder);
    m_previewHolder->setTarget(this);
    m_previewHolder->setDoubleAction(QString(Commands::openFile));
    m_errorLabel->setStyleSheet(QStringLiteral("color: #d8d8d8;"));
    Q_UNUSED(content);
    layoutPreview();
    TQItemDetailsController::viewDidInstall();
    refresh();
}

void TQFilePreviewController::viewDidUninstall()
{
    TQItemDetailsController::viewDidUninstall();
    m_refreshScheduled = false;
}

// --- State ---

void TQFilePreviewController::setIsProcessed(bool processed)
{
    m_processed = processed;
    if (!processed && m_progress)
        m_progress->stopAnimation();
}

QImage TQFilePreviewController::preview() const
{
    QMutexLocker locker(&m_lock);
    return m_preview;
}

QUrl TQFilePreviewController::itemURL()
{
    QMutexLocker locker(&m_lock);
    if (m_itemURL.isEmpty()) {
        if (const auto file = std::dynamic_pointer_cast<File>(item())) {
            const QString stored = file->filePath();
            const QUrl url(stored);
            const QString path = url.isLocalFile() ? url.toLocalFile() : stored;
            if (!path.isEmpty() && QFileInfo(path).isFile())
                m_itemURL = QUrl::fromLocalFile(path);
        }
    }
    return m_itemURL;
}

void TQFilePreviewController::refresh()
{
    if (!isViewLoaded())
        return;
    m_errorLabel->hide();
    if (m_processed)
        return;
    if (isCollection()) {
        m_errorLabel->show();
        return;
    }
    if (!item())
        return;
    const bool hasPicture = !preview().isNull();
    if (!itemURL().isEmpty()) {
        // The picture is drawn for the holder's size: at the same size there is nothing to redo.
        if (hasPicture && m_previewHolderSize == m_previewHolder->size()) {
            m_previewHolder->setBackgroundImage(QPixmap::fromImage(preview()));
            return;
        }
        Animations::setOpacity(m_previewHolder, 0.0);
        setIsProcessed(true);
        if (!hasPicture)
            m_progress->startAnimation();
        generatePreview();
        return;
    }
    Animations::setOpacity(m_previewHolder, 0.0);
    setIsProcessed(true);
    m_progress->startAnimation();
    ActionRequests::executeDocumentAction(
        QStringLiteral("GetFile"), Invocation::invocationForSelector(Selectors::downloadDidFinish, this),
        {{QStringLiteral("documentEntity"), QVariant::fromValue(item())}});
}

void TQFilePreviewController::downloadDidFinishWithResult(const QVariant&, const QVariant& error)
{
    TQLog("Received action callback");
    const Error failure = error.value<Error>();
    if (error.isValid() && !failure.isNull()) {
        TQLog("E: Got error on requested operation: %@", failure.description());
        setIsProcessed(false);
        // The banner says why nothing is shown; the tab stays as it is until the next refresh.
        ActionError::processActionError(failure);
        return;
    }
    generatePreview();
}

void TQFilePreviewController::generatePreview()
{
    const QString path = itemURL().toLocalFile();
    const QSize holder = m_previewHolder->size();
    const QSize wanted(std::max(1, holder.width() - int(kHolderBorder.width())),
                       std::max(1, holder.height() - int(kHolderBorder.height())));
    const QString title = titleOf(item());
    if (m_drawing) {
        m_drawing->wait();
        delete m_drawing;
        m_drawing = nullptr;
    }
    const Thumbnailer thumbnailer = m_thumbnailer;
    // The controller waits for this thread before it goes, so the thread may use it.
    m_drawing = QThread::create([this, thumbnailer, path, wanted, holder, title] {
        const QImage picture = path.isEmpty() || !thumbnailer ? QImage() : thumbnailer(path, wanted);
        if (picture.isNull()) {
            TQLog("E: Cannot generate CGImage preview for: %@", title);
        } else {
            QMutexLocker locker(&m_lock);
            m_preview = picture;
            m_previewHolderSize = holder;
        }
        QMetaObject::invokeMethod(
            this, [this] { notifyPreviewUpdate(); }, Qt::QueuedConnection);
    });
    m_drawing->start();
}

void TQFilePreviewController::notifyPreviewUpdate()
{
    setIsProcessed(false);
    const QImage picture = preview();
    m_previewHolder->setBackgroundImage(QPixmap::fromImage(picture));
    Animations::fade(m_previewHolder, 1.0, Animations::kShort);
    m_errorLabel->setVisible(picture.isNull());
    emit previewDidUpdate();
}

// --- Commands ---

void TQFilePreviewController::openFile(QObject* sender)
{
    const auto file = std::dynamic_pointer_cast<File>(item());
    if (!file) {
        TQLog("E: Opening collection is not supported: %@", titleOf(item()));
        return;
    }
    TQLog("Opening Document: %@", file->title());
    QUrl application;
    if (qobject_cast<QAction*>(sender))
        application = UserInterfaceItem::representedObject(sender).toUrl();
    const QString resourceId = file->resourceId();
    const bool native = !ResourceIds::isStoredFile(resourceId);
    if (native && application.isEmpty())
        application = TQUtility::defaultApplicationForResourcesID(resourceId);
    ConnectionStatus* status = ApplicationServices::instance()->connectionStatus();
    if (native && application.isEmpty() && status && status->isOnline()) {
        openInBrowser(sender);
        return;
    }
    QVariantMap parameters{
        {QStringLiteral("progressID"), QStringLiteral("openning_%1").arg(ActionRequests::uniqueNumber())},
        {QStringLiteral("progressConsumer"), QVariant::fromValue<QObject*>(this)},
        {QStringLiteral("documentEntity"), QVariant::fromValue(item())}};
    if (!application.isEmpty())
        parameters.insert(QStringLiteral("applicationURL"), application);
    ActionRequests::executeDocumentAction(QStringLiteral("OpenDocument"), nullptr, parameters);
    DMTracker::defaultTracker()->trackEventInCategory(
        QStringLiteral("Action"), QStringLiteral("OpenNativeApp"),
        application.isEmpty() ? QString() : QFileInfo(application.path()).fileName());
}

void TQFilePreviewController::openInBrowser(QObject*)
{
    const auto entry = std::dynamic_pointer_cast<FileEntryAbstract>(item());
    if (!entry)
        return;
    const QUrl link(entry->alternateLink());
    if (link.isValid() && !link.isEmpty())
        QDesktopServices::openUrl(link);
    else
        TQLog("E: Cannot open <%@> in the browser: it has no link", entry->title());
    // The banner offers to edit documents locally instead.
    auto action = std::make_shared<TQOpenPrefAction>();
    TQActionProcessor::sharedActionProcessor()->pushAction(action);
    if (TQNotificationController* banner = notificationController()) {
        banner->setMessage(StringTable::text(QStringLiteral("EditLocallyTip")), action->name(),
                           StringTable::text(QStringLiteral("ActivateLocalEdit")));
        banner->showTooltip();
    }
    DMTracker::defaultTracker()->trackEventInCategory(
        QStringLiteral("Action"), QStringLiteral("OpenGoogleDocs"), QStringLiteral("Google Docs"));
}

bool TQFilePreviewController::validateUserInterfaceItem(QObject* item)
{
    const QString command = UserInterfaceItem::command(item);
    if (command == Commands::newFakeAction)
        return false;
    return TQItemDetailsController::validateUserInterfaceItem(item);
}

} // namespace tavrel
