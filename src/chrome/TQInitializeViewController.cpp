#include "chrome/TQInitializeViewController.h"

#include "platform/ui/StringTable.h"
#include "session/TQSession.h"
#include "session/TQSessionManager.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedLayout>
#include <QThread>
#include <QVBoxLayout>
#include <QWidget>

namespace tavrel {

namespace {

constexpr int kProgressHeight = 12;
constexpr int kColumnWidth = 360;

QLabel* makeLabel(QWidget* parent, int pointSizeDelta, bool bold, const QColor& color)
{
    auto* label = new QLabel(parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() + pointSizeDelta);
    font.setBold(bold);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

// A column of fixed width centred in the presentation.
QVBoxLayout* centredColumn(QWidget* presentation)
{
    auto* outer = new QVBoxLayout(presentation);
    auto* column = new QWidget(presentation);
    column->setFixedWidth(kColumnWidth);
    outer->addStretch(2);
    outer->addWidget(column, 0, Qt::AlignHCenter);
    outer->addStretch(3);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    return layout;
}

const QColor kInk(0x3F, 0x3F, 0x3F);
const QColor kSecondaryInk(0x80, 0x80, 0x80);

} // namespace

TQInitializeViewController::TQInitializeViewController(QObject* parent)
    : TQViewController(QStringLiteral("InitializeView"), parent)
{}

TQInitializeViewController::~TQInitializeViewController()
{
    if (TQSession* session = this->session(); session && session->initProgressConsumer() == this)
        session->setInitProgressConsumer(nullptr);
}

void TQInitializeViewController::setSession(TQSession* session)
{
    m_session = session;
}

TQSession* TQInitializeViewController::session() const
{
    if (m_session)
        return m_session;
    return TQSessionManager::sharedManager()->currentSession();
}

QWidget* TQInitializeViewController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(QStringLiteral("initializeView"));
    view->setAutoFillBackground(true);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Window, Qt::white);
    view->setPalette(palette);
    auto* stack = new QStackedLayout(view);
    // What stands there before the first presentation.
    stack->addWidget(new QWidget(view));

    m_syncingView = new QWidget(view);
    m_syncingView->setObjectName(QStringLiteral("syncingView"));
    QVBoxLayout* column = centredColumn(m_syncingView);
    m_messageField = makeLabel(m_syncingView, 3, true, kInk);
    m_messageField->setObjectName(QStringLiteral("syncMessage"));
    m_progressControl = new QProgressBar(m_syncingView);
    m_progressControl->setObjectName(QStringLiteral("progressControl"));
    m_progressControl->setTextVisible(false);
    m_statusField = makeLabel(m_syncingView, 0, false, kSecondaryInk);
    m_statusField->setObjectName(QStringLiteral("syncStatus"));
    column->addWidget(m_messageField);
    column->addWidget(m_progressControl);
    column->addWidget(m_statusField);
    stack->addWidget(m_syncingView);

    m_errorView = makeProblemView(QStringLiteral("InitialSyncErrorTitle"),
                                  QStringLiteral("InitialSyncErrorMessage"), QStringLiteral("errorView"));
    m_offlineView =
        makeProblemView(QStringLiteral("InitialSyncOfflineTitle"),
                        QStringLiteral("InitialSyncOfflineMessage"), QStringLiteral("offlineView"));
    stack->addWidget(m_errorView);
    stack->addWidget(m_offlineView);

    connect(this, &TQInitializeViewController::syncMessageChanged, m_messageField, &QLabel::setText);
    connect(this, &TQInitializeViewController::syncStatusChanged, m_statusField, &QLabel::setText);
    connect(this, &TQInitializeViewController::syncProgressChanged, this,
            [this] { updateProgressControl(); });
    connect(this, &TQInitializeViewController::syncingChanged, this, [this] { updateProgressControl(); });
    return view;
}

QWidget* TQInitializeViewController::makeProblemView(const QString& titleKey, const QString& messageKey,
                                                     const QString& name)
{
    auto* presentation = new QWidget;
    presentation->setObjectName(name);
    QVBoxLayout* column = centredColumn(presentation);
    QLabel* title = makeLabel(presentation, 3, true, kInk);
    title->setText(StringTable::text(titleKey));
    QLabel* message = makeLabel(presentation, 0, false, kSecondaryInk);
    message->setText(StringTable::text(messageKey));
    auto* retry = new QPushButton(StringTable::text(QStringLiteral("Retry")), presentation);
    retry->setObjectName(QStringLiteral("retry"));
    connect(retry, &QPushButton::clicked, this, [this, retry] { this->retry(retry); });
    column->addWidget(title);
    column->addWidget(message);
    column->addSpacing(6);
    column->addWidget(retry, 0, Qt::AlignHCenter);
    return presentation;
}

