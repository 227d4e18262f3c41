#include "sharing/TQChangeOwnerController.h"

#include "controls/TQFloatingWindow.h"
#include "model/FileEntryAbstract.h"
#include "model/TQACLEntry.h"
#include "model/TQStringExtensions.h"
#include "platform/runtime/Invocation.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ImageRegistry.h"
#include "platform/ui/StringTable.h"
#include "progress/TQProgressManager.h"
#include "sharing/QuickPopoverSupport.h"
#include "sharing/QuickShareDialogs.h"
#include "sharing/TokenField.h"
#include "window/ActionRequests.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavrel {

TQChangeOwnerController::TQChangeOwnerController(QObject* parent)
    : TQFloatingContentController(QStringLiteral("ChangeOwnerView"), parent)
{}

TQChangeOwnerController::~TQChangeOwnerController() = default;

QWidget* TQChangeOwnerController::loadView()
{
    auto* view = new QWidget;
    view->setObjectName(nibName());
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(8);
    m_heading = QuickPopoverSupport::makeHeading(view);
    layout->addWidget(m_heading);
    layout->addWidget(
        QuickPopoverSupport::makeCaption(view, StringTable::text(QStringLiteral("ChangeOwnerHint"))));

    m_contactField = new TokenField(view);
    m_contactField->setObjectName(QStringLiteral("contactField"));
    m_contactField->setPlaceholderText(StringTable::text(QStringLiteral("ShareWithPlaceholder")));
    const ShareTokens rules(ShareTokens::Rules::ChangeOwner, managedObjectContext(),
                            SharingPermissions::username());
    m_contactField->setCompletions([rules](const QString& text) { return rules.completions(text); });
    m_contactField->setTokenizer([rules](const QString& text) { return rules.tokenForEditingString(text); });
    connect(m_contactField, &TokenField::tokensChanged, this, [this] { validateButtons(); });
    connect(m_contactField->editor(), &QLineEdit::textChanged, this, [this] { validateButtons(); });
    connect(m_contactField, &TokenField::submitted, this, [this] {
        if (m_changeButton && m_changeButton->isEnabled())
            m_changeButton->click();
    });
    layout->addWidget(m_contactField);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* cancel = new QPushButton(StringTable::text(QStringLiteral("Cancel")), view);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (window())
            window()->performClose(nullptr);
    });
    m_changeButton = new QPushButton(StringTable::text(QStringLiteral("ChangeOwnerButton")), view);
    m_changeButton->setObjectName(QStringLiteral("changeButton"));
    m_changeButton->setDefault(true);
    connect(m_changeButton, &QPushButton::clicked, this, [this] { changeOwner(m_changeButton); });
    buttons->addWidget(cancel);
    buttons->addWidget(m_changeButton);
    layout->addLayout(buttons);
    view->setMinimumWidth(360);
    updateHeading();
    validateButtons();
    view->resize(view->sizeHint().expandedTo(QSize(360, 0)));
    return view;
}

void TQChangeOwnerController::setWindow(TQFloatingWindow* window)
{
    TQFloatingContentController::setWindow(window);
    if (!window)
        return;
    window->setDelegate(this);
    window->setHasCloseButton(false);
    window->setWindowTitle(StringTable::text(QStringLiteral("ChangeOwnerButton")));
    window->setFrameBackgroundImage(ImageRegistry::pixmap(QStringLiteral("dialog_background")));
}

void TQChangeOwnerController::setItem(const std::shared_ptr<FileEntryAbstract>& item)
{
    if (m_items.setItem(item))
        updateHeading();
}

void TQChangeOwnerController::setItems(const SharingPermissions::Items& items)
{
    if (m_items.setItems(items))
        updateHeading();
}

void TQChangeOwnerController::setItemValue(const QVariant& item)
{
    if (m_items.setValue(item))
        updateHeading();
}

