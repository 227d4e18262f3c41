#include "sharing/TQShareWithController.h"

#include "controls/TQBytesToReadableStringTransformer.h"
#include "controls/TQFloatingWindow.h"
#include "controls/TQSwitchButton.h"
#include "model/FileEntryAbstract.h"
#include "model/Mail.h"
#include "model/TQACLEntry.h"
#include "model/TQUtility.h"
#include "platform/runtime/Invocation.h"
#include "platform/runtime/NotificationCenter.h"
#include "platform/store/ManagedObjectContext.h"
#include "platform/system/TQLog.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "sharing/QuickPopoverSupport.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/TQCancellerAdapter.h"
#include "sharing/TokenField.h"
#include "window/ActionRequests.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThreadPool>
#include <QUrl>
#include <QVBoxLayout>

namespace tavrel {

namespace {

QWidget* roleRow(QWidget* parent, bool commenter, QPointer<TQSwitchButton>& role)
{
    auto* row = new QWidget(parent);
    auto* layout = new QVBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    role = QuickPopoverSupport::addRoleSwitch(row, layout, commenter);
    return row;
}

} // namespace

TQShareWithController::TQShareWithController(QObject* parent)
    : TQFloatingContentController(QStringLiteral("ShareWithView"), parent)
{}

TQShareWithController::~TQShareWithController()
{
    // A calculation still running finds nobody to tell.
    if (!m_filesToUpload.isEmpty())
        NotificationCenter::defaultCenter().post(TQCancellerAdapter::kCancelSizeCalculationNotification,
                                                 QVariant::fromValue(m_filesIdentity));
}

QWidget* TQShareWithController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);

    m_heading = QuickPopoverSupport::makeHeading(view);
    m_heading->setWordWrap(false);
    layout->addWidget(m_heading);

    m_contacts = new TokenField(view);
    m_contacts->setObjectName(QStringLiteral("contacts"));
    m_contacts->setPlaceholderText(StringTable::text(QStringLiteral("ShareWithPlaceholder")));
    const ShareTokens rules(ShareTokens::Rules::ShareWith, managedObjectContext(),
                            SharingPermissions::username());
    m_contacts->setCompletions([rules](const QString& text) { return rules.completions(text); });
    m_contacts->setTokenizer([rules](const QString& text) { return rules.tokenForEditingString(text); });
    connect(m_contacts, &TokenField::tokensChanged, this, [this] {
        if (m_problemLabel)
            m_problemLabel->hide();
        validateButtons();
    });
    connect(m_contacts->editor(), &QLineEdit::textChanged, this, [this] { validateButtons(); });
    connect(m_contacts, &TokenField::submitted, this, [this] {
        if (m_shareButton && m_shareButton->isEnabled())
            m_shareButton->click();
    });
    layout->addWidget(m_contacts);

    m_problemLabel = new QLabel(StringTable::text(QStringLiteral("ShareWithNotAddresses")), view);
    m_problemLabel->setObjectName(QStringLiteral("problemLabel"));
    m_problemLabel->setWordWrap(true);
    QPalette palette = m_problemLabel->palette();
    palette.setColor(QPalette::WindowText, QColor(0xb3, 0x26, 0x1e));
    m_problemLabel->setPalette(palette);
    m_problemLabel->hide();
    layout->addWidget(m_problemLabel);

    m_regularRow = roleRow(view, false, m_regularRole);
    m_commenterRow = roleRow(view, true, m_commenterRole);
    layout->addWidget(m_regularRow);
    layout->addWidget(m_commenterRow);

    m_sizeLabel = QuickPopoverSupport::makeCaption(view, QString());
    m_sizeLabel->setObjectName(QStringLiteral("itemSize"));
    m_sizeLabel->hide();
    layout->addWidget(m_sizeLabel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancelButton = new QPushButton(StringTable::text(QStringLiteral("Cancel")), view);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    connect(m_cancelButton, &QPushButton::clicked, this, [this] {
        if (window())
            window()->performClose(nullptr);
    });
    m_shareButton = new QPushButton(StringTable::text(QStringLiteral("ShareButton")), view);
    m_shareButton->setObjectName(QStringLiteral("shareButton"));
    m_shareButton->setDefault(true);
    m_shareButton->setAutoDefault(true);
    connect(m_shareButton, &QPushButton::clicked, this, [this] { share(m_shareButton); });
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_shareButton);
    layout->addLayout(buttons);

    view->setMinimumWidth(380);
    chooseRoleSwitch();
    updateHeading();
    validateButtons();
    m_cancelButton->setVisible(!m_shareOnlyMode);
    view->resize(view->sizeHint().expandedTo(QSize(380, 0)));
    return view;
}