void TQInitializeViewController::awakeFromNib()
{
    TQViewController::awakeFromNib();
    m_progressControl->setFixedHeight(kProgressHeight);
    updateProgressControl();
}

QWidget* TQInitializeViewController::presentedView() const
{
    if (!isViewLoaded())
        return nullptr;
    QWidget* current = static_cast<QStackedLayout*>(m_syncingView->parentWidget()->layout())->currentWidget();
    return current == m_syncingView || current == m_errorView || current == m_offlineView ? current : nullptr;
}

void TQInitializeViewController::present(QWidget* presentation)
{
    auto* stack = static_cast<QStackedLayout*>(view()->layout());
    stack->setCurrentWidget(presentation);
    // A page laid out while hidden measured its wrapped texts on one line: measure them again now.
    if (QLayout* layout = presentation->layout())
        layout->activate();
}

void TQInitializeViewController::presentSyncing()
{
    view();
    if (TQSession* session = this->session())
        session->setInitProgressConsumer(this);
    setSyncStatus(QString(""));
    present(m_syncingView);
    setSyncing(true);
}

void TQInitializeViewController::presentError()
{
    setSyncing(false);
    present(m_errorView);
}

void TQInitializeViewController::presentOffline()
{
    setSyncing(false);
    present(m_offlineView);
}

void TQInitializeViewController::retry(QObject*)
{
    if (TQSession* session = this->session())
        session->start();
}

void TQInitializeViewController::progressStatus(int status, float elProcessed, quint64 elTotal,
                                                float percentage)
{
    QString message;
    QString syncStatus;
    bool processing = false;
    // The processed count is whole: the fraction is cut off.
    const auto processed = quint64(elProcessed);
    switch (status) {
    case FetchingContacts:
    case FetchingFiles:
        message = StringTable::text(status == FetchingContacts ? QStringLiteral("FetchingContactsInfo")
                                                               : QStringLiteral("FetchingFilesInfo"));
        syncStatus = StringTable::text(QStringLiteral("TakingAWhile"));
        break;
    case ProcessingContacts:
        message = StringTable::text(QStringLiteral("ProcessingContactsInfo"));
        syncStatus = StringTable::format(QStringLiteral("ContactsXY"), processed, elTotal);
        processing = true;
        break;
    case ProcessingFiles:
        message = StringTable::text(QStringLiteral("ProcessingFilesInfo"));
        syncStatus = StringTable::format(QStringLiteral("FilesXY"), processed, elTotal);
        processing = true;
        break;
    default:
        return;
    }
    // The views follow the properties on the main thread; a screen gone meanwhile drops the report.
    auto apply = [this, message, syncStatus, processing, percentage] {
        setSyncMessage(message);
        setSyncStatus(syncStatus);
        if (processing) {
            if (m_syncing)
                setSyncing(false);
            setSyncProgress(percentage);
        }
    };
    if (QThread::currentThread() == thread())
        apply();
    else
        QMetaObject::invokeMethod(this, apply, Qt::QueuedConnection);
}

void TQInitializeViewController::setSyncing(bool syncing)
{
    if (m_syncing == syncing)
        return;
    m_syncing = syncing;
    emit syncingChanged(syncing);
}

void TQInitializeViewController::setSyncStatus(const QString& status)
{
    if (m_syncStatus == status && m_syncStatus.isNull() == status.isNull())
        return;
    m_syncStatus = status;
    emit syncStatusChanged(status);
}

void TQInitializeViewController::setSyncProgress(double progress)
{
    if (m_syncProgress == progress)
        return;
    m_syncProgress = progress;
    emit syncProgressChanged(progress);
}

void TQInitializeViewController::setSyncMessage(const QString& message)
{
    if (m_syncMessage == message)
        return;
    m_syncMessage = message;
    emit syncMessageChanged(message);
}

void TQInitializeViewController::updateProgressControl()
{
    if (!m_progressControl)
        return;
    // Indeterminate while fetching, the percentage once processing has begun.
    if (m_syncing) {
        m_progressControl->setRange(0, 0);
    } else {
        m_progressControl->setRange(0, 100);
        m_progressControl->setValue(qRound(m_syncProgress));
    }
}

} // namespace tavrel