void TQChangeOwnerController::updateHeading()
{
    if (!m_heading)
        return;
    m_heading->setText(StringTable::format(QStringLiteral("ChangeOwnerHeading"), m_items.subject()));
}

void TQChangeOwnerController::validateButtons()
{
    if (!m_changeButton)
        return;
    // A new owner needs an address: a person or a typed address, never text that names nobody.
    bool person = false;
    for (const ShareToken& token : m_contactField->tokens())
        person = person || token.isPerson();
    // Typed text counts while it is an address or names someone stored.
    const QString typed = m_contactField->editingText().trimmed();
    if (!person && !typed.isEmpty()) {
        const ShareTokens rules(ShareTokens::Rules::ChangeOwner, managedObjectContext(),
                                SharingPermissions::username());
        person = ShareTokens::isWellFormedAddress(typed) || !rules.completions(typed).isEmpty();
    }
    m_changeButton->setEnabled(person);
}

void TQChangeOwnerController::changeOwner(QObject*)
{
    view();
    m_contactField->tokenizeEditingText();
    const QList<ShareToken>& tokens = m_contactField->tokens();
    if (tokens.size() > 1) {
        auto* alert = new Alert;
        alert->setMessageText(StringTable::text(QStringLiteral("ManyOwnersAlertTitle")));
        alert->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
        alert->setInformativeText(StringTable::text(QStringLiteral("ManyOwnersAlertMessage")));
        alert->beginSheet(window(), nullptr);
        return;
    }
    if (tokens.isEmpty() || !tokens.constLast().isPerson()) {
        validateButtons();
        return;
    }
    const ShareToken owner = tokens.constLast();
    const QString username = SharingPermissions::username();
    if (!TQStringExtensions::hasSameDomainAs(owner.address, username) &&
        !Alert::isSuppressed(kSuppressChangeOwnerAlertsKey)) {
        // The owner stays: the user presses the button again to go on, or ticks the box for good.
        auto* warning = new Alert;
        warning->setMessageText(StringTable::format(QStringLiteral("WrongDomainTitle"), owner.address));
        warning->setDefaultButtonTitle(StringTable::text(QStringLiteral("OK")));
        warning->setInformativeText(StringTable::text(QStringLiteral("WrongDomainMessage")));
        warning->setShowsSuppressionButton(true);
        warning->setSuppressionButtonTitle(StringTable::text(QStringLiteral("DontAskAgain")));
        warning->setSuppressionKey(kSuppressChangeOwnerAlertsKey);
        warning->beginSheet(window(), nullptr);
        return;
    }
    TQACLEntry entry(TQACLEntry::User, TQACLEntry::Owner, owner.address);
    entry.setDisplayName(owner.displayName());
    ActionRequests::executeDocumentAction(
        QStringLiteral("SetPermissions"), SharingPermissions::bannerCallback(),
        {{QStringLiteral("documentEntities"), SharingPermissions::recordValues(m_items.items())},
         {QStringLiteral("ACLEntries"), QVariantList{QVariant::fromValue(entry)}},
         {QStringLiteral("statusID"),
          SharingPermissions::statusIdentifier(QStringLiteral("changeowner"), &owner)},
         {QStringLiteral("progressConsumer"),
          QVariant::fromValue<QObject*>(TQProgressManager::progressManager())}});
    m_closeConfirmed = true;
    if (window())
        window()->close();
}

bool TQChangeOwnerController::windowShouldClose(QObject*)
{
    if (m_closeConfirmed || !m_contactField || m_contactField->tokens().isEmpty())
        return true;
    const QPointer<TQChangeOwnerController> self(this);
    QuickShareDialogs::askBeforeClosing(window(), [self] {
        if (self && self->window()) {
            self->m_closeConfirmed = true;
            self->window()->close();
        }
    });
    return false;
}

void TQChangeOwnerController::windowDidBecomeKey(const Notification&)
{
    if (m_contactField)
        m_contactField->setFocus(Qt::ActiveWindowFocusReason);
}

} // namespace tavrel