void TQShareWithController::setWindow(TQFloatingWindow* window)
{
    TQFloatingContentController::setWindow(window);
    if (!window)
        return;
    window->setDelegate(this);
    window->setHasCloseButton(false);
    // The window list's name; the window draws no title band.
    window->setWindowTitle(StringTable::text(QStringLiteral("WindowShareWith")));
    window->setFrameBackgroundImage(ImageRegistry::pixmap(QStringLiteral("dialog_background")));
}

// --- The documents ---

void TQShareWithController::setItem(const std::shared_ptr<FileEntryAbstract>& item)
{
    if (!m_items.setItem(item))
        return;
    chooseRoleSwitch();
    updateHeading();
}

void TQShareWithController::setItems(const SharingPermissions::Items& items)
{
    if (!m_items.setItems(items))
        return;
    chooseRoleSwitch();
    updateHeading();
}

void TQShareWithController::setItemValue(const QVariant& item)
{
    if (!m_items.setValue(item))
        return;
    chooseRoleSwitch();
    updateHeading();
}

void TQShareWithController::chooseRoleSwitch()
{
    if (!m_regularRole)
        return;
    const bool commenter = !m_items.isWrapper() && m_items.items().size() == 1 &&
                           m_items.items().constFirst()->hasCommenterSupport();
    m_commenterRow->setVisible(commenter);
    m_regularRow->setVisible(!commenter);
    m_role = commenter ? m_commenterRole : m_regularRole;
    // Writers by default.
    QuickPopoverSupport::setRoleState(m_role, SharingPermissions::Writer);
}

void TQShareWithController::updateHeading()
{
    if (!m_heading)
        return;
    QString subject;
    if (!m_filesToUpload.isEmpty())
        subject = m_filesToUpload.size() == 1
                      ? QFileInfo(m_filesToUpload.constFirst()).fileName()
                      : StringTable::format(QStringLiteral("SharingNItems"), m_filesToUpload.size());
    else if (m_items.isWrapper() || !m_items.items().isEmpty())
        subject = m_items.subject();
    m_heading->setText(subject.isEmpty() ? StringTable::text(QStringLiteral("WindowShareWith"))
                                         : StringTable::format(QStringLiteral("ShareWithHeading"), subject));
}

void TQShareWithController::setShareOnlyMode(bool shareOnly)
{
    m_shareOnlyMode = shareOnly;
    if (m_cancelButton)
        m_cancelButton->setVisible(!shareOnly);
}

// --- Files to upload ---

void TQShareWithController::setFilesToUpload(const QStringList& files)
{
    if (files == m_filesToUpload && m_filesIdentity != 0)
        return;
    NotificationCenter::defaultCenter().post(TQCancellerAdapter::kCancelSizeCalculationNotification,
                                             QVariant::fromValue(m_filesIdentity));
    static quint64 identities = 0;
    m_filesIdentity = ++identities;
    m_filesToUpload = files;
    updateHeading();
    auto canceller = std::make_shared<TQCancellerAdapter>(m_filesIdentity);
    setItemSize(StringTable::text(QStringLiteral("Calculating")));
    const QPointer<TQShareWithController> self(this);
    QThreadPool::globalInstance()->start([self, files, canceller]() mutable {
        quint64 total = 0;
        for (const QString& path : files) {
            total += TQUtility::sizeofPath(path, [&canceller] { return canceller->cancelled(); });
            if (canceller->cancelled())
                break;
        }
        // The adapter goes on the main thread, where it observes: the worker keeps no reference to it.
        QMetaObject::invokeMethod(
            qApp,
            [self, total, canceller = std::move(canceller)] {
                if (!canceller->cancelled() && self) {
                    TQBytesToReadableStringTransformer transformer;
                    self->setItemSize(transformer.transformedValue(QVariant::fromValue(total)).toString());
                }
            },
            Qt::QueuedConnection);
    });
}

void TQShareWithController::setItemSize(const QString& size)
{
    m_itemSize = size;
    if (m_sizeLabel) {
        m_sizeLabel->setText(StringTable::format(QStringLiteral("ShareWithUploadSize"), size));
        m_sizeLabel->setVisible(!m_filesToUpload.isEmpty());
    }
    emit itemSizeChanged(size);
}

// --- Sharing ---

void TQShareWithController::share(QObject*)
{
    view();
    m_contacts->tokenizeEditingText();
    const int state = m_role ? m_role->state() : int(SharingPermissions::Writer);
    QList<TQACLEntry> entries;
    QStringList addresses;
    bool strayText = false;
    for (const ShareToken& token : m_contacts->tokens()) {
        if (!token.isPerson()) {
            strayText = true;
            continue;
        }
        TQACLEntry entry(TQACLEntry::User, SharingPermissions::aclRoleForRoleCode(state), token.address);
        if (token.kind == ShareToken::Person)
            entry.setDisplayName(token.displayName());
        entries.append(entry);
        addresses.append(token.address);
    }
    // Text that names nobody is kept, marked, and shared with nobody: the user corrects it first.
    if (strayText) {
        m_problemLabel->show();
        TQLog("Share with: %lu entries are not addresses", m_contacts->tokens().size() - entries.size());
        return;
    }
    QVariantList aclEntries;
    for (const TQACLEntry& entry : std::as_const(entries))
        aclEntries.append(QVariant::fromValue(entry));
    QObject* progress = TQProgressManager::progressManager();
    if (!entries.isEmpty() && !m_filesToUpload.isEmpty()) {
        QList<QUrl> urls;
        for (const QString& path : std::as_const(m_filesToUpload))
            urls.append(QUrl::fromLocalFile(path));
        ActionRequests::executeDocumentAction(
            QStringLiteral("UploadFiles"), SharingPermissions::bannerCallback(),
            {{QStringLiteral("managedObjectContext"), QVariant::fromValue<QObject*>(managedObjectContext())},
             {QStringLiteral("fileURLs"), QVariant::fromValue(urls)},
             {QStringLiteral("ACLEntries"), aclEntries},
             {QStringLiteral("progressID"),
              SharingPermissions::statusIdentifier(QStringLiteral("upload"), &urls)},
             {QStringLiteral("progressConsumer"), QVariant::fromValue(progress)}});
    } else if (!entries.isEmpty() && !m_items.items().isEmpty()) {
        TQLog("Share for [%@] as <%@> files: {%@}", addresses.join(QStringLiteral(", ")),
              SharingPermissions::roleName(state), m_items.subject());
        ActionRequests::executeDocumentAction(
            QStringLiteral("SetPermissions"), SharingPermissions::bannerCallback(),
            {{QStringLiteral("documentEntities"), SharingPermissions::recordValues(m_items.items())},
             {QStringLiteral("ACLEntries"), aclEntries},
             {QStringLiteral("statusID"),
              SharingPermissions::statusIdentifier(QStringLiteral("setpermission"), &m_items.items())},
             {QStringLiteral("progressConsumer"), QVariant::fromValue(progress)}});
    }
    if (m_shareOnlyMode) {
        m_contacts->clear();
        return;
    }
    m_closeConfirmed = true;
    if (window())
        window()->close();
}

void TQShareWithController::validateButtons()
{
    if (m_shareButton)
        m_shareButton->setEnabled(!m_contacts->tokens().isEmpty() ||
                                  !m_contacts->editingText().trimmed().isEmpty());
}

// --- The window ---

bool TQShareWithController::windowShouldClose(QObject*)
{
    if (m_closeConfirmed || !m_contacts || m_contacts->tokens().isEmpty())
        return true;
    const QPointer<TQShareWithController> self(this);
    QuickShareDialogs::askBeforeClosing(window(), [self] {
        if (self && self->window()) {
            self->m_closeConfirmed = true;
            self->window()->close();
        }
    });
    return false;
}

void TQShareWithController::windowDidBecomeKey(const Notification&)
{
    if (m_contacts)
        m_contacts->setFocus(Qt::ActiveWindowFocusReason);
}

void TQShareWithController::onWindowWillClose()
{
    m_items.clear();
    TQFloatingContentController::onWindowWillClose();
}

} // namespace tavrel
